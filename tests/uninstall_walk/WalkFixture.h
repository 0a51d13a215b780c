// A walk over a small Wine prefix in a temporary folder: the log is written into the prefix,
// parsed, and undone by an engine whose questions are answered from a script.
#pragma once

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "InstallLog.h"
#include "TextRules.h"
#include "UninstallEngine.h"
#include "tests/uninstall_platform/TestPrefix.h"

namespace yarb::test {

// Answers from queues (empty queue: the interface's default) and records what was shown.
class WalkUi : public UninstallUi {
 public:
  std::vector<std::string> statuses, questions, messages;
  std::deque<SharedAnswer> shared;
  std::deque<BoxAnswer> boxes;
  size_t cancelAfterStatuses = 0;  // 0: never
  std::function<void()> onQuestion;

  void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
  void ReportProgress(uint64_t, uint64_t) override {}
  void CloseProgress() override {}
  SharedAnswer AskSharedFile(const std::string& text, const std::string& caption) override {
    questions.push_back(caption + ": " + text);
    if (shared.empty()) return UninstallUi::AskSharedFile(text, caption);
    SharedAnswer a = shared.front();
    shared.pop_front();
    return a;
  }
  BoxAnswer Box(const std::string& text, const std::string& caption, BoxAnswer fallback) {
    questions.push_back(caption + ": " + text);
    if (onQuestion) onQuestion();
    if (boxes.empty()) return fallback;
    BoxAnswer a = boxes.front();
    boxes.pop_front();
    return a;
  }
  BoxAnswer AskOkCancel(const std::string& t, const std::string& c) override {
    return Box(t, c, BoxAnswer::Cancel);
  }
  BoxAnswer AskAbortRetryIgnore(const std::string& t, const std::string& c) override {
    return Box(t, c, BoxAnswer::Abort);
  }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  int StatusWidth() const override { return 400; }
  bool CancelRequested() override {
    return cancelAfterStatuses && statuses.size() >= cancelAfterStatuses;
  }
};

// A prefix whose chosen files are "in use" (cannot be deleted or overwritten) and whose
// chosen window classes exist for a number of looks.
class BusyPrefix : public WinePrefix {
 public:
  using WinePrefix::WinePrefix;
  std::set<std::string> inUse;  // Windows paths, upper case
  int serverWindowLooks = 0;    // WindowClassExists("IB_Server") is true this many times

  static std::string Key(const std::string& p) {
    std::string k = p;
    for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return k;
  }
  bool DeleteFile(const std::string& path) override {
    if (inUse.count(Key(path))) return false;
    return WinePrefix::DeleteFile(path);
  }
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    if (inUse.count(Key(to))) return false;
    return WinePrefix::CopyFile(from, to, failIfExists);
  }
  bool WindowClassExists(const std::string& cls) override {
    if (cls == "IB_Server" && serverWindowLooks > 0) {
      --serverWindowLooks;
      return true;
    }
    return false;
  }
};

class Walk {
 public:
  TempPrefix pfx;
  std::unique_ptr<BusyPrefix> platform;
  WalkUi ui;
  InstallLog log;
  ParseResult parsed;
  std::unique_ptr<UninstallEngine> engine;
  std::string logPath = "C:\\APP\\INSTALL.LOG";

  Walk() {
    pfx.Dir("APP");
    ::mkdir(pfx.Outside().c_str(), 0755);
    platform = std::make_unique<BusyPrefix>(pfx.dir());
    platform->SetServerRoot(pfx.ServerRoot());
    platform->SetWineProgram("");
    platform->SetWineServerProgram("");
    platform->SetMenuFolders(pfx.Outside() + "/data", pfx.Outside() + "/config",
                             pfx.Outside() + "/Desktop");
    std::string error;
    EXPECT_TRUE(platform->Open(&error)) << error;
  }

  // Linux path of a file below drive_c ("APP/x.dll").
  std::string C(const std::string& rel) const { return pfx.C(rel); }
  bool Exists(const std::string& rel) const {
    struct stat st;
    return ::lstat(C(rel).c_str(), &st) == 0;
  }

  void SetValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& v) {
    ASSERT_TRUE(platform->RegCreateKey(root, key));
    ASSERT_TRUE(platform->RegSetValue(root, key, name, v));
  }
  bool HasValue(RegRoot root, const std::string& key, const std::string& name, RegValue* v = nullptr) {
    RegValue tmp;
    return platform->RegQueryValue(root, key, name, v ? v : &tmp);
  }

  // Writes the log (lines joined by CR LF) at logPath and parses it.
  void Parse(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    ParseText(text);
  }
  void ParseText(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    ASSERT_TRUE(platform->WriteFile(logPath, bytes)) << platform->LastError();
    parsed = ParseInstallLog(*platform, ui, logPath, &log);
    ASSERT_TRUE(parsed.ok);
    engine = std::make_unique<UninstallEngine>(*platform, ui, log);
  }
  WalkResult Run(UninstallMode mode = UninstallMode::Automatic, bool rollback = false) {
    UninstallOptions o;
    o.logPath = logPath;
    o.mode = mode;
    o.rollback = rollback;
    return engine->PerformUninstall(o);
  }
  const RunReport& Report() const { return engine->Report(); }

  // A listening socket where Wine's server keeps it: the prefix is in use.
  int StartServer() {
    std::string dir = platform->ServerDirectories().at(0);
    for (size_t i = 1; i <= dir.size(); ++i)
      if (i == dir.size() || dir[i] == '/') ::mkdir(dir.substr(0, i).c_str(), 0700);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string sock = dir + "/socket";
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(::listen(fd, 1), 0);
    return fd;
  }
};

// The label id a status text begins with (0 for none).
inline int LabelOf(const std::string& status) {
  for (int id : {29, 30, 31, 32, 33, 34, 35, 36, 37, 40, 44, 56, 57, 58})
    if (status.rfind(StringTableText(id), 0) == 0) return id;
  return 0;
}

}  // namespace yarb::test
