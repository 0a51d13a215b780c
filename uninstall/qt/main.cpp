// UNYARB32: removes, rolls back or repairs an installation recorded in INSTALL.LOG inside a
// Wine prefix. See README.md for its switches.
#include <unistd.h>

#include <climits>
#include <string>

#include "CommandLine.h"
#include "Program.h"

int main(int argc, char** argv) {
  char self[PATH_MAX + 1] = {};
  const ssize_t n = ::readlink("/proc/self/exe", self, PATH_MAX);
  const std::string executable = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]);
  const std::string line = yarb::JoinArguments(argc, argv);
  yarb::qt::RunUninstaller(executable, line, argc, argv);
  return 0;
}
