// Windows paths over the prefix: drives, case-insensitive names, aliases, the way out.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

// ---------------------------------------------------------------------------------------
// Paths

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

}  // namespace yarb
