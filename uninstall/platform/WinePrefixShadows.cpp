// The Linux side of shortcuts: Wine's menu builder turns every .lnk of the Start Menu and the
// desktop into a .desktop file (with icons and a menu file). Those go with their shortcut at
// once, without waiting for the next session of the prefix; and the checks the uninstall walk
// makes before it touches a folder.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string Home() {
  const char* h = std::getenv("HOME");
  if (h && *h) return h;
  if (struct passwd* pw = ::getpwuid(::getuid())) return pw->pw_dir;
  return {};
}

// A command line reduced to what survives every quoting the menu builder has used:
// backslashes, blanks and quotes dropped, ASCII letters lower-cased.
std::string Squash(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == ' ' || c == '"' || c == '\'' || c == '\t') continue;
    out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return out;
}

// The value of `key=` in a .desktop file's text (first occurrence at a line start).
std::string DesktopValue(const std::string& text, const std::string& key) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    if (text.compare(pos, key.size() + 1, key + "=") == 0)
      return text.substr(pos + key.size() + 1, end - pos - key.size() - 1);
    pos = end + 1;
  }
  return {};
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Every .desktop file below `dir` (no links followed, a bounded depth).
void CollectDesktopFiles(const std::string& dir, int depth, std::vector<std::string>* out) {
  if (depth > 16) return;
  for (const std::string& name : ListDirectory(dir)) {
    std::string full = dir + "/" + name;
    struct stat st;
    if (!LStat(full, &st)) continue;
    if (S_ISDIR(st.st_mode)) CollectDesktopFiles(full, depth + 1, out);
    else if (S_ISREG(st.st_mode) && EndsWith(name, ".desktop")) out->push_back(full);
  }
}

}  // namespace

std::string WinePrefix::OnDiskWindowsPath(const Resolved& r) {
  std::string out = r.windows.substr(0, 2);
  for (size_t i = 0; i < r.onDisk.size(); ++i) out += "\\" + Utf8ToAnsi(r.onDisk[i]);
  return out;
}

void WinePrefix::RemoveShadowsOf(const std::string& linkWindows, const std::string& linkUnix) {
  const std::string home = Home();
  const std::string data = dataHome_.empty() ? EnvOr("XDG_DATA_HOME", home + "/.local/share") : dataHome_;
  const std::string config = configHome_.empty() ? EnvOr("XDG_CONFIG_HOME", home + "/.config") : configHome_;
  const std::string desktop = desktopDir_.empty() ? home + "/Desktop" : desktopDir_;
  if (data.empty() || data[0] != '/') return;

  const std::string apps = data + "/applications/wine";
  std::vector<std::string> files;
  CollectDesktopFiles(apps, 0, &files);
  for (const std::string& name : ListDirectory(desktop))
    if (EndsWith(name, ".desktop")) files.push_back(desktop + "/" + name);

  // An entry is this shortcut's when its command names this prefix and this .lnk (by its
  // Windows or its Linux path).
  const std::string byWindows = Squash(AnsiToUtf8(linkWindows));
  const std::string byUnix = Squash(linkUnix);
  const std::string prefix = Squash(realDir_);
  std::vector<std::string> icons, kept;
  for (const std::string& file : files) {
    std::string text;
    struct stat st;
    if (!LStat(file, &st) || !S_ISREG(st.st_mode) || st.st_size > (1 << 20) || !ReadWhole(file, &text))
      continue;
    const std::string exec = Squash(DesktopValue(text, "Exec"));
    const bool mine = exec.find("wineprefix=" + prefix) != std::string::npos &&
                      ((!byWindows.empty() && exec.find(byWindows) != std::string::npos) ||
                       (!byUnix.empty() && exec.find(byUnix) != std::string::npos));
    if (!mine) {
      kept.push_back(DesktopValue(text, "Icon"));
      continue;
    }
    if (::unlink(file.c_str()) != 0) continue;
    removedShadows_.push_back(file);
    icons.push_back(DesktopValue(text, "Icon"));
    if (file.rfind(apps + "/", 0) == 0) {
      // The menu file names the entry by its path below applications/wine, "/" as "-".
      std::string rel = file.substr(apps.size() + 1, file.size() - apps.size() - 1 - 8);
      std::replace(rel.begin(), rel.end(), '/', '-');
      const std::string menu = config + "/menus/applications-merged/wine-" + rel + ".menu";
      if (::unlink(menu.c_str()) == 0) removedShadows_.push_back(menu);
      // A menu folder left empty goes with its description.
      for (std::string dir = ParentOf(file); dir.size() > apps.size() && dir.rfind(apps + "/", 0) == 0;
           dir = ParentOf(dir)) {
        if (::rmdir(dir.c_str()) != 0) break;
        std::string name = dir.substr(apps.size() + 1);
        std::replace(name.begin(), name.end(), '/', '-');
        const std::string description = data + "/desktop-directories/wine-" + name + ".directory";
        if (::unlink(description.c_str()) == 0) removedShadows_.push_back(description);
      }
    }
  }
  // Icons go when no entry left uses them; only plain names in the icon theme folders.
  for (const std::string& icon : icons) {
    if (icon.empty() || icon.find('/') != std::string::npos || icon[0] == '.') continue;
    if (std::find(kept.begin(), kept.end(), icon) != kept.end()) continue;
    const std::string theme = data + "/icons/hicolor";
    for (const std::string& size : ListDirectory(theme)) {
      for (const char* ext : {".png", ".xpm", ".svg"}) {
        const std::string file = theme + "/" + size + "/apps/" + icon + ext;
        struct stat st;
        if (LStat(file, &st) && S_ISREG(st.st_mode) && ::unlink(file.c_str()) == 0)
          removedShadows_.push_back(file);
      }
    }
  }
}

void WinePrefix::RemoveShadowsUnder(const std::string& unixDir) {
  // Before a folder of shortcuts goes: the entries of every .lnk in it.
  std::vector<std::pair<std::string, std::string>> links;
  std::vector<std::string> stack{unixDir};
  while (!stack.empty() && links.size() < 10000) {
    std::string dir = stack.back();
    stack.pop_back();
    for (const std::string& name : ListDirectory(dir)) {
      std::string full = dir + "/" + name;
      struct stat st;
      if (!LStat(full, &st)) continue;
      if (S_ISDIR(st.st_mode)) {
        stack.push_back(full);
      } else if (name.size() > 4 && EqualNoCaseAnsi(name.substr(name.size() - 4), ".lnk")) {
        std::string windows;
        if (UnixToWindowsPath(full, &windows)) links.emplace_back(windows, full);
      }
    }
  }
  for (const auto& [windows, unix] : links) RemoveShadowsOf(windows, unix);
}

std::vector<std::string> WinePrefix::TakeRemovedShadows() {
  std::vector<std::string> out;
  out.swap(removedShadows_);
  return out;
}

bool WinePrefix::MayChange(const std::string& path) {
  Resolved r;
  if (!Resolve(path, &r)) return false;
  bool inside = false;
  RealInside(r.unixPath, true, &inside);
  return inside;
}

bool WinePrefix::IsSymbolicLink(const std::string& path) {
  Resolved r;
  struct stat st;
  return Resolve(path, &r) && r.exists && LStat(r.unixPath, &st) && S_ISLNK(st.st_mode);
}

bool WinePrefix::SameLocation(const std::string& a, const std::string& b) {
  Resolved ra, rb;
  if (Resolve(a, &ra) && Resolve(b, &rb) && ra.exists && rb.exists) {
    char bufA[PATH_MAX], bufB[PATH_MAX];
    if (::realpath(ra.unixPath.c_str(), bufA) && ::realpath(rb.unixPath.c_str(), bufB))
      return std::strcmp(bufA, bufB) == 0;
  }
  return Platform::SameLocation(a, b);
}

}  // namespace yarb
