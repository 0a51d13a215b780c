// Shell links, Program Manager groups over the Start Menu, programs without Wine, and the
// OEM to ANSI conversion.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <climits>

#include "Encoding.h"
#include "ShellLink.h"
#include "TestPrefix.h"

namespace yarb {
namespace {

const char* kPrograms = "users/tester/AppData/Roaming/Microsoft/Windows/Start Menu/Programs";
const char* kProgramsWin = "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

TEST(ShellLink, BuildsAndReadsBack) {
  ShellLinkInfo in;
  in.target = "C:\\Program Files\\Vell\\VellTile.exe";
  in.workingDir = "C:\\Program Files\\Vell";
  in.iconFile = "C:\\Program Files\\Vell\\VellTile.exe";
  in.iconIndex = 2;
  in.showCmd = 3;
  in.hotKey = 0x0656;
  in.arguments = "/x \"a b\"";
  std::vector<uint8_t> bytes = BuildShellLink(in);
  // Header: size 0x4C and the shell link class id.
  ASSERT_GE(bytes.size(), 0x4cu);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20),
            (std::vector<uint8_t>{0x4c, 0, 0, 0, 0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xc0, 0, 0, 0, 0, 0, 0, 0x46}));
  EXPECT_EQ(bytes[20], 0x02 | 0x10 | 0x20 | 0x40);  // link info, working dir, arguments, icon
  ShellLinkInfo out;
  ASSERT_TRUE(ParseShellLink(bytes, &out));
  EXPECT_EQ(out.target, in.target);
  EXPECT_EQ(out.workingDir, in.workingDir);
  EXPECT_EQ(out.iconFile, in.iconFile);
  EXPECT_EQ(out.iconIndex, 2);
  EXPECT_EQ(out.showCmd, 3);
  EXPECT_EQ(out.hotKey, 0x0656);
  EXPECT_EQ(out.arguments, in.arguments);
}

TEST(ShellLink, CutOrForeignDataFailsCleanly) {
  ShellLinkInfo in;
  in.target = "C:\\x.exe";
  in.arguments = "-a";
  std::vector<uint8_t> bytes = BuildShellLink(in);
  ShellLinkInfo out;
  for (size_t n = 0; n < bytes.size() - 4; ++n)
    EXPECT_FALSE(ParseShellLink(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n), &out)) << n;
  std::vector<uint8_t> bad = bytes;
  bad[0x4c] = 0xff;  // link info size past the end
  bad[0x4d] = 0xff;
  EXPECT_FALSE(ParseShellLink(bad, &out));
  EXPECT_FALSE(ParseShellLink({'M', 'Z'}, &out));
}

class ProgmanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pfx.Dir(std::string(kPrograms) + "/Vell Tile");
    pfx.Dir(std::string(kPrograms) + "/Other");
    p = pfx.Open();
    ASSERT_NE(p, nullptr);
    ShellLinkInfo a;
    a.target = "C:\\VELL\\VELLTILE.EXE";
    ASSERT_TRUE(p->CreateShellLink(std::string(kProgramsWin) + "\\Vell Tile\\Vell Tile.lnk", a));
    ShellLinkInfo b;
    b.target = "C:\\VELL\\UNYARB32.EXE";
    b.arguments = "C:\\VELL\\INSTALL.LOG";
    ASSERT_TRUE(p->CreateShellLink(std::string(kProgramsWin) + "\\Vell Tile\\Uninstall.lnk", b));
    ASSERT_TRUE(p->CreateShellLink(std::string(kProgramsWin) + "\\Other\\Keep.lnk", a));
  }
  test::TempPrefix pfx;
  std::unique_ptr<WinePrefix> p;
};

TEST_F(ProgmanTest, GroupsAndTheirDescription) {
  ASSERT_TRUE(p->ProgmanConnect());
  auto groups = p->ProgmanGroups();
  EXPECT_EQ(groups, (std::vector<std::string>{"Other", "Vell Tile"}));
  std::string text;
  ASSERT_TRUE(p->ProgmanGroupDescription("vell tile", &text));
  EXPECT_EQ(text,
            "\"Vell Tile\"\r\n\"Uninstall\",\"C:\\VELL\\UNYARB32.EXE C:\\VELL\\INSTALL.LOG\"\r\n"
            "\"Vell Tile\",\"C:\\VELL\\VELLTILE.EXE\"");
  EXPECT_FALSE(p->ProgmanGroupDescription("Missing", &text));
}

TEST_F(ProgmanTest, DeleteItemThenGroup) {
  ASSERT_TRUE(p->ProgmanConnect());
  ASSERT_TRUE(p->ProgmanExecute("[ShowGroup(Vell Tile,2)][ShowGroup(Vell Tile,1)][DeleteItem(Vell Tile)]"));
  EXPECT_FALSE(p->FileExists(std::string(kProgramsWin) + "\\Vell Tile\\Vell Tile.lnk"));
  EXPECT_TRUE(p->FileExists(std::string(kProgramsWin) + "\\Vell Tile\\Uninstall.lnk"));
  ASSERT_TRUE(p->ProgmanExecute("[DeleteGroup(\"Vell Tile\")]"));
  EXPECT_FALSE(p->FileExists(std::string(kProgramsWin) + "\\Vell Tile"));
  EXPECT_TRUE(p->FileExists(std::string(kProgramsWin) + "\\Other\\Keep.lnk"));
  EXPECT_FALSE(p->ProgmanExecute("[DeleteItem(Keep)]"));  // no group shown
  EXPECT_FALSE(p->ProgmanExecute("[Reload()]"));
  EXPECT_FALSE(p->ProgmanExecute("garbage"));
}

TEST_F(ProgmanTest, NamesCannotClimbOutOfTheProgramsFolder) {
  ASSERT_TRUE(p->ProgmanConnect());
  for (const char* cmd : {"[DeleteGroup(..)]", "[DeleteGroup(..\\..\\..\\..\\..\\..\\..\\windows)]",
                          "[ShowGroup(C:\\windows,1)]", "[ShowGroup(Other,1)][DeleteItem(..\\Vell Tile\\Uninstall)]"})
    EXPECT_FALSE(p->ProgmanExecute(cmd)) << cmd;
  EXPECT_TRUE(p->FileExists(std::string(kProgramsWin) + "\\Vell Tile\\Uninstall.lnk"));
  EXPECT_TRUE(p->FileExists("C:\\windows\\system32"));
}

TEST_F(ProgmanTest, NoProgramsFolderNoConversation) {
  test::TempPrefix bare;
  auto q = bare.Open();
  ASSERT_NE(q, nullptr);
  EXPECT_FALSE(q->ProgmanConnect());
  EXPECT_FALSE(q->ProgmanExecute("[DeleteGroup(Vell Tile)]"));
}

TEST(Programs, WithoutWineNothingStarts) {
  test::TempPrefix pfx;
  pfx.File("setup.exe", "MZ");
  auto p = pfx.Open();
  ASSERT_NE(p, nullptr);
  uint32_t code = 7;
  EXPECT_EQ(p->StartProcess("\"C:\\setup.exe\" /X=C:\\list.tmp", "", true, &code), StartResult::CannotStart);
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(p->StartProcess("C:\\missing.exe", "", false, nullptr), StartResult::CannotStart);
  EXPECT_FALSE(p->SelfRegister("C:\\setup.exe", false));
  EXPECT_FALSE(p->Restart());
  EXPECT_FALSE(p->WindowClassExists("IB_Server"));
  EXPECT_FALSE(p->IsRemovableDrive('A'));
  EXPECT_EQ(p->TempDirectory(), "C:\\users\\tester\\Temp\\");
  EXPECT_EQ(p->WindowsDirectory(), "C:\\windows");
  EXPECT_EQ(p->SystemDirectory(), "C:\\windows\\system32");
}

// A stand-in for wine that writes down how it was started and what the prefix held then.
TEST(Programs, StartedThroughWineWithTheRegistryOnDisk) {
  test::TempPrefix pfx;
  pfx.Dir("Vell Tile");
  pfx.File("Vell Tile/setup.exe", "MZ");
  std::string log = pfx.C("wine.log");
  std::string script = pfx.dir() + "/../fake-wine.sh";
  test::WriteText(script, "#!/bin/sh\n{ echo \"PREFIX=$WINEPREFIX\"; echo \"PWD=$(pwd)\"; for a in \"$@\"; do printf 'ARG=%s\\n' \"$a\"; done;"
                          " grep -c Started \"$WINEPREFIX/system.reg\"; } >> '" + log + "'\nexit 3\n");
  ::chmod(script.c_str(), 0755);
  {
    auto p = pfx.Open();
    ASSERT_NE(p, nullptr);
    p->SetWineProgram(script);
    ASSERT_TRUE(p->RegSetValue(RegRoot::LocalMachine, "Software\\Vendor", "Started", RegValue::Dword(1)));
    uint32_t code = 0;
    ASSERT_EQ(p->StartProcess("\"C:\\VELLTI~1\\setup.exe\" /X=\"C:\\a b\\list.tmp\" -q", "C:\\Vell Tile", true, &code),
              StartResult::Started);
    EXPECT_EQ(code, 3u);
    char real[PATH_MAX];
    ASSERT_NE(::realpath(pfx.dir().c_str(), real), nullptr);
    EXPECT_EQ(test::ReadText(log), "PREFIX=" + std::string(real) + "\nPWD=" + real + "/drive_c/Vell Tile\n"
                                   "ARG=C:\\VELLTI~1\\setup.exe\nARG=/X=C:\\a b\\list.tmp\nARG=-q\n1\n");
    // Without waiting, the program runs once everything is written.
    ASSERT_EQ(p->StartProcess("C:\\Vell Tile\\setup.exe /U", "", false, nullptr), StartResult::Started);
    EXPECT_EQ(test::ReadText(log).find("ARG=/U"), std::string::npos);
  }
  std::string text;
  for (int i = 0; i < 2000 && text.find("ARG=/U") == std::string::npos; ++i) {
    int status;
    ::wait(&status);  // the detached start is a child of this process
    text = test::ReadText(log);
  }
  EXPECT_NE(text.find("ARG=C:\\Vell Tile\\setup.exe\nARG=/U\n"), std::string::npos);
}

TEST(Programs, FloppyDrives) {
  test::TempPrefix pfx;
  ::symlink("/dev/fd0", (pfx.dir() + "/dosdevices/a::").c_str());
  ::symlink("/media/floppy", (pfx.dir() + "/dosdevices/a:").c_str());
  ::symlink("/mnt/usb", (pfx.dir() + "/dosdevices/b:").c_str());
  auto p = pfx.Open();
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->IsRemovableDrive('a'));
  EXPECT_FALSE(p->IsRemovableDrive('B'));
  EXPECT_FALSE(p->IsRemovableDrive('C'));
}

TEST(Encoding, OemToAnsi) {
  const struct { const char* oem; const char* ansi; } cases[] = {
      {"C:\\PROGRA~1\\VELL.EXE", "C:\\PROGRA~1\\VELL.EXE"},
      {"\x82t\x82", "\xe9t\xe9"},          // é
      {"\x81\x94\x84\xe1", "\xfc\xf6\xe4\xdf"},  // ü ö ä ß
      {"\x9c\xa8\xad", "\xa3\xbf\xa1"},    // £ ¿ ¡
      {"\x9f", "\x83"},                    // ƒ
      {"\xb3\xc4\xda", "|-+"},             // line drawing
      {"\xff", "\xa0"},                    // no-break space
  };
  for (const auto& c : cases) EXPECT_EQ(OemToAnsi(c.oem), c.ansi) << c.oem;
  EXPECT_EQ(AnsiToUtf8("caf\xe9 \x80"), "caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(Utf8ToAnsi("caf\xc3\xa9 \xe2\x82\xac \xe2\x98\xba"), "caf\xe9 \x80 ?");
}

TEST(FindPrefix, FromTheLogUpwards) {
  test::TempPrefix pfx;
  pfx.Dir("Program Files/Vell");
  pfx.File("Program Files/Vell/INSTALL.LOG", "*** ");
  EXPECT_EQ(FindWinePrefix(pfx.C("Program Files/Vell/INSTALL.LOG")), pfx.dir());
  EXPECT_EQ(FindWinePrefix(pfx.dir() + "/system.reg"), pfx.dir());
  std::string error;
  EXPECT_EQ(OpenWinePrefix(pfx.C("Program Files"), &error), nullptr);
  EXPECT_FALSE(error.empty());
  test::WriteText(pfx.dir() + "/system.reg", "not a hive");
  EXPECT_EQ(OpenWinePrefix(pfx.dir(), &error), nullptr);
  EXPECT_NE(error.find("system.reg"), std::string::npos);
}

}  // namespace
}  // namespace yarb
