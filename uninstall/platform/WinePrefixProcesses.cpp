// Programs of the prefix, started through Wine: processes, self-registration, restart.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

// ---------------------------------------------------------------------------------------
// Programs of the prefix

namespace {

// Splits a command line into arguments the way Windows programs do.
std::vector<std::string> SplitArguments(const std::string& cmd) {
  std::vector<std::string> args;
  size_t i = 0, n = cmd.size();
  while (i < n) {
    while (i < n && (cmd[i] == ' ' || cmd[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || (cmd[i] != ' ' && cmd[i] != '\t'))) {
      if (cmd[i] == '\\') {
        size_t k = i;
        while (k < n && cmd[k] == '\\') ++k;
        size_t slashes = k - i;
        if (k < n && cmd[k] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2) {
            arg.push_back('"');
            i = k + 1;
          } else {
            i = k;
          }
        } else {
          arg.append(slashes, '\\');
          i = k;
        }
      } else if (cmd[i] == '"') {
        quoted = !quoted;
        ++i;
      } else {
        arg.push_back(cmd[i++]);
      }
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace

bool WinePrefix::RunWine(const std::vector<std::string>& args, const std::string& unixCwd, bool wait,
                         int* status) {
  if (wine_.empty()) return false;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "WINEPREFIX=", 11) == 0 || std::strncmp(*e, "WINEDEBUG=", 10) == 0) continue;
    env.emplace_back(*e);
  }
  env.push_back("WINEPREFIX=" + realDir_);
  env.push_back("WINEDEBUG=-all");
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  std::vector<std::string> argv{wine_};
  for (const auto& a : args) argv.push_back(AnsiToUtf8(a));
  std::vector<char*> argvp;
  for (auto& a : argv) argvp.push_back(a.data());
  argvp.push_back(nullptr);

  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  if (!unixCwd.empty()) posix_spawn_file_actions_addchdir_np(&fa, unixCwd.c_str());
  pid_t pid;
  int rc = posix_spawn(&pid, wine_.c_str(), &fa, nullptr, argvp.data(), envp.data());
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return false;
  if (!wait) return true;
  int st = 0;
  while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return true;
}

void WinePrefix::ReloadAfterWine() {
  // Wine keeps the registry until its server ends; wait for that, then read it again.
  if (!wineserver_.empty() && !wine_.empty()) {
    std::string saved = wine_;
    wine_ = wineserver_;
    RunWine({"-w"}, realDir_, true, nullptr);
    wine_ = saved;
  }
  std::string error;
  LoadHives(&error);
}

StartResult WinePrefix::StartProcess(const std::string& commandLine, const std::string& workingDir, bool wait,
                                     uint32_t* exitCode) {
  std::string program, rest;
  size_t i = 0;
  while (i < commandLine.size() && commandLine[i] == ' ') ++i;
  if (i < commandLine.size() && commandLine[i] == '"') {
    size_t end = commandLine.find('"', i + 1);
    if (end == std::string::npos) end = commandLine.size();
    program = commandLine.substr(i + 1, end - i - 1);
    rest = end < commandLine.size() ? commandLine.substr(end + 1) : "";
  } else {
    // As CreateProcess does: the shortest part up to a blank that names a file.
    size_t end = i;
    do {
      end = commandLine.find(' ', end + 1);
      if (end == std::string::npos) end = commandLine.size();
      program = commandLine.substr(i, end - i);
      rest = commandLine.substr(end);
      Resolved probe;
      struct stat ps;
      if (Resolve(program, &probe) && probe.exists && Stat(probe.unixPath, &ps) && !S_ISDIR(ps.st_mode)) break;
    } while (end < commandLine.size());
  }
  Resolved r;
  struct stat st;
  if (!Resolve(program, &r) || !r.exists || !Stat(r.unixPath, &st) || S_ISDIR(st.st_mode)) {
    Fail("The program " + program + " does not exist.");
    return StartResult::CannotStart;
  }
  if (wine_.empty()) {
    Fail("Wine is not installed, so " + program + " cannot be started.");
    return StartResult::CannotStart;
  }
  Resolved dir;
  std::string cwd = realDir_ + "/drive_c";
  if (Resolve(workingDir.empty() ? cwd_ : workingDir, &dir) && dir.exists && IsDirectory(dir.unixPath)) cwd = dir.unixPath;
  std::vector<std::string> args{r.windows};
  for (auto& a : SplitArguments(rest)) args.push_back(a);
  if (!wait) {
    // Run after the uninstaller's own changes are on disk (see the destructor).
    deferredLaunches_.push_back(args);
    return StartResult::Started;
  }
  // Waiting for a session that other programs keep open would never end.
  if (ServerRunning()) {
    Fail(kServerBusy);
    return StartResult::CannotStart;
  }
  if (!Flush()) return StartResult::CannotStart;
  int status = -1;
  if (!RunWine(args, cwd, true, &status)) {
    Fail("The program " + program + " cannot be started.");
    return StartResult::CannotStart;
  }
  ReloadAfterWine();
  if (exitCode) *exitCode = static_cast<uint32_t>(status);
  return StartResult::Started;
}

bool WinePrefix::SelfRegister(const std::string& path, bool doRegister) {
  Resolved r;
  if (!Resolve(path, &r) || !r.exists) return Fail("The file " + path + " does not exist.");
  if (wine_.empty()) return Fail("Wine is not installed, so " + path + " cannot be registered.");
  if (ServerRunning()) return Fail(kServerBusy);
  if (!Flush()) return false;
  std::vector<std::string> args{"regsvr32", "/s"};
  if (!doRegister) args.push_back("/u");
  args.push_back(r.windows);
  int status = -1;
  bool ran = RunWine(args, realDir_ + "/drive_c", true, &status);
  ReloadAfterWine();
  return ran && status == 0;
}

bool WinePrefix::WindowClassExists(const std::string&) { return false; }

bool WinePrefix::Restart() {
  if (wine_.empty())
    return Fail("Wine is not installed; the pending work is done when a program of the prefix next starts.");
  if (ServerRunning()) return Fail(kServerBusy);
  if (!Flush()) return false;
  int status = -1;
  bool ok = RunWine({"wineboot", "-r"}, realDir_ + "/drive_c", true, &status);
  if (ok && linksDeleted_) RunWine({"winemenubuilder", "-r"}, realDir_ + "/drive_c", true, nullptr);
  ReloadAfterWine();
  return ok && status == 0 ? true : Fail("The prefix could not be restarted.");
}

}  // namespace yarb
