// Runs the uninstall walk from the command line, answering every question itself: the
// engine without the wizard, for checking it against a real Wine prefix.
//
//   yarb_uninstall [--custom] [--rollback] [--silent] [--shared yes|no|yestoall|notoall]
//                  [--no-restart] [--report-dir DIR] INSTALL.LOG
//
// INSTALL.LOG is the Linux path of a log inside a Wine prefix (the prefix is the nearest
// folder above it that holds drive_c and system.reg, else $WINEPREFIX, else ~/.wine).
// --custom selects every entry and runs a Custom walk; the shared-file prompt answers as
// --shared says (default No to All); a needed restart is made unless --no-restart. The run's
// report goes to standard output and to the report folder.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Encoding.h"
#include "InstallLog.h"
#include "Platform.h"
#include "RunReport.h"
#include "UninstallEngine.h"

using namespace yarb;

namespace {

class ConsoleUi : public UninstallUi {
 public:
  SharedAnswer shared = SharedAnswer::NoToAll;
  bool restart = true;

  void ShowMessage(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "[%s] %s\n", AnsiToUtf8(caption).c_str(), AnsiToUtf8(text).c_str());
  }
  void ReportProgress(uint64_t, uint64_t) override {}
  void CloseProgress() override {}
  SharedAnswer AskSharedFile(const std::string& text, const std::string& caption) override {
    ShowMessage(text, caption);
    return shared;
  }
  BoxAnswer AskOkCancel(const std::string& text, const std::string& caption) override {
    ShowMessage(text, caption);
    // The only OK / Cancel questions: the restart, and the running prefix (Cancel: stop).
    return restart && text == LoadText(kStrRestartQuestion) ? BoxAnswer::Ok : BoxAnswer::Cancel;
  }
  BoxAnswer AskAbortRetryIgnore(const std::string& text, const std::string& caption) override {
    ShowMessage(text, caption);
    return BoxAnswer::Ignore;
  }
  void SetStatus(const std::string& text) override {
    std::string t = AnsiToUtf8(text);
    for (char& c : t)
      if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "  %s\n", t.c_str());
  }
  int StatusWidth() const override { return 100; }
};

int Usage() {
  std::fprintf(stderr,
               "usage: yarb_uninstall [--custom] [--rollback] [--silent] "
               "[--shared yes|no|yestoall|notoall] [--no-restart] [--report-dir DIR] INSTALL.LOG\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ConsoleUi ui;
  UninstallOptions options;
  bool silent = false;
  std::string reportDir = RunReportFolder();
  std::string logUnix;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--custom") options.mode = UninstallMode::Custom;
    else if (a == "--rollback") options.rollback = true;
    else if (a == "--silent") silent = true;
    else if (a == "--no-restart") ui.restart = false;
    else if (a == "--report-dir" && i + 1 < argc) reportDir = argv[++i];
    else if (a == "--shared" && i + 1 < argc) {
      const std::string s = argv[++i];
      if (s == "yes") ui.shared = SharedAnswer::Yes;
      else if (s == "no") ui.shared = SharedAnswer::No;
      else if (s == "yestoall") ui.shared = SharedAnswer::YesToAll;
      else if (s == "notoall") ui.shared = SharedAnswer::NoToAll;
      else return Usage();
    } else if (!a.empty() && a[0] != '-' && logUnix.empty()) logUnix = a;
    else return Usage();
  }
  if (logUnix.empty()) return Usage();

  const std::string prefix = FindWinePrefix(logUnix);
  if (prefix.empty()) {
    std::fprintf(stderr, "yarb_uninstall: no Wine prefix for %s\n", logUnix.c_str());
    return 1;
  }
  std::string error;
  std::unique_ptr<Platform> platform = OpenWinePrefix(prefix, &error);
  if (!platform) {
    std::fprintf(stderr, "yarb_uninstall: %s\n", error.c_str());
    return 1;
  }
  std::string logPath;
  if (!platform->UnixToWindowsPath(logUnix, &logPath)) {
    std::fprintf(stderr, "yarb_uninstall: %s is not inside the prefix %s\n", logUnix.c_str(),
                 prefix.c_str());
    return 1;
  }
  options.logPath = logPath;
  InstallLog log;
  if (!ParseInstallLog(*platform, ui, logPath, &log).ok) return 1;
  if (options.mode == UninstallMode::Custom) {
    for (auto* list : {&log.privateFiles, &log.systemFiles})
      for (auto& e : *list) e.selected = true;
    for (auto& e : log.directories) e.selected = true;
    for (auto& e : log.iniFiles) e.selected = true;
    for (auto& e : log.iniItems) e.selected = true;
    for (auto& e : log.regKeys) e.selected = true;
    for (auto& e : log.regEdits) e.selected = true;
    for (auto& e : log.regTrees) e.selected = true;
    for (auto& e : log.icons) e.selected = true;
    for (auto& e : log.programs) e.selected = true;
    for (auto& e : log.services) e.selected = true;
    log.subSystem.selected = true;
  }

  UninstallEngine engine(*platform, ui, log);
  engine.silent = silent;
  const WalkResult result = engine.PerformUninstall(options);
  if (result == WalkResult::Done || result == WalkResult::Cancelled) engine.DecideRestart();
  platform->Flush();

  const std::string text = engine.Report().Text(log.header.title + " - uninstall of " + logPath);
  std::fputs(text.c_str(), stdout);
  const std::string written = WriteRunReport(reportDir, log.header.title, text);
  if (!written.empty())
    std::fprintf(stderr, "%s\n", FormatText(ui.LoadText(kStrReportWritten), written).c_str());
  switch (result) {
    case WalkResult::Done: return 0;
    case WalkResult::Cancelled: return 3;
    case WalkResult::Aborted: return 4;
    case WalkResult::PrefixBusy: return 5;
  }
  return 0;
}
