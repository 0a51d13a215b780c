// INSTALL.LOG as hostile input: the bytes are written as the log of a small Wine prefix in a
// temporary folder and read with ParseInstallLog; every list must stay within its capacity,
// every field within its width, and a rollback cut must keep exactly the bytes before the
// latest header. Then the log is undone by PerformUninstall over a fresh copy of the prefix
// (the mode taken from the input's length): nothing outside the prefix may change, the
// Windows and system folders stay, and the run must end.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "InstallLog.h"
#include "Platform.h"
#include "UninstallEngine.h"
#include "WinePrefix.h"

namespace {

class SilentUi : public yarb::UninstallUi {
 public:
  void ShowMessage(const std::string&, const std::string&) override {}
  void ReportProgress(uint64_t, uint64_t) override {}
  void CloseProgress() override {}
};

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string g_prefix;
std::string g_root;  // holds the prefix and, beside it, what must never change

void RemovePrefix() {
  std::error_code ec;
  std::filesystem::remove_all(g_root, ec);
}

std::string FillPrefix(const std::string& dir) {
  ::mkdir(dir.c_str(), 0755);
  for (const char* sub : {"/drive_c", "/drive_c/windows", "/drive_c/windows/system32",
                          "/drive_c/APP", "/drive_c/APP/DATA", "/dosdevices"})
    ::mkdir((dir + sub).c_str(), 0755);
  if (::symlink("../drive_c", (dir + "/dosdevices/c:").c_str()) != 0) std::abort();
  WriteText(dir + "/system.reg",
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\SharedDLLs] 0\n"
            "\"C:\\\\APP\\\\A.DLL\"=dword:00000002\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 0\n"
            "\"Common Start Menu\"=\"C:\\\\users\\\\Public\\\\Start Menu\"\n");
  WriteText(dir + "/user.reg",
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
            "#arch=win32\n\n"
            "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 0\n"
            "\"Start Menu\"=\"C:\\\\users\\\\joe\\\\Start Menu\"\n");
  WriteText(dir + "/userdef.reg", "WINE REGISTRY Version 2\n\n#arch=win32\n");
  for (const char* f : {"/drive_c/APP/A.DLL", "/drive_c/APP/B.EXE", "/drive_c/APP/APP.INI",
                        "/drive_c/windows/system32/S.DLL", "/drive_c/windows/win.ini"})
    WriteText(dir + f, "x");
  if (::symlink("/", (dir + "/dosdevices/z:").c_str()) != 0) std::abort();
  if (::symlink((g_root + "/outside").c_str(), (dir + "/drive_c/APP/OUT").c_str()) != 0) std::abort();
  return dir;
}

std::string MakePrefix() {
  // Memory-backed when possible: every run rewrites the log, and a disk makes that slow.
  char shm[] = "/dev/shm/installlog-fuzz-XXXXXX";
  char tmp[] = "/tmp/installlog-fuzz-XXXXXX";
  char* tmpl = ::access("/dev/shm", W_OK) == 0 ? shm : tmp;
  if (!::mkdtemp(tmpl)) std::abort();
  g_root = tmpl;
  ::mkdir((g_root + "/outside").c_str(), 0755);
  ::mkdir((g_root + "/outside/d").c_str(), 0755);
  WriteText(g_root + "/outside/a.txt", "keep");
  WriteText(g_root + "/outside/d/b.txt", "keep");
  return FillPrefix(g_root + "/pfx");
}

std::unique_ptr<yarb::WinePrefix> OpenSandboxed(const std::string& dir) {
  auto p = std::make_unique<yarb::WinePrefix>(dir);
  p->SetServerRoot(g_root + "/srv");
  p->SetWineProgram("");  // nothing of the prefix is ever run
  p->SetWineServerProgram("");
  p->SetMenuFolders(g_root + "/menus/data", g_root + "/menus/config", g_root + "/menus/Desktop");
  std::string error;
  if (!p->Open(&error)) {
    std::fprintf(stderr, "installlog_fuzz: %s\n", error.c_str());
    std::abort();
  }
  return p;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "installlog_fuzz: %s\n", what);
    std::abort();
  }
}

template <typename List>
void CheckList(const List& list, size_t capacity, const char* name) {
  Check(list.size() <= capacity, name);
}

void CheckFields(const yarb::InstallLog& log) {
  using namespace yarb;
  CheckList(log.privateFiles, kBigListCapacity, "private files over capacity");
  CheckList(log.regKeys, kBigListCapacity, "created values over capacity");
  CheckList(log.regEdits, kBigListCapacity, "changed values over capacity");
  CheckList(log.regWrites, kBigListCapacity, "writes over capacity");
  CheckList(log.systemFiles, kListCapacity, "system files over capacity");
  CheckList(log.directories, kListCapacity, "directories over capacity");
  CheckList(log.iniItems, kListCapacity, "INI items over capacity");
  Check(log.installations.size() >= 1 && log.installations.size() <= kMaxInstallations,
        "installations");
  for (const auto* list : {&log.privateFiles, &log.systemFiles})
    for (const FileEntry& e : *list) {
      Check(e.path.size() <= kPathChars && e.backupPath.size() <= kPathChars, "file path");
      Check(e.installAttributes.size() <= kAttributeChars, "attributes");
      Check(e.installation >= 1 && e.installation <= log.LatestInstallation(), "installation");
    }
  for (const DirEntry& e : log.directories) Check(e.path.size() <= kPathChars, "dir path");
  for (const IniItemEntry& e : log.iniItems)
    Check(e.firstOldValue.size() <= kIniValueChars && e.latestOldValue.size() <= kIniValueChars &&
              e.section.size() <= kTextChars && e.item.size() <= kTextChars,
          "INI item fields");
  for (const RegEditEntry& e : log.regEdits)
    Check(e.firstOldData.size() <= kRegDataBytes && e.latestOldData.size() <= kRegDataBytes &&
              !e.firstOldData.empty() && e.firstOldData.back() == '\0' &&
              e.keyPath.size() <= kPathChars && e.valueName.size() <= kTextChars,
          "changed value fields");
  for (const RegWriteEntry& w : log.regWrites)
    Check(w.entry < (w.changed ? log.regEdits.size() : log.regKeys.size()), "write reference");
  Check(log.header.title.size() <= kProductChars && log.header.perUserId.size() <= kTextChars,
        "header fields");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<yarb::WinePrefix> platform = [] {
    g_prefix = MakePrefix();
    std::atexit(RemovePrefix);
    return OpenSandboxed(g_prefix);
  }();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  WriteText(g_prefix + "/drive_c/APP/DATA/INSTALL.LOG", bytes);

  const std::string logPath = "C:\\APP\\DATA\\INSTALL.LOG";
  SilentUi ui;
  yarb::InstallLog log;
  const yarb::ParseResult result = yarb::ParseInstallLog(*platform, ui, logPath, &log);
  if (!result.ok) return 0;
  CheckFields(log);
  Check(result.logFolder.size() <= yarb::kPathChars, "log folder");

  if (log.latestHeaderOffset > 0) {
    std::string head;
    for (size_t i = log.latestHeaderOffset; i < bytes.size() && head.size() < 4; ++i)
      if (bytes[i] != '\n') head += bytes[i];
    Check(head == "*** ", "header offset");
    Check(yarb::CutLogForRollback(*platform, logPath, log.latestHeaderOffset) ==
              yarb::LogEdit::Cut,
          "rollback cut failed");
    std::ifstream in(g_prefix + "/drive_c/APP/DATA/INSTALL.LOG", std::ios::binary);
    const std::string left((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Check(left == bytes.substr(0, log.latestHeaderOffset), "rollback kept other bytes");
  }

  // The walk, over a fresh prefix of its own.
  const std::string walkDir = g_root + "/walk";
  {
    std::error_code ec;
    std::filesystem::remove_all(walkDir, ec);
  }
  FillPrefix(walkDir);
  WriteText(walkDir + "/drive_c/APP/DATA/INSTALL.LOG", bytes);
  {
    auto walkPlatform = OpenSandboxed(walkDir);
    yarb::InstallLog walkLog;
    if (!yarb::ParseInstallLog(*walkPlatform, ui, logPath, &walkLog).ok) return 0;
    yarb::UninstallEngine engine(*walkPlatform, ui, walkLog);
    engine.silent = true;
    yarb::UninstallOptions options;
    options.logPath = logPath;
    switch (size % 3) {
      case 0:
        break;
      case 1:
        options.mode = yarb::UninstallMode::Custom;
        for (auto* list : {&walkLog.privateFiles, &walkLog.systemFiles})
          for (auto& e : *list) e.selected = true;
        for (auto& e : walkLog.directories) e.selected = true;
        break;
      default:
        options.rollback = true;
        break;
    }
    engine.PerformUninstall(options);
    engine.DecideRestart();
  }
  Check(ReadAll(g_root + "/outside/a.txt") == "keep", "a file outside the prefix changed");
  Check(ReadAll(g_root + "/outside/d/b.txt") == "keep", "a file outside the prefix changed");
  struct stat st;
  Check(::stat((walkDir + "/drive_c/windows/system32").c_str(), &st) == 0, "system folder removed");
  Check(::lstat((walkDir + "/system.reg").c_str(), &st) == 0, "hive removed");
  return 0;
}
