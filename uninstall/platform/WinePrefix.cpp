// The prefix itself: opening and saving its hives, and the wineserver that may hold it.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

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

}  // namespace yarb
