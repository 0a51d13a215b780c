// Shared components and deferred work: shared-file counters and their prompt, the database
// engine, self-registration, SYSTEM.INI devices, files in use, and the restart.
#include <cstdio>
#include <cstdlib>

#include "TextRules.h"
#include "UninstallEngine.h"

namespace yarb {

namespace {

const char* kSharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* kDatabaseEngine = "Software\\Borland\\Database Engine";

// A counter stored as decimal text or as a 4-byte number; false for any other type.
bool ReadCount(const RegValue& v, long long* count) {
  uint32_t n;
  if (v.type == kRegSz || v.type == kRegExpandSz) {
    *count = std::strtoll(v.AsString().c_str(), nullptr, 10);
    return true;
  }
  if ((v.type == kRegDword || v.type == kRegBinary) && v.AsDword(&n)) {
    *count = static_cast<int32_t>(n);
    return true;
  }
  return false;
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

int UninstallEngine::DecrementSharedCount(const std::string& path, int count) {
  if (!major4_) return 0;
  RegValue value;
  long long n = 0;
  if (!platform_.RegQueryValue(RegRoot::LocalMachine, kSharedDlls, path, &value) ||
      !ReadCount(value, &n) || n <= 0)
    return 0;
  n -= options_.rollback ? 1 : count;
  if (n > 0) {
    platform_.RegSetValue(RegRoot::LocalMachine, kSharedDlls, path,
                          RegValue::Dword(static_cast<uint32_t>(n)));
    report_.Add(ReportKind::Kept, path,
                "shared: still counted by " + std::to_string(n) + " other installation(s)");
    return 1;
  }
  SharedAnswer answer;
  if (silent || noToAll) {
    answer = SharedAnswer::No;
  } else if (yesToAll) {
    answer = SharedAnswer::Yes;
  } else {
    const std::string text = FormatText(Label(kStrSharedUnused), path) + Label(kStrSharedQuestion);
    answer = ui_.AskSharedFile(text, Label(repairRunning ? kStrRepairNewer : kStrRemoveShared));
    ui_.DispatchEvents(0);
  }
  if (answer == SharedAnswer::NoToAll) noToAll = true;
  if (answer == SharedAnswer::YesToAll) yesToAll = true;
  const bool remove = answer == SharedAnswer::Yes || answer == SharedAnswer::YesToAll;
  platform_.RegDeleteValue(RegRoot::LocalMachine, kSharedDlls, path);
  if (!remove) report_.Add(ReportKind::Kept, path, "shared file no longer counted, kept as answered");
  return remove ? 2 : 1;
}

bool UninstallEngine::RemoveDatabaseEngine() {
  RegValue value;
  long long n = 0;
  if (!platform_.RegQueryValue(RegRoot::LocalMachine, kDatabaseEngine, "UseCount", &value) ||
      !ReadCount(value, &n))
    return false;
  if (n >= 2) {
    platform_.RegSetValue(RegRoot::LocalMachine, kDatabaseEngine, "UseCount",
                          RegValue::Sz(std::to_string(n - 1)));
    report_.Add(ReportKind::Kept, kDatabaseEngine, "still used by " + std::to_string(n - 1) +
                                                       " other product(s)");
    return false;
  }
  if (n <= 0) return false;
  while (platform_.WindowClassExists("IB_Server")) {
    const BoxAnswer a = ui_.AskAbortRetryIgnore(Label(kStrBdeServer), Label(kStrUninstall));
    if (a == BoxAnswer::Abort) return true;
    if (a == BoxAnswer::Ignore) break;
  }
  RemoveRegistryTree(static_cast<int>(RegRoot::LocalMachine), kDatabaseEngine);
  RemoveRegistryTree(static_cast<int>(RegRoot::LocalMachine), "Software\\Borland\\BLW32");
  std::string name;
  RegValue v;
  if (platform_.RegKeyExists(RegRoot::LocalMachine, "Software\\Borland") &&
      !platform_.RegEnumKey(RegRoot::LocalMachine, "Software\\Borland", 0, &name) &&
      !platform_.RegEnumValue(RegRoot::LocalMachine, "Software\\Borland", 0, &name, &v))
    platform_.RegDeleteKey(RegRoot::LocalMachine, "Software\\Borland");
  report_.Add(ReportKind::Removed, kDatabaseEngine, "database engine sub-system");
  return false;
}

void UninstallEngine::SelfRegisterFile(const std::string& label, const std::string& path,
                                       bool doRegister) {
  const std::string saved = platform_.CurrentDirectory();
  ui_.SetStatus(FitStatusText(label, path, StatusItem::Path, ui_.StatusWidth()));
  ui_.DispatchEvents(0);
  const std::string shortPath = platform_.ToShortPath(path);
  platform_.SetCurrentDirectory(FolderOf(shortPath));
  const char* what = doRegister ? "registered again" : "unregistered";
  if (EndsWithNoCase(path, "EXE")) {
    // A server program registers itself with a switch.
    const std::string cmd = shortPath + (doRegister ? " /REGSERVER" : " /UNREGSERVER");
    if (platform_.StartProcess(cmd, "", true, nullptr) == StartResult::Started)
      report_.Add(ReportKind::Removed, path, what);
    else
      report_.Add(ReportKind::Failed, path, std::string("not ") + what + ": " + platform_.LastError());
  } else {
    std::vector<uint8_t> bytes;
    bool image = false;
    if (platform_.ReadFile(path, &bytes) && bytes.size() >= 64 && bytes[0] == 'M' && bytes[1] == 'Z') {
      const uint32_t pe = bytes[60] | (bytes[61] << 8) | (bytes[62] << 16) |
                          (static_cast<uint32_t>(bytes[63]) << 24);
      image = pe < bytes.size() - 1 && bytes[pe] == 'P' && bytes[pe + 1] == 'E';
    }
    if (image) {
      if (platform_.SelfRegister(path, doRegister))
        report_.Add(ReportKind::Removed, path, what);
      else
        report_.Add(ReportKind::Failed, path, std::string("not ") + what + ": " + platform_.LastError());
    }
  }
  platform_.SetCurrentDirectory(saved);
}

void UninstallEngine::RemoveDeviceLine(const std::string& path) {
  const std::string systemDir = systemDir_.empty() ? platform_.SystemDirectory() : systemDir_;
  const std::string windowsDir = windowsDir_.empty() ? platform_.WindowsDirectory() : windowsDir_;
  std::string device = path;
  if (StartsWithNoCase(path, systemDir + "\\")) device = path.substr(systemDir.size() + 1);
  const std::string ini = windowsDir + "\\SYSTEM.INI";
  const std::string temp = windowsDir + "\\~QZVK383.TMP";
  std::vector<uint8_t> bytes;
  if (!platform_.ReadFile(ini, &bytes)) return;

  std::string out;
  bool inSection = false, changed = false;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    std::string line(bytes.begin() + pos, bytes.begin() + end);
    pos = end;
    if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    size_t lead = line.find_first_not_of(" \t");
    const std::string trimmed = lead == std::string::npos ? std::string() : line.substr(lead);
    if (!trimmed.empty() && trimmed[0] == '[') {
      inSection = StartsWithNoCase(trimmed, "[386Enh]");
    } else if (inSection && StartsWithNoCase(trimmed, "device=")) {
      std::string value = trimmed.substr(7);
      const size_t a = value.find_first_not_of(" \t");
      const size_t b = value.find_last_not_of(" \t");
      value = a == std::string::npos ? std::string() : value.substr(a, b - a + 1);
      if (EqualNoCase(value, device) || EqualNoCase(value, path)) {
        line = ";" + line;
        changed = true;
      }
    }
    out += line + "\r\n";
  }
  if (!changed) return;
  if (!platform_.WriteFile(temp, Bytes(out))) {
    platform_.DeleteFile(temp);
    return;
  }
  // One replacing move: SYSTEM.INI is never missing, not even for a moment that fails.
  if (platform_.MoveFile(temp, ini, true)) {
    report_.Add(ReportKind::Removed, ini + ": device=" + device, "device line commented out");
  } else {
    platform_.DeleteFile(temp);
    report_.Add(ReportKind::Failed, ini + ": device=" + device, platform_.LastError());
  }
}

bool UninstallEngine::ScheduleDelete(const std::string& path) {
  if (nt_) return platform_.MoveFileDelayed(path, "", false);
  const std::string wininit =
      (windowsDir_.empty() ? platform_.WindowsDirectory() : windowsDir_) + "\\WININIT.INI";
  std::string text = "NUL=" + platform_.ToShortPath(path) + "\r\n";
  if (!platform_.FileExists(wininit)) text = "[rename]\r\n" + text;
  return platform_.AppendFile(wininit, Bytes(text));
}

bool UninstallEngine::DeleteOrSchedule(const std::string& path) {
  const bool existed = platform_.FileExists(path);
  const bool own = !ownExecutable.empty() &&
                   platform_.SameLocation(platform_.ToLongPath(path), ownExecutable);
  if (own) ownExecutableDeleted = true;
  const size_t refusals = platform_.Refusals().size();
  if (platform_.DeleteFile(path)) {
    report_.Add(ReportKind::Removed, path);
    return true;
  }
  if (!existed) return false;
  const std::string why = platform_.LastError();
  // A refused path is never scheduled either: the refusal is the report's line.
  if (platform_.Refusals().size() != refusals) return false;
  if (!log_.header.deleteInUseFiles || own) {
    report_.Add(ReportKind::Failed, path, why);
    return false;
  }
  if (ScheduleDelete(path)) {
    restartNeeded = true;
    report_.Add(ReportKind::Scheduled, path, "deleted at the next start of the prefix");
  } else {
    report_.Add(ReportKind::Failed, path, platform_.LastError());
  }
  return false;
}

void UninstallEngine::ReplaceOrSchedule(const std::string& backup, const std::string& target) {
  auto removeBackup = [this](const std::string& file) {
    platform_.SetFileAttributes(file, kAttrNormal);
    DeleteOrSchedule(file);
    if (EndsWithNoCase(file, ".HLP")) {
      const std::string stem = file.substr(0, file.size() - 4);
      DeleteCompanion(stem + ".GID");
      DeleteCompanion(stem + ".FTS");
    }
  };
  if (platform_.CopyFile(backup, target, false)) {
    report_.Add(ReportKind::Restored, target, "from " + backup);
    removeBackup(backup);
    return;
  }
  // The target is in use: the backup waits beside it under a free name.
  const std::string folder = FolderOf(target);
  std::string temp;
  for (int tries = 0; tries < 0x10000; ++tries) {
    char name[32];
    std::snprintf(name, sizeof name, "~QZX%04x.TMP", static_cast<unsigned>(tempCounter));
    temp = folder + "\\" + name;
    if (!platform_.FileExists(temp)) break;
    ++tempCounter;
  }
  if (platform_.CopyFile(backup, temp, false)) {
    bool scheduled;
    if (nt_) {
      scheduled = platform_.MoveFileDelayed(target, "", false) &&
                  platform_.MoveFileDelayed(temp, target, false);
    } else {
      const std::string wininit =
          (windowsDir_.empty() ? platform_.WindowsDirectory() : windowsDir_) + "\\WININIT.INI";
      scheduled = platform_.WriteProfileString(wininit, "rename", platform_.ToShortPath(target),
                                               platform_.ToShortPath(temp));
    }
    if (scheduled) {
      restartNeeded = true;
      report_.Add(ReportKind::Scheduled, target, "replaced by its backup at the next start of the prefix");
      removeBackup(backup);
      return;
    }
    // Not scheduled: the copy must not stay behind, and the backup stays where it is.
    platform_.DeleteFile(temp);
    report_.Add(ReportKind::Failed, target, "the backup " + backup + " could not be put back");
    return;
  }
  platform_.SetFileAttributes(target, kAttrNormal);
  DeleteOrSchedule(target);
  report_.Add(ReportKind::Failed, target, "the backup " + backup + " could not be put back; it stays");
}

void UninstallEngine::ScheduleDeleteAtRestart(const std::string& path) {
  if (platform_.Version().nt) {
    platform_.MoveFileDelayed(path, "", false);
    return;
  }
  const std::string wininit = platform_.WindowsDirectory() + "\\WININIT.INI";
  std::string text = "NUL=" + path + "\r\n";
  if (!platform_.FileExists(wininit)) text = "[rename]\r\n" + text;
  platform_.AppendFile(wininit, Bytes(text));
}

bool UninstallEngine::RestartSystem() {
  if (platform_.Restart()) {
    report_.Add(ReportKind::Note, "", "The prefix was restarted (wineboot -r); the scheduled work is done.");
    CollectRefusals();
    return true;
  }
  report_.Add(ReportKind::Note, "", Label(kStrRestartWaits) + " (" + platform_.LastError() + ")");
  return false;
}

bool UninstallEngine::DecideRestart() {
  if (!restartNeeded) return false;
  if (!silent && ui_.AskOkCancel(Label(kStrRestartQuestion), Label(kStrUninstall)) != BoxAnswer::Ok) {
    restartNeeded = false;
    report_.Add(ReportKind::Note, "",
                "No restart now: the scheduled work is done the next time a program of the prefix starts.");
    return false;
  }
  return RestartSystem();
}

}  // namespace yarb
