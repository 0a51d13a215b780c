#include "Program.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>

#include "CommandLine.h"
#include "Dialogs.h"
#include "InstallLog.h"
#include "Platform.h"
#include "QtUi.h"
#include "Repair.h"
#include "RunReport.h"
#include "Settings.h"
#include "Strings.h"
#include "UninstallEngine.h"
#include "Wizard.h"
#include "WizardDialog.h"
#include "WizardFinish.h"

namespace yarb::qt {

namespace {

bool HaveDisplay() {
  for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* s = std::getenv(v); s && *s) return true;
  return false;
}

std::string Home() {
  const char* h = std::getenv("HOME");
  return h ? h : "";
}

LocalTime Now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  LocalTime n;
  n.year = tm.tm_year + 1900;
  n.month = tm.tm_mon + 1;
  n.day = tm.tm_mday;
  n.hour = tm.tm_hour;
  n.minute = tm.tm_min;
  n.second = tm.tm_sec;
  return n;
}

void WaitFor(WizardDialog& wizard, const std::function<bool()>& done) {
  if (done()) return;
  QEventLoop loop;
  QObject::connect(&wizard, &WizardDialog::stateChanged, &loop, [&] {
    if (done()) loop.quit();
  });
  loop.exec();
}

}  // namespace

std::string ExpandLogPath(const std::string& path, bool* windows) {
  *windows = (path.size() >= 2 && path[1] == ':') || path.find('\\') != std::string::npos;
  if (*windows) return path;
  std::string p = path;
  if (p == "~" || p.rfind("~/", 0) == 0) p = Home() + p.substr(1);
  if (!p.empty() && p[0] != '/') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd)) p = std::string(cwd) + "/" + p;
  }
  return p;
}

int RunUninstaller(const std::string& executable, const std::string& commandLine, int argc,
                   char** argv) {
  // Settings and command line first: a silent run must not need a display.
  UninstallSettings settings;
  settings.LoadFile(SettingsPathFor(executable));
  CommandLine cl = ParseCommandLine(commandLine);
  if (cl.tempCopy) return 0;  // the native program makes no temporary copy to clean up
  if (commandLine.find_first_not_of(' ') == std::string::npos) {
    const std::string folder = executable.substr(0, executable.find_last_of('/') + 1);
    if (::access((folder + "INSTALL.LOG").c_str(), R_OK) == 0) cl.logPath = folder + "INSTALL.LOG";
  }

  const bool windows = !cl.silent || HaveDisplay();
  if (!windows && !cl.silent) {
    std::fprintf(stderr, "UNYARB32: no display; use /S for a run without windows\n");
    return 0;
  }
  std::optional<QApplication> app;
  if (windows) {
    app.emplace(argc, argv);
    QApplication::setApplicationName("UNYARB32");
  }
  QtUi ui(settings, windows);
  ui.silent = cl.silent;
  auto text = [&](int id) { return settings.LoadText(id); };

  // The start-up window and the background.
  std::unique_ptr<StartupWindow> startup;
  std::unique_ptr<BackgroundWindow> background;
  if (windows && !cl.silent && cl.launchIndex == 0) {
    if (!settings.noBackground) {
      background = std::make_unique<BackgroundWindow>(settings);
      background->setWindowTitle(cl.caption.empty() ? QStringLiteral(" ") : Q(cl.caption));
      // Without a window manager "maximised" means nothing: the screen's size is set first.
      if (QScreen* screen = QGuiApplication::primaryScreen())
        background->setGeometry(screen->availableGeometry());
      background->showMaximized();
    }
    startup = std::make_unique<StartupWindow>(settings, text);
    startup->show();
    ui.startup = startup.get();
    QApplication::processEvents();
  }

  // No log named: ask for one.
  if (cl.logPath.empty()) {
    if (startup) startup->hide();
    if (!windows) return 0;
    const QString start = QString::fromStdString(Home() + "/.wine/drive_c");
    const QString chosen = QFileDialog::getOpenFileName(
        nullptr, Q(text(kStrLogFilter)), start,
        Q(text(kStrLogFilter)) + " (install.log INSTALL.LOG Install.log)");
    if (chosen.isEmpty()) return 0;
    cl.logPath = chosen.toStdString();
    if (startup) startup->show();
  }

  // The prefix and the log's Windows path.
  bool windowsForm = false;
  const std::string expanded = ExpandLogPath(cl.logPath, &windowsForm);
  std::string prefixDir;
  if (windowsForm) {
    const char* wp = std::getenv("WINEPREFIX");
    prefixDir = wp && *wp ? wp : Home() + "/.wine";
  } else {
    prefixDir = FindWinePrefix(expanded);
  }
  std::string error;
  std::unique_ptr<Platform> platform = prefixDir.empty() ? nullptr : OpenWinePrefix(prefixDir, &error);
  std::string logPath;
  if (platform) {
    if (windowsForm) logPath = expanded;
    else if (!platform->UnixToWindowsPath(expanded, &logPath)) logPath.clear();
  }
  if (!platform || logPath.empty()) {
    ui.CloseProgress();
    ui.ShowMessage(text(kStrCannotOpenLog) + "\n\n" + AnsiToUtf8(cl.logPath) +
                       (error.empty() ? std::string() : "\n" + error),
                   text(kStrUninstall));
    return 0;
  }
  if (cl.logQuoted) logPath = platform->ToShortPath(logPath);

  // "/W n": the launch check may end the run here.
  const std::string longLog = platform->ToLongPath(logPath);
  bool launchAfter = false;
  if (cl.launchIndex) {
    const LaunchDecision d = LaunchCheck(*platform, ui, cl.launchIndex, longLog);
    if (d != LaunchDecision::Repair) return 0;
    cl.automatic = true;
    cl.confirmOnly = true;
    launchAfter = true;
  }

  InstallLog log;
  if (app) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const ParseResult parsed = ParseInstallLog(*platform, ui, logPath, &log);
  if (app) QGuiApplication::restoreOverrideCursor();
  const bool startupCancelled = startup && startup->CancelPressed();
  if (!parsed.ok) return 0;
  if (startupCancelled) {  // nothing is undone; the status MIF says so
    if (!log.header.statusMifFile.empty())
      WriteStatusMif(*platform, settings.MifTemplate(), log.header, false, true, Now());
    return 0;
  }

  const std::string title = cl.caption.empty() ? log.header.title : cl.caption;
  WizardFlow flow(log, text, title);
  flow.rollback = cl.rollback;
  flow.launchIndex = cl.launchIndex;
  flow.automatic = cl.automatic;
  flow.confirmOnly = cl.confirmOnly;
  const int firstPage = flow.StartPage();

  std::unique_ptr<WizardDialog> wizard;
  if (!cl.silent) {
    if (startup) startup->hide();
    flow.serverRunning = platform->ServerRunning();
    wizard = std::make_unique<WizardDialog>(flow, settings, text, Q(title.empty() ? " " : title));
    wizard->askYesNo = [&](const std::string& t, const std::string& c) {
      return ui.AskYesNo(t, c) == BoxAnswer::Yes;
    };
    ui.wizard = wizard.get();
    wizard->ShowPage(firstPage);
    wizard->show();
    if (!cl.automatic) WaitFor(*wizard, [&] { return wizard->FinishPressed() || wizard->Cancelled(); });
  }
  const bool cancelledBefore = wizard && wizard->Cancelled();

  UninstallEngine engine(*platform, ui, log);
  engine.silent = cl.silent;
  bool rollback = false;
  bool cancelled = cancelledBefore;
  std::string summary;
  if (!cancelledBefore) {
    platform->SetCurrentDirectory("C:\\");
    if (RunsRepair(flow.EffectiveMode(), cl.launchIndex, log.header)) {
      RepairEngine repair(*platform, ui, log, engine, title);
      repair.silent = cl.silent;
      const RepairResult r = repair.PerformRepair();
      cancelled = r == RepairResult::Cancelled;
    } else {
      UninstallOptions options;
      options.logPath = logPath;
      options.mode = flow.EffectiveMode() == kModeCustom ? UninstallMode::Custom : UninstallMode::Automatic;
      options.rollback = rollback = flow.rollback;
      const WalkResult r = engine.PerformUninstall(options);
      cancelled = r == WalkResult::Cancelled || r == WalkResult::Aborted;
    }
    platform->Flush();
  }

  // The report: in the wizard's last view, and always in the user's data folder.
  if (!cancelledBefore) {
    const std::string heading = (title.empty() ? std::string("UNYARB32") : title) + " - " + longLog;
    const std::string report = engine.Report().Text(AnsiToUtf8(heading));
    const std::string written = WriteRunReport(RunReportFolder(), AnsiToUtf8(title), report);
    summary = text(kStrReportTitle);
    if (!written.empty()) summary += "\n" + FormatOne(text(kStrReportWritten), Utf8ToAnsi(written));
    if (wizard) {
      wizard->ShowReport(summary, report);
      // An automatic run goes on by itself (the report stays in the data folder).
      if (!cl.automatic) WaitFor(*wizard, [&] { return wizard->CloseClicked(); });
      else QApplication::processEvents();
    } else if (!windows) {
      std::fputs(report.c_str(), stdout);
    }
  }

  // Restart question, then the status MIF.
  if (!cancelledBefore) engine.DecideRestart();
  if (!log.header.statusMifFile.empty())
    WriteStatusMif(*platform, settings.MifTemplate(), log.header, rollback, cancelled, Now());
  platform->Flush();
  if (wizard) wizard->hide();
  if (launchAfter) LaunchApplication(*platform, ui, RepairKeyFor(longLog), cl.launchIndex);
  return 0;
}

}  // namespace yarb::qt
