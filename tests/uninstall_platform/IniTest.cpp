// Private-profile INI files with the Windows rules, and win.ini sections that Wine maps
// into the registry.
#include <gtest/gtest.h>

#include "IniProfile.h"
#include "TestPrefix.h"

namespace yarb {
namespace {

const std::string kIni =
    "; installed by Vell\r\n"
    "[Settings]\r\n"
    "  Start Red = 12 \r\n"
    "Text Font=\"Arial Narrow\"\r\n"
    "Quoted='x'\r\n"
    "NoValue\r\n"
    "\r\n"
    "[ settings ]\r\n"
    "Start Red=99\r\n"
    "[Language]\n"
    "Msg59=Are you sure?|Really\n"
    "\n";

TEST(Ini, ReadsLikeGetPrivateProfileString) {
  const struct { const char* section; const char* key; bool found; const char* value; } cases[] = {
      {"Settings", "Start Red", true, "12"},       // blanks around names and values do not count
      {"SETTINGS", "start red", true, "12"},       // first of two sections, any case
      {"Settings", "Text Font", true, "Arial Narrow"},
      {"Settings", "Quoted", true, "x"},
      {"Settings", "NoValue", false, ""},
      {"Settings", "Missing", false, ""},
      {"Language", "Msg59", true, "Are you sure?|Really"},  // LF-only lines read too
      {"Nothing", "Msg59", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    std::string v;
    EXPECT_EQ(ini::Get(kIni, c.section, c.key, &v), c.found);
    if (c.found) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(Ini, WritesKeepEverythingElse) {
  EXPECT_EQ(ini::Set(kIni, "settings", "START RED", "0"),
            "; installed by Vell\r\n[Settings]\r\nStart Red=0\r\nText Font=\"Arial Narrow\"\r\nQuoted='x'\r\nNoValue\r\n\r\n"
            "[ settings ]\r\nStart Red=99\r\n[Language]\r\nMsg59=Are you sure?|Really\r\n\r\n");
  // A new key goes after the section's last line, before its blank lines.
  EXPECT_EQ(ini::Set("[A]\r\nx=1\r\n\r\n[B]\r\n", "a", "y", "2"), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\n");
  // A new section goes at the end; a missing final line end is supplied.
  EXPECT_EQ(ini::Set("[A]\r\nx=1", "rename", "NUL", "C:\\A.TXT"), "[A]\r\nx=1\r\n[rename]\r\nNUL=C:\\A.TXT\r\n");
  EXPECT_EQ(ini::Set("", "s", "k", ""), "[s]\r\nk=\r\n");
  bool changed = false;
  EXPECT_EQ(ini::DeleteKey("[A]\r\nx=1\r\ny=2\r\n", "A", "X", &changed), "[A]\r\ny=2\r\n");
  EXPECT_TRUE(changed);
  EXPECT_EQ(ini::DeleteKey("[A]\r\nx=1\r\n", "A", "z", &changed), "[A]\r\nx=1\r\n");
  EXPECT_FALSE(changed);
  EXPECT_EQ(ini::DeleteSection("[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "a", &changed), "[B]\r\ny=2\r\n");
  EXPECT_TRUE(changed);
}

TEST(IniPlatform, FilesInTheWindowsFolderAndMappedSections) {
  test::TempPrefix pfx;
  pfx.File("windows/win.ini", "[windows]\r\nload=\r\n[Vell]\r\nPath=C:\\Vell\r\n");
  pfx.File("windows/system.ini", "[386Enh]\r\ndevice=*vpicd\r\n");
  auto p = pfx.Open();
  ASSERT_NE(p, nullptr);
  std::string v;
  EXPECT_TRUE(p->GetProfileString("win.ini", "Vell", "path", "def", &v));
  EXPECT_EQ(v, "C:\\Vell");
  EXPECT_FALSE(p->GetProfileString("WIN.INI", "Vell", "Other", "def", &v));
  EXPECT_EQ(v, "def");
  ASSERT_TRUE(p->WriteProfileString("C:\\windows\\win.ini", "Vell", "Path", "D:\\Vell"));
  ASSERT_TRUE(p->DeleteProfileKey("win.ini", "Vell", "Nothing"));
  EXPECT_EQ(test::ReadText(pfx.C("windows/win.ini")), "[windows]\r\nload=\r\n[Vell]\r\nPath=D:\\Vell\r\n");

  // [desktop] and [windows] of win.ini live in the user's registry.
  ASSERT_TRUE(p->WriteProfileString("win.ini", "Desktop", "Wallpaper", "C:\\windows\\VellTile.bmp"));
  ASSERT_TRUE(p->WriteProfileString("win.ini", "windows", "CursorBlinkRate", "530"));
  ASSERT_TRUE(p->WriteProfileString("win.ini", "windows", "load", "vell.exe"));
  EXPECT_EQ(test::ReadText(pfx.C("windows/win.ini")), "[windows]\r\nload=\r\n[Vell]\r\nPath=D:\\Vell\r\n");
  RegValue r;
  ASSERT_TRUE(p->RegQueryValue(RegRoot::CurrentUser, "Control Panel\\Desktop", "Wallpaper", &r));
  EXPECT_EQ(r.AsString(), "C:\\windows\\VellTile.bmp");
  ASSERT_TRUE(p->RegQueryValue(RegRoot::CurrentUser, "Control Panel\\Desktop", "CursorBlinkRate", &r));
  EXPECT_EQ(r.AsString(), "530");
  ASSERT_TRUE(p->RegQueryValue(RegRoot::CurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "load", &r));
  EXPECT_EQ(r.AsString(), "vell.exe");
  EXPECT_TRUE(p->GetProfileString("win.ini", "desktop", "Wallpaper", "", &v));
  EXPECT_EQ(v, "C:\\windows\\VellTile.bmp");
  ASSERT_TRUE(p->DeleteProfileKey("win.ini", "desktop", "Wallpaper"));
  EXPECT_FALSE(p->RegQueryValue(RegRoot::CurrentUser, "Control Panel\\Desktop", "Wallpaper", &r));

  // system.ini is not mapped.
  ASSERT_TRUE(p->WriteProfileString("system.ini", "386Enh", "device", ";C:\\windows\\vell.386"));
  EXPECT_EQ(test::ReadText(pfx.C("windows/system.ini")), "[386Enh]\r\ndevice=;C:\\windows\\vell.386\r\n");
  // A new file is made when its folder exists.
  ASSERT_TRUE(p->WriteProfileString("WININIT.INI", "rename", "NUL", "C:\\VELL~1\\A.DLL"));
  EXPECT_EQ(test::ReadText(pfx.C("windows/WININIT.INI")), "[rename]\r\nNUL=C:\\VELL~1\\A.DLL\r\n");
  EXPECT_FALSE(p->WriteProfileString("C:\\No Folder\\x.ini", "a", "b", "c"));
}

}  // namespace
}  // namespace yarb
