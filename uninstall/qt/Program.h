// One run of the uninstaller, from its command line to its exit: settings, the log, the
// wizard or the silent run, the uninstall, rollback or repair, the report, the status MIF
// and the restart question.
#pragma once

#include <string>

namespace yarb::qt {

// `executable`: the program's own Linux path (its settings file lies beside it);
// `commandLine`: as ParseCommandLine reads it. Always returns 0.
int RunUninstaller(const std::string& executable, const std::string& commandLine, int argc,
                   char** argv);

// The Linux or Windows form of a log path: "~/" expanded, a relative Linux path made
// absolute. *windows is true for a path with a drive letter or a "\\".
std::string ExpandLogPath(const std::string& path, bool* windows);

}  // namespace yarb::qt
