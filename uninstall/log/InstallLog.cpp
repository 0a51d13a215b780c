#include "InstallLog.h"

#include <climits>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "DupIndex.h"
#include "LineReader.h"
#include "TextRules.h"
#include "Platform.h"

namespace yarb {

namespace {

constexpr char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

enum class FileKind { Copy, ShellLink, Overwrite };

// atoi: leading blanks, a sign, digits; saturates instead of overflowing.
int ParseInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Adds one string with its NUL to a list held without its final NUL, cutting it so that the
// list and its final NUL stay within kRegDataBytes.
void AppendToStringList(std::string* list, std::string_view s) {
  if (list->size() + 1 >= kRegDataBytes) return;
  const size_t room = kRegDataBytes - 1 - list->size();  // for the string and its NUL
  list->append(s.substr(0, std::min(s.size(), room - 1)));
  list->push_back('\0');
}

// `path` with its last `count` components removed ("" when it runs out of them).
std::string CutComponents(std::string path, int count) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  for (int i = 0; i < count; ++i) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return std::string();
    path.resize(slash);
  }
  return path;
}

std::string WithoutTrailingSlash(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

class Parser {
 public:
  Parser(Platform& platform, UninstallUi& ui, const std::string& logPath, std::string_view bytes,
         InstallLog* log)
      : platform_(platform),
        ui_(ui),
        logPath_(logPath),
        size_(bytes.size()),
        reader_(bytes, [this](uint64_t offset) { ui_.ReportProgress(offset, size_); }),
        log_(*log) {}

  ParseResult Run();

 private:
  // ---- lines
  bool NextLine(LogLine* line);
  // Takes the next line when it begins with `prefix` (value = the rest); else leaves it.
  bool NextIf(std::string_view prefix, std::string* value);
  static bool Match(const std::string& text, std::string_view prefix, std::string* value);

  // ---- set-up
  void ReadSystem();
  void PreSeedLogFolder();
  void SetTitle(std::string_view text);
  bool Fail(int textId);

  // ---- records
  bool Record(const LogLine& line);
  void NewInstallation(const LogLine& line);
  void FileRecord(FileKind kind, std::string_view value, bool nonSystem, bool counterIgnored);
  void RegistryGroup(std::string_view key);
  void FileEditRecord(std::string_view value);
  void FileDeleteRecord(std::string_view value);
  void ServiceRecord(std::string_view value);
  void DeviceRecord(std::string_view value);
  void SelfRegisterRecord(std::string_view value);
  void IniNewRecord();
  void IniFileGroup(std::string_view value);
  void ProgramRecord(std::string_view value);
  void IconGroup(std::string_view value);
  void MadeDirRecord(std::string_view value);
  void FileTreeRecord(std::string_view value);
  void RegTreeRecord(std::string_view value);

  // ---- helpers
  std::string FilePath(std::string_view value) const;  // OEM converted, cut to a path field
  bool OnRemovableFloppy(const std::string& path);
  bool IsSystemFolder(const std::string& path) const;
  bool SameFolder(const std::string& a, const std::string& b);
  bool InUserProfile(const std::string& path) const;
  bool IsSharedDll(const std::string& path);
  long FindFile(bool system, const std::string& path) const;
  void AddRepairOnly(const std::string& path, const std::string& attributes,
                     const std::optional<std::string>& linkInfo);
  std::string LongForm(const std::string& path);

  Platform& platform_;
  UninstallUi& ui_;
  std::string logPath_;
  uint64_t size_;
  LineReader reader_;
  InstallLog& log_;

  LogLine pending_;
  bool hasPending_ = false;
  bool nonSystemMark_ = false;   // "Non-System File:" before the next record
  bool counterIgnoredMark_ = false;  // "Shared DLL counter ignored:" likewise

  int current_ = 1;
  bool ansi_ = false;
  bool nt_ = true;
  bool major4_ = true;
  std::string windowsDir_, systemDir_, win32sDir_;
  std::string logFolder_;

  DupIndex privateIndex_, regKeyIndex_, regEditIndex_, iniItemIndex_;
  ExactIndex systemIndex_, repairOnlyIndex_, iniFileIndex_, serviceIndex_, programIndex_,
      iconIndex_, regTreeIndex_, deletedIndex_, editedIndex_;
  // File entries by folded path, and (once a "Self-Register: " asks) by folded long path.
  std::unordered_multimap<std::string, std::pair<bool, size_t>> filesByPath_, filesByLongPath_;
  bool longPathIndexBuilt_ = false;
  void IndexFile(bool system, size_t index);
  std::unordered_map<std::string, std::string> longForms_;
  // The directory paths folded to lower case, kept beside the list: the folder records
  // compare against every entry, and a plain byte compare keeps that fast.
  std::vector<std::string> dirFolded_;
  void AddDirectory(DirEntry entry);
  // A folder path in the one form every folder comparison uses: long names, ending in "\\"
  // unless it holds a wildcard, folded for a byte compare.
  std::string DirKey(const std::string& path);
};

std::string Parser::DirKey(const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return FoldKey(LongForm(path));
  std::string longForm = LongForm(path);
  while (longForm.size() > 1 && longForm.back() == '\\') longForm.pop_back();
  return FoldKey(longForm + "\\");
}

void Parser::AddDirectory(DirEntry entry) {
  if (log_.directories.size() >= kListCapacity) return;
  dirFolded_.push_back(DirKey(entry.path));
  log_.directories.push_back(std::move(entry));
}

bool Parser::NextLine(LogLine* line) {
  if (hasPending_) {
    hasPending_ = false;
    *line = std::move(pending_);
    return true;
  }
  return reader_.Next(line);
}

bool Parser::Match(const std::string& text, std::string_view prefix, std::string* value) {
  if (!StartsWithNoCase(text, prefix)) return false;
  value->assign(text, prefix.size());
  return true;
}

bool Parser::NextIf(std::string_view prefix, std::string* value) {
  LogLine line;
  if (!NextLine(&line)) return false;
  if (Match(line.text, prefix, value)) return true;
  pending_ = std::move(line);
  hasPending_ = true;
  return false;
}

void Parser::ReadSystem() {
  const WinVersion version = platform_.Version();
  nt_ = version.nt;
  major4_ = version.major >= 4;
  windowsDir_ = WithoutTrailingSlash(platform_.WindowsDirectory());
  systemDir_ = WithoutTrailingSlash(platform_.SystemDirectory());
  win32sDir_ = systemDir_ + "\\WIN32S";
  if (major4_) {
    RegValue value;
    if (platform_.RegQueryValue(RegRoot::CurrentUser, kShellFoldersKey, "Start Menu", &value))
      log_.profilesFolder = CutComponents(value.AsString(), 2);
    if (nt_ && platform_.RegQueryValue(RegRoot::LocalMachine, kShellFoldersKey,
                                       "Common Start Menu", &value))
      log_.allUsersFolder = CutComponents(value.AsString(), 1);
  }
}

bool Parser::SameFolder(const std::string& a, const std::string& b) {
  if (b.empty()) return false;
  return EqualNoCase(a, b) || EqualNoCase(a, WithoutTrailingSlash(platform_.ToShortPath(b)));
}

void Parser::PreSeedLogFolder() {
  std::string path = logPath_;
  if (path.find('\\') == std::string::npos)
    path = WithoutTrailingSlash(platform_.CurrentDirectory()) + "\\" + path;
  const std::string folder = FolderOf(path);
  if (folder.size() <= 2) return;  // a drive root: no folder of its own
  const std::string shortFolder =
      WithoutTrailingSlash(CutToField(platform_.ToShortPath(folder), kPathChars - 1));
  if (shortFolder.size() <= 2) return;
  logFolder_ = shortFolder + "\\";
  if (SameFolder(shortFolder, windowsDir_) || SameFolder(shortFolder, systemDir_)) return;
  DirEntry seed;
  seed.path = logFolder_;
  seed.treeInstallation = 0;
  seed.madeInstallation = kAlwaysInstallation;
  AddDirectory(std::move(seed));
}

std::string TrimTitleImpl(std::string_view title) {
  if (EndsWithNoCase(title, " INSTALLATION")) title.remove_suffix(13);
  if (EndsWithNoCase(title, " INSTALL")) title.remove_suffix(8);
  return std::string(title);
}

void Parser::SetTitle(std::string_view text) {
  log_.header.title = CutToField(TrimTitleImpl(text), kProductChars);
}

bool Parser::Fail(int textId) {
  ui_.CloseProgress();
  ui_.ShowMessage(ui_.LoadText(textId), ui_.LoadText(textId == kStrAdminRequired ? kStrUninstall
                                                                                  : kStrProductName));
  return false;
}

ParseResult Parser::Run() {
  ReadSystem();
  PreSeedLogFolder();

  LogLine line;
  if (!NextLine(&line) || line.text.compare(0, 4, "*** ") != 0) {
    Fail(kStrInvalidLog);
    return {};
  }
  ansi_ = line.text.size() > 4 && line.text[4] == ' ';
  log_.installations.emplace_back();
  current_ = 1;

  for (;;) {
    if (!NextLine(&line)) {
      Fail(kStrInvalidLog);
      return {};
    }
    if (line.text.compare(0, 6, "Title:") == 0) break;
  }
  SetTitle(line.text.size() > 7 ? std::string_view(line.text).substr(7) : std::string_view());

  while (NextLine(&line))
    if (!Record(line)) return {};

  ParseResult result;
  result.ok = true;
  result.logFolder = logFolder_;
  return result;
}

bool Parser::Record(const LogLine& line) {
  const std::string& text = line.text;
  if (EqualNoCase(text, "Non-System File:")) {
    nonSystemMark_ = true;
    return true;
  }
  if (EqualNoCase(text, "Shared DLL counter ignored:")) {
    counterIgnoredMark_ = true;
    return true;
  }
  const bool nonSystem = nonSystemMark_;
  const bool counterIgnored = counterIgnoredMark_;
  nonSystemMark_ = counterIgnoredMark_ = false;

  LogHeader& header = log_.header;
  std::string v;
  if (Match(text, "File Copy: ", &v)) {
    FileRecord(FileKind::Copy, v, nonSystem, counterIgnored);
  } else if (Match(text, "Shell Link: ", &v)) {
    FileRecord(FileKind::ShellLink, v, nonSystem, counterIgnored);
  } else if (Match(text, "File Overwrite: ", &v)) {
    FileRecord(FileKind::Overwrite, v, nonSystem, counterIgnored);
  } else if (Match(text, "RegDB Key: ", &v)) {
    RegistryGroup(v);
  } else if (Match(text, "File Edit: ", &v)) {
    FileEditRecord(v);
  } else if (Match(text, "Create Service: ", &v)) {
    ServiceRecord(v);
  } else if (Match(text, "Add Device: ", &v)) {
    DeviceRecord(v);
  } else if (Match(text, "Self-Register: ", &v)) {
    SelfRegisterRecord(v);
  } else if (Match(text, "INI New: ", &v)) {
    IniNewRecord();
  } else if (Match(text, "INI File: ", &v)) {
    IniFileGroup(v);
  } else if (Match(text, "Execute Path: ", &v) || Match(text, "Execute Program: ", &v)) {
    ProgramRecord(v);
  } else if (Match(text, "Icon Group: ", &v)) {
    IconGroup(v);
  } else if (StartsWithNoCase(text, "SubSystem: B")) {
    log_.subSystem.present = true;
    log_.subSystem.name = CutToField(std::string_view(text).substr(11), kTextChars);
    log_.subSystem.selected = false;
  } else if (Match(text, "Made Dir: ", &v)) {
    MadeDirRecord(v);
  } else if (Match(text, "File Delete: ", &v)) {
    FileDeleteRecord(v);
  } else if (Match(text, "File Tree: ", &v)) {
    FileTreeRecord(v);
  } else if (Match(text, "RegDB Tree: ", &v)) {
    RegTreeRecord(v);
  } else if (text.compare(0, 4, "*** ") == 0) {
    NewInstallation(line);
  } else if (Match(text, "Source: ", &v)) {
    if (v.find('|') != std::string::npos) header.repairAvailable = true;
    log_.installations[current_ - 1].source = std::move(v);
  } else if (Match(text, "Uninstall MIF: ", &v)) {
    header.statusMifFile = CutToField(v, kProductChars);
  } else if (Match(text, "Manufacturer: ", &v)) {
    header.manufacturer = CutToField(v, kProductChars);
  } else if (Match(text, "Product: ", &v)) {
    header.product = CutToField(v, kProductChars);
  } else if (Match(text, "Version Number: ", &v)) {
    header.versionNumber = CutToField(v, kProductChars);
  } else if (Match(text, "Serial Number: ", &v)) {
    header.serialNumber = CutToField(v, kProductChars);
  } else if (EqualNoCase(text, "User Rights: Admin")) {
    if (!header.adminCheckDone) {
      header.adminCheckDone = true;
      if (nt_ && !platform_.OpenServiceManager()) return Fail(kStrAdminRequired);
    }
  } else if (Match(text, "Per-User ID: ", &v)) {
    header.perUserId = CutToField(v, kTextChars);
  } else if (Match(text, "Delete in-use files: ", &v)) {
    header.deleteInUseFiles = StartsWithNoCase(v, "On");
  } else if (StartsWithNoCase(text, "System Restore: Enabled")) {
    header.systemRestore = true;
  } else if (Match(text, "Title: ", &v)) {
    SetTitle(v);
  }
  return true;
}

void Parser::NewInstallation(const LogLine& line) {
  ansi_ = line.text.size() > 4 && line.text[4] == ' ';
  // Past the last installation the log can number, its records count as that one's.
  if (log_.installations.size() >= static_cast<size_t>(kMaxInstallations)) return;
  log_.installations.emplace_back();
  current_ = static_cast<int>(log_.installations.size());
  log_.latestHeaderOffset = line.offset;
}

std::string Parser::FilePath(std::string_view value) const {
  std::string path = ansi_ ? std::string(value) : OemToAnsi(std::string(value));
  if (path.size() > kPathChars) path.resize(kPathChars);
  return path;
}

bool Parser::OnRemovableFloppy(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char drive = static_cast<char>(path[0] & ~0x20);
  return (drive == 'A' || drive == 'B') && platform_.IsRemovableDrive(drive);
}

bool Parser::IsSystemFolder(const std::string& path) const {
  const std::string folder = FolderOf(path);
  return EqualNoCase(folder, windowsDir_) || EqualNoCase(folder, systemDir_) ||
         EqualNoCase(folder, win32sDir_);
}

bool Parser::InUserProfile(const std::string& path) const {
  if (log_.profilesFolder.empty() || !StartsWithNoCase(path, log_.profilesFolder)) return false;
  return log_.allUsersFolder.empty() || !StartsWithNoCase(path, log_.allUsersFolder);
}

bool Parser::IsSharedDll(const std::string& path) {
  RegValue value;
  return major4_ && platform_.RegQueryValue(RegRoot::LocalMachine, kSharedDllsKey, path, &value);
}

long Parser::FindFile(bool system, const std::string& path) const {
  return system ? systemIndex_.Find(path) : privateIndex_.Find(DupKey{path, {}, {}});
}

void Parser::IndexFile(bool system, size_t index) {
  const std::string& path = (system ? log_.systemFiles : log_.privateFiles)[index].path;
  filesByPath_.emplace(FoldKey(path), std::make_pair(system, index));
  if (longPathIndexBuilt_) filesByLongPath_.emplace(FoldKey(LongForm(path)), std::make_pair(system, index));
}

void Parser::AddRepairOnly(const std::string& path, const std::string& attributes,
                           const std::optional<std::string>& linkInfo) {
  const long i = repairOnlyIndex_.Find(path);
  if (i >= 0) {
    RepairOnlyFileEntry& e = log_.repairOnlyFiles[i];
    e.installation = current_;
    e.installAttributes = attributes;
    e.linkInfo = linkInfo;
    return;
  }
  if (log_.repairOnlyFiles.size() >= kListCapacity) return;
  repairOnlyIndex_.Add(path, log_.repairOnlyFiles.size());
  log_.repairOnlyFiles.push_back(RepairOnlyFileEntry{path, attributes, linkInfo, current_});
}

void Parser::FileRecord(FileKind kind, std::string_view value, bool nonSystem,
                        bool counterIgnored) {
  std::string attributes;
  const size_t bar = value.find('|');
  if (bar != std::string_view::npos) {
    attributes = CutToField(value.substr(bar + 1), kAttributeChars);
    value = value.substr(0, bar);
    if (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  }
  const std::string path = FilePath(value);

  // A shortcut in one user's profile belongs to the per-user manager.
  if (kind == FileKind::ShellLink && !log_.header.perUserId.empty() && InUserProfile(path)) return;
  const bool unsharedOverwrite = kind == FileKind::Overwrite && !IsSharedDll(path);

  std::optional<std::string> linkInfo;
  std::string backup;
  std::string v;
  if (NextIf("Link Info: ", &v)) linkInfo = std::move(v);
  if (NextIf("Backup Copy: ", &v)) backup = FilePath(v);
  const bool hasBackup = !backup.empty();
  if (hasBackup) log_.header.backupsExist = true;

  const bool system = IsSystemFolder(path);
  if (path.empty() || OnRemovableFloppy(path) || (unsharedOverwrite && !hasBackup)) {
    // Only what repair needs survives: the attributes and the link of a file it knows.
    if (attributes.empty() && !linkInfo) return;
    const long i = FindFile(system, path);
    if (i >= 0) {
      FileEntry& e = (system ? log_.systemFiles : log_.privateFiles)[i];
      e.installAttributes = attributes;
      e.linkInfo = linkInfo;
      e.attributeInstallation = current_;
    } else if (!path.empty()) {
      AddRepairOnly(path, attributes, linkInfo);
    }
    return;
  }
  if (!platform_.FileExists(path)) {
    AddRepairOnly(path, attributes, linkInfo);
    return;
  }

  std::vector<FileEntry>& list = system ? log_.systemFiles : log_.privateFiles;
  const long i = FindFile(system, path);
  if (i < 0) {
    if (list.size() >= (system ? kListCapacity : kBigListCapacity)) return;
    FileEntry e;
    e.path = path;
    e.backupPath = backup;
    e.installAttributes = attributes;
    e.linkInfo = linkInfo;
    e.selected = system && nonSystem;
    e.defaultRemove = !(unsharedOverwrite || hasBackup);
    e.installation = e.backupInstallation = current_;
    e.sharedInstallation = counterIgnored ? 0 : current_;
    e.sharedCount = counterIgnored ? 0 : 1;
    if (system)
      systemIndex_.Add(path, list.size());
    else
      privateIndex_.Add(DupKey{path, {}, {}}, list.size());
    list.push_back(std::move(e));
    IndexFile(system, list.size() - 1);
    return;
  }
  FileEntry& e = list[i];
  e.installation = current_;
  if (!counterIgnored) {
    e.sharedInstallation = current_;
    if (e.sharedCount < INT_MAX) ++e.sharedCount;
  }
  if (hasBackup) {
    e.backupPath = backup;
    e.backupInstallation = current_;
  }
  e.installAttributes = attributes;
  e.linkInfo = linkInfo;
}

void Parser::RegistryGroup(std::string_view key) {
  std::string v;
  if (!NextIf("RegDB Val: ", &v)) return;
  std::string newData = CutToField(v, kRegDataBytes - 1);
  while (NextIf("RegDB Val: ", &v)) {
  }
  std::string name, rootText = "0";
  int typeIndex = 0, rootIndex = 0;
  if (NextIf("RegDB Name: ", &v)) name = CutToField(v, kTextChars);
  if (NextIf("RegDB Type: ", &v)) typeIndex = ParseInt(v);
  if (NextIf("RegDB Root: ", &v)) {
    rootText = CutToField(v, kTextChars);
    rootIndex = ParseInt(v);
  }
  bool hasOld = false;
  std::string old;
  while (NextIf("RegDB Old: ", &v)) {
    hasOld = true;
    AppendToStringList(&old, v);
  }
  old.push_back('\0');
  if (rootIndex == kRootCurrentUser && !log_.header.perUserId.empty()) return;

  DupKey dup{CutToField(key, kPathChars), name, rootText};
  RegWriteEntry write;
  write.changed = hasOld;
  write.typeIndex = typeIndex;
  write.newData = std::move(newData);
  if (!hasOld) {
    long i = regKeyIndex_.Find(dup);
    if (i >= 0) {
      log_.regKeys[i].installation = current_;
    } else {
      if (log_.regKeys.size() >= kBigListCapacity) return;
      RegKeyEntry e{dup.path, dup.second, dup.third, rootIndex, false, current_};
      i = static_cast<long>(log_.regKeys.size());
      regKeyIndex_.Add(std::move(dup), log_.regKeys.size());
      log_.regKeys.push_back(std::move(e));
    }
    write.entry = static_cast<size_t>(i);
  } else {
    long i = regEditIndex_.Find(dup);
    if (i >= 0) {
      log_.regEdits[i].latestOldData = old;
      log_.regEdits[i].installation = current_;
    } else {
      if (log_.regEdits.size() >= kBigListCapacity) return;
      RegEditEntry e{dup.path, dup.second, dup.third, rootIndex, typeIndex, old, old, false,
                     current_};
      i = static_cast<long>(log_.regEdits.size());
      regEditIndex_.Add(std::move(dup), log_.regEdits.size());
      log_.regEdits.push_back(std::move(e));
    }
    write.entry = static_cast<size_t>(i);
  }
  if (log_.regWrites.size() < kBigListCapacity) log_.regWrites.push_back(std::move(write));
}

void Parser::FileEditRecord(std::string_view value) {
  const std::string path = FilePath(value);
  std::string v;
  if (!NextIf("Backup Copy: ", &v)) return;
  const std::string backup = FilePath(v);
  if (OnRemovableFloppy(path) || !platform_.FileExists(path)) return;
  const long i = editedIndex_.Find(path);
  if (i >= 0) {
    log_.editedBackups[i].backupPath = backup;
    log_.editedBackups[i].installation = current_;
    return;
  }
  if (log_.editedBackups.size() >= kListCapacity) return;
  editedIndex_.Add(path, log_.editedBackups.size());
  log_.editedBackups.push_back(EditedFileBackup{path, backup, current_});
}

void Parser::FileDeleteRecord(std::string_view value) {
  const std::string path = FilePath(value);
  std::string v;
  if (!NextIf("Backup Copy: ", &v)) return;
  const std::string backup = FilePath(v);
  log_.header.backupsExist = true;
  const long i = deletedIndex_.Find(path);
  if (i >= 0) {
    log_.deletedBackups[i].backupPath = backup;
    log_.deletedBackups[i].installation = current_;
    return;
  }
  if (log_.deletedBackups.size() >= kListCapacity) return;
  deletedIndex_.Add(path, log_.deletedBackups.size());
  log_.deletedBackups.push_back(DeletedFileBackup{path, backup, current_});
}

void Parser::ServiceRecord(std::string_view value) {
  const std::string name = CutToField(value, kTextChars);
  const long i = serviceIndex_.Find(name);
  if (i >= 0) {
    log_.services[i].installation = current_;
    return;
  }
  if (log_.services.size() >= kListCapacity) return;
  serviceIndex_.Add(name, log_.services.size());
  log_.services.push_back(ServiceEntry{name, false, current_});
}

void Parser::DeviceRecord(std::string_view value) {
  const std::string path = FilePath(value);
  auto [from, to] = filesByPath_.equal_range(FoldKey(path));
  for (auto it = from; it != to; ++it)
    (it->second.first ? log_.systemFiles : log_.privateFiles)[it->second.second]
        .deviceInstallation = current_;
}

std::string Parser::LongForm(const std::string& path) {
  if (path.find('~') == std::string::npos) return path;
  auto it = longForms_.find(path);
  if (it == longForms_.end()) it = longForms_.emplace(path, platform_.ToLongPath(path)).first;
  return it->second;
}

void Parser::SelfRegisterRecord(std::string_view value) {
  const std::string path = LongForm(FilePath(value));
  if (!longPathIndexBuilt_) {
    longPathIndexBuilt_ = true;
    for (bool system : {false, true}) {
      const std::vector<FileEntry>& list = system ? log_.systemFiles : log_.privateFiles;
      for (size_t i = 0; i < list.size(); ++i)
        filesByLongPath_.emplace(FoldKey(LongForm(list[i].path)), std::make_pair(system, i));
    }
  }
  auto [from, to] = filesByLongPath_.equal_range(FoldKey(path));
  for (auto it = from; it != to; ++it)
    (it->second.first ? log_.systemFiles : log_.privateFiles)[it->second.second]
        .selfRegisterInstallation = current_;
}

void Parser::IniNewRecord() {
  std::string v;
  if (!NextIf("INI File: ", &v)) return;
  const std::string path = FilePath(v);
  if (!OnRemovableFloppy(path) && platform_.FileExists(path)) {
    const long i = iniFileIndex_.Find(path);
    if (i >= 0) {
      log_.iniFiles[i].installation = current_;
    } else if (log_.iniFiles.size() < kListCapacity) {
      iniFileIndex_.Add(path, log_.iniFiles.size());
      log_.iniFiles.push_back(IniFileEntry{path, false, current_});
    }
  }
  // The items written into a new file need no undoing of their own.
  LogLine line;
  while (NextLine(&line)) {
    const std::string& t = line.text;
    const char fifth = t.size() > 4 ? static_cast<char>(t[4] & ~0x20) : '\0';
    if (!StartsWithNoCase(t, "INI ") || fifth == 'F' || fifth == 'N') {
      pending_ = std::move(line);
      hasPending_ = true;
      break;
    }
  }
}

void Parser::IniFileGroup(std::string_view value) {
  const std::string path = FilePath(value);
  std::string section, item, v, old;
  if (!NextIf("INI Sect: ", &section)) return;
  if (!NextIf("INI Item: ", &item)) return;
  if (!NextIf("INI Val: ", &v)) return;
  if (NextIf("INI Old: ", &v)) old = CutToField(v, kIniValueChars);
  if (OnRemovableFloppy(path)) return;

  DupKey dup{path, CutToField(section, kTextChars), CutToField(item, kTextChars)};
  const long i = iniItemIndex_.Find(dup);
  if (i >= 0) {
    // A later change keeps the first old value for a full uninstall and records, for a
    // rollback of this installation, the value it replaced.
    log_.iniItems[i].latestOldValue = old;
    log_.iniItems[i].installation = current_;
    return;
  }
  if (log_.iniItems.size() >= kListCapacity) return;
  IniItemEntry e{dup.path, dup.second, dup.third, old, old, false, current_};
  iniItemIndex_.Add(std::move(dup), log_.iniItems.size());
  log_.iniItems.push_back(std::move(e));
}

void Parser::ProgramRecord(std::string_view value) {
  const std::string path = CutToField(value, kPathChars);
  std::string name;
  if (NextIf("Execute Name: ", &name)) name = CutToField(name, kTextChars);
  const long i = programIndex_.Find(path);
  if (i >= 0) {
    log_.programs[i].installation = current_;
    return;
  }
  if (log_.programs.size() >= kListCapacity) return;
  programIndex_.Add(path, log_.programs.size());
  log_.programs.push_back(ProgramEntry{path, name, false, current_});
}

void Parser::IconGroup(std::string_view value) {
  std::string name, command;
  if (!NextIf("Icon Name: ", &name)) return;
  if (!NextIf("Icon Cmd: ", &command)) return;
  const std::string group = CutToField(value, kTextChars);
  name = CutToField(name, kTextChars);
  command = CutToField(command, kTextChars);
  const std::string key = group + '\0' + name;  // texts end at a NUL, so it parts them
  const long i = iconIndex_.Find(key);
  if (i >= 0) {
    log_.icons[i].commandLine = command;
    return;
  }
  if (log_.icons.size() >= kListCapacity) return;
  iconIndex_.Add(key, log_.icons.size());
  log_.icons.push_back(IconEntry{group, name, command, false, current_});
}

// Folder records take only "X:\..." or "\\server\..." paths longer than a drive root.
bool TakesDirectory(const std::string& path) {
  if (path.size() <= 3) return false;
  if (path[0] == '\\' && path[1] == '\\') return true;
  return IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

void Parser::MadeDirRecord(std::string_view value) {
  std::string path = FilePath(value);
  if (path.empty() || path.back() != '\\') {
    if (path.size() >= kPathChars) path.resize(kPathChars - 1);
    path.push_back('\\');
  }
  // Folders are compared in long form: a log may spell a folder "PROGRA~1" in one record and
  // "Program Files" in the next, and the log folder is kept in short form.
  const std::string folded = DirKey(path);
  if (!logFolder_.empty() && folded.size() <= kPathChars) {
    const std::string logKey = DirKey(logFolder_);
    if (logKey.compare(0, folded.size(), folded) == 0) {
      const std::string shortForm = WithoutTrailingSlash(platform_.ToShortPath(path));
      logFolder_ = CutToField(shortForm, kPathChars - 1) + "\\";
    }
  }
  if (!TakesDirectory(path)) return;
  for (size_t i = 0; i < dirFolded_.size(); ++i) {
    DirEntry& entry = log_.directories[i];
    // Only a plain folder merges: a wildcard or tree entry cut to a parent would delete every
    // file under that parent.
    if (entry.treeInstallation != 0 || entry.path.find_first_of("*?") != std::string::npos)
      continue;
    std::string& f = dirFolded_[i];
    const size_t n = std::min(f.size(), folded.size());
    if (std::memcmp(f.data(), folded.data(), n) == 0) {
      if (folded.size() < f.size()) {
        f = folded;
        entry.path = path;
      }
      entry.madeInstallation = current_;
      return;
    }
  }
  AddDirectory(DirEntry{path, false, 0, current_});
}

void Parser::FileTreeRecord(std::string_view value) {
  std::string path = FilePath(value);
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, "\\*.*") == 0) path.resize(path.size() - 4);
  if (path.find_first_of("*?") == std::string::npos && (path.empty() || path.back() != '\\')) {
    if (path.size() >= kPathChars) path.resize(kPathChars - 1);
    path.push_back('\\');
  }
  if (!TakesDirectory(path)) return;
  const std::string folded = DirKey(path);
  for (size_t i = 0; i < dirFolded_.size(); ++i) {
    if (dirFolded_[i] == folded) {
      log_.directories[i].treeInstallation = log_.directories[i].madeInstallation = current_;
      return;
    }
  }
  AddDirectory(DirEntry{path, false, current_, current_});
}

void Parser::RegTreeRecord(std::string_view value) {
  const std::string key = CutToField(value, kPathChars);
  int root = 0;
  std::string v;
  if (NextIf("RegDB Root: ", &v)) root = ParseInt(v);
  const std::string indexKey = key + '\0' + std::to_string(root);
  const long i = regTreeIndex_.Find(indexKey);
  if (i >= 0) {
    log_.regTrees[i].installation = current_;
    return;
  }
  if (log_.regTrees.size() >= kListCapacity) return;
  regTreeIndex_.Add(indexKey, log_.regTrees.size());
  log_.regTrees.push_back(RegTreeEntry{key, root, false, current_});
}

bool DeleteWith(Platform& platform, const std::string& path,
                const std::function<bool(const std::string&)>& deleteFile) {
  platform.SetFileAttributes(path, kAttrNormal);
  return deleteFile ? deleteFile(path) : platform.DeleteFile(path);
}

}  // namespace

std::string TrimTitle(std::string_view title) { return TrimTitleImpl(title); }

ParseResult ParseInstallLogBytes(Platform& platform, UninstallUi& ui, const std::string& logPath,
                                 std::string_view bytes, InstallLog* log) {
  *log = InstallLog{};
  Parser parser(platform, ui, logPath, bytes, log);
  return parser.Run();
}

ParseResult ParseInstallLog(Platform& platform, UninstallUi& ui, const std::string& logPath,
                            InstallLog* log) {
  std::vector<uint8_t> bytes;
  if (!platform.ReadFile(logPath, &bytes)) {
    *log = InstallLog{};
    ui.CloseProgress();
    ui.ShowMessage(ui.LoadText(kStrCannotOpenLog), ui.LoadText(kStrProductName));
    return {};
  }
  return ParseInstallLogBytes(platform, ui, logPath,
                              std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                               bytes.size()),
                              log);
}

LogEdit CutLogForRollback(Platform& platform, const std::string& logPath,
                          uint64_t latestHeaderOffset,
                          const std::function<bool(const std::string&)>& deleteFile) {
  if (latestHeaderOffset == 0)
    return DeleteWith(platform, logPath, deleteFile) ? LogEdit::Deleted : LogEdit::Failed;
  std::vector<uint8_t> bytes;
  if (!platform.ReadFile(logPath, &bytes)) return LogEdit::Failed;
  // The header line still starts there ("*** ", LF characters in between dropped as the
  // reader drops them).
  size_t matched = 0;
  for (size_t i = latestHeaderOffset; i < bytes.size() && matched < 4; ++i) {
    if (bytes[i] == '\n') continue;
    if (bytes[i] != static_cast<uint8_t>("*** "[matched])) break;
    ++matched;
  }
  if (matched < 4) return LogEdit::Failed;
  bytes.resize(latestHeaderOffset);
  platform.SetFileAttributes(logPath, kAttrNormal);
  return platform.WriteFile(logPath, bytes) ? LogEdit::Cut : LogEdit::Failed;
}

bool DeleteInstallLog(Platform& platform, const std::string& logPath,
                      const std::function<bool(const std::string&)>& deleteFile) {
  return DeleteWith(platform, logPath, deleteFile);
}

}  // namespace yarb
