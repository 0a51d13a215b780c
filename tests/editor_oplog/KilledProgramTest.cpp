// A program killed while logging keeps every line it logged: lines reach the
// file as they are written, not when the log is closed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "TempDir.h"
#include "editor/Apply.h"
#include "editor/OperationLog.h"
#include "editor/ScriptedUi.h"

namespace vell {
namespace {

using test::ReadAll;
using test::TempDir;

// In the child: start a log, apply two effects through the dispatcher as the
// main window does, then report and wait to be killed.
[[noreturn]] void LogTwoEffectsAndWait(const std::string& path, int reportFd) {
  ScriptedUi ui;
  TOperationLog log(path, ui);
  TEditor editor;
  editor.CreateImages();
  TEffectParams params;
  TUndoRing ring;
  TApplyDispatcher dispatcher(editor, params, ring);
  editor.WriteLog = [&log](const std::string& line) { log.WriteLogLine(line); };
  if (!log.StartNewLog("Log starts")) ::_exit(2);
  editor.Logging = true;
  TPanelFields fields;
  editor.SelectEffect(31, "Negative");
  if (dispatcher.bGoClick(fields) != TApplyResult::Ran) ::_exit(3);
  if (dispatcher.ApplyFromMenu(41, fields) != TApplyResult::Ran) ::_exit(4);
  const char done = 'd';
  if (::write(reportFd, &done, 1) != 1) ::_exit(5);
  for (;;) ::pause();
}

TEST(KilledProgram, FindsBothLoggedEffectsInTheFile) {
  TempDir dir;
  const std::string path = dir / LogFileName;
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(report[0]);
    LogTwoEffectsAndWait(path, report[1]);
  }
  ::close(report[1]);
  char got = 0;
  const ssize_t n = ::read(report[0], &got, 1);
  ::close(report[0]);
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(n, 1) << "the child stopped early with status " << WEXITSTATUS(status);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(ReadAll(path), "Log starts\r\nNegative\r\nMirror L/R\r\n");
}

}  // namespace
}  // namespace vell
