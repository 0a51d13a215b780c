#include "editor/Wallpaper.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "editor/BmpFile.h"

extern char** environ;

namespace vell {

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

TDesktop DesktopFromName(const std::string& text) {
  std::stringstream parts(Upper(text));
  std::string part;
  // XDG_CURRENT_DESKTOP is a colon-separated list, most specific first.
  while (std::getline(parts, part, ':')) {
    if (part.find("CINNAMON") != std::string::npos) return TDesktop::Cinnamon;
    if (part == "MATE") return TDesktop::Mate;
    if (part.find("XFCE") != std::string::npos) return TDesktop::Xfce;
    if (part.find("KDE") != std::string::npos || part.find("PLASMA") != std::string::npos) return TDesktop::Plasma;
    if (part.find("GNOME") != std::string::npos || part == "UNITY" || part == "BUDGIE") return TDesktop::Gnome;
  }
  return TDesktop::Unknown;
}

// Plasma's script: a JavaScript string literal of the URI.
std::string JsString(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\\' || c == '\'') out += '\\';
    out += c;
  }
  return out + "'";
}

const char* DesktopName(TDesktop d) {
  switch (d) {
    case TDesktop::Gnome: return "GNOME";
    case TDesktop::Cinnamon: return "Cinnamon";
    case TDesktop::Mate: return "MATE";
    case TDesktop::Xfce: return "XFCE";
    case TDesktop::Plasma: return "KDE Plasma";
    case TDesktop::Unknown: break;
  }
  return "this desktop";
}

}  // namespace

std::string SystemEnv(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  return v ? v : "";
}

TDesktop DetectDesktop(const TEnvLookup& env) {
  const TDesktop d = DesktopFromName(env("XDG_CURRENT_DESKTOP"));
  if (d != TDesktop::Unknown) return d;
  return DesktopFromName(env("DESKTOP_SESSION"));
}

std::string WallpaperFolder(const TEnvLookup& env) {
  std::string base = env("XDG_DATA_HOME");
  // The base directory rules ignore a relative value.
  if (base.empty() || base[0] != '/') {
    const std::string home = env("HOME");
    if (home.empty()) return {};
    base = home + "/.local/share";
  }
  return base + "/VellTile";
}

std::string FileUri(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string FindProgram(const std::string& name, const TEnvLookup& env) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  std::stringstream dirs(env("PATH"));
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty()) continue;
    const std::string full = dir + "/" + name;
    struct stat st {};
    if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(full.c_str(), X_OK) == 0) return full;
  }
  return {};
}

int RunProgram(const std::vector<std::string>& argv, std::string* output) {
  if (argv.empty()) return -1;
  const std::string program = FindProgram(argv[0], SystemEnv);
  if (program.empty()) return 127;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int pipeFds[2] = {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output != nullptr) {
    if (::pipe(pipeFds) != 0) {
      posix_spawn_file_actions_destroy(&actions);
      return -1;
    }
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  }
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (output != nullptr) {
    ::close(pipeFds[1]);
    if (spawned == 0) {
      char buf[4096];
      ssize_t n;
      while ((n = ::read(pipeFds[0], buf, sizeof buf)) != 0) {
        if (n < 0) {
          if (errno == EINTR) continue;
          break;
        }
        // A listing is small; anything past a megabyte is not one.
        if (output->size() < (1u << 20)) output->append(buf, static_cast<size_t>(n));
      }
    }
    ::close(pipeFds[0]);
  }
  if (spawned != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::vector<std::string>> WallpaperCommands(TDesktop desktop, const std::string& path,
                                                        const std::string& qdbus, const std::string& xfconfList) {
  const std::string uri = FileUri(path);
  switch (desktop) {
    case TDesktop::Gnome:
      return {{"gsettings", "set", "org.gnome.desktop.background", "picture-uri", uri},
              {"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", uri},
              {"gsettings", "set", "org.gnome.desktop.background", "picture-options", "wallpaper"}};
    case TDesktop::Cinnamon:
      return {{"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", uri},
              {"gsettings", "set", "org.cinnamon.desktop.background", "picture-options", "wallpaper"}};
    case TDesktop::Mate:
      return {{"gsettings", "set", "org.mate.background", "picture-filename", path},
              {"gsettings", "set", "org.mate.background", "picture-options", "wallpaper"}};
    case TDesktop::Xfce: {
      std::vector<std::vector<std::string>> commands;
      std::stringstream lines(xfconfList);
      std::string line;
      const std::string suffix = "/last-image";
      while (std::getline(lines, line)) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
        if (line.rfind("/backdrop/", 0) != 0 || line.size() <= suffix.size() ||
            line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0)
          continue;
        const std::string base = line.substr(0, line.size() - suffix.size());
        commands.push_back({"xfconf-query", "-c", "xfce4-desktop", "-p", line, "-s", path});
        // Image style 2 is "Tiled".
        commands.push_back({"xfconf-query", "-c", "xfce4-desktop", "-p", base + "/image-style", "-n", "-t", "int",
                            "-s", "2"});
      }
      if (commands.empty()) {
        const std::string base = "/backdrop/screen0/monitor0/workspace0";
        commands.push_back(
            {"xfconf-query", "-c", "xfce4-desktop", "-p", base + "/last-image", "-n", "-t", "string", "-s", path});
        commands.push_back(
            {"xfconf-query", "-c", "xfce4-desktop", "-p", base + "/image-style", "-n", "-t", "int", "-s", "2"});
      }
      return commands;
    }
    case TDesktop::Plasma: {
      // FillMode 3 is Qt's Image.Tile.
      const std::string script =
          "var all = desktops(); for (var i = 0; i < all.length; i++) { var d = all[i]; "
          "d.wallpaperPlugin = 'org.kde.image'; d.currentConfigGroup = Array('Wallpaper', 'org.kde.image', "
          "'General'); d.writeConfig('Image', " +
          JsString(uri) + "); d.writeConfig('FillMode', 3); }";
      return {{qdbus, "org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript", script}};
    }
    case TDesktop::Unknown:
      break;
  }
  return {};
}

TWallpaperResult SetAsWallpaper(const TPixelBuffer& picture, const TEnvLookup& env, const TRunner& run) {
  TWallpaperResult result;
  const std::string folder = WallpaperFolder(env);
  if (folder.empty()) {
    result.message = "Cannot set the wallpaper: neither XDG_DATA_HOME nor HOME is set.";
    return result;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string path = folder + "/" + kWallpaperFileName;
  const TBmpResult written = WriteBmpFile(path, picture);
  if (!written.ok) {
    result.message = "Cannot write the wallpaper bitmap: " + written.error;
    return result;
  }
  result.path = path;

  const TDesktop desktop = DetectDesktop(env);
  std::string program;
  std::string qdbus = "qdbus";
  switch (desktop) {
    case TDesktop::Gnome:
    case TDesktop::Cinnamon:
    case TDesktop::Mate:
      program = "gsettings";
      break;
    case TDesktop::Xfce:
      program = "xfconf-query";
      break;
    case TDesktop::Plasma:
      for (const char* name : {"qdbus6", "qdbus", "qdbus-qt6", "qdbus-qt5"}) {
        if (!FindProgram(name, env).empty()) {
          qdbus = name;
          break;
        }
      }
      program = qdbus;
      break;
    case TDesktop::Unknown:
      break;
  }
  const std::string written_to = "The wallpaper bitmap was written to " + path;
  if (desktop == TDesktop::Unknown) {
    result.message = written_to +
                     ", but the desktop could not be told: no GNOME, Cinnamon, MATE, XFCE or KDE Plasma "
                     "session was found. Set that file as the wallpaper (tiled) in the desktop's settings.";
    return result;
  }
  if (FindProgram(program, env).empty()) {
    result.message = written_to + ", but " + program + " (the " + DesktopName(desktop) +
                     " wallpaper setter) was not found. Set that file as the wallpaper (tiled) in the desktop's "
                     "settings.";
    return result;
  }
  std::string listing;
  if (desktop == TDesktop::Xfce) run({"xfconf-query", "-c", "xfce4-desktop", "-l"}, &listing);
  const auto commands = WallpaperCommands(desktop, path, qdbus, listing);
  for (size_t i = 0; i < commands.size(); ++i) {
    const int code = run(commands[i], nullptr);
    // GNOME before 42 has no dark picture key; that one may fail.
    const bool optional = desktop == TDesktop::Gnome && i == 1;
    if (code != 0 && !optional) {
      result.message = written_to + ", but " + program + " failed (exit code " + std::to_string(code) +
                       ") while setting it as the wallpaper.";
      return result;
    }
  }
  result.ok = true;
  return result;
}

}  // namespace vell
