// A repair over a small Wine prefix: the installer runs are recorded (with what their list
// file held at that moment) instead of being started through Wine.
#pragma once

#include <sys/stat.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "InstallLog.h"
#include "Repair.h"
#include "UninstallEngine.h"
#include "tests/uninstall_platform/TestPrefix.h"

namespace yarb::test {

class RecordingPrefix : public WinePrefix {
 public:
  using WinePrefix::WinePrefix;
  struct Run {
    std::string command, workingDir, listText;
  };
  std::vector<Run> runs;
  StartResult StartProcess(const std::string& commandLine, const std::string& workingDir, bool,
                           uint32_t* exitCode) override {
    Run r{commandLine, workingDir, {}};
    const size_t x = commandLine.find("/X=");
    if (x != std::string::npos) {
      std::vector<uint8_t> bytes;
      if (ReadFile(commandLine.substr(x + 3), &bytes)) r.listText.assign(bytes.begin(), bytes.end());
    }
    runs.push_back(r);
    if (exitCode) *exitCode = 0;
    return StartResult::Started;
  }
};

class ScriptUi : public RepairUi {
 public:
  std::vector<std::string> questions, messages;
  std::deque<SharedAnswer> shared;
  std::deque<BoxAnswer> boxes;
  std::deque<std::string> sourcePaths;  // empty: Cancel
  void ShowMessage(const std::string& t, const std::string& c) override { messages.push_back(c + ": " + t); }
  void ReportProgress(uint64_t, uint64_t) override {}
  void CloseProgress() override {}
  SharedAnswer AskSharedFile(const std::string& t, const std::string& c) override {
    questions.push_back(c + ": " + t);
    if (shared.empty()) return SharedAnswer::No;
    SharedAnswer a = shared.front();
    shared.pop_front();
    return a;
  }
  BoxAnswer AskYesNoCancel(const std::string& t, const std::string& c) override {
    questions.push_back(c + ": " + t);
    if (boxes.empty()) return BoxAnswer::Cancel;
    BoxAnswer a = boxes.front();
    boxes.pop_front();
    return a;
  }
  bool AskSourcePath(const std::string& c, const std::string& t, std::string* path) override {
    questions.push_back(c + ": " + t);
    if (sourcePaths.empty()) return false;
    *path = sourcePaths.front();
    sourcePaths.pop_front();
    return true;
  }
};

class RepairRig {
 public:
  TempPrefix pfx;
  std::unique_ptr<RecordingPrefix> platform;
  ScriptUi ui;
  InstallLog log;
  std::unique_ptr<UninstallEngine> engine;
  std::string logPath = "C:\\APP\\INSTALL.LOG";

  RepairRig() {
    pfx.Dir("APP");
    pfx.Dir("SRC");
    pfx.Dir("users/tester/Temp");
    ::mkdir(pfx.Outside().c_str(), 0755);
    platform = std::make_unique<RecordingPrefix>(pfx.dir());
    platform->SetServerRoot(pfx.ServerRoot());
    platform->SetWineProgram("");
    platform->SetWineServerProgram("");
    platform->SetMenuFolders(pfx.Outside() + "/data", pfx.Outside() + "/config", pfx.Outside() + "/Desktop");
    std::string error;
    EXPECT_TRUE(platform->Open(&error)) << error;
  }

  // A file below drive_c with its last-write time set to `when` (seconds since the epoch).
  void File(const std::string& rel, const std::string& text, time_t when) {
    pfx.File(rel, text);
    struct utimbuf t{when, when};
    ::utime(pfx.C(rel).c_str(), &t);
  }
  // The install attributes the installer would log for the file as it is now.
  std::string Attributes(const std::string& windowsPath, const std::string& text) {
    uint64_t size = 0;
    LocalTime t;
    EXPECT_TRUE(platform->GetFileInfo(windowsPath, &size, &t));
    char buf[96];
    std::snprintf(buf, sizeof buf, " %02d-%02d-%04d | %02d:%02d:%02d | %llu | %08x", t.month, t.day,
                  t.year, t.hour, t.minute, t.second, static_cast<unsigned long long>(size),
                  Crc32(std::vector<uint8_t>(text.begin(), text.end())));
    return buf;
  }
  // "Source: " text of an installer file as it is now.
  std::string Source(const std::string& windowsPath) {
    uint64_t size = 0;
    LocalTime t;
    EXPECT_TRUE(platform->GetFileInfo(windowsPath, &size, &t));
    return windowsPath + " | " + SourceStamp(t, size);
  }

  void Parse(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    ASSERT_TRUE(platform->WriteFile(logPath, std::vector<uint8_t>(text.begin(), text.end())));
    ASSERT_TRUE(ParseInstallLog(*platform, ui, logPath, &log).ok);
    engine = std::make_unique<UninstallEngine>(*platform, ui, log);
  }
  RepairResult Repair(bool silent = false) {
    RepairEngine r(*platform, ui, log, *engine, "Quilo");
    r.silent = silent;
    return r.PerformRepair();
  }
  bool TempFilesLeft() {
    std::vector<FindData> found;
    return platform->FindFiles("C:\\users\\tester\\Temp\\QZW*.TMP", &found);
  }
};

}  // namespace yarb::test
