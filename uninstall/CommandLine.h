// The uninstaller's command line: switches, then the log path and an optional caption.
//
//   /A automatic   /S silent   /R rollback   /U confirm only   /W n launch check for icon n
//   /Z no temporary copy       /z this process is the temporary copy ("/z1": and restart)
//
// Switch letters match in either case, except that only a lower-case "z" marks the
// temporary copy. Parsing of switches stops at the first word not beginning with "/" or at
// an unknown letter.
#pragma once

#include <string>

namespace yarb {

struct CommandLine {
  bool automatic = false;
  bool silent = false;
  bool rollback = false;
  bool confirmOnly = false;
  bool noTempCopy = false;
  bool tempCopy = false;
  bool tempCopyRestart = false;
  int launchIndex = 0;  // 0: none
  std::string logPath;  // empty: none given
  bool logQuoted = false;  // a quoted path is brought to short form by the caller
  std::string caption;  // empty: none (the log's title is used)
  std::string tempArgs;  // the temporary copy's argument list
};

CommandLine ParseCommandLine(const std::string& line);

// The command line rebuilt from a program's arguments: the switches as given, the first
// other argument (the log path) quoted when it holds a blank, the rest joined by blanks.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace yarb
