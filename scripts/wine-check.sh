#!/bin/sh
# Opt-in check of the uninstaller's Wine-prefix layer against a real Wine (not part of ./test).
#
#   scripts/wine-check.sh [build-folder]
#
# Makes a fresh prefix, changes its registry through yarb_regtool while Wine is not running,
# then asks Wine itself (wine reg query, wineboot -r) whether it sees exactly those changes
# and still starts. Then, in a second fresh prefix, lays down a small installed product as an
# installer would, with the INSTALL.LOG that records it, runs the uninstall walk
# (yarb_uninstall), and lets Wine confirm what is gone, what is back and what stays.
# Then, in a third fresh prefix, the UNYARB32 program itself: a silent uninstall (/S), the
# rollback of a second installation recorded in the same log (/A /R, under Xvfb), and the repair
# of a damaged file through a stand-in installer (a batch file run by Wine that copies back the
# files of its list), the wizard driven by keys through xdotool.
# Needs wine (apt-get install wine64), xvfb and xdotool for the wizard, and built yarb_regtool,
# yarb_uninstall and UNYARB32. CHECK_ONLY=unyarb runs only the UNYARB32 part.
# Environment: CHECK_PREFIX (default /tmp/yarb-wine-check) and CHECK_PREFIX-walk are removed
# and made anew.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-plat}
TOOL=$BUILD/uninstall/platform/yarb_regtool
WALK=$BUILD/uninstall/yarb_uninstall
PFX=${CHECK_PREFIX:-/tmp/yarb-wine-check}
export WINEDEBUG=-all

if ! command -v wine >/dev/null 2>&1; then
  echo "wine is not installed; nothing checked"
  exit 77
fi
if [ ! -x "$TOOL" ] || [ ! -x "$WALK" ]; then
  echo "yarb_regtool or yarb_uninstall not found in $BUILD (cmake --build $BUILD --target yarb_regtool yarb_uninstall)"
  exit 2
fi

failures=0
UNY=$BUILD/uninstall/qt/UNYARB32
pass() { printf 'ok   - %s\n' "$1"; }
fail() { printf 'FAIL - %s\n' "$1"; failures=$((failures + 1)); }
tool() { "$TOOL" "$PFX" "$@"; }
# wine reg writes in the console's OEM code page when its output is a pipe.
# REGPFX: the prefix the checks ask (default the first one).
winereg() { WINEPREFIX=${REGPFX:-$PFX} wine reg "$@" 2>/dev/null | tr -d '\r' | iconv -f CP437 -t UTF-8; }
stop_wine() { WINEPREFIX=${REGPFX:-$PFX} wineserver -w 2>/dev/null; }
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

if [ "${CHECK_ONLY:-}" != unyarb ]; then
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

echo "== the uninstall walk over an installed product, in a fresh prefix"
W=$PFX-walk
XDG=$W-xdg
rm -rf "$W" "$XDG"
mkdir -p "$XDG/data" "$XDG/config"
REGPFX=$W
export XDG_DATA_HOME="$XDG/data" XDG_CONFIG_HOME="$XDG/config"
WINEPREFIX=$W wineboot --init >/dev/null 2>&1
stop_wine
wt() { "$TOOL" "$W" "$@"; }
C=$W/drive_c
APP="$C/Program Files (x86)/Quilo"
WAPP='C:\Program Files (x86)\Quilo'
PROGRAMS=$(wt query HKCU 'Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Programs | sed 's/^REG_SZ //')
UPROGRAMS=$(wt unix "$PROGRAMS")
SHARED='Software\Microsoft\Windows\CurrentVersion\SharedDLLs'

# What a 32-bit installer laid down: Program Files (x86), syswow64, the Wow6432Node view.
mkdir -p "$APP/Samples"
cp "$C/windows/system32/notepad.exe" "$APP/VellTile.exe"
echo help > "$APP/Quilo.hlp"
echo gid > "$APP/Quilo.GID"
echo tile > "$APP/Samples/tile.bmp"
echo busy > "$APP/inuse.dll"
echo shared > "$C/windows/syswow64/vellgif.dll"
echo fx > "$C/windows/syswow64/vellfx.dll"
printf '[Quilo]\r\nTile=1\r\n' > "$C/windows/quilo.ini"
printf '\r\n[Quilo]\r\nPath=C:\\Program Files (x86)\\Quilo\r\nMode=new\r\n' >> "$C/windows/win.ini"
wt create HKLM "$SHARED" &&
  wt set HKLM "$SHARED" 'C:\windows\system32\vellgif.dll' dword 2 &&
  wt set HKLM "$SHARED" 'C:\windows\system32\vellfx.dll' dword 1 &&
  wt create HKLM 'Software\Yarb\Quilo\Cache\Deep' &&
  wt set HKLM 'Software\Yarb\Quilo' Version sz 1.0 &&
  wt set HKLM 'Software\Yarb\Quilo\Cache\Deep' Size dword 64 &&
  wt create HKCU 'Software\Yarb\Quilo' &&
  wt set HKCU 'Software\Yarb\Quilo' Window dword 3 &&
  wt set HKCU 'Control Panel\Desktop' TileWallpaper sz 1 &&
  wt create HKLM 'System\CurrentControlSet\Services\QuiloSvc' &&
  wt set HKLM 'System\CurrentControlSet\Services\QuiloSvc' Start dword 3 &&
  wt set HKLM 'System\CurrentControlSet\Services\QuiloSvc' ImagePath sz "$WAPP\\VellTile.exe" &&
  wt link "$PROGRAMS\\Quilo\\Quilo.lnk" "$WAPP\\VellTile.exe" &&
  wt link "$PROGRAMS\\Quilo\\Help.lnk" "$WAPP\\Quilo.hlp"
if [ $? -eq 0 ]; then pass "product laid down"; else fail "product laid down"; fi
WINEPREFIX=$W wine winemenubuilder -w "$PROGRAMS\\Quilo\\Quilo.lnk" >/dev/null 2>&1
stop_wine
MENU=$XDG/data/applications/wine/Programs/Quilo/Quilo.desktop
if [ -f "$MENU" ]; then pass "Wine made a Linux menu entry for the shortcut"; else fail "no menu entry made by winemenubuilder"; fi
# printf, not echo: a shell's echo may read "\v" in C:\windows\...\vellgif.dll as an escape.
line() { printf '%s\r\n' "$1"; }
{
  line '***  Installation Started 12/09/2026 03:00 ***'
  line 'Title: Quilo Installation'
  line 'Delete in-use files: On'
  line "Made Dir: $WAPP"
  line "File Copy: $WAPP\\VellTile.exe"
  line "File Copy: $WAPP\\Quilo.hlp"
  line "File Copy: $WAPP\\inuse.dll"
  line "File Tree: $WAPP\\Samples"
  line 'File Copy: C:\windows\system32\vellgif.dll'
  line 'File Copy: C:\windows\system32\vellfx.dll'
  line 'INI New: quilo'
  line 'INI File: C:\windows\quilo.ini'
  line 'INI File: C:\windows\win.ini'
  line 'INI Sect: Quilo'
  line 'INI Item: Path'
  line "INI Val: $WAPP"
  line 'INI File: C:\windows\win.ini'
  line 'INI Sect: Quilo'
  line 'INI Item: Mode'
  line 'INI Val: new'
  line 'INI Old: old'
  line 'RegDB Key: Software\Yarb\Quilo'
  line 'RegDB Val: 1.0'
  line 'RegDB Name: Version'
  line 'RegDB Root: 2'
  line 'RegDB Key: Software\Yarb\Quilo'
  line 'RegDB Val: 3'
  line 'RegDB Name: Window'
  line 'RegDB Type: 3'
  line 'RegDB Root: 1'
  line 'RegDB Key: Control Panel\Desktop'
  line 'RegDB Val: 1'
  line 'RegDB Name: TileWallpaper'
  line 'RegDB Root: 1'
  line 'RegDB Old: 0'
  line 'RegDB Tree: Software\Yarb\Quilo\Cache'
  line 'RegDB Root: 2'
  line 'Create Service: QuiloSvc'
  line 'Icon Group: Quilo'
  line 'Icon Name: Quilo'
  line "Icon Cmd: $WAPP\\VellTile.exe"
  line 'Icon Group: Quilo'
  line 'Icon Name: Help'
  line "Icon Cmd: $WAPP\\Quilo.hlp"
} > "$APP/INSTALL.LOG"
# A file in use: Linux lets anything go, so the file is made immutable until "its program ends".
inuse=0
if chattr +i "$APP/inuse.dll" 2>/dev/null; then inuse=1; else echo "   (chattr +i not possible: no file in use)"; fi

echo "-- yarb_uninstall (shared files answered Yes, no restart yet)"
"$WALK" --shared yes --no-restart --report-dir "$XDG/reports" "$APP/INSTALL.LOG" 2>/dev/null | sed 's/^/   /'
if [ $inuse -eq 1 ]; then
  if [ -e "$APP/inuse.dll" ] && wt pending | grep -q 'inuse.dll'; then
    pass "file in use scheduled for deletion at the next start"
  else
    fail "file in use scheduled"
  fi
  # Checked before Wine starts again: its first program of a session does the pending work.
  echo "-- the file is no longer in use; wineboot -r does the scheduled work"
  chattr -i "$APP/inuse.dll"
  WINEPREFIX=$W wineboot -r >/dev/null 2>&1
  stop_wine
  if [ -e "$APP/inuse.dll" ]; then fail "wineboot -r deleted the scheduled file"; else pass "wineboot -r deleted the scheduled file"; fi
  if grep -q PendingFileRenameOperations "$W/system.reg"; then fail "pending list emptied"; else pass "pending list emptied"; fi
fi
echo "-- what Wine sees"
for f in VellTile.exe Quilo.hlp Quilo.GID Samples INSTALL.LOG; do
  if [ -e "$APP/$f" ]; then fail "$f removed"; else pass "$f removed"; fi
done
if [ -e "$C/windows/quilo.ini" ]; then fail "created INI file removed"; else pass "created INI file removed"; fi
if grep -q '^Path=' "$C/windows/win.ini"; then fail "created INI item removed"; else pass "created INI item removed"; fi
if grep -q '^Mode=old' "$C/windows/win.ini"; then pass "changed INI item back to its old value"; else fail "changed INI item"; fi
if [ -e "$C/windows/syswow64/vellgif.dll" ]; then pass "shared DLL still counted elsewhere stays"; else fail "shared DLL removed"; fi
expect_reg "its SharedDLLs count lowered to 1" "HKLM\\$SHARED" 'C:\windows\system32\vellgif.dll' REG_DWORD '0x1' /reg:32
if [ -e "$C/windows/syswow64/vellfx.dll" ]; then fail "shared DLL at count 0 removed (answered Yes)"; else pass "shared DLL at count 0 removed (answered Yes)"; fi
if winereg query "HKLM\\$SHARED" /reg:32 | grep -aqi vellfx; then fail "its SharedDLLs value deleted"; else pass "its SharedDLLs value deleted"; fi
stop_wine
expect_reg "changed value back to its old data" 'HKCU\Control Panel\Desktop' TileWallpaper REG_SZ '0'
if winereg query 'HKLM\Software\Yarb\Quilo' /reg:32 /v Version | grep -aq Version; then fail "created value gone"; else pass "created value gone"; fi
stop_wine
if winereg query 'HKLM\Software\Yarb\Quilo\Cache' /reg:32 | grep -aq '^HKEY_'; then fail "registry tree gone"; else pass "registry tree gone"; fi
stop_wine
expect_no_key "created value's empty key chain gone" 'HKCU\Software\Yarb'
expect_no_key "service key gone" 'HKLM\System\CurrentControlSet\Services\QuiloSvc'
if [ -e "$UPROGRAMS/Quilo" ]; then fail "Start Menu group and shortcuts gone"; else pass "Start Menu group and shortcuts gone"; fi
if [ -e "$MENU" ]; then fail "Linux menu entry gone"; else pass "Linux menu entry gone"; fi
if ls "$XDG"/data/icons/hicolor/*/apps/*VellTile* >/dev/null 2>&1; then fail "menu icons gone"; else pass "menu icons gone"; fi
if ls "$XDG"/reports/*.txt >/dev/null 2>&1; then pass "run report written to the data folder"; else fail "run report"; fi
out=$(WINEPREFIX=$W wine cmd /c echo started 2>/dev/null | tr -d '\r')
stop_wine
if [ "$out" = "started" ]; then pass "wine still starts programs in the prefix"; else fail "wine start after the walk: '$out'"; fi
unset REGPFX XDG_DATA_HOME XDG_CONFIG_HOME

fi

echo "== UNYARB32 in a fresh prefix: silent uninstall, rollback, repair"
if [ ! -x "$UNY" ]; then
  fail "UNYARB32 not built in $BUILD (cmake --build $BUILD --target UNYARB32)"
else
U=$PFX-unyarb
UX=$U-xdg
rm -rf "$U" "$UX"
mkdir -p "$UX/data"
REGPFX=$U
export XDG_DATA_HOME="$UX/data"
WINEPREFIX=$U wineboot --init >/dev/null 2>&1
stop_wine
ut() { "$TOOL" "$U" "$@"; }
UC=$U/drive_c
UAPP="$UC/Program Files (x86)/Quilo"
UWAPP='C:\Program Files (x86)\Quilo'
line() { printf '%s\r\n' "$1"; }
crc() { python3 -c "import zlib,sys;print('%08x'%zlib.crc32(open(sys.argv[1],'rb').read()))" "$1"; }
# Install attributes as the installer logs them: " mm-dd-yyyy | hh:mm:ss | size | crc".
attrs() { printf ' %s | %s | %s' "$(date -r "$1" '+%m-%d-%Y | %H:%M:%S')" "$(stat -c %s "$1")" "$(crc "$1")"; }
stamp() { printf '%s | %s' "$(date -r "$1" '+%m-%d-%Y | %H:%M:%S')" "$(stat -c %s "$1")"; }

echo "-- UNYARB32 /S removes an installation"
mkdir -p "$UAPP"
cp "$UC/windows/system32/notepad.exe" "$UAPP/VellTile.exe"
echo fx > "$UAPP/vellfx.dll"
ut create HKLM 'Software\Yarb\Quilo' && ut set HKLM 'Software\Yarb\Quilo' Version sz 1.0
{
  line '***  Installation Started 12/09/2026 03:00 ***'
  line 'Title: Quilo Installation'
  line "Made Dir: $UWAPP"
  line "File Copy: $UWAPP\\VellTile.exe"
  line "File Copy: $UWAPP\\vellfx.dll"
  line 'RegDB Key: Software\Yarb\Quilo'
  line 'RegDB Val: 1.0'
  line 'RegDB Name: Version'
  line 'RegDB Root: 2'
} > "$UAPP/INSTALL.LOG"
"$UNY" /S "$UAPP/INSTALL.LOG" >"$UX/silent.out" 2>&1
sed 's/^/   /' "$UX/silent.out"
if [ -e "$UAPP" ]; then fail "/S removed the product folder"; else pass "/S removed the product folder"; fi
if winereg query 'HKLM\Software\Yarb\Quilo' /reg:32 /v Version | grep -aq Version; then fail "/S removed the value (Wine)"; else pass "/S removed the value (Wine)"; fi
stop_wine
if ls "$UX"/data/yarb-uninstall/*.txt >/dev/null 2>&1; then pass "silent run left its report"; else fail "silent run report"; fi

echo "-- a second installation rolled back with /A /R"
mkdir -p "$UAPP/BAK"
echo v1 > "$UAPP/BAK/VellTile.exe"
echo v2 > "$UAPP/VellTile.exe"
echo new > "$UAPP/new2.dll"
ut create HKLM 'Software\Yarb\Quilo' && ut set HKLM 'Software\Yarb\Quilo' Version sz 2.0
{
  line '***  Installation Started 12/09/2026 03:00 ***'
  line 'Title: Quilo Installation'
  line "Made Dir: $UWAPP"
  line "File Copy: $UWAPP\\VellTile.exe"
  line 'RegDB Key: Software\Yarb\Quilo'
  line 'RegDB Val: 1.0'
  line 'RegDB Name: Version'
  line 'RegDB Root: 2'
} > "$UX/first.log"
cp "$UX/first.log" "$UAPP/INSTALL.LOG"
{
  line '***  Installation Started 12/09/2026 04:00 ***'
  line 'Title: Quilo Installation'
  line "File Overwrite: $UWAPP\\VellTile.exe"
  line "Backup Copy: $UWAPP\\BAK\\VellTile.exe"
  line "File Copy: $UWAPP\\new2.dll"
  line 'RegDB Key: Software\Yarb\Quilo'
  line 'RegDB Val: 2.0'
  line 'RegDB Name: Version'
  line 'RegDB Root: 2'
  line 'RegDB Old: 1.0'
} >> "$UAPP/INSTALL.LOG"
if command -v xvfb-run >/dev/null 2>&1; then
  timeout 120 xvfb-run -a "$UNY" /A /R "$UAPP/INSTALL.LOG" >/dev/null 2>&1
  if [ "$(cat "$UAPP/VellTile.exe" 2>/dev/null)" = v1 ]; then pass "rollback put the first installation's file back"; else fail "rollback restored the file"; fi
  if [ -e "$UAPP/new2.dll" ]; then fail "rollback removed the second installation's new file"; else pass "rollback removed the second installation's new file"; fi
  if cmp -s "$UX/first.log" "$UAPP/INSTALL.LOG"; then pass "log cut back to the first installation"; else fail "log cut back"; fi
  expect_reg "value back to the first installation's data (Wine)" 'HKLM\Software\Yarb\Quilo' Version REG_SZ '1.0' /reg:32
  stop_wine
else
  fail "xvfb-run missing: rollback not checked"
fi

echo "-- a damaged file repaired through the installer"
mkdir -p "$UC/SRC/files"
printf '@echo off\r\nset arg=%%*\r\nset list=%%arg:~3%%\r\nfor /f "usebackq tokens=1 delims=|" %%%%a in ("%%list%%") do copy /y "C:\\SRC\\files\\%%%%~nxa" "%%%%a"\r\n' > "$UC/SRC/setup.bat"
echo "the original help text" > "$UAPP/Quilo.hlp"
cp -p "$UAPP/Quilo.hlp" "$UC/SRC/files/Quilo.hlp"
{
  line '***  Installation Started 12/09/2026 05:00 ***'
  line 'Title: Quilo Installation'
  line "Source: C:\\SRC\\setup.bat | $(stamp "$UC/SRC/setup.bat")"
  line "File Copy: $UWAPP\\Quilo.hlp |$(attrs "$UAPP/Quilo.hlp")"
} > "$UAPP/INSTALL.LOG"
# One byte changed, date, time and size kept.
cp -p "$UAPP/Quilo.hlp" "$UX/ref"
sed -i 's/help/hElp/' "$UAPP/Quilo.hlp"
touch -r "$UX/ref" "$UAPP/Quilo.hlp"
if command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1; then
  # Repair on the method page (Alt+R), Next, Finish, then Close on the report.
  timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    "$0" "$1" & pid=$!
    for i in $(seq 1 50); do w=$(xdotool search --name "Quilo" 2>/dev/null | head -1); [ -n "$w" ] && break; sleep 0.2; done
    sleep 1; xdotool mousemove 640 512 click 1; sleep 0.3
    xdotool key alt+r; sleep 0.3; xdotool key Return; sleep 0.5; xdotool key Return
    for i in $(seq 1 100); do sleep 0.3; grep -q "hElp" "$2" 2>/dev/null || break; done
    sleep 2; xdotool key Return; sleep 1; kill $pid 2>/dev/null; wait $pid' "$UNY" "$UAPP/INSTALL.LOG" "$UAPP/Quilo.hlp" >/dev/null 2>&1
  if cmp -s "$UAPP/Quilo.hlp" "$UC/SRC/files/Quilo.hlp"; then pass "damaged file restored by the installer run through wine"; else fail "damaged file restored"; fi
  if ls "$UC"/users/*/Temp/QZW*.TMP >/dev/null 2>&1 || ls "$UC"/users/*/AppData/Local/Temp/QZW*.TMP >/dev/null 2>&1; then fail "list file removed"; else pass "list file removed"; fi
  stop_wine
else
  fail "xvfb-run or xdotool missing: repair not checked"
fi
unset REGPFX XDG_DATA_HOME
fi

echo
if [ $failures -eq 0 ]; then echo "all checks passed"; else echo "$failures check(s) failed"; fi
[ $failures -eq 0 ]
