// What the files of the Wine-prefix platform share: small Linux helpers and the texts
// of their common failures. Only WinePrefix*.cpp include this.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include "Encoding.h"
#include "IniProfile.h"
#include "ShellLink.h"
#include "ShortNames.h"
#include "WinePrefix.h"

extern char** environ;

namespace yarb::prefix_detail {


inline bool ReadWhole(const std::string& path, std::string* out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out->clear();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out->append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

inline bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Writes through a temporary file beside `path` and a rename, keeping the file's mode.
inline bool WriteAtomically(const std::string& path, const std::string& data) {
  struct stat st;
  mode_t mode = 0644;
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  std::string tmp = path + ".yarbXXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data.data(), data.size()) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(name.data(), path.c_str()) == 0) return true;
  ::unlink(name.data());
  return false;
}

inline bool LStat(const std::string& p, struct stat* st) { return ::lstat(p.c_str(), st) == 0; }
inline bool Stat(const std::string& p, struct stat* st) { return ::stat(p.c_str(), st) == 0; }
inline bool IsDirectory(const std::string& p) {
  struct stat st;
  return Stat(p, &st) && S_ISDIR(st.st_mode);
}

inline std::string ParentOf(const std::string& p) {
  size_t s = p.find_last_of('/');
  if (s == std::string::npos) return ".";
  if (s == 0) return "/";
  return p.substr(0, s);
}

inline std::string LeafOf(const std::string& p) {
  size_t s = p.find_last_of('/');
  return s == std::string::npos ? p : p.substr(s + 1);
}

inline std::vector<std::string> ListDirectory(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (struct dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

inline std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c -= 32;
  return s;
}

inline std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c += 32;
  return s;
}

inline std::string FindInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string p = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= p.size()) {
    size_t end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    std::string dir = p.substr(start, end - start);
    if (!dir.empty()) {
      std::string candidate = dir + "/" + program;
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return {};
}

// Text of a registry value's data as the "A" functions return it.
inline RegValue ToAnsiValue(const reg::Value& v) {
  RegValue out;
  out.type = v.type;
  if (v.type == kRegSz || v.type == kRegExpandSz || v.type == kRegMultiSz) {
    std::u16string w;
    for (size_t i = 0; i + 1 < v.data.size(); i += 2) w.push_back(static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8)));
    std::string a = Utf16ToAnsi(w);
    out.data.assign(a.begin(), a.end());
  } else {
    out.data = v.data;
  }
  return out;
}

inline std::vector<uint8_t> FromAnsiData(const RegValue& v) {
  if (v.type != kRegSz && v.type != kRegExpandSz && v.type != kRegMultiSz) return v.data;
  std::string a(v.data.begin(), v.data.end());
  std::u16string w = AnsiToUtf16(a);
  if (w.empty() || w.back() != 0) w.push_back(0);
  std::vector<uint8_t> out;
  for (char16_t c : w) {
    out.push_back(static_cast<uint8_t>(c & 0xff));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

inline std::u16string W(const std::string& ansi) { return AnsiToUtf16(ansi); }

inline std::vector<std::u16string> SplitKeyPath(const std::string& key) {
  std::vector<std::u16string> names;
  std::u16string w = W(key);
  size_t i = 0;
  while (i < w.size()) {
    size_t j = w.find(u'\\', i);
    if (j == std::u16string::npos) j = w.size();
    if (j > i) names.push_back(w.substr(i, j - i));
    i = j + 1;
  }
  return names;
}

inline const char* kServerBusy =
    "Wine is running programs in this prefix, so nothing in it can be changed now. Close every "
    "program that runs in the prefix (or end them with \"wineserver -k\") and start the "
    "uninstaller again.";


}  // namespace yarb::prefix_detail

namespace yarb {

// A Windows path resolved to the Linux file it names.
struct WinePrefix::Resolved {
  std::string windows;   // full Windows path ("C:\\a\\b")
  std::string unixPath;  // on-disk names where found, the given names after that
  bool exists = false;
  size_t missing = 0;    // number of components found
  size_t count = 0;      // number of components
  std::vector<std::string> onDisk;  // names found, as on disk (UTF-8)
  std::string driveDir;
  int redirected = -1;  // index of a system32 name that was redirected
};

// A registry key found by a walk: a real key or one of the virtual roots.
struct WinePrefix::RegNode {
  reg::Key* key = nullptr;
  int virt = 0;  // 1: the registry's root, 2: "User"
  bool valid() const { return key || virt; }
};

}  // namespace yarb
