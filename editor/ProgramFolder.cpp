#include "editor/ProgramFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "editor/IniFile.h"

namespace vell {

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::optional<std::string> ProcessEnv(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  if (!v) return std::nullopt;
  return std::string(v);
}

std::string ExecutableFolder() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return "";
  buf.resize(static_cast<size_t>(n));
  size_t slash = buf.rfind('/');
  if (slash == std::string::npos) return "";
  return buf.substr(0, slash + 1);
}

std::string ConfigFolder(const TEnvLookup& env) {
  // Relative values are ignored, as the XDG rules say.
  if (auto xdg = env("XDG_CONFIG_HOME"); xdg && !xdg->empty() && (*xdg)[0] == '/')
    return WithSlash(*xdg) + "VellTile/";
  if (auto home = env("HOME"); home && !home->empty() && (*home)[0] == '/')
    return WithSlash(*home) + ".config/VellTile/";
  return "";
}

bool FolderWritable(const std::string& folder) {
  if (folder.empty() || !IsFolder(folder)) return false;
  std::string probe = WithSlash(folder) + ".vell-write-probe-XXXXXX";
  int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  std::string path;
  size_t pos = 0;
  while (pos <= folder.size()) {
    size_t next = folder.find('/', pos);
    if (next == std::string::npos) next = folder.size();
    path = folder.substr(0, next);
    if (!path.empty() && !IsFolder(path)) {
      if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    pos = next + 1;
  }
  return IsFolder(folder);
}

std::string ChooseProgramFolder(const std::string& exeFolder, const TEnvLookup& env) {
  if (FolderWritable(exeFolder)) return WithSlash(exeFolder);
  std::string config = ConfigFolder(env);
  if (!config.empty() && MakeFolders(config)) return config;
  return WithSlash(exeFolder);
}

const std::string& ProgramFolder() {
  static const std::string folder = ChooseProgramFolder(ExecutableFolder());
  return folder;
}

std::string ProgramFile(const std::string& folder, const std::string& exeFolder, const std::string& name) {
  std::string target = WithSlash(folder) + name;
  std::string exeCopy = WithSlash(exeFolder) + name;
  if (WithSlash(folder) != WithSlash(exeFolder) && !exeFolder.empty() && !IsFile(target) &&
      IsFile(exeCopy)) {
    std::string bytes;
    if (ReadFileBytes(exeCopy, bytes).ok) ReplaceFileContents(target, bytes);
  }
  return target;
}

std::string ProgramFile(const std::string& name) {
  return ProgramFile(ProgramFolder(), ExecutableFolder(), name);
}

}  // namespace vell
