// Files and folders of the prefix, with Windows rules and no way out of the prefix.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

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
  const std::string onDisk = OnDiskWindowsPath(r);
  if (::unlink(r.unixPath.c_str()) != 0) return Fail("The file " + path + " cannot be deleted.");
  if (EndsWithNoCase(r.windows, ".lnk")) {
    linksDeleted_ = true;
    RemoveShadowsOf(onDisk, r.unixPath);
  }
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

}  // namespace yarb
