// PerformUninstall: the 21 steps of the walk, in their fixed order.
#include <algorithm>

#include "InstallLog.h"
#include "TextRules.h"
#include "UninstallEngine.h"

namespace yarb {

namespace {

const char* kProgramFilesKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string WithoutTrailingSlash(std::string s) {
  while (s.size() > 3 && s.back() == '\\') s.pop_back();
  return s;
}

}  // namespace

std::string FitStatusText(const std::string& label, const std::string& item, StatusItem kind,
                          int width) {
  std::string text = item;
  if (kind == StatusItem::Key) {
    if (text.size() > 48) text = text.substr(0, 45) + "...";
  } else if (kind == StatusItem::Path) {
    const size_t first = text.find('\\');
    const size_t limit = width > 8 ? static_cast<size_t>(width) : 8;
    while (first != std::string::npos && text.size() > limit) {
      // "C:\a\b\c\f" -> "C:\...\b\c\f" -> "C:\...\c\f" -> "C:\...\f"
      const bool dotted = text.compare(first + 1, 4, "...\\") == 0;
      const size_t from = dotted ? first + 5 : first + 1;
      const size_t next = text.find('\\', from);
      if (next == std::string::npos) break;  // only the file name is left
      text = text.substr(0, first + 1) + "..." + text.substr(next);
    }
  }
  return label + text;
}

UninstallEngine::UninstallEngine(Platform& platform, UninstallUi& ui, InstallLog& log)
    : platform_(platform), ui_(ui), log_(log) {}

std::string UninstallEngine::Label(int id) { return ui_.LoadText(id); }

bool UninstallEngine::Cancelled() {
  if (!cancelled_ && ui_.CancelRequested()) cancelled_ = true;
  return cancelled_;
}

void UninstallEngine::Status(int labelId, const std::string& item, StatusItem kind) {
  ui_.SetStatus(FitStatusText(Label(labelId), item, kind, ui_.StatusWidth()));
  ui_.DispatchEvents(0);
}

void UninstallEngine::Tick() {
  ++done_;
  ui_.SetWalkProgress(std::min(done_, total_), total_);
}

bool UninstallEngine::Taken(bool selected) const {
  return options_.mode == UninstallMode::Automatic || selected;
}

void UninstallEngine::CollectRefusals() {
  const std::vector<std::string>& refusals = platform_.Refusals();
  for (; refusalsSeen_ < refusals.size(); ++refusalsSeen_)
    report_.Add(ReportKind::Refused, "", refusals[refusalsSeen_]);
  for (const std::string& file : platform_.TakeRemovedShadows())
    report_.Add(ReportKind::Removed, file, "Linux menu entry of a removed shortcut");
}

bool UninstallEngine::IsProtectedFolder(const std::string& folder) {
  std::string f = WithoutTrailingSlash(folder);
  if (f.size() < 4) return true;  // a drive root, or no folder at all
  std::vector<std::string> guarded = {windowsDir_, systemDir_, windowsDir_ + "\\system32",
                                      windowsDir_ + "\\syswow64", windowsDir_ + "\\sysnative"};
  // The usual places even when the prefix's registry does not name them.
  guarded.push_back("C:\\Program Files");
  guarded.push_back("C:\\Program Files (x86)");
  if (!programFilesDir_.empty()) guarded.push_back(programFilesDir_);
  for (const char* name : {"ProgramFilesDir (x86)", "ProgramW6432Dir"}) {
    RegValue v;
    if (platform_.RegQueryValue(RegRoot::LocalMachine, kProgramFilesKey, name, &v) &&
        !v.AsString().empty())
      guarded.push_back(WithoutTrailingSlash(v.AsString()));
  }
  // The folder of every user's profile and the shared profile: other programs' files.
  if (!log_.profilesFolder.empty()) guarded.push_back(WithoutTrailingSlash(log_.profilesFolder));
  if (!log_.allUsersFolder.empty()) guarded.push_back(WithoutTrailingSlash(log_.allUsersFolder));
  for (const std::string& g : guarded)
    if (!g.empty() && (EqualNoCase(f, g) || platform_.SameLocation(f, g))) return true;
  return false;
}

bool UninstallEngine::WaitForIdlePrefix() {
  while (platform_.ServerRunning()) {
    if (silent ||
        ui_.AskOkCancel(Label(kStrPrefixBusy), Label(kStrUninstall)) != BoxAnswer::Ok) {
      report_.Add(ReportKind::Note, "", Label(kStrPrefixBusyStopped));
      return false;
    }
  }
  return true;
}

WalkResult UninstallEngine::PerformUninstall(const UninstallOptions& options) {
  if (ran_) return WalkResult::Done;
  ran_ = true;
  options_ = options;
  if (!WaitForIdlePrefix()) return WalkResult::PrefixBusy;

  minimum_ = options_.rollback ? std::max(1, log_.LatestInstallation()) : 1;
  const WinVersion version = platform_.Version();
  nt_ = version.nt;
  major4_ = version.major >= 4;
  windowsDir_ = WithoutTrailingSlash(platform_.WindowsDirectory());
  systemDir_ = WithoutTrailingSlash(platform_.SystemDirectory());
  RegValue pf;
  if (platform_.RegQueryValue(RegRoot::LocalMachine, kProgramFilesKey, "ProgramFilesDir", &pf))
    programFilesDir_ = WithoutTrailingSlash(pf.AsString());
  refusalsSeen_ = platform_.Refusals().size();

  total_ = static_cast<int>(log_.services.size() + log_.icons.size() + log_.regEdits.size() +
                            log_.regTrees.size() + log_.regKeys.size() + log_.iniItems.size() +
                            log_.iniFiles.size() + log_.directories.size() +
                            log_.systemFiles.size() + log_.privateFiles.size());
  total_ = std::max(total_, 1);
  done_ = 0;
  ui_.BeginWalk(FormatText(Label(kStrPerformingUninstall), log_.header.title));
  ui_.SetWalkProgress(0, total_);

  RunPrograms();                                                     // 1
  if (options_.rollback) RestoreBackups(log_.deletedBackups);       // 2
  RemoveServices();                                                  // 3
  if (RemoveSubSystem()) {                                           // 4
    CollectRefusals();
    platform_.Flush();
    return WalkResult::Aborted;
  }
  RemoveIniFiles();                                                  // 5
  RestoreIniItems();                                                 // 6
  if (options_.rollback) RestoreBackups(log_.editedBackups);        // 7
  SharedPass(log_.privateFiles, false);                              // 8
  SharedPass(log_.systemFiles, true);                                // 9
  RemovalPass(log_.privateFiles, false);                             // 10
  RemovalPass(log_.systemFiles, true);                               // 11
  if (options_.rollback) ReRegister();                               // 12
  CollectRefusals();
  auto deleteFn = [this](const std::string& p) { return DeleteOrSchedule(p); };
  if (options_.mode == UninstallMode::Automatic && !options_.rollback && !Cancelled()) {  // 13
    DeleteInstallLog(platform_, options_.logPath, deleteFn);
  }
  RemoveDirectories();                                               // 14
  if (options_.rollback) {                                           // 15
    LogEdit edit = CutLogForRollback(platform_, options_.logPath, log_.latestHeaderOffset, deleteFn);
    if (edit == LogEdit::Cut)
      report_.Add(ReportKind::Removed, options_.logPath,
                  "the latest installation's part of the installation log");
    else if (edit == LogEdit::Failed)
      report_.Add(ReportKind::Failed, options_.logPath, "the installation log could not be cut back");
  }
  RestoreRegistryValues();                                           // 16
  RemoveCreatedValues();                                             // 17
  RemoveRegistryTrees();                                             // 18
  RemoveIcons();                                                     // 19
  PerUserCleanup();                                                  // 20, 21
  CollectRefusals();
  if (!platform_.Flush())
    report_.Add(ReportKind::Failed, "", "The registry changes could not be written: " +
                                            platform_.LastError());
  return cancelled_ ? WalkResult::Cancelled : WalkResult::Done;
}

// 1. External programs the installer ran, told the mode they are undone in.
void UninstallEngine::RunPrograms() {
  for (const ProgramEntry& e : log_.programs) {
    if (Cancelled()) break;
    if (!Taken(e.selected) || e.installation < minimum_) continue;
    Status(kStrExecutingProgram, e.displayName.empty() ? e.path : e.displayName,
           e.displayName.empty() ? StatusItem::Path : StatusItem::Name);
    std::string program = e.path;
    std::string args = options_.mode == UninstallMode::Automatic ? "Automatic" : "Custom";
    auto isFile = [this](const std::string& p) {
      const uint32_t a = platform_.GetFileAttributes(p);
      return a != kInvalidAttributes && !(a & kAttrDirectory);
    };
    if (e.path.find(' ') != std::string::npos && !isFile(e.path)) {
      // The longest leading part before a blank that names a file is the program.
      for (size_t blank = e.path.rfind(' '); blank != std::string::npos && blank > 0;
           blank = e.path.rfind(' ', blank - 1)) {
        if (isFile(e.path.substr(0, blank))) {
          program = e.path.substr(0, blank);
          args = e.path.substr(blank + 1);
          break;
        }
      }
    }
    uint32_t code = 0;
    if (platform_.StartProcess("\"" + program + "\" " + args, "", true, &code) ==
        StartResult::Started)
      report_.Add(ReportKind::Removed, program, "ran with \"" + args + "\"");
    else
      report_.Add(ReportKind::Failed, program, "could not be started: " + platform_.LastError());
  }
}

// 2 and 7. Rollback puts the latest installation's backups of deleted or edited files back.
void UninstallEngine::RestoreBackups(const std::vector<FileBackup>& backups) {
  for (const FileBackup& b : backups) {
    if (b.installation < minimum_ || b.backupPath.empty() || !platform_.FileExists(b.backupPath))
      continue;
    RemoveFile(b.path, b.backupPath, true);
  }
}

// 3. Services: stopped and deleted through the prefix's service keys.
void UninstallEngine::RemoveServices() {
  for (const ServiceEntry& e : log_.services) {
    if (Cancelled()) break;
    Tick();
    if (!Taken(e.selected) || e.installation < minimum_) continue;
    Status(kStrDeletingService, e.name, StatusItem::Name);
    if (platform_.OpenServiceManager()) {
      platform_.StopService(e.name);
      if (platform_.DeleteService(e.name))
        report_.Add(ReportKind::Removed, e.name, "service");
      else
        report_.Add(ReportKind::Failed, e.name, "service: " + platform_.LastError());
    }
    ui_.DispatchEvents(3500);
  }
}

// 4. The database-engine sub-system; true when the user chose Abort.
bool UninstallEngine::RemoveSubSystem() {
  if (!log_.subSystem.present || !Taken(log_.subSystem.selected)) return false;
  Status(kStrRemovingSubSystem, log_.subSystem.name, StatusItem::Name);
  if (RemoveDatabaseEngine()) {
    report_.Add(ReportKind::Note, log_.subSystem.name,
                "the uninstall was stopped at the database engine's question");
    return true;
  }
  return false;
}

// 5. INI files the installation created.
void UninstallEngine::RemoveIniFiles() {
  for (const IniFileEntry& e : log_.iniFiles) {
    if (Cancelled()) break;
    Tick();
    if (!Taken(e.selected) || e.installation < minimum_) continue;
    Status(kStrRemovingIniFile, e.path, StatusItem::Path);
    platform_.SetFileAttributes(e.path, kAttrNormal);
    DeleteOrSchedule(e.path);
  }
}

// 6. INI items changed back to their old value (an empty old value: the item goes).
void UninstallEngine::RestoreIniItems() {
  for (const IniItemEntry& e : log_.iniItems) {
    if (Cancelled()) break;
    Tick();
    if (!Taken(e.selected) || e.installation < minimum_ || !platform_.FileExists(e.iniPath))
      continue;
    Status(kStrEditingIniFile, e.iniPath, StatusItem::Path);
    const std::string& value = options_.rollback ? e.latestOldValue : e.firstOldValue;
    const std::string item = e.iniPath + ": [" + e.section + "] " + e.item;
    const bool ok = value.empty() ? platform_.DeleteProfileKey(e.iniPath, e.section, e.item)
                                  : platform_.WriteProfileString(e.iniPath, e.section, e.item, value);
    if (ok)
      report_.Add(ReportKind::Removed, item, value.empty() ? "INI item removed" : "INI item changed back");
    else if (!value.empty())
      report_.Add(ReportKind::Failed, item, platform_.LastError());
  }
}

// 8 and 9. Shared-use pass, last logged first: lowers the shared counters and unregisters
// what goes; a file still used elsewhere loses its path so that the removal pass keeps it.
void UninstallEngine::SharedPass(std::vector<FileEntry>& files, bool system) {
  for (size_t k = files.size(); k-- > 0;) {
    FileEntry& e = files[k];
    if (e.installation < minimum_) continue;
    bool taken;
    if (system) {
      taken = e.selected || major4_;
    } else {
      taken = (options_.mode == UninstallMode::Automatic &&
               (e.defaultRemove || (options_.rollback && !e.backupPath.empty()))) ||
              e.selected;
    }
    if (!taken) continue;
    const int r = e.sharedInstallation < minimum_ ? 0 : DecrementSharedCount(e.path, e.sharedCount);
    const bool backupFromLatest = options_.rollback && e.backupInstallation == minimum_;
    if (r == 1) {
      if (!backupFromLatest) e.path.clear();
      continue;
    }
    if (system) {
      if (r == 2) e.selected = true;
      if (!e.selected || e.path.empty()) continue;
    }
    if (!options_.rollback || (e.backupPath.empty() && e.backupInstallation == e.installation)) {
      if (e.selfRegisterInstallation >= minimum_)
        SelfRegisterFile(Label(kStrSelfUnregistering), e.path, false);
      if (e.deviceInstallation >= minimum_) RemoveDeviceLine(e.path);
    }
  }
}

// 10 and 11. Removal pass, log order.
void UninstallEngine::RemovalPass(std::vector<FileEntry>& files, bool system) {
  for (FileEntry& e : files) {
    if (Cancelled()) break;
    Tick();
    if (e.path.empty() || e.installation < minimum_) continue;
    const bool restoreLatest =
        options_.rollback && !e.backupPath.empty() && e.backupInstallation == minimum_;
    const bool taken =
        system ? (e.selected || restoreLatest)
               : ((options_.mode == UninstallMode::Automatic && (e.defaultRemove || restoreLatest)) ||
                  e.selected);
    if (!taken) continue;
    const bool restore = options_.rollback && e.backupInstallation == minimum_;
    if (!RemoveFile(e.path, e.backupPath, restore)) continue;
    if (restore && !e.backupPath.empty()) restored_.push_back(e.path);
    Status(system ? kStrRemovingSystemFile : kStrRemovingFile, e.path, StatusItem::Path);
    if (system) continue;
    // The folder goes too when that left it empty; never a profile's own folders.
    if ((!log_.profilesFolder.empty() && StartsWithNoCase(e.path, log_.profilesFolder)) ||
        (!log_.allUsersFolder.empty() && StartsWithNoCase(e.path, log_.allUsersFolder)))
      continue;
    const std::string folder = FolderOf(e.path);
    if (!HasWildcard(folder) && !IsProtectedFolder(folder) && platform_.RemoveDirectory(folder))
      report_.Add(ReportKind::Removed, folder + "\\", "folder left empty");
  }
}

// 12. Rollback: what came back from the latest installation's backups registers again.
void UninstallEngine::ReRegister() {
  for (const auto* list : {&log_.privateFiles, &log_.systemFiles}) {
    for (const FileEntry& e : *list) {
      if (Cancelled()) return;
      if (e.selfRegisterInstallation < minimum_ || e.path.empty()) continue;
      if (std::find_if(restored_.begin(), restored_.end(), [&](const std::string& p) {
            return EqualNoCase(p, e.path);
          }) == restored_.end())
        continue;
      SelfRegisterFile("", e.path, true);
    }
  }
}

// 14. Directories: with their files when made by a tree record (or chosen in Custom mode),
// else only what is empty.
void UninstallEngine::RemoveDirectories() {
  for (const DirEntry& e : log_.directories) {
    if (Cancelled()) break;
    Tick();
    if (!Taken(e.selected) || e.madeInstallation < minimum_) continue;
    const bool withFiles = options_.mode == UninstallMode::Custom || (e.treeInstallation > 0 &&
                                                                      e.treeInstallation >= minimum_);
    Status(withFiles ? kStrRemovingDirectory : kStrRemovingEmptyDirs, e.path, StatusItem::Path);
    std::string path = e.path;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    RemoveDirectoryTree(path, withFiles);
  }
}

// 16. Changed registry values get their old data back (the key is not made again).
void UninstallEngine::RestoreRegistryValues() {
  for (const RegEditEntry& e : log_.regEdits) {
    if (Cancelled()) break;
    Tick();
    if (!Taken(e.selected) || e.installation < minimum_) continue;
    Status(kStrEditingRegKey, e.keyPath, StatusItem::Key);
    RegisterValue(e.rootIndex, e.typeIndex, e.keyPath, e.valueName,
                  options_.rollback ? e.latestOldData : e.firstOldData, false);
  }
}

// 17. Created values go, and with them every key of the chain that is left empty.
void UninstallEngine::RemoveCreatedValues() {
  for (size_t k = log_.regKeys.size(); k-- > 0;) {
    if (Cancelled()) break;
    Tick();
    RegKeyEntry& e = log_.regKeys[k];
    if (!Taken(e.selected) || e.installation < minimum_) continue;
    Status(kStrRemovingRegKey, e.keyPath, StatusItem::Key);
    if (e.rootIndex < 0 || e.rootIndex > 4) continue;
    const RegRoot root = static_cast<RegRoot>(e.rootIndex);
    bool first = true;
    while (!e.keyPath.empty() && platform_.RegKeyExists(root, e.keyPath)) {
      if (first) {
        first = false;
        const std::string item = e.keyPath + (e.valueName.empty() ? "" : " Value Name: " + e.valueName);
        if (platform_.RegDeleteValue(root, e.keyPath, e.valueName))
          report_.Add(ReportKind::Removed, item, "registry value");
      }
      std::string name;
      RegValue value;
      if (platform_.RegEnumValue(root, e.keyPath, 0, &name, &value) ||
          platform_.RegEnumKey(root, e.keyPath, 0, &name))
        break;
      if (!platform_.RegDeleteKey(root, e.keyPath)) break;
      report_.Add(ReportKind::Removed, e.keyPath, "empty registry key");
      const size_t cut = e.keyPath.rfind('\\');
      e.keyPath.resize(cut == std::string::npos ? 0 : cut);
    }
  }
}

// 18. Registry trees, last logged first.
void UninstallEngine::RemoveRegistryTrees() {
  for (size_t k = log_.regTrees.size(); k-- > 0;) {
    if (Cancelled()) break;
    Tick();
    const RegTreeEntry& e = log_.regTrees[k];
    if (!Taken(e.selected) || e.installation < minimum_) continue;
    Status(kStrRemovingRegTree, e.keyPath, StatusItem::Key);
    if (RemoveRegistryTree(e.rootIndex, e.keyPath))
      report_.Add(ReportKind::Removed, e.keyPath, "registry tree");
  }
}

// 20 and 21. The per-user manager is told, and the repair registration of this log goes.
void UninstallEngine::PerUserCleanup() {
  if (log_.header.perUserId.empty()) return;
  const bool automatic = options_.mode == UninstallMode::Automatic && !options_.rollback;
  const bool onlyInstallation = options_.rollback && log_.installations.size() == 1;
  if (!automatic && !onlyInstallation) return;
  RegValue path;
  if (platform_.RegQueryValue(RegRoot::LocalMachine, "Software\\Yarb Solutions\\Kervane", "Path",
                              &path) &&
      !path.AsString().empty()) {
    const std::string cmd = platform_.ToShortPath(path.AsString()) + " /U \"" +
                            log_.header.perUserId + "\"";
    if (platform_.StartProcess(cmd, "", false, nullptr) != StartResult::Started)
      report_.Add(ReportKind::Failed, path.AsString(), "could not be started: " + platform_.LastError());
  }
  std::string logKey = platform_.ToLongPath(options_.logPath);
  std::replace(logKey.begin(), logKey.end(), '\\', '/');
  RemoveRegistryTree(static_cast<int>(RegRoot::LocalMachine),
                     "Software\\Yarb Solutions\\Yarb Installation System\\Repair\\" + logKey);
}

}  // namespace yarb
