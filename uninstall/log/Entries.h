// The in-memory lists that ParseInstallLog builds from INSTALL.LOG, and their limits.
//
// Every list keeps log order. Entries remember the installation (1, 2, ...) that last
// touched them, so that a rollback can undo only the latest installation. Texts are held
// in std::string but never longer than the fixed field the log format gives them
// (kPathChars for paths, kTextChars for other texts, ...): longer values are cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yarb {

// Field widths, in characters (the field holds one more byte for its NUL).
constexpr size_t kPathChars = 259;
constexpr size_t kTextChars = 255;
constexpr size_t kProductChars = 127;
constexpr size_t kAttributeChars = 79;
constexpr size_t kIniValueChars = 511;
constexpr size_t kRegDataBytes = 2048;  // old registry data: strings, their NULs and a final NUL

// List capacities; a list that is full takes no new entries.
constexpr size_t kBigListCapacity = 48000;  // private files, both registry-value lists, writes
constexpr size_t kListCapacity = 16000;     // every other list
constexpr int kMaxInstallations = 1023;

// Made installation of the log's own folder: always at or above any minimum.
constexpr int kAlwaysInstallation = 32767;

// Root index of the registry records: 0 HKEY_CLASSES_ROOT, 1 HKEY_CURRENT_USER,
// 2 HKEY_LOCAL_MACHINE, 3 HKEY_USERS, 4 HKEY_CURRENT_CONFIG. Taken from the log as it
// stands, so a value outside 0-4 may appear and names no root.
constexpr int kRootCurrentUser = 1;
// Type index: 0 REG_SZ, 1 REG_EXPAND_SZ, 2 REG_MULTI_SZ, 3 REG_DWORD (decimal text),
// 4 REG_BINARY (hexadecimal text).

struct FileEntry {
  std::string path;
  std::string backupPath;         // empty: no backup
  std::string installAttributes;  // "mm-dd-yyyy | hh:mm:ss | size | crc"
  std::optional<std::string> linkInfo;
  bool selected = false;
  bool defaultRemove = false;
  int installation = 0;
  int backupInstallation = 0;
  int sharedInstallation = 0;
  int sharedCount = 0;
  int selfRegisterInstallation = 0;  // 0 = none
  int deviceInstallation = 0;        // 0 = none
  int attributeInstallation = 0;     // 0 = none
};

// A logged file that is missing now, or whose record made no entry: used by repair only.
struct RepairOnlyFileEntry {
  std::string path;
  std::string installAttributes;
  std::optional<std::string> linkInfo;
  int installation = 0;
};

struct DirEntry {
  std::string path;  // ends in "\\" unless it holds a wildcard
  bool selected = false;
  int treeInstallation = 0;  // 0 = none: only emptied folders go
  int madeInstallation = 0;
};

struct IniFileEntry {
  std::string path;
  bool selected = false;
  int installation = 0;
};

struct IniItemEntry {
  std::string iniPath;
  std::string section;
  std::string item;
  std::string firstOldValue;   // empty: the item did not exist
  std::string latestOldValue;
  bool selected = false;
  int installation = 0;
};

struct RegKeyEntry {  // a value the installation created
  std::string keyPath;
  std::string valueName;
  std::string rootText;
  int rootIndex = 0;
  bool selected = false;
  int installation = 0;
};

struct RegEditEntry {  // a value the installation changed
  std::string keyPath;
  std::string valueName;
  std::string rootText;
  int rootIndex = 0;
  int typeIndex = 0;
  // Each string ended by NUL, the list by one more NUL; at most kRegDataBytes bytes.
  std::string firstOldData;
  std::string latestOldData;
  bool selected = false;
  int installation = 0;
};

struct RegWriteEntry {  // one logged registry write, for repair
  bool changed = false;  // entry indexes regEdits, else regKeys
  int typeIndex = 0;
  size_t entry = 0;
  std::string newData;
};

struct RegTreeEntry {
  std::string keyPath;
  int rootIndex = 0;
  bool selected = false;
  int installation = 0;
};

struct IconEntry {
  std::string group;
  std::string name;
  std::string commandLine;
  bool selected = false;
  int installation = 0;
};

struct ProgramEntry {
  std::string path;  // may carry arguments after a blank
  std::string displayName;
  bool selected = false;
  int installation = 0;
};

struct ServiceEntry {
  std::string name;
  bool selected = false;
  int installation = 0;
};

struct FileBackup {
  std::string path;
  std::string backupPath;
  int installation = 0;
};
using DeletedFileBackup = FileBackup;
using EditedFileBackup = FileBackup;

struct SubSystemEntry {
  bool present = false;
  std::string name;  // the database-engine sub-system
  bool selected = false;
};

struct LogInstallation {
  std::optional<std::string> source;  // the "Source: " text
  std::string listFile;               // repair's list of files to restore
};

struct LogHeader {
  std::string title;
  std::string statusMifFile;
  std::string manufacturer;
  std::string product;
  std::string versionNumber;
  std::string serialNumber;
  std::string perUserId;  // empty when absent
  bool adminCheckDone = false;
  bool deleteInUseFiles = false;
  bool systemRestore = false;
  bool repairAvailable = false;
  bool backupsExist = false;
};

// Everything one log holds.
struct InstallLog {
  LogHeader header;
  std::vector<LogInstallation> installations;  // [0] is installation 1
  uint64_t latestHeaderOffset = 0;              // 0 while there is one installation

  std::vector<FileEntry> privateFiles;
  std::vector<FileEntry> systemFiles;
  std::vector<RepairOnlyFileEntry> repairOnlyFiles;
  std::vector<DirEntry> directories;
  std::vector<IniFileEntry> iniFiles;
  std::vector<IniItemEntry> iniItems;
  std::vector<RegKeyEntry> regKeys;
  std::vector<RegEditEntry> regEdits;
  std::vector<RegWriteEntry> regWrites;
  std::vector<RegTreeEntry> regTrees;
  std::vector<IconEntry> icons;
  std::vector<ProgramEntry> programs;
  std::vector<ServiceEntry> services;
  std::vector<DeletedFileBackup> deletedBackups;
  std::vector<EditedFileBackup> editedBackups;
  SubSystemEntry subSystem;

  // Folders of user profiles that shell links are judged by (empty: match nothing): the
  // parent of the current user's start menu folder, and the all-users profile folder.
  std::string profilesFolder;
  std::string allUsersFolder;

  int LatestInstallation() const { return static_cast<int>(installations.size()); }
};

}  // namespace yarb
