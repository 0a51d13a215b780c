#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "editor/BmpFile.h"
#include "editor/Wallpaper.h"
#include "tests/editor_files/FilesTestSupport.h"

namespace vell {
namespace {

using testing::MakeBlocks;
using testing::TTempDir;

TEST(Wallpaper, TheDesktopFromTheSession) {
  struct TCase {
    const char* current;
    const char* session;
    TDesktop want;
  };
  const TCase cases[] = {
      {"ubuntu:GNOME", "", TDesktop::Gnome}, {"GNOME-Classic:GNOME", "", TDesktop::Gnome},
      {"X-Cinnamon", "", TDesktop::Cinnamon}, {"MATE", "", TDesktop::Mate},
      {"XFCE", "", TDesktop::Xfce},          {"KDE", "", TDesktop::Plasma},
      {"", "plasma", TDesktop::Plasma},      {"", "xfce", TDesktop::Xfce},
      {"", "", TDesktop::Unknown},           {"sway", "sway", TDesktop::Unknown},
  };
  for (const TCase& c : cases) {
    auto env = [&](const std::string& name) -> std::string {
      if (name == "XDG_CURRENT_DESKTOP") return c.current;
      if (name == "DESKTOP_SESSION") return c.session;
      return {};
    };
    EXPECT_EQ(DetectDesktop(env), c.want) << c.current << "|" << c.session;
  }
}

TEST(Wallpaper, TheDataFolder) {
  auto env = [](std::map<std::string, std::string> m) {
    return [m](const std::string& name) { return m.count(name) ? m.at(name) : std::string(); };
  };
  EXPECT_EQ(WallpaperFolder(env({{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}})), "/d/VellTile");
  EXPECT_EQ(WallpaperFolder(env({{"HOME", "/h"}})), "/h/.local/share/VellTile");
  EXPECT_EQ(WallpaperFolder(env({{"XDG_DATA_HOME", "rel"}, {"HOME", "/h"}})), "/h/.local/share/VellTile");
  EXPECT_EQ(FileUri("/a b/x%.bmp"), "file:///a%20b/x%25.bmp");
}

// A fake setter on PATH that records its arguments, one call per line.
class WallpaperSetter : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "";
    setenv("PATH", (bin_.Path() + ":/usr/bin:/bin").c_str(), 1);
    MakeBlocks(picture_, 12, 10);
  }
  void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }

  void Fake(const std::string& name, const std::string& output = {}, int exitCode = 0) {
    const std::string file = bin_ / name;
    std::ofstream out(file);
    out << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\" >> '" << (bin_ / "calls") << "'; done\n"
        << "echo >> '" << (bin_ / "calls") << "'\n";
    if (!output.empty()) out << "if [ \"$3\" = \"-l\" ]; then printf '" << output << "'; fi\n";
    out << "exit " << exitCode << "\n";
    out.close();
    ::chmod(file.c_str(), 0755);
  }
  std::vector<std::string> Calls() const {
    std::ifstream in(bin_ / "calls");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  TEnvLookup Env(const std::string& desktop) const {
    return [this, desktop](const std::string& name) -> std::string {
      if (name == "XDG_CURRENT_DESKTOP") return desktop;
      if (name == "XDG_DATA_HOME") return data_.Path();
      if (name == "HOME") return "/nonexistent";
      if (name == "PATH") return bin_.Path();
      return {};
    };
  }
  std::string Bitmap() const { return data_.Path() + "/VellTile/VellTile.bmp"; }

  TTempDir bin_, data_;
  TPixelBuffer picture_;
  std::string oldPath_;
};

TEST_F(WallpaperSetter, GsettingsDesktopsAreToldTheTiledPicture) {
  Fake("gsettings");
  struct TCase {
    const char* desktop;
    std::vector<std::string> calls;
  };
  const std::string uri = "file://" + Bitmap();
  const TCase cases[] = {
      {"GNOME",
       {"[set][org.gnome.desktop.background][picture-uri][" + uri + "]",
        "[set][org.gnome.desktop.background][picture-uri-dark][" + uri + "]",
        "[set][org.gnome.desktop.background][picture-options][wallpaper]"}},
      {"X-Cinnamon",
       {"[set][org.cinnamon.desktop.background][picture-uri][" + uri + "]",
        "[set][org.cinnamon.desktop.background][picture-options][wallpaper]"}},
      {"MATE",
       {"[set][org.mate.background][picture-filename][" + Bitmap() + "]",
        "[set][org.mate.background][picture-options][wallpaper]"}},
  };
  for (const TCase& c : cases) {
    std::remove((bin_ / "calls").c_str());
    const TWallpaperResult r = SetAsWallpaper(picture_, Env(c.desktop));
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.path, Bitmap());
    EXPECT_EQ(Calls(), c.calls) << c.desktop;
  }
  // The bitmap is the working image.
  TPixelBuffer back;
  ASSERT_TRUE(ReadBmpFile(Bitmap(), back).ok);
  EXPECT_EQ(back.Width(), 12);
  EXPECT_EQ(back.Row24(9)[11].r, picture_.Row24(9)[11].r);
}

TEST_F(WallpaperSetter, XfceSetsEveryListedBackdrop) {
  Fake("xfconf-query",
       "/backdrop/screen0/monitor0/workspace0/last-image\\n/backdrop/screen0/monitorDP-1/workspace0/last-image\\n"
       "/backdrop/screen0/monitor0/workspace0/image-style\\n");
  const TWallpaperResult r = SetAsWallpaper(picture_, Env("XFCE"));
  EXPECT_TRUE(r.ok) << r.message;
  const std::vector<std::string> calls = Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0], "[-c][xfce4-desktop][-l]");
  EXPECT_EQ(calls[1], "[-c][xfce4-desktop][-p][/backdrop/screen0/monitor0/workspace0/last-image][-s][" + Bitmap() + "]");
  EXPECT_EQ(calls[2], "[-c][xfce4-desktop][-p][/backdrop/screen0/monitor0/workspace0/image-style][-n][-t][int][-s][2]");
  EXPECT_EQ(calls[3],
            "[-c][xfce4-desktop][-p][/backdrop/screen0/monitorDP-1/workspace0/last-image][-s][" + Bitmap() + "]");
}

TEST_F(WallpaperSetter, PlasmaGetsAScriptOverQdbus) {
  Fake("qdbus");
  const TWallpaperResult r = SetAsWallpaper(picture_, Env("KDE"));
  EXPECT_TRUE(r.ok) << r.message;
  const std::vector<std::string> calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].rfind("[org.kde.plasmashell][/PlasmaShell][org.kde.PlasmaShell.evaluateScript][", 0), 0u);
  EXPECT_NE(calls[0].find("writeConfig('Image', 'file://" + Bitmap() + "')"), std::string::npos) << calls[0];
  EXPECT_NE(calls[0].find("writeConfig('FillMode', 3)"), std::string::npos);
}

TEST_F(WallpaperSetter, WithoutASetterTheMessageSaysWhereTheBitmapIs) {
  struct TCase {
    const char* desktop;
    const char* mentions;
  };
  const TCase cases[] = {{"GNOME", "gsettings"}, {"XFCE", "xfconf-query"}, {"KDE", "qdbus"}, {"", "no GNOME"}};
  for (const TCase& c : cases) {
    const TWallpaperResult r = SetAsWallpaper(picture_, Env(c.desktop));
    EXPECT_FALSE(r.ok) << c.desktop;
    EXPECT_NE(r.message.find(Bitmap()), std::string::npos) << r.message;
    EXPECT_NE(r.message.find(c.mentions), std::string::npos) << r.message;
  }
  EXPECT_TRUE(Calls().empty());
}

TEST_F(WallpaperSetter, AFailingSetterIsReported) {
  Fake("gsettings", {}, 3);
  const TWallpaperResult r = SetAsWallpaper(picture_, Env("GNOME"));
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("exit code 3"), std::string::npos) << r.message;
}

}  // namespace
}  // namespace vell
