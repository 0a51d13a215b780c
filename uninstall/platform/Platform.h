// The uninstaller's view of the Windows system it acts on.
//
// Everything the uninstall logic needs from outside itself goes through `Platform`:
// files and folders with Windows path rules, the registry, private-profile INI files,
// services, deferred renames, processes, Program Manager groups, shell links, the
// Windows version and restart. The logic never touches the Linux file system directly.
//
// Conventions of the whole interface:
// - Strings are 8-bit text in the ANSI code page (Windows-1252), as the "A" functions of
//   Windows take them; paths are in Windows form ("C:\\Program Files\\X\\a.dll").
//   Drive letters and file names are matched without regard to case; a component may be
//   given by its long name, by a Windows-style alias (PROGRA~1) or by Wine's hashed alias.
//   A path without a drive or a leading "\\" is relative to CurrentDirectory().
// - No exceptions cross the interface; calls return bool (or a small result) and a failed
//   call leaves everything as it was. LastError() describes the most recent failure.
// - Registry and INI changes are kept in memory and written to the prefix by Flush()
//   (also run by StartProcess, Restart and the destructor). Only files that changed are
//   written, each through a temporary file and a rename.
// - While a wineserver runs on the prefix nothing is changed: every changing call fails,
//   ServerRunning() is true and LastError() says why.
// - A path that resolves outside the prefix (through "..", a drive link such as z: -> /,
//   or any symbolic link leading out) is never deleted, moved, created or written; the
//   call fails and the refusal is recorded in Refusals().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace yarb {

// File attributes, with the values Windows gives them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Registry value types, with the values Windows gives them.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// The five roots, numbered as the install log numbers them.
enum class RegRoot : int {
  ClassesRoot = 0,
  CurrentUser = 1,
  LocalMachine = 2,
  Users = 3,
  CurrentConfig = 4,
};

// A registry value as RegQueryValueExA returns it: string types are ANSI bytes ending in
// NUL; REG_MULTI_SZ is every string ended by NUL plus one more NUL; REG_DWORD is 4 bytes
// little-endian; anything else is raw bytes.
struct RegValue {
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;

  static RegValue Sz(const std::string& text);
  static RegValue ExpandSz(const std::string& text);
  static RegValue MultiSz(const std::vector<std::string>& strings);
  static RegValue Dword(uint32_t value);
  static RegValue Binary(const std::vector<uint8_t>& bytes);

  // The text up to the first NUL (any type; binary data read as bytes).
  std::string AsString() const;
  // The strings of a NUL-separated list (an empty string ends the list).
  std::vector<std::string> AsMultiSz() const;
  // True with *value set when the data is exactly 4 bytes.
  bool AsDword(uint32_t* value) const;
};

// A time as the file system reports it, already converted to local time.
struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1-12, day 1-31
  int hour = 0, minute = 0, second = 0;
};

// What FindFiles reports for one directory entry.
struct FindData {
  std::string name;       // long name
  std::string shortName;  // 8.3 alias in Wine's form; empty when the long name is already 8.3
  uint32_t attributes = 0;
  uint64_t size = 0;
  LocalTime lastWrite;
};

// The Windows family and version the prefix presents to a program.
struct WinVersion {
  bool nt = true;  // false: the Windows 9x family
  int major = 10;
  int minor = 0;
  int build = 0;
};

// The fields of a shell link, in the order the install log's link info gives them.
struct ShellLinkInfo {
  std::string target;
  std::string workingDir;
  std::string iconFile;
  int iconIndex = 0;
  int showCmd = 1;     // SW_SHOWNORMAL
  uint16_t hotKey = 0;  // low byte virtual key, high byte modifiers; 0 = none
  std::string arguments;
};

enum class ServiceState { Missing, Stopped, Running };

// Result of StartProcess.
enum class StartResult {
  Started,         // started (and, when asked to wait, ended)
  CannotStart,     // no way to run programs of the prefix, or the file does not exist
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- state and reports -------------------------------------------------------------
  // A wineserver holds the prefix open; nothing may be changed until it has ended.
  virtual bool ServerRunning() = 0;
  // Text of the most recent failure (empty when the last call succeeded).
  virtual std::string LastError() const = 0;
  // Every change refused because its path leads outside the prefix, one line each.
  virtual const std::vector<std::string>& Refusals() const = 0;
  // Writes the registry hives that changed. False when a write failed or a wineserver runs
  // (the changes then stay in memory; the destructor tries once more and drops them).
  virtual bool Flush() = 0;

  // ---- system folders and version ----------------------------------------------------
  virtual std::string WindowsDirectory() = 0;  // "C:\\windows"
  virtual std::string SystemDirectory() = 0;   // "C:\\windows\\system32"
  virtual std::string TempDirectory() = 0;     // ends in "\\"
  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual WinVersion Version() = 0;

  // ---- paths ---------------------------------------------------------------------------
  // Every component after the drive replaced by its 8.3 alias (Wine's hashed form) where it
  // has one; a component that cannot be found stays as it is. Drive letter upper-cased.
  virtual std::string ToShortPath(const std::string& path) = 0;
  // For a path holding a "~": every component replaced by its long name (a component that
  // cannot be found stays). Other paths keep their spelling: a bare name gets the current
  // folder in front, the drive letter is upper-cased.
  virtual std::string ToLongPath(const std::string& path) = 0;
  // Linux path <-> Windows path of the same file (through the drive links).
  virtual bool UnixToWindowsPath(const std::string& unixPath, std::string* windowsPath) = 0;
  virtual bool WindowsToUnixPath(const std::string& windowsPath, std::string* unixPath) = 0;
  // A: or B: on a removable medium (a floppy drive mapping).
  virtual bool IsRemovableDrive(char letter) = 0;

  // ---- files and folders ---------------------------------------------------------------
  virtual bool FileExists(const std::string& path) = 0;  // file or folder
  virtual uint32_t GetFileAttributes(const std::string& path) = 0;  // kInvalidAttributes if missing
  virtual bool SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
  // Size and last-write time (local) of a file.
  virtual bool GetFileInfo(const std::string& path, uint64_t* size, LocalTime* lastWrite) = 0;
  // Entries of a folder matching the last component of `pattern` ("*" and "?" as Windows
  // matches them, against the long and the short name; "*.*" matches every name). "." and
  // ".." are not reported. False when the folder does not exist or nothing matches.
  virtual bool FindFiles(const std::string& pattern, std::vector<FindData>* found) = 0;
  virtual bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) = 0;
  // Creates or overwrites.
  virtual bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
  // Appends, creating the file when missing.
  virtual bool AppendFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;  // fails on a read-only file
  virtual bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual bool MoveFile(const std::string& from, const std::string& to, bool replaceExisting) = 0;
  virtual bool CreateDirectory(const std::string& path) = 0;  // parent must exist
  virtual bool RemoveDirectory(const std::string& path) = 0;  // only when empty
  // GetTempFileNameA: `prefix` (first 3 characters) + `unique` in upper-case hex + ".TMP" in
  // `dir` (6699 gives "QZV1A2B.TMP"). unique != 0: the name only; unique == 0: a new empty
  // file with a free number.
  virtual bool GetTempFileName(const std::string& dir, const std::string& prefix, unsigned unique,
                               std::string* path) = 0;

  // ---- registry --------------------------------------------------------------------------
  // Keys are paths below a root ("Software\\Microsoft\\Windows"), case-insensitive, link keys
  // followed; a program of the prefix sees the 32-bit view of a 64-bit prefix.
  virtual bool RegKeyExists(RegRoot root, const std::string& key) = 0;
  virtual bool RegCreateKey(RegRoot root, const std::string& key) = 0;  // with missing parents
  virtual bool RegDeleteKey(RegRoot root, const std::string& key) = 0;  // fails with subkeys
  // Subkey or value number `index` (0-based, in stored order); false past the end.
  virtual bool RegEnumKey(RegRoot root, const std::string& key, uint32_t index,
                          std::string* name) = 0;
  virtual bool RegEnumValue(RegRoot root, const std::string& key, uint32_t index,
                            std::string* name, RegValue* value) = 0;
  // The empty name is the key's default value.
  virtual bool RegQueryValue(RegRoot root, const std::string& key, const std::string& name,
                             RegValue* value) = 0;
  // The key must exist.
  virtual bool RegSetValue(RegRoot root, const std::string& key, const std::string& name,
                           const RegValue& value) = 0;
  virtual bool RegDeleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;

  // ---- private-profile INI files ---------------------------------------------------------
  // GetPrivateProfileStringA: false (and *value = defaultValue) when the item is missing.
  // A relative file name lies in the Windows directory. Mapped win.ini sections go to the
  // registry as Windows does it.
  virtual bool GetProfileString(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& defaultValue,
                                std::string* value) = 0;
  // WritePrivateProfileStringA with a value: adds or replaces; creates section and file.
  virtual bool WriteProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& value) = 0;
  // WritePrivateProfileStringA with a NULL value: deletes the item.
  virtual bool DeleteProfileKey(const std::string& file, const std::string& section,
                                const std::string& key) = 0;
  // WritePrivateProfileStringA with a NULL key: deletes the section.
  virtual bool DeleteProfileSection(const std::string& file, const std::string& section) = 0;

  // ---- services --------------------------------------------------------------------------
  // OpenSCManagerA with full access.
  virtual bool OpenServiceManager() = 0;
  virtual ServiceState QueryService(const std::string& name) = 0;
  virtual bool StopService(const std::string& name) = 0;
  virtual bool DeleteService(const std::string& name) = 0;

  // ---- deferred work (done at the next start of a Wine session) ---------------------------
  // MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT: `to` empty deletes `from` at restart.
  virtual bool MoveFileDelayed(const std::string& from, const std::string& to,
                               bool replaceExisting) = 0;
  // The pending list as (source, destination) pairs, destinations with "!" for replace.
  virtual std::vector<std::pair<std::string, std::string>> PendingRenames() = 0;

  // ---- processes and restart ---------------------------------------------------------------
  // Runs `commandLine` (a quoted or plain program path, then arguments) in `workingDir`
  // (empty: CurrentDirectory()). With `wait`, returns when it has ended (*exitCode set).
  virtual StartResult StartProcess(const std::string& commandLine, const std::string& workingDir,
                                   bool wait, uint32_t* exitCode) = 0;
  // Calls DllRegisterServer/DllUnregisterServer of a library (through regsvr32 of the prefix).
  virtual bool SelfRegister(const std::string& path, bool doRegister) = 0;
  // A top-level window of that class exists (never, outside a running session).
  virtual bool WindowClassExists(const std::string& className) = 0;
  // Starts a new session of the prefix so that deferred work is done. False when Wine is not
  // installed: the work then happens at the next start of any program in the prefix.
  virtual bool Restart() = 0;

  // ---- Program Manager ---------------------------------------------------------------------
  // Groups are folders of the Start Menu's Programs folder, items the .lnk files in them.
  virtual bool ProgmanConnect() = 0;
  virtual std::vector<std::string> ProgmanGroups() = 0;
  // The group's description: "\"Group\"" then per item "\r\n\"Name\",\"command line\"".
  virtual bool ProgmanGroupDescription(const std::string& group, std::string* text) = 0;
  // DDE execute: "[ShowGroup(g,n)]", "[DeleteItem(name)]" (in the last shown group),
  // "[DeleteGroup(g)]"; several commands may follow each other.
  virtual bool ProgmanExecute(const std::string& command) = 0;
  virtual void ProgmanDisconnect() = 0;

  // ---- checks the uninstall walk makes before it changes anything -------------------------
  // True when a change at `path` would stay inside the prefix (after every link is followed).
  // A walk tests this before it descends into a folder, so that a folder leading out is
  // refused once instead of file by file. The default: every path may change.
  virtual bool MayChange(const std::string& /*path*/) { return true; }
  // True when the last component of `path` is a symbolic link (a walk does not descend into
  // it). The default: no links.
  virtual bool IsSymbolicLink(const std::string& /*path*/) { return false; }
  // True when both paths name the same file or folder, however they are spelt (case,
  // aliases, ".", "..", slashes, another drive leading to the same place). The default
  // compares the long forms without regard to case.
  virtual bool SameLocation(const std::string& a, const std::string& b);
  // The Linux files (menu entries, desktop files, icons) that were removed because the
  // shortcut they stand for was deleted, since the last call.
  virtual std::vector<std::string> TakeRemovedShadows() { return {}; }

  // ---- shell links ---------------------------------------------------------------------------
  // Writes a .lnk file (Shell Link Binary File Format); missing folders of the path are made.
  virtual bool CreateShellLink(const std::string& linkPath, const ShellLinkInfo& info) = 0;
  virtual bool ReadShellLink(const std::string& linkPath, ShellLinkInfo* info) = 0;
};

// Opens the Wine prefix at `prefixDir` (the folder that holds drive_c and system.reg).
// Returns null with *error set when it is not a usable prefix.
std::unique_ptr<Platform> OpenWinePrefix(const std::string& prefixDir, std::string* error);

// The prefix an install log belongs to: the nearest folder above `logUnixPath` that holds
// both drive_c and system.reg; else $WINEPREFIX; else ~/.wine. Empty when none exists.
std::string FindWinePrefix(const std::string& logUnixPath);

// OemToCharA for code page 437 to Windows-1252; characters without an equivalent become '?'.
std::string OemToAnsi(const std::string& oem);
// Windows-1252 <-> UTF-8 (for showing texts and for Linux file names).
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);

}  // namespace yarb
