// Windows paths over the prefix: drive links, names without regard to case, both kinds of
// short names, the 32-bit system folder, wildcards, and refusals of paths that lead out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "Encoding.h"
#include "ShortNames.h"
#include "TestPrefix.h"

namespace yarb {
namespace {

class PathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pfx.Dir("Program Files/Vell Tile/Long Name Folder");
    pfx.Dir("Program Files (x86)");
    pfx.Dir("ProgramData");
    pfx.File("Program Files/Vell Tile/VellTile.exe", "MZ");
    pfx.File("Program Files/Vell Tile/Long Name Document.html", "<html>");
    pfx.File("Program Files/Vell Tile/readme.txt", "hello");
    pfx.File("Program Files/Vell Tile/a.b.c.d", "");
    pfx.File("Program Files/Vell Tile/My File+1.txt", "");
    p = pfx.Open();
    ASSERT_NE(p, nullptr);
  }
  test::TempPrefix pfx;
  std::unique_ptr<WinePrefix> p;
};

// Aliases as Wine 8's own "dir /x" listed them for these names.
TEST(ShortNames, WineAliasesMatchWine) {
  const struct { const char16_t* name; const char16_t* alias; } cases[] = {
      {u"Program Files", u"PROG~FBU"},          {u"Program Files (x86)", u"PROG~5P2"},
      {u"ProgramData", u"PROG~BDQ"},            {u"Vell Tile", u"VELL~VEY"},
      {u"Long Name Document.html", u"LONG~3QP.HTM"}, {u"Long Name Folder", u"LONG~NTM"},
      {u"a.b.c.d", u"A_B_~YUB.D"},              {u"My File+1.txt", u"MY_F~0X3.TXT"},
      {u"readme.txt", u""},                     {u"VELLTILE.EXE", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(WineShortName(c.name), c.alias) << AnsiToUtf8(Utf16ToAnsi(c.name));
}

TEST(ShortNames, Legal83) {
  for (const char16_t* ok : {u"A", u"readme.txt", u"ABCDEFGH.IJK", u"~1", u".", u".."}) EXPECT_TRUE(IsLegal83(ok));
  for (const char16_t* bad : {u"ABCDEFGHI", u"a.b.c", u"x.abcd", u"a b", u"a+b", u".x", u"x.", u"caf\xe9", u""})
    EXPECT_FALSE(IsLegal83(bad));
}

TEST(ShortNames, WindowsNumbersInSortedOrder) {
  std::vector<std::u16string> names = {u"Program Files (x86)", u"readme.txt", u"Program Files", u"Long Name.html",
                                       u"Long Name 2.html"};
  std::vector<std::u16string> aliases = WindowsShortNames(names);
  EXPECT_EQ(aliases, (std::vector<std::u16string>{u"PROGRA~2", u"", u"PROGRA~1", u"LONGNA~2.HTM", u"LONGNA~1.HTM"}));
}

TEST(Wildcards, DosRules) {
  const struct { const char16_t* mask; const char16_t* name; bool match; } cases[] = {
      {u"*.*", u"noext", true},   {u"*", u"a.b", true},          {u"*.txt", u"README.TXT", true},
      {u"*.txt", u"a.txt.bak", false}, {u"a?c", u"abc", true},   {u"a?c", u"ac", false},
      {u"ab?", u"ab", true},      {u"x.*", u"x", true},          {u"x.*", u"xy", false},
      {u"*a*b*c*d*e*f*g*h*", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WildcardMatch(c.mask, c.name), c.match) << AnsiToUtf8(Utf16ToAnsi(c.mask)) << " " << AnsiToUtf8(Utf16ToAnsi(c.name));
}

TEST_F(PathTest, FindsNamesWithoutCaseAndByEitherShortForm) {
  const std::string exe = pfx.C("Program Files/Vell Tile/VellTile.exe");
  const struct { const char* path; std::string unix; } cases[] = {
      {"C:\\Program Files\\Vell Tile\\VellTile.exe", exe},
      {"c:\\PROGRAM FILES\\vell tile\\velltile.EXE", exe},
      {"C:/Program Files/Vell Tile/./x/../VellTile.exe", exe},
      {"C:\\PROG~FBU\\VELL~VEY\\VellTile.exe", exe},
      {"C:\\PROGRA~1\\VELLTI~1\\VELLTILE.EXE", exe},
      {"C:\\PROGRA~2", pfx.C("Program Files (x86)")},
      {"C:\\prog~5p2", pfx.C("Program Files (x86)")},
      {"C:\\PROGRA~1\\VELLTI~1\\LONGNA~1.HTM", pfx.C("Program Files/Vell Tile/Long Name Document.html")},
      {"\\\\?\\C:\\Program Files\\Vell Tile\\readme.txt", pfx.C("Program Files/Vell Tile/readme.txt")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_TRUE(p->FileExists(c.path));
    std::string unix;
    ASSERT_TRUE(p->WindowsToUnixPath(c.path, &unix));
    EXPECT_EQ(unix, c.unix);
  }
  EXPECT_FALSE(p->FileExists("C:\\Program Files\\Vell Tile\\missing.exe"));
  EXPECT_FALSE(p->FileExists("C:\\PROGRA~9"));
  EXPECT_FALSE(p->FileExists("Q:\\anything"));
}

TEST_F(PathTest, ShortAndLongPathsBothWays) {
  EXPECT_EQ(p->ToShortPath("c:\\program files\\vell tile\\Long Name Document.html"),
            "C:\\PROG~FBU\\VELL~VEY\\LONG~3QP.HTM");
  EXPECT_EQ(p->ToShortPath("C:\\Program Files\\Vell Tile\\readme.txt"), "C:\\PROG~FBU\\VELL~VEY\\readme.txt");
  // A name that cannot be found stays as it was.
  EXPECT_EQ(p->ToShortPath("C:\\Program Files\\New Folder\\x.txt"), "C:\\PROG~FBU\\New Folder\\x.txt");
  EXPECT_EQ(p->ToLongPath("C:\\PROGRA~1\\VELLTI~1\\LONG~3QP.HTM"),
            "C:\\Program Files\\Vell Tile\\Long Name Document.html");
  EXPECT_EQ(p->ToLongPath("c:\\PROG~FBU\\VELL~VEY\\NEWDIR~1\\A.TXT"), "C:\\Program Files\\Vell Tile\\NEWDIR~1\\A.TXT");
  // Relative paths start at the current folder.
  ASSERT_TRUE(p->SetCurrentDirectory("C:\\Program Files"));
  EXPECT_EQ(p->ToShortPath("Vell Tile"), "C:\\PROG~FBU\\VELL~VEY");
  // Without an alias the spelling stays.
  EXPECT_EQ(p->ToLongPath("c:\\program files\\vell tile"), "C:\\program files\\vell tile");
  EXPECT_EQ(p->ToLongPath("readme.txt"), "C:\\Program Files\\readme.txt");
}

TEST_F(PathTest, ThirtyTwoBitSystemFolder) {
  pfx.Dir("windows/system32/drivers/etc");
  pfx.Dir("windows/system32/catroot");
  pfx.File("windows/syswow64/vell32.dll", "32");
  pfx.File("windows/system32/vell64.dll", "64");
  pfx.File("windows/system32/drivers/etc/hosts", "h");
  EXPECT_TRUE(p->FileExists("C:\\windows\\system32\\vell32.dll"));
  EXPECT_FALSE(p->FileExists("C:\\WINDOWS\\SYSTEM32\\vell64.dll"));
  EXPECT_TRUE(p->FileExists("C:\\windows\\sysnative\\vell64.dll"));
  EXPECT_TRUE(p->FileExists("C:\\windows\\system32\\drivers\\etc\\hosts"));
  EXPECT_TRUE(p->FileExists("C:\\windows\\system32\\catroot"));
  EXPECT_EQ(p->ToLongPath("c:\\windows\\SYSTEM32\\VELL~1.DLL"), "C:\\windows\\SYSTEM32\\VELL~1.DLL");
  pfx.File("windows/syswow64/Vell Library.dll", "32");
  EXPECT_EQ(p->ToLongPath("c:\\windows\\SYSTEM32\\VELLLI~1.DLL"), "C:\\windows\\SYSTEM32\\Vell Library.dll");
  p->SetView32(false);
  EXPECT_TRUE(p->FileExists("C:\\windows\\system32\\vell64.dll"));
}

TEST_F(PathTest, AttributesAndFileInfo) {
  const std::string f = "C:\\Program Files\\Vell Tile\\readme.txt";
  EXPECT_EQ(p->GetFileAttributes(f), kAttrArchive);
  EXPECT_EQ(p->GetFileAttributes("C:\\Program Files"), kAttrDirectory);
  EXPECT_EQ(p->GetFileAttributes("C:\\nothing"), kInvalidAttributes);
  ASSERT_TRUE(p->SetFileAttributes(f, kAttrReadOnly));
  struct stat st;
  ASSERT_EQ(::stat(pfx.C("Program Files/Vell Tile/readme.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  EXPECT_EQ(p->GetFileAttributes(f) & kAttrReadOnly, kAttrReadOnly);
  EXPECT_FALSE(p->DeleteFile(f));  // read-only files are not deleted
  ASSERT_TRUE(p->SetFileAttributes(f, kAttrNormal));
  EXPECT_EQ(p->GetFileAttributes(f) & kAttrReadOnly, 0u);
  EXPECT_TRUE(p->DeleteFile(f));
  EXPECT_FALSE(p->FileExists(f));

  uint64_t size = 0;
  LocalTime t;
  ASSERT_TRUE(p->GetFileInfo("C:\\Program Files\\Vell Tile\\VellTile.exe", &size, &t));
  EXPECT_EQ(size, 2u);
  EXPECT_GE(t.year, 2020);
}

TEST_F(PathTest, FindFilesMatchesLongAndShortNames) {
  std::vector<FindData> found;
  ASSERT_TRUE(p->FindFiles("C:\\PROGRA~1\\Vell Tile\\*.htm*", &found));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "Long Name Document.html");
  EXPECT_EQ(found[0].shortName, "LONG~3QP.HTM");
  ASSERT_TRUE(p->FindFiles("C:\\Program Files\\Vell Tile\\*.*", &found));
  EXPECT_EQ(found.size(), 6u);
  ASSERT_TRUE(p->FindFiles("C:\\Program Files\\Vell Tile\\LONG~NTM", &found));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].attributes, kAttrDirectory);
  EXPECT_FALSE(p->FindFiles("C:\\Program Files\\Vell Tile\\*.zip", &found));
  EXPECT_TRUE(found.empty());
}

TEST_F(PathTest, FileOperations) {
  ASSERT_TRUE(p->CreateDirectory("C:\\Program Files\\Vell Tile\\New"));
  EXPECT_FALSE(p->CreateDirectory("C:\\Program Files\\Vell Tile\\New"));
  EXPECT_FALSE(p->CreateDirectory("C:\\No\\Such\\Parent"));
  ASSERT_TRUE(p->WriteFile("C:\\Program Files\\Vell Tile\\New\\a.txt", {'a', 'b'}));
  ASSERT_TRUE(p->AppendFile("C:\\Program Files\\Vell Tile\\New\\A.TXT", {'c'}));
  EXPECT_EQ(test::ReadText(pfx.C("Program Files/Vell Tile/New/a.txt")), "abc");
  EXPECT_FALSE(p->CopyFile("C:\\Program Files\\Vell Tile\\readme.txt", "C:\\Program Files\\Vell Tile\\New\\a.txt", true));
  ASSERT_TRUE(p->CopyFile("C:\\Program Files\\Vell Tile\\readme.txt", "C:\\Program Files\\Vell Tile\\New\\a.txt", false));
  EXPECT_EQ(test::ReadText(pfx.C("Program Files/Vell Tile/New/a.txt")), "hello");
  EXPECT_FALSE(p->MoveFile("C:\\Program Files\\Vell Tile\\New\\a.txt", "C:\\Program Files\\Vell Tile\\readme.txt", false));
  ASSERT_TRUE(p->MoveFile("C:\\Program Files\\Vell Tile\\New\\a.txt", "C:\\Program Files\\Vell Tile\\New\\b.txt", false));
  EXPECT_FALSE(p->RemoveDirectory("C:\\Program Files\\Vell Tile\\New"));  // not empty
  ASSERT_TRUE(p->DeleteFile("C:\\Program Files\\Vell Tile\\New\\b.txt"));
  ASSERT_TRUE(p->RemoveDirectory("C:\\Program Files\\Vell Tile\\NEW"));
  EXPECT_FALSE(p->DeleteFile("C:\\Program Files"));  // a folder is not a file

  std::string tmp;
  ASSERT_TRUE(p->GetTempFileName("C:\\Program Files", "QZV", 6699, &tmp));
  EXPECT_EQ(tmp, "C:\\Program Files\\QZV1A2B.TMP");
  EXPECT_FALSE(p->FileExists(tmp));
  ASSERT_TRUE(p->GetTempFileName("C:\\Program Files", "QZW", 0, &tmp));
  EXPECT_TRUE(p->FileExists(tmp));
  EXPECT_EQ(tmp.substr(0, 20), "C:\\Program Files\\QZW");
  EXPECT_FALSE(p->GetTempFileName("C:\\Program Files", "..\\", 0, &tmp));
  // A NUL inside a path would cut the Linux path short.
  EXPECT_FALSE(p->DeleteFile(std::string("C:\\Program Files\\Vell Tile\\readme.txt\0.bak", 42)));
  EXPECT_TRUE(p->FileExists("C:\\Program Files\\Vell Tile\\readme.txt"));
  EXPECT_TRUE(p->Refusals().empty());
}

TEST_F(PathTest, UnixPathsGoBackToTheirDrive) {
  std::string win;
  ASSERT_TRUE(p->UnixToWindowsPath(pfx.C("Program Files/Vell Tile/readme.txt"), &win));
  EXPECT_EQ(win, "C:\\Program Files\\Vell Tile\\readme.txt");
  ::mkdir(pfx.Outside().c_str(), 0755);
  ASSERT_TRUE(p->UnixToWindowsPath(pfx.Outside() + "/../x", &win));
  EXPECT_EQ(win.substr(0, 3), "Z:\\");
}

// Every changing call refuses paths that end up outside the prefix, and says so.
TEST_F(PathTest, HostilePathsAreRefused) {
  ::mkdir(pfx.Outside().c_str(), 0755);
  test::WriteText(pfx.Outside() + "/victim.txt", "keep me");
  ::mkdir((pfx.Outside() + "/dir").c_str(), 0755);
  ::symlink(pfx.Outside().c_str(), pfx.C("Program Files/escape").c_str());
  ::symlink(pfx.dir().c_str(), pfx.C("up").c_str());
  ::symlink((pfx.Outside() + "/victim.txt").c_str(), pfx.C("victimlink.txt").c_str());
  std::string zVictim;
  ASSERT_TRUE(p->UnixToWindowsPath(pfx.Outside() + "/victim.txt", &zVictim));
  ASSERT_EQ(zVictim.substr(0, 3), "Z:\\");
  std::string zDir = zVictim.substr(0, zVictim.size() - 11);
  std::string tmp;

  struct Case {
    const char* what;
    std::function<bool()> call;
  };
  const Case cases[] = {
      {"delete through z:", [&] { return p->DeleteFile(zVictim); }},
      {"write through z:", [&] { return p->WriteFile(zVictim, {'x'}); }},
      {"append through z:", [&] { return p->AppendFile(zVictim, {'x'}); }},
      {"attributes through z:", [&] { return p->SetFileAttributes(zVictim, kAttrReadOnly); }},
      {"remove folder through z:", [&] { return p->RemoveDirectory(zDir + "\\dir"); }},
      {"create folder through z:", [&] { return p->CreateDirectory(zDir + "\\new"); }},
      {"delete through a link", [&] { return p->DeleteFile("C:\\Program Files\\escape\\victim.txt"); }},
      {"write through a link", [&] { return p->WriteFile("C:\\PROGRA~1\\escape\\victim.txt", {'x'}); }},
      {"write to a linked file", [&] { return p->WriteFile("C:\\victimlink.txt", {'x'}); }},
      {"copy over a linked file", [&] { return p->CopyFile("C:\\Program Files\\Vell Tile\\readme.txt", "C:\\victimlink.txt", false); }},
      {"move out", [&] { return p->MoveFile("C:\\Program Files\\Vell Tile\\readme.txt", "C:\\Program Files\\escape\\r.txt", true); }},
      {"move in", [&] { return p->MoveFile("C:\\Program Files\\escape\\victim.txt", "C:\\v.txt", true); }},
      {"delayed delete", [&] { return p->MoveFileDelayed(zVictim, "", false); }},
      {"delayed move", [&] { return p->MoveFileDelayed("C:\\Program Files\\Vell Tile\\readme.txt", "C:\\Program Files\\escape\\x", true); }},
      {"temp file", [&] { return p->GetTempFileName("C:\\Program Files\\escape", "QZW", 0, &tmp); }},
      {"hive through a link", [&] { return p->DeleteFile("C:\\up\\system.reg"); }},
      {"drive link", [&] { return p->DeleteFile("C:\\up\\dosdevices\\c:"); }},
      {"drive root", [&] { return p->RemoveDirectory("C:\\"); }},
      {"drive root by dots", [&] { return p->RemoveDirectory("C:\\windows\\..\\..\\.."); }},
      {"ini through z:", [&] { return p->WriteProfileString(zVictim, "s", "k", "v"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    size_t before = p->Refusals().size();
    EXPECT_FALSE(c.call());
    EXPECT_EQ(p->Refusals().size(), before + 1);
    EXPECT_NE(p->LastError().find("outside the Wine prefix"), std::string::npos) << p->LastError();
  }
  EXPECT_EQ(test::ReadText(pfx.Outside() + "/victim.txt"), "keep me");
  struct stat st;
  EXPECT_EQ(::stat((pfx.Outside() + "/dir").c_str(), &st), 0);
  EXPECT_EQ(::stat((pfx.dir() + "/system.reg").c_str(), &st), 0);
  EXPECT_TRUE(p->PendingRenames().empty());
  // Reading through such paths is harmless and allowed.
  EXPECT_TRUE(p->FileExists("C:\\Program Files\\escape\\victim.txt"));
  // The link itself lies inside the prefix and may go.
  EXPECT_TRUE(p->DeleteFile("C:\\victimlink.txt"));
  EXPECT_EQ(test::ReadText(pfx.Outside() + "/victim.txt"), "keep me");
}

}  // namespace
}  // namespace yarb
