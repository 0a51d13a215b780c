// The log reader over a real Wine prefix: a small one built in a temporary folder.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Dump.h"
#include "FakePlatform.h"
#include "InstallLog.h"
#include "Platform.h"

namespace yarb {
namespace {

using test::Dump;
using test::ScriptedUi;
using Strings = std::vector<std::string>;

const char* const kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win32\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1796757414\n"
    "\"Common Start Menu\"=\"C:\\\\ProgramData\\\\Microsoft\\\\Windows\\\\Start Menu\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\SharedDLLs] 1796757414\n"
    "\"C:\\\\windows\\\\system32\\\\vellgif.dll\"=dword:00000002\n";

const char* const kUserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win32\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1796757414\n"
    "\"Start Menu\"=\"C:\\\\users\\\\tester\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Start Menu\"\n";

const char* const kFirst =
    "***  Installation Started 12/08/2026 10:00 ***\r\n"
    "Title: Quilo Installation\r\n"
    "Made Dir: C:\\PROG~FBU\\Quilo\r\n"
    "File Copy: C:\\PROG~FBU\\Quilo\\VellTile.exe | 12-08-2026 | 10:00:00 | 1 | 0\r\n"
    "File Copy: C:\\Program Files\\Quilo\\Missing.hlp\r\n"
    "File Copy: C:\\windows\\system32\\vellgif.dll\r\n"
    "File Overwrite: C:\\WINDOWS\\SYSTEM32\\VELLGIF.DLL\r\n"
    "File Overwrite: C:\\windows\\system32\\other.dll\r\n"
    "Self-Register: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE\r\n"
    "Per-User ID: {7}\r\n"
    "Shell Link: C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Quilo.lnk\r\n"
    "Shell Link: C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quilo.lnk\r\n"
    "INI New: Quilo\r\n"
    "INI File: C:\\windows\\quilo.ini\r\n"
    "INI Sect: Settings\r\n";

const char* const kSecond =
    "***  Installation Started 12/09/2026 10:00 ***\r\n"
    "Title: Quilo Installation\r\n"
    "File Copy: c:\\prog~fbu\\quilo\\velltile.exe\r\n";

class PrefixLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ilog-prefix-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    for (const char* sub : {"drive_c/Program Files/Quilo", "drive_c/windows/system32",
                            "drive_c/ProgramData", "drive_c/users/tester", "dosdevices"})
      std::filesystem::create_directories(dir_ + "/" + sub);
    ASSERT_EQ(::symlink("../drive_c", (dir_ + "/dosdevices/c:").c_str()), 0);
    Write("system.reg", kSystemReg);
    Write("user.reg", kUserReg);
    Write("drive_c/Program Files/Quilo/VellTile.exe", "MZ");
    Write("drive_c/windows/system32/vellgif.dll", "MZ");
    Write("drive_c/windows/system32/other.dll", "MZ");
    Write("drive_c/windows/quilo.ini", "[Settings]\r\n");
    Write("drive_c/Program Files/Quilo/INSTALL.LOG", std::string(kFirst) + kSecond);
    std::string error;
    platform_ = OpenWinePrefix(dir_, &error);
    ASSERT_TRUE(platform_) << error;
  }
  void TearDown() override {
    platform_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  void Write(const std::string& rel, const std::string& text) {
    std::ofstream(dir_ + "/" + rel, std::ios::binary) << text;
  }
  std::string Read(const std::string& rel) {
    std::ifstream in(dir_ + "/" + rel, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  std::string dir_;
  std::unique_ptr<Platform> platform_;
  ScriptedUi ui_;
  InstallLog log_;
  const std::string logPath_ = "C:\\Program Files\\Quilo\\INSTALL.LOG";
};

TEST_F(PrefixLogTest, ReadsTheLogWithThePrefixsFilesAndRegistry) {
  const ParseResult result = ParseInstallLog(*platform_, ui_, logPath_, &log_);
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(ui_.events.empty());
  // The folder in Wine's short form, and the "Made Dir: " of that same folder.
  EXPECT_EQ(result.logFolder, "C:\\PROG~FBU\\Quilo\\");
  EXPECT_EQ(log_.header.title, "Quilo");
  EXPECT_EQ(log_.profilesFolder, "C:\\users\\tester\\AppData\\Roaming\\Microsoft");
  EXPECT_EQ(log_.allUsersFolder, "C:\\ProgramData\\Microsoft\\Windows");
  EXPECT_EQ(log_.latestHeaderOffset, std::string(kFirst).size());
  EXPECT_EQ(Dump(log_), (Strings{
      // Matched to the Windows-style alias of Self-Register through the long names.
      "P C:\\PROG~FBU\\Quilo\\VellTile.exe i2 s2x2 reg1",
      // A shared overwrite counts again; an unshared one without backup makes nothing.
      "S C:\\windows\\system32\\vellgif.dll i1 s1x2",
      "R C:\\Program Files\\Quilo\\Missing.hlp i1",
      "R C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Quilo.lnk i1",
      "D C:\\PROG~FBU\\Quilo\\ t0 m1",
      "F C:\\windows\\quilo.ini i1",
  }));
}

TEST_F(PrefixLogTest, RollbackCutsTheFileOnDiskThenDeletesIt) {
  ASSERT_TRUE(ParseInstallLog(*platform_, ui_, logPath_, &log_).ok);
  EXPECT_EQ(CutLogForRollback(*platform_, logPath_, log_.latestHeaderOffset), LogEdit::Cut);
  EXPECT_EQ(Read("drive_c/Program Files/Quilo/INSTALL.LOG"), kFirst);

  ASSERT_TRUE(ParseInstallLog(*platform_, ui_, logPath_, &log_).ok);
  EXPECT_EQ(log_.installations.size(), 1u);
  EXPECT_EQ(CutLogForRollback(*platform_, logPath_, log_.latestHeaderOffset), LogEdit::Deleted);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/drive_c/Program Files/Quilo/INSTALL.LOG"));
}

TEST_F(PrefixLogTest, MissingLogIsReported) {
  EXPECT_FALSE(ParseInstallLog(*platform_, ui_, "C:\\Program Files\\Other\\INSTALL.LOG", &log_).ok);
  EXPECT_EQ(ui_.events, (Strings{"close progress",
                                 "message Yarb Uninstall: Could not open INSTALL.LOG file."}));
}

}  // namespace
}  // namespace yarb
