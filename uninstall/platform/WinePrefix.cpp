#include "WinePrefix.h"

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

extern char** environ;

namespace yarb {

// ---------------------------------------------------------------------------------------
// Small Linux helpers

namespace {

bool ReadWhole(const std::string& path, std::string* out) {
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

bool WriteAll(int fd, const char* data, size_t size) {
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
bool WriteAtomically(const std::string& path, const std::string& data) {
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

bool LStat(const std::string& p, struct stat* st) { return ::lstat(p.c_str(), st) == 0; }
bool Stat(const std::string& p, struct stat* st) { return ::stat(p.c_str(), st) == 0; }
bool IsDirectory(const std::string& p) {
  struct stat st;
  return Stat(p, &st) && S_ISDIR(st.st_mode);
}

std::string ParentOf(const std::string& p) {
  size_t s = p.find_last_of('/');
  if (s == std::string::npos) return ".";
  if (s == 0) return "/";
  return p.substr(0, s);
}

std::string LeafOf(const std::string& p) {
  size_t s = p.find_last_of('/');
  return s == std::string::npos ? p : p.substr(s + 1);
}

std::vector<std::string> ListDirectory(const std::string& dir) {
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

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c -= 32;
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c += 32;
  return s;
}

std::string FindInPath(const std::string& program) {
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
RegValue ToAnsiValue(const reg::Value& v) {
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

std::vector<uint8_t> FromAnsiData(const RegValue& v) {
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

std::u16string W(const std::string& ansi) { return AnsiToUtf16(ansi); }

std::vector<std::u16string> SplitKeyPath(const std::string& key) {
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

const char* kServerBusy =
    "Wine is running programs in this prefix, so nothing in it can be changed now. Close every "
    "program that runs in the prefix (or end them with \"wineserver -k\") and start the "
    "uninstaller again.";

}  // namespace

// ---------------------------------------------------------------------------------------
// Opening, saving, the wineserver

std::unique_ptr<Platform> OpenWinePrefix(const std::string& prefixDir, std::string* error) {
  auto p = std::make_unique<WinePrefix>(prefixDir);
  if (!p->Open(error)) return nullptr;
  return p;
}

WinePrefix::WinePrefix(const std::string& dir) : dir_(dir) {
  wine_ = FindInPath("wine");
  wineserver_ = FindInPath("wineserver");
}

WinePrefix::~WinePrefix() {
  Flush();
  // Programs started without waiting run now, after the registry is on disk.
  for (const auto& args : deferredLaunches_) RunWine(args, realDir_, false, nullptr);
}

bool WinePrefix::Open(std::string* error) {
  char buf[PATH_MAX];
  if (!::realpath(dir_.c_str(), buf)) {
    if (error) *error = "The Wine prefix " + dir_ + " does not exist.";
    return false;
  }
  realDir_ = buf;
  if (!IsDirectory(realDir_ + "/drive_c") || !IsDirectory(realDir_ + "/dosdevices")) {
    if (error) *error = dir_ + " is not a Wine prefix (it has no drive_c or dosdevices folder).";
    return false;
  }
  return LoadHives(error);
}

bool WinePrefix::LoadHives(std::string* error) {
  std::string text, err;
  auto sys = std::make_unique<reg::Hive>();
  auto usr = std::make_unique<reg::Hive>();
  auto def = std::make_unique<reg::Hive>();
  if (!ReadWhole(realDir_ + "/system.reg", &text) || !sys->Parse(text, &err)) {
    if (error) *error = "The registry file system.reg of " + dir_ + " cannot be read" + (err.empty() ? "." : ": " + err + ".");
    return false;
  }
  if (!ReadWhole(realDir_ + "/user.reg", &text) || !usr->Parse(text, &err)) {
    if (error) *error = "The registry file user.reg of " + dir_ + " cannot be read" + (err.empty() ? "." : ": " + err + ".");
    return false;
  }
  haveUserdef_ = ReadWhole(realDir_ + "/userdef.reg", &text) && def->Parse(text, &err);
  system_ = std::move(sys);
  user_ = std::move(usr);
  userdef_ = std::move(def);
  // "REGISTRY\User\S-1-5-21-..." names the user of user.reg.
  const std::u16string& rel = user_->RelativeTo();
  size_t slash = rel.find_last_of(u'\\');
  if (slash != std::u16string::npos && slash + 1 < rel.size()) userSid_ = rel.substr(slash + 1);
  return true;
}

bool WinePrefix::SaveHive(reg::Hive& hive, const std::string& file) {
  if (!hive.Modified()) return true;
  if (!WriteAtomically(realDir_ + "/" + file, hive.Serialize())) return Fail("The registry file " + file + " cannot be written.");
  hive.MarkSaved();
  return true;
}

bool WinePrefix::Flush() {
  if (!system_) return true;
  if (!system_->Modified() && !user_->Modified() && !userdef_->Modified()) return true;
  if (ServerRunning()) return Fail(kServerBusy);
  bool ok = SaveHive(*system_, "system.reg");
  ok = SaveHive(*user_, "user.reg") && ok;
  if (haveUserdef_) ok = SaveHive(*userdef_, "userdef.reg") && ok;
  return ok;
}

std::vector<std::string> WinePrefix::ServerDirectories() {
  std::vector<std::string> dirs;
  struct stat st;
  if (!Stat(realDir_, &st)) return dirs;
  char name[64];
  std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  dirs.push_back(serverRoot_ + "/.wine-" + std::to_string(::getuid()) + "/" + name);
  // Debian's build names its folder in the file "wineserver" of the prefix.
  std::string tag;
  if (ReadWhole(realDir_ + "/wineserver", &tag)) {
    while (!tag.empty() && (tag.back() == '\n' || tag.back() == '\r' || tag.back() == ' ')) tag.pop_back();
    if (!tag.empty() && tag.find('/') == std::string::npos && tag != "." && tag != "..")
      dirs.push_back(serverRoot_ + "/" + tag + "/" + name);
  }
  return dirs;
}

bool WinePrefix::ServerRunning() {
  for (const std::string& dir : ServerDirectories()) {
    // A running server holds a lock on its lock file ...
    int fd = ::open((dir + "/lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      struct flock fl{};
      fl.l_type = F_WRLCK;
      fl.l_whence = SEEK_SET;
      bool locked = ::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
      ::close(fd);
      if (locked) return true;
    }
    // ... and listens on its socket. The connection does not wait: a server too busy to
    // take it is still a running server.
    std::string sock = dir + "/socket";
    struct stat st;
    if (LStat(sock, &st) && S_ISSOCK(st.st_mode) && sock.size() < sizeof(sockaddr_un::sun_path)) {
      int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
      if (s >= 0) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, sock.c_str(), sock.size() + 1);
        bool alive = ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 || errno == EAGAIN ||
                     errno == EINPROGRESS;
        ::close(s);
        if (alive) return true;
      }
    }
  }
  return false;
}

bool WinePrefix::Fail(const std::string& message) {
  lastError_ = message;
  return false;
}

bool WinePrefix::CanChange() {
  if (ServerRunning()) return Fail(kServerBusy);
  lastError_.clear();
  return true;
}

// ---------------------------------------------------------------------------------------
// Paths

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

bool WinePrefix::FullPath(const std::string& input, char* drive, std::vector<std::string>* parts) {
  std::string p = input;
  if (p.find('\0') != std::string::npos) return false;  // would cut the Linux path short
  std::replace(p.begin(), p.end(), '/', '\\');
  if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\??\\", 0) == 0) p = p.substr(4);
  if (p.rfind("\\\\", 0) == 0) return false;  // UNC paths are not part of a prefix
  std::string base;
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    *drive = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
    std::string rest = p.substr(2);
    if (rest.empty() || rest[0] != '\\') {
      if (std::toupper(static_cast<unsigned char>(cwd_[0])) == *drive) rest = cwd_.substr(2) + "\\" + rest;
      else rest = "\\" + rest;
    }
    p = rest;
  } else {
    *drive = static_cast<char>(std::toupper(static_cast<unsigned char>(cwd_[0])));
    if (p.empty() || p[0] != '\\') p = cwd_.substr(2) + "\\" + p;
  }
  parts->clear();
  size_t i = 0;
  while (i <= p.size()) {
    size_t j = p.find('\\', i);
    if (j == std::string::npos) j = p.size();
    std::string c = p.substr(i, j - i);
    i = j + 1;
    if (c.empty() || c == ".") continue;
    if (c == "..") {
      if (!parts->empty()) parts->pop_back();
      continue;
    }
    // Windows drops trailing dots and blanks of a name.
    while (!c.empty() && (c.back() == '.' || c.back() == ' ')) c.pop_back();
    if (c.empty()) continue;
    parts->push_back(c);
  }
  return true;
}

bool WinePrefix::LookupName(const std::string& dir, const std::string& nameAnsi, std::string* onDisk) {
  std::string utf8 = AnsiToUtf8(nameAnsi);
  struct stat st;
  if (utf8.find('/') == std::string::npos && LStat(dir + "/" + utf8, &st)) {
    *onDisk = utf8;
    return true;
  }
  std::vector<std::string> entries = ListDirectory(dir);
  std::u16string want = AnsiToUtf16(nameAnsi);
  for (const std::string& e : entries) {
    if (EqualNoCase(Utf8ToUtf16(e), want)) {
      *onDisk = e;
      return true;
    }
  }
  if (nameAnsi.find('~') == std::string::npos || !IsLegal83(want)) return false;
  std::vector<std::u16string> wide;
  for (const std::string& e : entries) wide.push_back(Utf8ToUtf16(e));
  for (size_t i = 0; i < wide.size(); ++i) {
    if (EqualNoCase(WineShortName(wide[i]), want)) {
      *onDisk = entries[i];
      return true;
    }
  }
  std::vector<std::u16string> aliases = WindowsShortNames(wide);
  for (size_t i = 0; i < wide.size(); ++i) {
    if (!aliases[i].empty() && EqualNoCase(aliases[i], want)) {
      *onDisk = entries[i];
      return true;
    }
  }
  return false;
}

bool WinePrefix::Resolve(const std::string& path, Resolved* r) {
  char drive;
  std::vector<std::string> parts;
  if (!FullPath(path, &drive, &parts)) return Fail("The path " + path + " is not on a drive of the prefix.");
  r->windows = std::string(1, drive) + ":";
  for (const auto& c : parts) r->windows += "\\" + c;
  if (parts.empty()) r->windows += "\\";

  std::string link = realDir_ + "/dosdevices/" + std::string(1, static_cast<char>(std::tolower(drive))) + ":";
  char buf[PATH_MAX];
  ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
  if (n <= 0) return Fail("Drive " + std::string(1, drive) + ": does not exist in the prefix.");
  std::string target(buf, static_cast<size_t>(n));
  if (target[0] != '/') target = realDir_ + "/dosdevices/" + target;
  if (::realpath(link.c_str(), buf)) target = buf;
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  r->driveDir = target;

  // A 32-bit program of a 64-bit prefix finds its system folder in syswow64.
  if (view32_ && system_->Win64() && drive == 'C' && parts.size() >= 2 &&
      EqualNoCaseAnsi(parts[0], "windows")) {
    if (EqualNoCaseAnsi(parts[1], "system32")) {
      bool shared = parts.size() >= 3 &&
                    (EqualNoCaseAnsi(parts[2], "catroot") || EqualNoCaseAnsi(parts[2], "catroot2") ||
                     EqualNoCaseAnsi(parts[2], "logfiles") || EqualNoCaseAnsi(parts[2], "spool") ||
                     (parts.size() >= 4 && EqualNoCaseAnsi(parts[2], "drivers") &&
                      EqualNoCaseAnsi(parts[3], "etc")));
      if (!shared) {
        parts[1] = "syswow64";
        r->redirected = 1;
      }
    } else if (EqualNoCaseAnsi(parts[1], "sysnative")) {
      parts[1] = "system32";
      r->redirected = 1;
    }
  }

  std::string cur = target == "/" ? "" : target;
  r->count = parts.size();
  r->missing = 0;
  r->onDisk.clear();
  bool found = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string name;
    if (found && LookupName(cur.empty() ? "/" : cur, parts[i], &name)) {
      r->onDisk.push_back(name);
      r->missing = i + 1;
    } else {
      found = false;
      name = AnsiToUtf8(parts[i]);
    }
    cur += "/" + name;
  }
  r->unixPath = cur.empty() ? "/" : cur;
  struct stat st;
  r->exists = found && (parts.empty() ? Stat(r->unixPath, &st) : LStat(r->unixPath, &st));
  return true;
}

std::string WinePrefix::RealInside(const std::string& unixPath, bool followLeaf, bool* inside) {
  // The real location: the deepest existing folder resolved, the rest appended.
  std::string path = unixPath;
  std::string tail;
  char buf[PATH_MAX];
  std::string real;
  if (followLeaf && ::realpath(path.c_str(), buf)) {
    real = buf;
  } else {
    tail = "/" + LeafOf(path);
    path = ParentOf(path);
    while (!::realpath(path.c_str(), buf)) {
      if (path == "/" || path.empty()) {
        *inside = false;
        return unixPath;
      }
      tail = "/" + LeafOf(path) + tail;
      path = ParentOf(path);
    }
    real = std::string(buf) + tail;
    if (real.rfind("//", 0) == 0) real = real.substr(1);
  }
  // Inside means below a folder of the prefix other than dosdevices; the prefix's own files
  // (the hives) are never touched through a Windows path.
  *inside = false;
  std::string root = realDir_ + "/";
  if (real.rfind(root, 0) == 0) {
    std::string rest = real.substr(root.size());
    size_t slash = rest.find('/');
    if (slash != std::string::npos && slash + 1 < rest.size() && rest.substr(0, slash) != "dosdevices")
      *inside = true;
  }
  return real;
}

bool WinePrefix::CheckChange(const char* op, const std::string& winPath, const std::string& unixPath,
                             bool followLeaf) {
  bool inside;
  std::string real = RealInside(unixPath, followLeaf, &inside);
  if (inside) return true;
  std::string text = std::string("Refused to ") + op + " " + winPath +
                     ": it leads outside the Wine prefix (to " + real + ").";
  refusals_.push_back(text);
  return Fail(text);
}

std::string WinePrefix::ToShortPath(const std::string& path) {
  char drive;
  std::vector<std::string> parts;
  if (!FullPath(path, &drive, &parts)) return path;
  std::string out = std::string(1, drive) + ":";
  Resolved r;
  if (!Resolve(path, &r)) {
    for (const auto& c : parts) out += "\\" + c;
    return parts.empty() ? out + "\\" : out;
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    if (static_cast<int>(i) == r.redirected) {
      out += "\\" + parts[i];
    } else if (i < r.missing) {
      std::u16string longName = Utf8ToUtf16(r.onDisk[i]);
      std::u16string alias = WineShortName(longName);
      out += "\\" + Utf16ToAnsi(alias.empty() ? longName : alias);
    } else {
      out += "\\" + parts[i];
    }
  }
  return parts.empty() ? out + "\\" : out;
}

std::string WinePrefix::ToLongPath(const std::string& path) {
  // Only a path with an alias in it is looked up; others keep their spelling.
  if (path.find('~') == std::string::npos) {
    std::string out = path;
    if (out.find_first_of("\\/:") == std::string::npos) {
      out = cwd_ + (cwd_.back() == '\\' ? "" : "\\") + out;
    }
    if (out.size() >= 2 && out[1] == ':') out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    return out;
  }
  char drive;
  std::vector<std::string> parts;
  if (!FullPath(path, &drive, &parts)) return path;
  std::string out = std::string(1, drive) + ":";
  Resolved r;
  bool ok = Resolve(path, &r);
  for (size_t i = 0; i < parts.size(); ++i)
    out += "\\" + (ok && i < r.missing && static_cast<int>(i) != r.redirected ? Utf8ToAnsi(r.onDisk[i]) : parts[i]);
  return parts.empty() ? out + "\\" : out;
}

bool WinePrefix::WindowsToUnixPath(const std::string& windowsPath, std::string* unixPath) {
  Resolved r;
  if (!Resolve(windowsPath, &r)) return false;
  *unixPath = r.unixPath;
  return true;
}

bool WinePrefix::UnixToWindowsPath(const std::string& unixPath, std::string* windowsPath) {
  char buf[PATH_MAX];
  std::string real;
  if (::realpath(unixPath.c_str(), buf)) {
    real = buf;
  } else if (::realpath(ParentOf(unixPath).c_str(), buf)) {
    real = std::string(buf) + "/" + LeafOf(unixPath);
  } else {
    return Fail("The file " + unixPath + " does not exist.");
  }
  // The drive whose folder holds the path most closely.
  std::string best;
  char bestDrive = 0;
  for (char d = 'a'; d <= 'z'; ++d) {
    std::string link = realDir_ + "/dosdevices/" + std::string(1, d) + ":";
    if (!::realpath(link.c_str(), buf)) continue;
    std::string target = buf;
    std::string withSlash = target == "/" ? "/" : target + "/";
    if ((real == target || real.rfind(withSlash, 0) == 0) && target.size() >= best.size() &&
        (bestDrive == 0 || target.size() > best.size())) {
      best = target;
      bestDrive = d;
    }
  }
  if (!bestDrive) return Fail("The file " + unixPath + " is on no drive of the prefix.");
  std::string rest = real.substr(best == "/" ? 0 : best.size());
  std::string out = std::string(1, static_cast<char>(std::toupper(bestDrive))) + ":";
  std::string ansi = Utf8ToAnsi(rest);
  std::replace(ansi.begin(), ansi.end(), '/', '\\');
  out += ansi.empty() ? "\\" : ansi;
  *windowsPath = out;
  return true;
}

bool WinePrefix::IsRemovableDrive(char letter) {
  letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  if (letter != 'a' && letter != 'b') return false;
  RegValue v;
  std::string key = "Software\\Wine\\Drives";
  bool saved = view32_;
  view32_ = false;
  bool have = RegQueryValue(RegRoot::LocalMachine, key, std::string(1, letter) + ":", &v);
  view32_ = saved;
  if (have && EqualNoCaseAnsi(v.AsString(), "floppy")) return true;
  char buf[PATH_MAX];
  std::string link = realDir_ + "/dosdevices/" + std::string(1, letter) + ":";
  ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
  if (n <= 0) return false;
  std::string target = Lower(std::string(buf, static_cast<size_t>(n)));
  return target.find("floppy") != std::string::npos || target.find("/dev/fd") == 0;
}

bool WinePrefix::SetCurrentDirectory(const std::string& path) {
  Resolved r;
  if (!Resolve(path, &r) || !r.exists || !IsDirectory(r.unixPath)) return Fail("The folder " + path + " does not exist.");
  cwd_ = r.windows;
  return true;
}

// ---------------------------------------------------------------------------------------
// Files and folders

namespace {

uint32_t AttributesOf(const std::string& unixPath, const struct stat& st) {
  uint32_t attr = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) attr |= kAttrReadOnly;
  char buf[32];
  ssize_t n = ::getxattr(unixPath.c_str(), "user.DOSATTRIB", buf, sizeof buf - 1);
  if (n > 0) {
    buf[n] = 0;
    unsigned long v = std::strtoul(buf, nullptr, 16);
    attr |= static_cast<uint32_t>(v) & (kAttrHidden | kAttrSystem);
  }
  std::string leaf = LeafOf(unixPath);
  if (!leaf.empty() && leaf[0] == '.') attr |= kAttrHidden;
  return attr;
}

LocalTime ToLocal(time_t t) {
  struct tm tm{};
  ::localtime_r(&t, &tm);
  LocalTime lt;
  lt.year = tm.tm_year + 1900;
  lt.month = tm.tm_mon + 1;
  lt.day = tm.tm_mday;
  lt.hour = tm.tm_hour;
  lt.minute = tm.tm_min;
  lt.second = tm.tm_sec;
  return lt;
}

bool IsReadOnlyFile(const struct stat& st) {
  return !S_ISDIR(st.st_mode) && !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
}

bool CopyContents(const std::string& from, const std::string& to) {
  std::string data;
  struct stat st;
  if (!Stat(from, &st) || !ReadWhole(from, &data)) return false;
  if (!WriteAtomically(to, data)) return false;
  ::chmod(to.c_str(), st.st_mode & 07777);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, to.c_str(), times, 0);
  return true;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && EqualNoCaseAnsi(s.substr(s.size() - tail.size()), tail);
}

}  // namespace

bool WinePrefix::FileExists(const std::string& path) {
  Resolved r;
  return Resolve(path, &r) && r.exists;
}

uint32_t WinePrefix::GetFileAttributes(const std::string& path) {
  Resolved r;
  struct stat st;
  if (!Resolve(path, &r) || !r.exists) {
    Fail("The file " + path + " does not exist.");
    return kInvalidAttributes;
  }
  if (!Stat(r.unixPath, &st) && !LStat(r.unixPath, &st)) return kInvalidAttributes;
  return AttributesOf(r.unixPath, st);
}

bool WinePrefix::SetFileAttributes(const std::string& path, uint32_t attributes) {
  if (!CanChange()) return false;
  Resolved r;
  struct stat st;
  if (!Resolve(path, &r) || !r.exists || !Stat(r.unixPath, &st)) return Fail("The file " + path + " does not exist.");
  if (!CheckChange("change the attributes of", r.windows, r.unixPath, true)) return false;
  if (!S_ISDIR(st.st_mode)) {
    mode_t mode = st.st_mode & 07777;
    if (attributes & kAttrReadOnly) {
      mode &= ~static_cast<mode_t>(0222);
    } else if (!(mode & (S_IWUSR | S_IWGRP | S_IWOTH))) {
      mode_t mask = ::umask(0);
      ::umask(mask);
      mode |= (0600 | ((mode & 044) >> 1)) & ~mask;
    }
    if (mode != (st.st_mode & 07777) && ::chmod(r.unixPath.c_str(), mode) != 0)
      return Fail("The attributes of " + path + " cannot be changed.");
  }
  uint32_t dos = attributes & (kAttrHidden | kAttrSystem);
  if (dos) {
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "0x%x", dos);
    ::setxattr(r.unixPath.c_str(), "user.DOSATTRIB", buf, static_cast<size_t>(n), 0);
  } else {
    ::removexattr(r.unixPath.c_str(), "user.DOSATTRIB");
  }
  return true;
}

bool WinePrefix::GetFileInfo(const std::string& path, uint64_t* size, LocalTime* lastWrite) {
  Resolved r;
  struct stat st;
  if (!Resolve(path, &r) || !r.exists || !Stat(r.unixPath, &st)) return Fail("The file " + path + " does not exist.");
  if (size) *size = static_cast<uint64_t>(st.st_size);
  if (lastWrite) *lastWrite = ToLocal(st.st_mtime);
  return true;
}

bool WinePrefix::FindFiles(const std::string& pattern, std::vector<FindData>* found) {
  found->clear();
  char drive;
  std::vector<std::string> parts;
  if (!FullPath(pattern, &drive, &parts) || parts.empty()) return Fail("No file matches " + pattern + ".");
  std::string mask = parts.back();
  std::string folder = std::string(1, drive) + ":";
  for (size_t i = 0; i + 1 < parts.size(); ++i) folder += "\\" + parts[i];
  if (parts.size() == 1) folder += "\\";
  Resolved r;
  if (!Resolve(folder, &r) || !r.exists || !IsDirectory(r.unixPath)) return Fail("The folder " + folder + " does not exist.");
  std::vector<std::string> names;
  if (HasWildcard(mask)) {
    names = ListDirectory(r.unixPath);
  } else {
    std::string onDisk;
    if (LookupName(r.unixPath, mask, &onDisk)) names.push_back(onDisk);
  }
  std::u16string wmask = AnsiToUtf16(mask);
  for (const std::string& name : names) {
    std::u16string wide = Utf8ToUtf16(name);
    std::u16string alias = WineShortName(wide);
    if (HasWildcard(mask) && !WildcardMatch(wmask, wide) && !(!alias.empty() && WildcardMatch(wmask, alias)))
      continue;
    std::string full = (r.unixPath == "/" ? "" : r.unixPath) + "/" + name;
    struct stat st;
    if (!Stat(full, &st) && !LStat(full, &st)) continue;
    FindData fd;
    fd.name = Utf16ToAnsi(wide);
    fd.shortName = Utf16ToAnsi(alias);
    fd.attributes = AttributesOf(full, st);
    fd.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    fd.lastWrite = ToLocal(st.st_mtime);
    found->push_back(fd);
  }
  if (found->empty()) return Fail("No file matches " + pattern + ".");
  return true;
}

bool WinePrefix::ReadFile(const std::string& path, std::vector<uint8_t>* bytes) {
  Resolved r;
  std::string data;
  if (!Resolve(path, &r) || !r.exists || IsDirectory(r.unixPath) || !ReadWhole(r.unixPath, &data))
    return Fail("The file " + path + " cannot be read.");
  bytes->assign(data.begin(), data.end());
  return true;
}

bool WinePrefix::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!CanChange()) return false;
  Resolved r;
  if (!Resolve(path, &r) || r.count == 0 || r.missing + 1 < r.count) return Fail("The folder of " + path + " does not exist.");
  if (!CheckChange("write", r.windows, r.unixPath, true)) return false;
  bool inside;
  std::string real = RealInside(r.unixPath, true, &inside);
  struct stat st;
  if (Stat(real, &st) && (S_ISDIR(st.st_mode) || IsReadOnlyFile(st))) return Fail("The file " + path + " cannot be written.");
  if (!WriteAtomically(real, std::string(bytes.begin(), bytes.end()))) return Fail("The file " + path + " cannot be written.");
  return true;
}

bool WinePrefix::AppendFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!CanChange()) return false;
  Resolved r;
  if (!Resolve(path, &r) || r.count == 0 || r.missing + 1 < r.count) return Fail("The folder of " + path + " does not exist.");
  if (!CheckChange("write", r.windows, r.unixPath, true)) return false;
  int fd = ::open(r.unixPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return Fail("The file " + path + " cannot be written.");
  bool ok = WriteAll(fd, reinterpret_cast<const char*>(bytes.data()), bytes.size());
  ok = ::close(fd) == 0 && ok;
  return ok ? true : Fail("The file " + path + " cannot be written.");
}

bool WinePrefix::DeleteFile(const std::string& path) {
  if (!CanChange()) return false;
  Resolved r;
  struct stat st;
  if (!Resolve(path, &r) || !r.exists || !LStat(r.unixPath, &st)) return Fail("The file " + path + " does not exist.");
  if (!CheckChange("delete", r.windows, r.unixPath, false)) return false;
  struct stat target;
  bool isDir = S_ISDIR(st.st_mode) || (S_ISLNK(st.st_mode) && Stat(r.unixPath, &target) && S_ISDIR(target.st_mode));
  if (isDir) return Fail(path + " is a folder.");
  if (!S_ISLNK(st.st_mode) && IsReadOnlyFile(st)) return Fail("The file " + path + " is read-only.");
  if (::unlink(r.unixPath.c_str()) != 0) return Fail("The file " + path + " cannot be deleted.");
  if (EndsWithNoCase(r.windows, ".lnk")) linksDeleted_ = true;
  return true;
}

bool WinePrefix::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  if (!CanChange()) return false;
  Resolved src, dst;
  struct stat st;
  if (!Resolve(from, &src) || !src.exists || !Stat(src.unixPath, &st) || S_ISDIR(st.st_mode))
    return Fail("The file " + from + " does not exist.");
  if (!Resolve(to, &dst) || dst.count == 0 || dst.missing + 1 < dst.count) return Fail("The folder of " + to + " does not exist.");
  if (!CheckChange("write", dst.windows, dst.unixPath, true)) return false;
  bool inside;
  std::string real = RealInside(dst.unixPath, true, &inside);
  struct stat dt;
  if (Stat(real, &dt)) {
    if (failIfExists) return Fail("The file " + to + " exists.");
    if (S_ISDIR(dt.st_mode) || IsReadOnlyFile(dt)) return Fail("The file " + to + " cannot be replaced.");
  }
  if (!CopyContents(src.unixPath, real)) return Fail("The file " + from + " cannot be copied to " + to + ".");
  return true;
}

bool WinePrefix::MoveFile(const std::string& from, const std::string& to, bool replaceExisting) {
  if (!CanChange()) return false;
  Resolved src, dst;
  struct stat st;
  if (!Resolve(from, &src) || !src.exists || !LStat(src.unixPath, &st)) return Fail("The file " + from + " does not exist.");
  if (!Resolve(to, &dst) || dst.count == 0 || dst.missing + 1 < dst.count) return Fail("The folder of " + to + " does not exist.");
  if (!CheckChange("move", src.windows, src.unixPath, false)) return false;
  if (!CheckChange("write", dst.windows, dst.unixPath, false)) return false;
  struct stat dt;
  if (LStat(dst.unixPath, &dt) && dst.exists) {
    bool same = dt.st_dev == st.st_dev && dt.st_ino == st.st_ino;
    if (!same) {
      if (!replaceExisting) return Fail("The file " + to + " exists.");
      if (S_ISDIR(dt.st_mode) || IsReadOnlyFile(dt)) return Fail("The file " + to + " cannot be replaced.");
    }
  }
  if (::rename(src.unixPath.c_str(), dst.unixPath.c_str()) == 0) return true;
  if (errno == EXDEV && S_ISREG(st.st_mode) && CopyContents(src.unixPath, dst.unixPath) &&
      ::unlink(src.unixPath.c_str()) == 0)
    return true;
  return Fail("The file " + from + " cannot be moved to " + to + ".");
}

bool WinePrefix::CreateDirectory(const std::string& path) {
  if (!CanChange()) return false;
  Resolved r;
  if (!Resolve(path, &r) || r.count == 0) return Fail("The folder " + path + " cannot be made.");
  if (r.exists) return Fail("The folder " + path + " exists.");
  if (r.missing + 1 < r.count) return Fail("The parent folder of " + path + " does not exist.");
  if (!CheckChange("create", r.windows, r.unixPath, false)) return false;
  if (::mkdir(r.unixPath.c_str(), 0777) != 0) return Fail("The folder " + path + " cannot be made.");
  return true;
}

bool WinePrefix::RemoveDirectory(const std::string& path) {
  if (!CanChange()) return false;
  Resolved r;
  struct stat st;
  if (!Resolve(path, &r) || !r.exists || !LStat(r.unixPath, &st) || !S_ISDIR(st.st_mode))
    return Fail("The folder " + path + " does not exist.");
  if (!CheckChange("remove", r.windows, r.unixPath, false)) return false;
  if (::rmdir(r.unixPath.c_str()) != 0) return Fail("The folder " + path + " cannot be removed.");
  return true;
}

bool WinePrefix::RemoveTree(const std::string& unixDir) {
  bool ok = true;
  for (const std::string& name : ListDirectory(unixDir)) {
    std::string full = unixDir + "/" + name;
    struct stat st;
    if (!LStat(full, &st)) continue;
    if (S_ISDIR(st.st_mode)) ok = RemoveTree(full) && ok;
    else ok = ::unlink(full.c_str()) == 0 && ok;
  }
  return ::rmdir(unixDir.c_str()) == 0 && ok;
}

bool WinePrefix::GetTempFileName(const std::string& dir, const std::string& prefix, unsigned unique,
                                 std::string* path) {
  Resolved r;
  if (!Resolve(dir, &r) || !r.exists || !IsDirectory(r.unixPath)) return Fail("The folder " + dir + " does not exist.");
  std::string base = r.windows;
  if (base.back() != '\\') base += "\\";
  std::string pre = prefix.substr(0, std::min<size_t>(3, prefix.size()));
  if (pre.find_first_of("\\/:*?\"<>|") != std::string::npos) return Fail("Bad temporary file prefix " + prefix + ".");
  char num[16];
  if (unique != 0) {
    std::snprintf(num, sizeof num, "%X", unique & 0xffff);
    *path = base + pre + num + ".TMP";
    return true;
  }
  if (!CanChange()) return false;
  if (!CheckChange("write", r.windows, r.unixPath + "/x", false)) return false;
  unsigned start = static_cast<unsigned>(::time(nullptr) ^ ::getpid()) & 0xffff;
  for (unsigned k = 0; k < 0x10000; ++k) {
    unsigned n = (start + k) & 0xffff;
    if (n == 0) continue;
    std::snprintf(num, sizeof num, "%X", n);
    std::string name = pre + num + ".TMP";
    int fd = ::open((r.unixPath + "/" + AnsiToUtf8(name)).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      *path = base + name;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return Fail("No temporary file can be made in " + dir + ".");
}

// ---------------------------------------------------------------------------------------
// Registry

struct WinePrefix::RegNode {
  reg::Key* key = nullptr;
  int virt = 0;  // 1: the registry's root, 2: "User"
  bool valid() const { return key || virt; }
};

namespace {

const std::u16string kWow = u"Wow6432Node";

std::vector<std::u16string> RootNames(RegRoot root, const std::u16string& sid) {
  switch (root) {
    case RegRoot::ClassesRoot: return {u"Machine", u"Software", u"Classes"};
    case RegRoot::CurrentUser: return {u"User", sid};
    case RegRoot::LocalMachine: return {u"Machine"};
    case RegRoot::Users: return {u"User"};
    case RegRoot::CurrentConfig:
      return {u"Machine", u"System", u"CurrentControlSet", u"Hardware Profiles", u"Current"};
  }
  return {};
}

std::u16string ValueText(const reg::Value& v) {
  std::u16string w;
  for (size_t i = 0; i + 1 < v.data.size(); i += 2) w.push_back(static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8)));
  while (!w.empty() && w.back() == 0) w.pop_back();
  return w;
}

}  // namespace

WinePrefix::RegNode WinePrefix::Child(const RegNode& node, const std::u16string& name) {
  RegNode out;
  if (node.virt == 1) {
    if (EqualNoCase(name, u"Machine")) out.key = &system_->Root();
    else if (EqualNoCase(name, u"User")) out.virt = 2;
  } else if (node.virt == 2) {
    if (EqualNoCase(name, userSid_)) out.key = &user_->Root();
    else if (haveUserdef_ && EqualNoCase(name, u".Default")) out.key = &userdef_->Root();
  } else if (node.key) {
    out.key = node.key->FindSubkey(name);
  }
  return out;
}

reg::Key* WinePrefix::FollowLink(reg::Key* key, int depth) {
  if (!key || !key->link) return key;
  if (depth > 16) return nullptr;
  const reg::Value* v = key->FindValue(u"SymbolicLinkValue");
  if (!v) return nullptr;
  std::u16string target = ValueText(*v);
  const std::u16string prefix = u"\\Registry\\";
  if (target.size() <= prefix.size() || !EqualNoCase(target.substr(0, prefix.size()), prefix)) return nullptr;
  RegNode node;
  node.virt = 1;
  size_t i = prefix.size();
  while (i < target.size()) {
    size_t j = target.find(u'\\', i);
    if (j == std::u16string::npos) j = target.size();
    if (j > i) {
      node = Child(node, target.substr(i, j - i));
      if (!node.valid()) return nullptr;
      if (node.key && !(node.key = FollowLink(node.key, depth + 1))) return nullptr;
    }
    i = j + 1;
  }
  return node.key;
}

bool WinePrefix::IsSharedClasses(const reg::Key* key) const {
  const reg::Key* classes = key->parent;
  const reg::Key* software = classes ? classes->parent : nullptr;
  return software && software->parent == &system_->Root() && EqualNoCase(key->name, kWow) &&
         EqualNoCase(classes->name, u"Classes") && EqualNoCase(software->name, u"Software");
}

reg::Key* WinePrefix::Wow(reg::Key* key, const std::u16string& next) {
  if (!view32_ || !key || EqualNoCase(key->name, kWow) || EqualNoCase(next, kWow)) return key;
  reg::Key* sub = key->FindSubkey(kWow);
  return sub ? sub : key;
}

bool WinePrefix::Walk(RegRoot root, const std::string& key, RegNode* out, size_t* consumed,
                      std::vector<std::u16string>* names) {
  *names = RootNames(root, userSid_);
  size_t rootCount = names->size();
  for (auto& n : SplitKeyPath(key)) names->push_back(n);
  RegNode node;
  node.virt = 1;
  size_t i = 0;
  while (i < names->size()) {
    RegNode child = Child(node, (*names)[i]);
    if (!child.valid() && view32_ && node.key && IsSharedClasses(node.key)) {
      // Classes\Wow6432Node only holds what differs for 32-bit programs; the rest is
      // found (and made) in the 64-bit Classes key.
      node.key = node.key->parent;
      child = Child(node, (*names)[i]);
    }
    if (!child.valid()) break;
    node = child;
    ++i;
    if (i == names->size()) break;
    if (node.key) {
      node.key = FollowLink(Wow(node.key, (*names)[i]), 0);
      if (!node.key) return false;
    }
  }
  if (i == names->size() && node.key) {
    node.key = FollowLink(Wow(node.key, u""), 0);
    if (!node.key) return false;
  }
  *out = node;
  *consumed = i;
  return i >= rootCount || i == names->size();
}

reg::Key* WinePrefix::OpenKey(RegRoot root, const std::string& key) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  if (!Walk(root, key, &node, &consumed, &names) || consumed != names.size()) return nullptr;
  return node.key;
}

reg::Hive* WinePrefix::HiveOf(const reg::Key* key) {
  while (key && key->parent) key = key->parent;
  if (key == &system_->Root()) return system_.get();
  if (key == &user_->Root()) return user_.get();
  if (key == &userdef_->Root()) return userdef_.get();
  return nullptr;
}

bool WinePrefix::RegKeyExists(RegRoot root, const std::string& key) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  return Walk(root, key, &node, &consumed, &names) && consumed == names.size() && node.valid();
}

bool WinePrefix::RegCreateKey(RegRoot root, const std::string& key) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  if (!Walk(root, key, &node, &consumed, &names)) return Fail("The registry key " + key + " cannot be made.");
  if (consumed == names.size() && node.valid()) return true;
  if (!node.key) return Fail("The registry key " + key + " cannot be made.");
  if (names.size() > reg::kMaxKeyDepth) return Fail("The registry key " + key + " is nested too deeply.");
  for (size_t i = consumed; i < names.size(); ++i)
    if (names[i].size() > reg::kMaxNameLength) return Fail("A name in the registry key " + key + " is too long.");
  if (!CanChange()) return false;
  uint64_t now = reg::CurrentFileTime();
  reg::Key* k = node.key;
  for (size_t i = consumed; i < names.size(); ++i) k = k->AddSubkey(names[i], now);
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

bool WinePrefix::RegDeleteKey(RegRoot root, const std::string& key) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  if (!k->parent) return Fail("The registry key " + key + " is a root key.");
  if (!k->subkeys.empty()) return Fail("The registry key " + key + " has subkeys.");
  if (!CanChange()) return false;
  reg::Hive* h = HiveOf(k);
  k->parent->RemoveSubkey(k);
  if (h) h->SetModified();
  return true;
}

bool WinePrefix::RegEnumKey(RegRoot root, const std::string& key, uint32_t index, std::string* name) {
  RegNode node;
  size_t consumed;
  std::vector<std::u16string> names;
  if (!Walk(root, key, &node, &consumed, &names) || consumed != names.size()) return Fail("The registry key " + key + " does not exist.");
  if (node.virt == 2) {
    std::vector<std::u16string> users;
    if (haveUserdef_) users.push_back(u".Default");
    users.push_back(userSid_);
    if (index >= users.size()) return false;
    *name = Utf16ToAnsi(users[index]);
    return true;
  }
  if (!node.key || index >= node.key->subkeys.size()) return false;
  *name = Utf16ToAnsi(node.key->subkeys[index]->name);
  return true;
}

bool WinePrefix::RegEnumValue(RegRoot root, const std::string& key, uint32_t index, std::string* name,
                              RegValue* value) {
  reg::Key* k = OpenKey(root, key);
  if (!k || index >= k->values.size()) return false;
  *name = Utf16ToAnsi(k->values[index].name);
  if (value) *value = ToAnsiValue(k->values[index]);
  return true;
}

bool WinePrefix::RegQueryValue(RegRoot root, const std::string& key, const std::string& name, RegValue* value) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  const reg::Value* v = k->FindValue(W(name));
  if (!v) return Fail("The registry value " + name + " does not exist.");
  if (value) *value = ToAnsiValue(*v);
  return true;
}

bool WinePrefix::RegSetValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  if (name.size() > 16383) return Fail("The registry value name is too long.");
  if (!CanChange()) return false;
  k->SetValue(W(name), value.type, FromAnsiData(value), reg::CurrentFileTime());
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

bool WinePrefix::RegDeleteValue(RegRoot root, const std::string& key, const std::string& name) {
  reg::Key* k = OpenKey(root, key);
  if (!k) return Fail("The registry key " + key + " does not exist.");
  if (!k->FindValue(W(name))) return Fail("The registry value " + name + " does not exist.");
  if (!CanChange()) return false;
  k->RemoveValue(W(name), reg::CurrentFileTime());
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

// ---------------------------------------------------------------------------------------
// Services, deferred renames, version

bool WinePrefix::OpenServiceManager() {
  // Every user of a prefix has full rights on its service manager.
  return true;
}

namespace {
const char* kServices = "System\\CurrentControlSet\\Services\\";
}

ServiceState WinePrefix::QueryService(const std::string& name) {
  if (name.empty() || name.find('\\') != std::string::npos) return ServiceState::Missing;
  bool saved = view32_;
  view32_ = false;
  bool exists = OpenKey(RegRoot::LocalMachine, kServices + name) != nullptr;
  view32_ = saved;
  // No service runs while the prefix has no session.
  if (!exists) return ServiceState::Missing;
  return ServerRunning() ? ServiceState::Running : ServiceState::Stopped;
}

bool WinePrefix::StopService(const std::string& name) {
  ServiceState s = QueryService(name);
  if (s == ServiceState::Missing) return Fail("The service " + name + " does not exist.");
  if (s == ServiceState::Running) return Fail(kServerBusy);
  return true;
}

bool WinePrefix::DeleteService(const std::string& name) {
  if (name.empty() || name.find('\\') != std::string::npos) return Fail("The service " + name + " does not exist.");
  bool saved = view32_;
  view32_ = false;
  reg::Key* k = OpenKey(RegRoot::LocalMachine, kServices + name);
  view32_ = saved;
  if (!k || !k->parent) return Fail("The service " + name + " does not exist.");
  if (!CanChange()) return false;
  reg::Hive* h = HiveOf(k);
  k->parent->RemoveSubkey(k);
  if (h) h->SetModified();
  return true;
}

reg::Key* WinePrefix::SessionManager(bool create) {
  static const char* kKey = "System\\CurrentControlSet\\Control\\Session Manager";
  bool saved = view32_;
  view32_ = false;
  if (create) RegCreateKey(RegRoot::LocalMachine, kKey);
  reg::Key* k = OpenKey(RegRoot::LocalMachine, kKey);
  view32_ = saved;
  return k;
}

bool WinePrefix::MoveFileDelayed(const std::string& from, const std::string& to, bool replaceExisting) {
  if (!CanChange()) return false;
  Resolved src, dst;
  if (!Resolve(from, &src)) return false;
  if (!CheckChange(to.empty() ? "delete" : "move", src.windows, src.unixPath, false)) return false;
  std::u16string entry = W("\\??\\" + src.windows);
  entry.push_back(0);
  if (!to.empty()) {
    if (!Resolve(to, &dst)) return false;
    if (!CheckChange("write", dst.windows, dst.unixPath, false)) return false;
    entry += W((replaceExisting ? "!\\??\\" : "\\??\\") + dst.windows);
  }
  entry.push_back(0);
  reg::Key* k = SessionManager(true);
  if (!k) return Fail("The pending rename list cannot be written.");
  std::u16string list;
  if (const reg::Value* v = k->FindValue(u"PendingFileRenameOperations")) {
    for (size_t i = 0; i + 1 < v->data.size(); i += 2) list.push_back(static_cast<char16_t>(v->data[i] | (v->data[i + 1] << 8)));
    // The list ends in two NULs; new pairs go before the last one.
    if (list.size() >= 2 && list[list.size() - 1] == 0 && list[list.size() - 2] == 0) list.pop_back();
    else if (!list.empty() && list.back() != 0) list.push_back(0);
  }
  list += entry;
  list.push_back(0);
  std::vector<uint8_t> data;
  for (char16_t c : list) {
    data.push_back(static_cast<uint8_t>(c & 0xff));
    data.push_back(static_cast<uint8_t>(c >> 8));
  }
  k->SetValue(u"PendingFileRenameOperations", kRegMultiSz, std::move(data), reg::CurrentFileTime());
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

std::vector<std::pair<std::string, std::string>> WinePrefix::PendingRenames() {
  std::vector<std::pair<std::string, std::string>> out;
  reg::Key* k = SessionManager(false);
  const reg::Value* v = k ? k->FindValue(u"PendingFileRenameOperations") : nullptr;
  if (!v) return out;
  std::u16string list;
  for (size_t i = 0; i + 1 < v->data.size(); i += 2) list.push_back(static_cast<char16_t>(v->data[i] | (v->data[i + 1] << 8)));
  size_t pos = 0;
  auto next = [&](std::u16string* s) {
    size_t end = list.find(u'\0', pos);
    if (end == std::u16string::npos) end = list.size();
    *s = list.substr(pos, end - pos);
    pos = end + 1;
  };
  while (pos < list.size()) {
    std::u16string src, dst;
    next(&src);
    if (src.empty()) break;
    if (pos > list.size()) break;
    next(&dst);
    out.emplace_back(Utf16ToAnsi(src), Utf16ToAnsi(dst));
  }
  return out;
}

namespace {

bool VersionFromName(const std::string& name, WinVersion* v) {
  struct Entry { const char* name; bool nt; int major, minor, build; };
  static const Entry kVersions[] = {
      {"win11", true, 10, 0, 22000},  {"win10", true, 10, 0, 19043},  {"win81", true, 6, 3, 9600},
      {"win8", true, 6, 2, 9200},     {"win2008r2", true, 6, 1, 7601}, {"win7", true, 6, 1, 7601},
      {"win2008", true, 6, 0, 6002},  {"vista", true, 6, 0, 6002},    {"win2003", true, 5, 2, 3790},
      {"winxp64", true, 5, 2, 3790},  {"winxp", true, 5, 1, 2600},    {"win2k", true, 5, 0, 2195},
      {"winnt", true, 4, 0, 1381},    {"nt40", true, 4, 0, 1381},     {"nt351", true, 3, 51, 1057},
      {"winme", false, 4, 90, 3000},  {"win98", false, 4, 10, 2222},  {"win95", false, 4, 0, 950},
      {"win31", false, 3, 10, 0},     {"win30", false, 3, 0, 0},      {"win20", false, 2, 0, 0},
  };
  for (const Entry& e : kVersions) {
    if (EqualNoCaseAnsi(name, e.name)) {
      *v = WinVersion{e.nt, e.major, e.minor, e.build};
      return true;
    }
  }
  return false;
}

bool ParseDotted(const std::string& s, int* major, int* minor, int* build) {
  int parts[3] = {0, 0, 0};
  int n = 0;
  size_t i = 0;
  while (n < 3 && i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000) v = v * 10 + (s[i++] - '0');
    parts[n++] = static_cast<int>(v);
    if (i < s.size() && s[i] == '.') ++i;
    else break;
  }
  if (n == 0) return false;
  *major = parts[0];
  *minor = parts[1];
  if (build) *build = parts[2];
  return true;
}

}  // namespace

WinVersion WinePrefix::Version() {
  // A value is looked up as the 32-bit program sees it, then in the 64-bit view.
  auto query = [&](RegRoot root, const std::string& key, const std::string& name, RegValue* v) {
    bool saved = view32_;
    bool found = RegQueryValue(root, key, name, v);
    if (!found && view32_) {
      view32_ = false;
      found = RegQueryValue(root, key, name, v);
    }
    view32_ = saved;
    return found;
  };
  WinVersion v;
  RegValue value;
  if (query(RegRoot::CurrentUser, "Software\\Wine\\AppDefaults\\UNYARB32.EXE", "Version", &value) &&
      VersionFromName(value.AsString(), &v))
    return v;
  if (query(RegRoot::CurrentUser, "Software\\Wine", "Version", &value) && VersionFromName(value.AsString(), &v))
    return v;
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  RegValue major, minor;
  uint32_t ma = 0, mi = 0;
  if (query(RegRoot::LocalMachine, nt, "CurrentMajorVersionNumber", &major) && major.AsDword(&ma)) {
    v = WinVersion{true, static_cast<int>(ma), 0, 0};
    if (query(RegRoot::LocalMachine, nt, "CurrentMinorVersionNumber", &minor) && minor.AsDword(&mi))
      v.minor = static_cast<int>(mi);
  } else if (query(RegRoot::LocalMachine, nt, "CurrentVersion", &value) &&
             ParseDotted(value.AsString(), &v.major, &v.minor, nullptr)) {
    v.nt = true;
  } else {
    const std::string win = "Software\\Microsoft\\Windows\\CurrentVersion";
    if (query(RegRoot::LocalMachine, win, "VersionNumber", &value) &&
        ParseDotted(value.AsString(), &v.major, &v.minor, &v.build)) {
      v.nt = false;
      return v;
    }
    return WinVersion{true, 10, 0, 19043};
  }
  if (query(RegRoot::LocalMachine, nt, "CurrentBuildNumber", &value)) v.build = std::atoi(value.AsString().c_str());
  return v;
}

// ---------------------------------------------------------------------------------------
// Folders of the user, environment strings

std::string WinePrefix::ProfileFolder() {
  bool saved = view32_;
  view32_ = false;
  RegValue v;
  std::string folder;
  if (RegQueryValue(RegRoot::LocalMachine,
                    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + Utf16ToAnsi(userSid_),
                    "ProfileImagePath", &v))
    folder = v.AsString();
  view32_ = saved;
  if (folder.find('%') != std::string::npos || folder.size() < 3) {
    const char* user = std::getenv("USER");
    std::string name = user && *user ? user : "";
    if (name.empty()) {
      if (struct passwd* pw = ::getpwuid(::getuid())) name = pw->pw_name;
    }
    folder = "C:\\users\\" + Utf8ToAnsi(name.empty() ? "user" : name);
  }
  return folder;
}

std::string WinePrefix::ExpandEnvironment(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t a = text.find('%', i);
    if (a == std::string::npos) break;
    size_t b = text.find('%', a + 1);
    if (b == std::string::npos) break;
    out += text.substr(i, a - i);
    std::string name = Upper(text.substr(a + 1, b - a - 1));
    std::string value;
    bool known = true;
    if (name == "USERPROFILE") value = ProfileFolder();
    else if (name == "SYSTEMROOT" || name == "WINDIR") value = WindowsDirectory();
    else if (name == "SYSTEMDRIVE") value = "C:";
    else if (name == "ALLUSERSPROFILE" || name == "PROGRAMDATA") value = "C:\\ProgramData";
    else if (name == "PUBLIC") value = "C:\\users\\Public";
    else if (name == "APPDATA") value = ProfileFolder() + "\\AppData\\Roaming";
    else if (name == "LOCALAPPDATA") value = ProfileFolder() + "\\AppData\\Local";
    else if (name == "PROGRAMFILES") {
      RegValue v;
      value = RegQueryValue(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", &v)
                  ? v.AsString() : "C:\\Program Files";
    } else known = false;
    if (known) {
      out += value;
      i = b + 1;
    } else {
      out += text.substr(a, b - a);
      i = b;
    }
  }
  out += text.substr(std::min(i, text.size()));
  return out;
}

std::string WinePrefix::TempDirectory() {
  RegValue v;
  std::string temp;
  for (const char* name : {"TMP", "TEMP"}) {
    if (RegQueryValue(RegRoot::CurrentUser, "Environment", name, &v)) {
      temp = ExpandEnvironment(v.AsString());
      if (!temp.empty()) break;
    }
  }
  if (temp.empty()) temp = ProfileFolder() + "\\Temp";
  if (temp.back() != '\\') temp += "\\";
  return temp;
}

std::string WinePrefix::ProgramsFolder() {
  RegValue v;
  const std::string base = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  if (RegQueryValue(RegRoot::CurrentUser, base + "Shell Folders", "Programs", &v) && !v.AsString().empty())
    return v.AsString();
  if (RegQueryValue(RegRoot::CurrentUser, base + "User Shell Folders", "Programs", &v) && !v.AsString().empty())
    return ExpandEnvironment(v.AsString());
  return ProfileFolder() + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
}

// ---------------------------------------------------------------------------------------
// Private-profile INI files

std::string WinePrefix::IniPath(const std::string& file) {
  if (file.find_first_of("\\/:") == std::string::npos) return WindowsDirectory() + "\\" + file;
  return file;
}

bool WinePrefix::MappedKey(const std::string& file, const std::string& section, const std::string& key,
                           RegRoot* root, std::string* regKey, std::string* valueName) {
  std::string base = file;
  size_t slash = base.find_last_of("\\/");
  if (slash != std::string::npos) base = base.substr(slash + 1);
  if (base.empty() || section.empty() || section.find('\\') != std::string::npos) return false;
  const std::string mapping = "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\" + base;
  bool saved = view32_;
  std::string path;
  for (int pass = 0; pass < 2 && path.empty(); ++pass) {
    view32_ = pass == 0 ? saved : false;
    if (!RegKeyExists(RegRoot::LocalMachine, mapping)) continue;
    RegValue v;
    if (RegKeyExists(RegRoot::LocalMachine, mapping + "\\" + section)) {
      if ((!key.empty() && RegQueryValue(RegRoot::LocalMachine, mapping + "\\" + section, key, &v)) ||
          RegQueryValue(RegRoot::LocalMachine, mapping + "\\" + section, "", &v))
        path = v.AsString();
    } else if (RegQueryValue(RegRoot::LocalMachine, mapping, section, &v)) {
      path = v.AsString();
    }
    if (path.empty() && RegQueryValue(RegRoot::LocalMachine, mapping, "", &v)) path = v.AsString();
  }
  view32_ = saved;
  lastError_.clear();
  size_t p = 0;
  while (p < path.size() && (path[p] == '!' || path[p] == '#' || path[p] == '@')) ++p;
  path = path.substr(p);
  if (path.size() > 4 && EqualNoCaseAnsi(path.substr(0, 4), "USR:")) {
    *root = RegRoot::CurrentUser;
    *regKey = path.substr(4);
  } else if (path.size() > 4 && EqualNoCaseAnsi(path.substr(0, 4), "SYS:")) {
    *root = RegRoot::LocalMachine;
    *regKey = "Software\\" + path.substr(4);
  } else {
    return false;
  }
  *valueName = key;
  return true;
}

bool WinePrefix::GetProfileString(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& defaultValue, std::string* value) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, key, &root, &regKey, &name)) {
    RegValue v;
    if (RegQueryValue(root, regKey, name, &v)) {
      *value = v.AsString();
      return true;
    }
  }
  std::vector<uint8_t> bytes;
  if (ReadFile(IniPath(file), &bytes) &&
      ini::Get(std::string(bytes.begin(), bytes.end()), section, key, value))
    return true;
  *value = defaultValue;
  return false;
}

bool WinePrefix::WriteProfileString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& value) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, key, &root, &regKey, &name))
    return RegCreateKey(root, regKey) && RegSetValue(root, regKey, name, RegValue::Sz(value));
  if (!CanChange()) return false;
  std::vector<uint8_t> bytes;
  ReadFile(IniPath(file), &bytes);
  std::string text = ini::Set(std::string(bytes.begin(), bytes.end()), section, key, value);
  return WriteFile(IniPath(file), std::vector<uint8_t>(text.begin(), text.end()));
}

bool WinePrefix::DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, key, &root, &regKey, &name)) {
    RegValue v;
    if (!RegQueryValue(root, regKey, name, &v)) return true;
    return RegDeleteValue(root, regKey, name);
  }
  if (!CanChange()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadFile(IniPath(file), &bytes)) return true;
  bool changed = false;
  std::string text = ini::DeleteKey(std::string(bytes.begin(), bytes.end()), section, key, &changed);
  if (!changed) return true;
  return WriteFile(IniPath(file), std::vector<uint8_t>(text.begin(), text.end()));
}

bool WinePrefix::DeleteProfileSection(const std::string& file, const std::string& section) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, "", &root, &regKey, &name)) {
    // Only the values: the mapped key may hold more than the section.
    std::string valueName;
    bool ok = true;
    while (RegEnumValue(root, regKey, 0, &valueName, nullptr)) {
      if (!RegDeleteValue(root, regKey, valueName)) {
        ok = false;
        break;
      }
    }
    return ok;
  }
  if (!CanChange()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadFile(IniPath(file), &bytes)) return true;
  bool changed = false;
  std::string text = ini::DeleteSection(std::string(bytes.begin(), bytes.end()), section, &changed);
  if (!changed) return true;
  return WriteFile(IniPath(file), std::vector<uint8_t>(text.begin(), text.end()));
}

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

// ---------------------------------------------------------------------------------------
// Program Manager groups: folders of the Start Menu's Programs folder

namespace {

// A group or item name must stay one name inside the Programs folder.
bool PlainName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:*?\"<>|") == std::string::npos && name != "." &&
         name != "..";
}

std::vector<std::string> DdeArguments(const std::string& text) {
  std::vector<std::string> args;
  std::string cur;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) {
      args.push_back(cur);
      cur.clear();
    } else cur.push_back(c);
  }
  args.push_back(cur);
  for (auto& a : args) {
    size_t b = 0, e = a.size();
    while (b < e && a[b] == ' ') ++b;
    while (e > b && a[e - 1] == ' ') --e;
    a = a.substr(b, e - b);
  }
  return args;
}

}  // namespace

bool WinePrefix::ProgmanConnect() {
  Resolved r;
  progmanGroup_.clear();
  progmanConnected_ = Resolve(ProgramsFolder(), &r) && r.exists && IsDirectory(r.unixPath);
  return progmanConnected_ ? true : Fail("There is no Start Menu Programs folder in the prefix.");
}

std::vector<std::string> WinePrefix::ProgmanGroups() {
  std::vector<std::string> groups;
  std::vector<FindData> found;
  if (FindFiles(ProgramsFolder() + "\\*.*", &found))
    for (const auto& f : found)
      if (f.attributes & kAttrDirectory) groups.push_back(f.name);
  return groups;
}

bool WinePrefix::ProgmanGroupDescription(const std::string& group, std::string* text) {
  if (!PlainName(group)) return Fail("There is no group " + group + ".");
  std::string folder = ProgramsFolder() + "\\" + group;
  Resolved r;
  if (!Resolve(folder, &r) || !r.exists || !IsDirectory(r.unixPath)) return Fail("There is no group " + group + ".");
  std::string name = Utf8ToAnsi(LeafOf(r.unixPath));
  std::string out = "\"" + name + "\"";
  std::vector<FindData> items;
  if (FindFiles(folder + "\\*.lnk", &items)) {
    for (const auto& f : items) {
      if (f.attributes & kAttrDirectory) continue;
      ShellLinkInfo link;
      std::string cmd;
      if (ReadShellLink(folder + "\\" + f.name, &link))
        cmd = link.target + (link.arguments.empty() ? "" : " " + link.arguments);
      std::string item = f.name.substr(0, f.name.size() - 4);
      out += "\r\n\"" + item + "\",\"" + cmd + "\"";
    }
  }
  *text = out;
  return true;
}

bool WinePrefix::ProgmanExecute(const std::string& command) {
  if (!progmanConnected_) return Fail("Program Manager is not connected.");
  bool ok = true;
  size_t i = 0;
  bool any = false;
  while ((i = command.find('[', i)) != std::string::npos) {
    size_t open = command.find('(', i);
    size_t close = command.find(")]", i);
    if (open == std::string::npos || close == std::string::npos || open > close) return Fail("Bad Program Manager command.");
    std::string verb = command.substr(i + 1, open - i - 1);
    std::vector<std::string> args = DdeArguments(command.substr(open + 1, close - open - 1));
    i = close + 2;
    any = true;
    if (EqualNoCaseAnsi(verb, "ShowGroup")) {
      Resolved r;
      if (PlainName(args[0]) && Resolve(ProgramsFolder() + "\\" + args[0], &r) && r.exists && IsDirectory(r.unixPath)) {
        progmanGroup_ = args[0];
      } else {
        ok = Fail("There is no group " + args[0] + ".");
      }
    } else if (EqualNoCaseAnsi(verb, "DeleteItem")) {
      if (progmanGroup_.empty() || !PlainName(args[0])) {
        ok = Fail("There is no item " + args[0] + ".");
        continue;
      }
      ok = DeleteFile(ProgramsFolder() + "\\" + progmanGroup_ + "\\" + args[0] + ".lnk") && ok;
    } else if (EqualNoCaseAnsi(verb, "DeleteGroup")) {
      Resolved r;
      std::string folder = ProgramsFolder() + "\\" + args[0];
      if (!PlainName(args[0]) || !Resolve(folder, &r) || !r.exists || !IsDirectory(r.unixPath)) {
        ok = Fail("There is no group " + args[0] + ".");
        continue;
      }
      if (!CanChange() || !CheckChange("remove", r.windows, r.unixPath, false)) {
        ok = false;
        continue;
      }
      if (!RemoveTree(r.unixPath)) ok = Fail("The group " + args[0] + " cannot be removed.");
      linksDeleted_ = true;
      if (EqualNoCaseAnsi(progmanGroup_, args[0])) progmanGroup_.clear();
    } else {
      ok = Fail("Program Manager does not know " + verb + ".");
    }
  }
  return any ? ok : Fail("Bad Program Manager command.");
}

void WinePrefix::ProgmanDisconnect() {
  progmanConnected_ = false;
  progmanGroup_.clear();
}

// ---------------------------------------------------------------------------------------
// Shell links

bool WinePrefix::CreateShellLink(const std::string& linkPath, const ShellLinkInfo& info) {
  if (!CanChange()) return false;
  char drive;
  std::vector<std::string> parts;
  if (!FullPath(linkPath, &drive, &parts) || parts.empty()) return Fail("Bad link path " + linkPath + ".");
  std::string folder = std::string(1, drive) + ":";
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    folder += "\\" + parts[i];
    if (!FileExists(folder) && !CreateDirectory(folder)) return false;
  }
  return WriteFile(linkPath, BuildShellLink(info));
}

bool WinePrefix::ReadShellLink(const std::string& linkPath, ShellLinkInfo* info) {
  std::vector<uint8_t> bytes;
  if (!ReadFile(linkPath, &bytes)) return false;
  if (!ParseShellLink(bytes, info)) return Fail(linkPath + " is not a shell link.");
  return true;
}

}  // namespace yarb
