// Set As Wallpaper: the working image as VellTile.bmp in the user's data
// folder, made the desktop's tiled wallpaper through the running desktop's
// own setter.
//
// GNOME, Cinnamon and MATE take it through gsettings, XFCE through
// xfconf-query (every backdrop it lists), KDE Plasma through its scripting
// interface over qdbus. The desktop is told by XDG_CURRENT_DESKTOP, else
// DESKTOP_SESSION. Programs are looked up on PATH and waited for.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

enum class TDesktop { Gnome, Cinnamon, Mate, Xfce, Plasma, Unknown };

inline constexpr const char kWallpaperFileName[] = "VellTile.bmp";

// Reads one environment variable ("" when unset); tests pass their own.
using TEnvLookup = std::function<std::string(const std::string&)>;
std::string SystemEnv(const std::string& name);

// From XDG_CURRENT_DESKTOP ("ubuntu:GNOME", "X-Cinnamon", "KDE", ...), else
// DESKTOP_SESSION.
TDesktop DetectDesktop(const TEnvLookup& env);

// $XDG_DATA_HOME/VellTile, else $HOME/.local/share/VellTile.
std::string WallpaperFolder(const TEnvLookup& env);

// "file://" + the path, escaped.
std::string FileUri(const std::string& path);

// Runs a program found on PATH with `args` and waits for it; its standard
// output goes to `output` when given. Returns its exit code, -1 when it
// could not be started, 127 when it is not on PATH.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr);
// The full path of a program on PATH, "" when there is none.
std::string FindProgram(const std::string& name, const TEnvLookup& env);

struct TWallpaperResult {
  bool ok = false;
  std::string path;     // where the bitmap was written ("" when it was not)
  std::string message;  // why it did not work; empty when ok
};

// Writes the bitmap and sets it. `run` runs one command line (RunProgram by
// default) and is how tests watch what is called.
using TRunner = std::function<int(const std::vector<std::string>& argv, std::string* output)>;
TWallpaperResult SetAsWallpaper(const TPixelBuffer& picture, const TEnvLookup& env = SystemEnv,
                                const TRunner& run = RunProgram);

// The commands that set `path` on `desktop` (XFCE's depend on its listing,
// `xfconfList`, the output of "xfconf-query -c xfce4-desktop -l").
std::vector<std::vector<std::string>> WallpaperCommands(TDesktop desktop, const std::string& path,
                                                        const std::string& qdbus = "qdbus",
                                                        const std::string& xfconfList = {});

}  // namespace vell
