#!/bin/sh
# Opt-in check of the uninstaller's Wine-prefix layer against a real Wine (not part of ./test).
#
#   scripts/wine-check.sh [build-folder]
#
# Makes a fresh prefix, changes its registry through yarb_regtool while Wine is not running,
# then asks Wine itself (wine reg query, wineboot -r) whether it sees exactly those changes
# and still starts. Needs wine (apt-get install wine64) and a built yarb_regtool.
# Environment: CHECK_PREFIX (default /tmp/yarb-wine-check) is removed and made anew.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-plat}
TOOL=$BUILD/uninstall/platform/yarb_regtool
PFX=${CHECK_PREFIX:-/tmp/yarb-wine-check}
export WINEDEBUG=-all

if ! command -v wine >/dev/null 2>&1; then
  echo "wine is not installed; nothing checked"
  exit 77
fi
if [ ! -x "$TOOL" ]; then
  echo "yarb_regtool not found in $BUILD (cmake --build $BUILD --target yarb_regtool)"
  exit 2
fi

failures=0
pass() { echo "ok   - $1"; }
fail() { echo "FAIL - $1"; failures=$((failures + 1)); }
tool() { "$TOOL" "$PFX" "$@"; }
# wine reg writes in the console's OEM code page when its output is a pipe.
winereg() { WINEPREFIX=$PFX wine reg "$@" 2>/dev/null | tr -d '\r' | iconv -f CP437 -t UTF-8; }
stop_wine() { WINEPREFIX=$PFX wineserver -w 2>/dev/null; }
# expect_reg DESCRIPTION KEY VALUE TYPE DATA [extra reg args]: wine reg query must show the line.
expect_reg() {
  desc=$1 key=$2 value=$3 type=$4 data=$5
  shift 5
  line=$(winereg query "$key" /v "$value" "$@" | grep -aF "    $value    $type    ")
  stop_wine
  if [ "$line" = "    $value    $type    $data" ]; then pass "$desc"; else fail "$desc: got '$line'"; fi
}
expect_default() {
  line=$(winereg query "$2" /ve | grep -aF "    (Default)    REG_SZ    ")
  stop_wine
  if [ "$line" = "    (Default)    REG_SZ    $3" ]; then pass "$1"; else fail "$1: got '$line'"; fi
}
expect_no_key() {
  # Wine's reg prints its "Unable to find" message on standard output.
  if winereg query "$2" | grep -aq '^HKEY_'; then fail "$1"; else pass "$1"; fi
  stop_wine
}

echo "== making a fresh prefix in $PFX"
rm -rf "$PFX"
WINEPREFIX=$PFX wineboot --init >/dev/null 2>&1
stop_wine
[ -f "$PFX/system.reg" ] || { echo "wineboot made no prefix"; exit 1; }
cp "$PFX/user.reg" "$PFX/user.reg.orig"

echo "== Wine's own hives, read and written again"
if tool roundtrip; then pass "hives reproduced byte for byte"; else fail "hive round trip"; fi
tool version
tool server

echo "== changes made through the platform layer (Wine not running)"
tool --64 create HKLM 'Software\YarbCheck\Sub' &&
  tool --64 set HKLM 'Software\YarbCheck' Str sz 'Vell Tile "1" \ café' &&
  tool --64 set HKLM 'Software\YarbCheck' Exp expand '%ProgramFiles%\Vell' &&
  tool --64 set HKLM 'Software\YarbCheck' Multi multi 'one|two|three' &&
  tool --64 set HKLM 'Software\YarbCheck' Count dword 42 &&
  tool --64 set HKLM 'Software\YarbCheck' Bin binary 00017f80fe &&
  tool --64 set HKLM 'Software\YarbCheck\Sub' '' sz 'default' &&
  tool --64 set HKLM 'Software\YarbCheck' Gone sz 'x' &&
  tool --64 delete-value HKLM 'Software\YarbCheck' Gone &&
  tool create HKLM 'Software\YarbCheck32' &&
  tool set HKLM 'Software\YarbCheck32' Where sz 'Wow6432Node' &&
  tool create HKCU 'Software\YarbCheck' &&
  tool set HKCU 'Software\YarbCheck' User dword 7 &&
  tool create HKLM 'System\CurrentControlSet\Services\YarbSvc' &&
  tool set HKLM 'System\CurrentControlSet\Services\YarbSvc' Start dword 3 &&
  tool --64 create HKLM 'Software\YarbTemp\Deep' &&
  tool --64 delete-key HKLM 'Software\YarbTemp\Deep' &&
  tool --64 delete-key HKLM 'Software\YarbTemp' &&
  tool create HKCU 'Software\YarbGone\Deep' &&
  tool set HKCU 'Software\YarbGone\Deep' v sz x &&
  tool delete-key HKCU 'Software\YarbGone\Deep' &&
  tool delete-key HKCU 'Software\YarbGone'
if [ $? -eq 0 ]; then pass "yarb_regtool changes"; else fail "yarb_regtool changes"; fi
schedule_pending() {
  echo "pending" > "$PFX/drive_c/yarb-pending.txt"
  echo "replacement" > "$PFX/drive_c/yarb-new.txt"
  echo "old" > "$PFX/drive_c/yarb-target.txt"
  tool move-delayed 'C:\yarb-pending.txt' && tool move-delayed 'C:\yarb-new.txt' 'C:\yarb-target.txt'
}
expect_pending_done() {
  if [ ! -e "$PFX/drive_c/yarb-pending.txt" ]; then pass "$1: delayed delete done"; else fail "$1: delayed delete"; fi
  if [ "$(cat "$PFX/drive_c/yarb-target.txt" 2>/dev/null)" = "replacement" ] && [ ! -e "$PFX/drive_c/yarb-new.txt" ]; then
    pass "$1: delayed replace done"
  else
    fail "$1: delayed replace"
  fi
  if grep -q PendingFileRenameOperations "$PFX/system.reg"; then fail "$1: list removed"; else pass "$1: list removed"; fi
}
if schedule_pending; then pass "delayed delete and replace scheduled"; else fail "delayed operations"; fi
tool pending
line=$(grep -a '^"PendingFileRenameOperations"=' "$PFX/system.reg")
printf '   %s\n' "$line"
if [ "$line" = '"PendingFileRenameOperations"=str(7):"\\??\\C:\\yarb-pending.txt\0\0\\??\\C:\\yarb-new.txt\0!\\??\\C:\\yarb-target.txt\0"' ]; then
  pass "pending list written as Wine keeps it"
else
  fail "pending list text"
fi

echo "== what Wine sees"
expect_reg "REG_SZ with quote, backslash and non-ASCII" 'HKLM\Software\YarbCheck' Str REG_SZ 'Vell Tile "1" \ café'
expect_reg "REG_EXPAND_SZ" 'HKLM\Software\YarbCheck' Exp REG_EXPAND_SZ '%ProgramFiles%\Vell'
expect_reg "REG_MULTI_SZ" 'HKLM\Software\YarbCheck' Multi REG_MULTI_SZ 'one\0two\0three'
expect_reg "REG_DWORD" 'HKLM\Software\YarbCheck' Count REG_DWORD '0x2a'
expect_reg "REG_BINARY" 'HKLM\Software\YarbCheck' Bin REG_BINARY '00017F80FE'
expect_default "default value of a new subkey" 'HKLM\Software\YarbCheck\Sub' 'default'
expect_reg "32-bit view lands in Wow6432Node" 'HKLM\Software\Wow6432Node\YarbCheck32' Where REG_SZ 'Wow6432Node'
expect_reg "32-bit view read by Wine's 32-bit view" 'HKLM\Software\YarbCheck32' Where REG_SZ 'Wow6432Node' /reg:32
expect_reg "HKCU value" 'HKCU\Software\YarbCheck' User REG_DWORD '0x7'
expect_reg "service key" 'HKLM\System\CurrentControlSet\Services\YarbSvc' Start REG_DWORD '0x3'
if winereg query 'HKLM\Software\YarbCheck' /v Gone | grep -aq Gone; then fail "deleted value is gone"; else pass "deleted value is gone"; fi
stop_wine
expect_no_key "deleted key chain is gone" 'HKLM\Software\YarbTemp'
expect_no_key "deleted HKCU key is gone" 'HKCU\Software\YarbGone'
expect_pending_done "the first program of a session"

echo "== a new session does the deferred work and Wine still starts"
schedule_pending
WINEPREFIX=$PFX wineboot -r >/dev/null 2>&1
stop_wine
expect_pending_done "wineboot -r"
out=$(WINEPREFIX=$PFX wine cmd /c echo started 2>/dev/null | tr -d '\r')
stop_wine
if [ "$out" = "started" ]; then pass "wine starts programs in the changed prefix"; else fail "wine start: '$out'"; fi

echo "== the layer sees a running wineserver"
(sleep 8 | WINEPREFIX=$PFX wine cmd >/dev/null 2>&1 &)
n=0
while [ $n -lt 40 ] && [ "$(tool server | head -1)" != "running" ]; do sleep 0.25; n=$((n + 1)); done
if [ "$(tool server | head -1)" = "running" ]; then pass "running server detected"; else fail "running server not detected"; fi
if tool --64 set HKLM 'Software\YarbCheck' Blocked sz x 2>/dev/null; then fail "change refused while Wine runs"; else pass "change refused while Wine runs"; fi
stop_wine
if [ "$(tool server | head -1)" = "not running" ]; then pass "server gone after exit"; else fail "server still reported"; fi

echo "== Wine's hives after Wine rewrote them"
if tool roundtrip; then pass "hives reproduced byte for byte"; else fail "hive round trip"; fi

echo
if [ $failures -eq 0 ]; then echo "all checks passed"; else echo "$failures check(s) failed"; fi
[ $failures -eq 0 ]
