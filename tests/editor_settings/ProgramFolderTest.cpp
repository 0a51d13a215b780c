#include "editor/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "TempDir.h"

namespace vell {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEnvLookup Env(std::map<std::string, std::string> vars) {
  return [vars](const std::string& name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(ProgramFolder, ConfigFolderFollowsXdgRules) {
  EXPECT_EQ(ConfigFolder(Env({{"XDG_CONFIG_HOME", "/x/cfg"}, {"HOME", "/home/u"}})), "/x/cfg/VellTile/");
  EXPECT_EQ(ConfigFolder(Env({{"XDG_CONFIG_HOME", "/x/cfg/"}})), "/x/cfg/VellTile/");
  // Empty or relative XDG_CONFIG_HOME is ignored.
  EXPECT_EQ(ConfigFolder(Env({{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}})), "/home/u/.config/VellTile/");
  EXPECT_EQ(ConfigFolder(Env({{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/u/"}})), "/home/u/.config/VellTile/");
  EXPECT_EQ(ConfigFolder(Env({})), "");
}

TEST(ProgramFolder, WritableExecutableFolderIsTheProgramFolder) {
  TempDir exe, cfg;
  EXPECT_EQ(ChooseProgramFolder(exe.Path(), Env({{"XDG_CONFIG_HOME", cfg.Path()}})), exe.Path());
  EXPECT_FALSE(std::filesystem::exists(cfg / "VellTile"));
  // The probe leaves nothing behind.
  EXPECT_TRUE(std::filesystem::is_empty(exe.Path()));
}

TEST(ProgramFolder, UnwritableExecutableFolderFallsBackToTheConfigFolder) {
  TempDir cfg;
  // Nobody, not even root, creates files in /proc.
  ASSERT_FALSE(FolderWritable("/proc/self/"));
  const std::string chosen = ChooseProgramFolder("/proc/self/", Env({{"XDG_CONFIG_HOME", cfg / "deep/er"}}));
  EXPECT_EQ(chosen, cfg / "deep/er/VellTile/");
  EXPECT_TRUE(std::filesystem::is_directory(chosen));
  EXPECT_TRUE(FolderWritable(chosen));
  // No usable configuration folder: reads still come from the executable's.
  EXPECT_EQ(ChooseProgramFolder("/proc/self", Env({})), "/proc/self/");
}

TEST(ProgramFolder, FilesBesideTheExecutableAreCarriedOver) {
  TempDir exe, cfg;
  WriteAll(exe / "VellTile.ini", "[EffectVals]\r\nEffectVals6=7\r\n");
  const std::string target = ProgramFile(cfg.Path(), exe.Path(), "VellTile.ini");
  EXPECT_EQ(target, cfg / "VellTile.ini");
  EXPECT_EQ(ReadAll(target), "[EffectVals]\r\nEffectVals6=7\r\n");

  // A file already in the configuration folder wins and is not replaced.
  WriteAll(exe / "VellTile.ini", "newer beside the program");
  ProgramFile(cfg.Path(), exe.Path(), "VellTile.ini");
  EXPECT_EQ(ReadAll(target), "[EffectVals]\r\nEffectVals6=7\r\n");

  // Nothing to carry: nothing is made.
  EXPECT_EQ(ProgramFile(cfg.Path(), exe.Path(), "VellLog.txt"), cfg / "VellLog.txt");
  EXPECT_FALSE(std::filesystem::exists(cfg / "VellLog.txt"));
  // The executable's own folder: the path, untouched.
  EXPECT_EQ(ProgramFile(exe.Path(), exe.Path(), "VellTile.ini"), exe / "VellTile.ini");
}

TEST(ProgramFolder, ExecutableFolderIsThisTestsFolder) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "editor_settings_tests"));
}

}  // namespace
}  // namespace vell
