// The walk over whole logs: the order of its steps, the modes, and what each kind of entry
// leaves behind.
#include <algorithm>

#include "WalkFixture.h"

namespace yarb {
namespace {

using test::LabelOf;
using test::ReadText;
using test::Walk;
using test::WriteText;

const char* kHeader = "***  Installation Started 12/08/2026 10:00 ***";
const char* kTitle = "Title: Quilo Installation";
const char* kPrograms = "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

void MakeLink(Walk& w, const std::string& group, const std::string& name, const std::string& target) {
  ShellLinkInfo link;
  link.target = target;
  ASSERT_TRUE(w.platform->CreateShellLink(std::string(kPrograms) + "\\" + group + "\\" + name + ".lnk", link));
}

TEST(WalkOrder, EveryRecordKindInItsStep) {
  Walk w;
  w.pfx.Dir("APP/Quilo/Samples");
  for (const char* f : {"APP/Quilo/VellTile.exe", "APP/Quilo/vellfx.dll", "APP/Quilo/Quilo.ini",
                        "APP/Quilo/Samples/a.bmp", "windows/syswow64/vellgif.dll", "windows/win.ini"})
    w.pfx.File(f, "x");
  w.SetValue(RegRoot::LocalMachine, "Software\\Quilo\\Cache\\Deep", "n", RegValue::Sz("1"));
  w.SetValue(RegRoot::LocalMachine, "Software\\Quilo", "Version", RegValue::Sz("1"));
  w.SetValue(RegRoot::LocalMachine, "Software\\Vendor", "Where", RegValue::Sz("new"));
  w.SetValue(RegRoot::LocalMachine, "Software\\Borland\\Database Engine", "UseCount", RegValue::Sz("1"));
  MakeLink(w, "Quilo", "Quilo", "C:\\APP\\Quilo\\VellTile.exe");
  w.Parse({kHeader, kTitle,
           "Made Dir: C:\\APP\\Quilo",
           "File Copy: C:\\APP\\Quilo\\VellTile.exe",
           "File Copy: C:\\APP\\Quilo\\vellfx.dll",
           "Self-Register: C:\\APP\\Quilo\\vellfx.dll",
           "Non-System File:",
           "File Copy: C:\\windows\\system32\\vellgif.dll",
           "File Tree: C:\\APP\\Quilo\\Samples",
           "INI New: Quilo", "INI File: C:\\APP\\Quilo\\Quilo.ini",
           "INI File: C:\\windows\\win.ini", "INI Sect: Quilo", "INI Item: Path", "INI Val: C:\\APP",
           "RegDB Key: Software\\Quilo", "RegDB Val: 1", "RegDB Name: Version", "RegDB Root: 2",
           "RegDB Key: Software\\Vendor", "RegDB Val: new", "RegDB Name: Where", "RegDB Root: 2",
           "RegDB Old: old",
           "RegDB Tree: Software\\Quilo\\Cache", "RegDB Root: 2",
           "Icon Group: Quilo", "Icon Name: Quilo", "Icon Cmd: C:\\APP\\Quilo\\VellTile.exe",
           "Execute Path: C:\\APP\\Quilo\\VellTile.exe", "Execute Name: Quilo Setup",
           "Create Service: VellSvc",
           "SubSystem: BDE 5"});
  ASSERT_TRUE(w.platform->WriteProfileString("C:\\windows\\win.ini", "Quilo", "Path", "C:\\APP"));

  EXPECT_EQ(w.Run(), WalkResult::Done);

  std::vector<int> order;
  for (const std::string& s : w.ui.statuses) {
    const int id = LabelOf(s);
    if (id && (order.empty() || order.back() != id)) order.push_back(id);
  }
  EXPECT_EQ(order, (std::vector<int>{57, 58, 44, 33, 34, 40, 29, 30, 32, 31, 36, 35, 56, 37}));
  EXPECT_EQ(w.engine->ProgressDone(), w.engine->ProgressTotal());

  for (const char* f : {"APP/Quilo/VellTile.exe", "APP/Quilo/Quilo.ini", "APP/Quilo/Samples",
                        "windows/syswow64/vellgif.dll", "APP/INSTALL.LOG", "APP/Quilo/vellfx.dll"})
    EXPECT_FALSE(w.Exists(f)) << f;
  std::string value;
  EXPECT_FALSE(w.platform->GetProfileString("C:\\windows\\win.ini", "Quilo", "Path", "", &value));
  // The created value's key still held the tree when step 17 came to it.
  EXPECT_FALSE(w.HasValue(RegRoot::LocalMachine, "Software\\Quilo", "Version"));
  EXPECT_FALSE(w.platform->RegKeyExists(RegRoot::LocalMachine, "Software\\Quilo\\Cache"));
  RegValue where;
  ASSERT_TRUE(w.HasValue(RegRoot::LocalMachine, "Software\\Vendor", "Where", &where));
  EXPECT_EQ(where.AsString(), "old");
  EXPECT_EQ(w.platform->QueryService("VellSvc"), ServiceState::Missing);
  EXPECT_FALSE(w.platform->RegKeyExists(RegRoot::LocalMachine, "Software\\Borland"));
  EXPECT_FALSE(w.platform->FileExists(std::string(kPrograms) + "\\Quilo"));
}

// Custom with nothing selected changes nothing of its own, but a rollback still restores the
// latest installation's backups and cuts the log back to the first installation.
TEST(WalkModes, CustomNothingSelectedStillRollsBack) {
  Walk w;
  w.pfx.Dir("APP/BAK");
  w.pfx.File("APP/gone.txt", "second");
  w.pfx.File("APP/BAK/gone.txt", "first");
  w.pfx.File("APP/edited.ini", "edited");
  w.pfx.File("APP/BAK/edited.ini", "original");
  w.pfx.File("APP/new.dll", "x");
  const std::string first = std::string(kHeader) + "\r\n" + kTitle + "\r\n" +
                            "File Copy: C:\\APP\\new.dll\r\n";
  const std::string second = std::string(kHeader) + "\r\n" +
                             "File Delete: C:\\APP\\gone.txt\r\nBackup Copy: C:\\APP\\BAK\\gone.txt\r\n"
                             "File Edit: C:\\APP\\edited.ini\r\nBackup Copy: C:\\APP\\BAK\\edited.ini\r\n"
                             "File Copy: C:\\APP\\new.dll\r\n";
  w.ParseText(first + second);

  EXPECT_EQ(w.Run(UninstallMode::Custom, true), WalkResult::Done);
  EXPECT_EQ(ReadText(w.C("APP/gone.txt")), "first");
  EXPECT_EQ(ReadText(w.C("APP/edited.ini")), "original");
  EXPECT_TRUE(w.Exists("APP/new.dll"));
  EXPECT_EQ(ReadText(w.C("APP/INSTALL.LOG")), first);
  for (const std::string& s : w.ui.statuses) EXPECT_NE(LabelOf(s), 29) << s;
}

// An external program: a stored path with a switch after a blank runs the file with that
// switch; blanks that belong to the file name run the whole path with the mode word.
TEST(WalkPrograms, SwitchAfterABlank) {
  struct Case {
    const char* file;   // below drive_c
    const char* entry;  // as logged
    UninstallMode mode;
    const char* expected;  // what Wine was asked to run
  };
  const Case cases[] = {
      {"APP/setup.exe", "C:\\APP\\setup.exe /remove", UninstallMode::Automatic, "C:\\APP\\setup.exe|/remove"},
      {"APP/My Tool.exe", "C:\\APP\\My Tool.exe", UninstallMode::Automatic, "C:\\APP\\My Tool.exe|Automatic"},
      {"APP/My Tool.exe", "C:\\APP\\My Tool.exe /x /y", UninstallMode::Custom, "C:\\APP\\My Tool.exe|/x|/y"},
      {"APP/setup.exe", "C:\\APP\\setup.exe", UninstallMode::Custom, "C:\\APP\\setup.exe|Custom"},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.File(c.file, "MZ");
    // A stand-in for wine that writes down what it was asked to run.
    const std::string record = w.pfx.Outside() + "/ran.txt";
    const std::string fake = w.pfx.Outside() + "/wine";
    WriteText(fake, "#!/bin/sh\nIFS='|'; echo \"$*\" >> '" + record + "'\n");
    ::chmod(fake.c_str(), 0755);
    w.platform->SetWineProgram(fake);
    w.Parse({kHeader, kTitle, std::string("Execute Path: ") + c.entry});
    for (ProgramEntry& p : w.log.programs) p.selected = true;
    w.Run(c.mode);
    EXPECT_EQ(ReadText(record), std::string(c.expected) + "\n") << c.entry;
  }
}

// Created values: only the value goes from a key that holds others; the last value of a
// chain takes every key up to the first that still holds something.
TEST(WalkRegistry, CreatedValuesAndTheirKeys) {
  Walk w;
  w.SetValue(RegRoot::LocalMachine, "Software\\Shared", "Ours", RegValue::Sz("1"));
  w.SetValue(RegRoot::LocalMachine, "Software\\Shared", "Theirs", RegValue::Sz("2"));
  w.SetValue(RegRoot::LocalMachine, "Software\\Maker", "Other", RegValue::Sz("keep"));
  w.SetValue(RegRoot::LocalMachine, "Software\\Maker\\Quilo\\Settings", "", RegValue::Sz("default"));
  w.SetValue(RegRoot::CurrentUser, "Software\\Maker\\Quilo", "Window", RegValue::Dword(3));
  w.Parse({kHeader, kTitle,
           "RegDB Key: Software\\Shared", "RegDB Val: 1", "RegDB Name: Ours", "RegDB Root: 2",
           "RegDB Key: Software\\Maker\\Quilo\\Settings", "RegDB Val: default", "RegDB Root: 2",
           "RegDB Key: Software\\Maker\\Quilo", "RegDB Val: 3", "RegDB Name: Window", "RegDB Root: 1"});
  w.Run();
  EXPECT_FALSE(w.HasValue(RegRoot::LocalMachine, "Software\\Shared", "Ours"));
  EXPECT_TRUE(w.HasValue(RegRoot::LocalMachine, "Software\\Shared", "Theirs"));
  EXPECT_FALSE(w.platform->RegKeyExists(RegRoot::LocalMachine, "Software\\Maker\\Quilo"));
  EXPECT_TRUE(w.HasValue(RegRoot::LocalMachine, "Software\\Maker", "Other"));
  // The chain of the current user's value ends at Software, which holds other keys.
  EXPECT_FALSE(w.platform->RegKeyExists(RegRoot::CurrentUser, "Software\\Maker"));
  EXPECT_TRUE(w.platform->RegKeyExists(RegRoot::CurrentUser, "Software"));
}

// A directory holding files the log does not know: kept when only empty folders go,
// emptied when a tree record made it or the user chose it in Custom mode.
TEST(WalkDirectories, UnknownFilesByMode) {
  struct Case {
    const char* record;
    UninstallMode mode;
    bool gone;
  };
  const Case cases[] = {
      {"Made Dir: C:\\DATA\\Quilo", UninstallMode::Automatic, false},
      {"File Tree: C:\\DATA\\Quilo", UninstallMode::Automatic, true},
      {"File Tree: C:\\DATA\\Quilo\\*.*", UninstallMode::Automatic, true},
      {"Made Dir: C:\\DATA\\Quilo", UninstallMode::Custom, true},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.Dir("DATA/Quilo/sub");
    w.pfx.File("DATA/Quilo/sub/user.txt", "mine");
    w.Parse({kHeader, kTitle, c.record});
    for (DirEntry& d : w.log.directories) d.selected = true;
    w.Run(c.mode);
    EXPECT_EQ(!w.Exists("DATA/Quilo"), c.gone) << c.record;
    EXPECT_TRUE(w.Exists("DATA")) << c.record;
    if (!c.gone) {
      EXPECT_TRUE(w.Report().Has(ReportKind::Kept, "C:\\DATA\\Quilo\\")) << c.record;
    }
  }
}

// Program Manager: an icon whose group holds more leaves the group; the last icon of a
// group takes the group, except the start-up group.
TEST(WalkIcons, LastIconOfAGroup) {
  Walk w;
  MakeLink(w, "Quilo", "Quilo", "C:\\APP\\VellTile.exe");
  MakeLink(w, "Quilo", "Help", "C:\\APP\\Quilo.hlp");
  MakeLink(w, "Tools", "Quilo Tool", "C:\\APP\\tool.exe");
  MakeLink(w, "Tools", "Other", "C:\\OTHER\\other.exe");
  MakeLink(w, "StartUp", "Quilo Agent", "C:\\APP\\agent.exe");
  w.Parse({kHeader, kTitle,
           "Icon Group: Quilo", "Icon Name: Quilo", "Icon Cmd: C:\\APP\\VellTile.exe",
           "Icon Group: Quilo", "Icon Name: Help", "Icon Cmd: C:\\APP\\Quilo.hlp",
           "Icon Group: Tools", "Icon Name: Quilo Tool", "Icon Cmd: C:\\APP\\tool.exe",
           "Icon Group: StartUp", "Icon Name: Quilo Agent", "Icon Cmd: C:\\APP\\agent.exe"});
  w.Run();
  const std::string programs = kPrograms;
  EXPECT_FALSE(w.platform->FileExists(programs + "\\Quilo"));
  EXPECT_TRUE(w.platform->FileExists(programs + "\\Tools\\Other.lnk"));
  EXPECT_FALSE(w.platform->FileExists(programs + "\\Tools\\Quilo Tool.lnk"));
  EXPECT_TRUE(w.platform->FileExists(programs + "\\StartUp"));
  EXPECT_FALSE(w.platform->FileExists(programs + "\\StartUp\\Quilo Agent.lnk"));
}

// The menu entries Wine made for a removed shortcut go at once; other prefixes' and other
// shortcuts' entries stay, and an icon another entry still uses stays.
TEST(WalkIcons, LinuxMenuEntriesOfRemovedShortcuts) {
  Walk w;
  MakeLink(w, "Quilo", "Quilo", "C:\\APP\\VellTile.exe");
  MakeLink(w, "Quilo", "Help", "C:\\APP\\Quilo.hlp");
  char real[PATH_MAX];
  ASSERT_NE(::realpath(w.pfx.dir().c_str(), real), nullptr);
  const std::string data = w.pfx.Outside() + "/data";
  const std::string apps = data + "/applications/wine/Programs/Quilo";
  const std::string icons = data + "/icons/hicolor/32x32/apps";
  const std::string menus = w.pfx.Outside() + "/config/menus/applications-merged";
  for (const std::string& d : {apps, icons, menus}) {
    for (size_t i = 1; i <= d.size(); ++i)
      if (i == d.size() || d[i] == '/') ::mkdir(d.substr(0, i).c_str(), 0755);
  }
  auto entry = [&](const std::string& prefix, const std::string& link, const std::string& icon) {
    return "[Desktop Entry]\nName=x\nExec=env WINEPREFIX=\"" + prefix +
           "\" wine C:\\\\\\\\users\\\\\\\\tester\\\\\\\\AppData\\\\\\\\Roaming\\\\\\\\Microsoft\\\\\\\\Windows"
           "\\\\\\\\Start\\\\ Menu\\\\\\\\Programs\\\\\\\\Quilo\\\\\\\\" + link + "\nType=Application\nIcon=" + icon + "\n";
  };
  WriteText(apps + "/Quilo.desktop", entry(real, "Quilo.lnk", "1A2B_VellTile.0"));
  WriteText(apps + "/Help.desktop", entry(real, "Help.lnk", "3C4D_shared.0"));
  WriteText(apps + "/Elsewhere.desktop", entry("/home/other/.wine", "Quilo.lnk", "3C4D_shared.0"));
  WriteText(icons + "/1A2B_VellTile.0.png", "png");
  WriteText(icons + "/3C4D_shared.0.png", "png");
  WriteText(menus + "/wine-Programs-Quilo-Quilo.menu", "<Menu/>");
  w.Parse({kHeader, kTitle,
           "Icon Group: Quilo", "Icon Name: Quilo", "Icon Cmd: C:\\APP\\VellTile.exe",
           "Shell Link: C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Quilo\\Help.lnk"});
  for (FileEntry& f : w.log.privateFiles) f.defaultRemove = true;
  w.Run();
  struct stat st;
  EXPECT_NE(::lstat((apps + "/Quilo.desktop").c_str(), &st), 0);
  EXPECT_NE(::lstat((apps + "/Help.desktop").c_str(), &st), 0);
  EXPECT_EQ(::lstat((apps + "/Elsewhere.desktop").c_str(), &st), 0);
  EXPECT_NE(::lstat((icons + "/1A2B_VellTile.0.png").c_str(), &st), 0);
  EXPECT_EQ(::lstat((icons + "/3C4D_shared.0.png").c_str(), &st), 0);
  EXPECT_NE(::lstat((menus + "/wine-Programs-Quilo-Quilo.menu").c_str(), &st), 0);
  EXPECT_TRUE(w.Report().Has(ReportKind::Removed, apps + "/Quilo.desktop"));
}

// Mended: a "Made Dir: " of a parent merged into a wildcard or tree entry used to make that
// entry "every file under the parent".
TEST(WalkMended, MadeDirNeverWidensATreeEntry) {
  for (const char* tree : {"File Tree: C:\\DATA\\Quilo\\*.TXT", "File Tree: C:\\DATA\\Quilo"}) {
    Walk w;
    w.pfx.Dir("DATA/Quilo");
    w.pfx.File("DATA/Quilo/a.txt", "x");
    w.pfx.File("DATA/keep.dat", "user");
    w.Parse({kHeader, kTitle, tree, "Made Dir: C:\\DATA"});
    w.Run();
    EXPECT_TRUE(w.Exists("DATA/keep.dat")) << tree;
    EXPECT_FALSE(w.Exists("DATA/Quilo/a.txt")) << tree;
  }
}

// Mended: the log folder and the folder records meet in long form, whichever way each
// spells "Program Files".
TEST(WalkMended, AliasesAndLongNamesMeet) {
  struct Case {
    const char* logPath;
    const char* record;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Quilo\\INSTALL.LOG", "Made Dir: C:\\PROGRA~1\\Quilo"},
      {"C:\\PROGRA~1\\Quilo\\INSTALL.LOG", "Made Dir: C:\\Program Files\\Quilo"},
      {"C:\\Program Files\\Quilo\\Data\\INSTALL.LOG", "Made Dir: C:\\PROGRA~1\\QUILO"},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.Dir("Program Files/Quilo/Data");
    w.logPath = c.logPath;
    w.Parse({kHeader, kTitle, c.record});
    ASSERT_EQ(w.log.directories.size(), 1u) << c.record;
    const std::string longFolder = w.platform->ToLongPath(w.parsed.logFolder);
    EXPECT_TRUE(EqualNoCase(longFolder, "C:\\Program Files\\Quilo\\") ||
                EqualNoCase(longFolder, "C:\\Program Files\\Quilo"))
        << c.record << " -> " << w.parsed.logFolder;
    w.Run();
    EXPECT_FALSE(w.Exists("Program Files/Quilo")) << c.record;
    EXPECT_TRUE(w.Exists("Program Files")) << c.record;
  }
}

// Mended: while a wineserver holds the prefix nothing changes and the user is told first;
// the walk goes on once the programs are closed.
TEST(WalkMended, RunningPrefixChangesNothing) {
  {
    Walk w;
    w.pfx.File("APP/a.dll", "x");
    w.Parse({kHeader, kTitle, "File Copy: C:\\APP\\a.dll"});
    const int fd = w.StartServer();
    EXPECT_EQ(w.Run(), WalkResult::PrefixBusy);
    ::close(fd);
    EXPECT_TRUE(w.Exists("APP/a.dll"));
    EXPECT_TRUE(w.Exists("APP/INSTALL.LOG"));
    ASSERT_EQ(w.ui.questions.size(), 1u);
    EXPECT_NE(w.ui.questions[0].find("Programs are still running"), std::string::npos);
    EXPECT_EQ(w.Report().Count(ReportKind::Removed), 0);
  }
  {
    Walk w;
    w.pfx.File("APP/a.dll", "x");
    w.Parse({kHeader, kTitle, "File Copy: C:\\APP\\a.dll"});
    int fd = w.StartServer();
    w.ui.boxes = {BoxAnswer::Ok};
    w.ui.onQuestion = [&] { ::close(fd); };  // the user closes the programs, then presses OK
    EXPECT_EQ(w.Run(), WalkResult::Done);
    EXPECT_FALSE(w.Exists("APP/a.dll"));
  }
}

// Cancel ends the step it is in and every later step that tests it.
TEST(WalkModes, CancelStopsTheListSteps) {
  Walk w;
  for (const char* f : {"APP/a.dll", "APP/b.dll", "APP/c.dll"}) w.pfx.File(f, "x");
  w.SetValue(RegRoot::LocalMachine, "Software\\Quilo", "v", RegValue::Sz("1"));
  w.Parse({kHeader, kTitle, "File Copy: C:\\APP\\a.dll", "File Copy: C:\\APP\\b.dll",
           "File Copy: C:\\APP\\c.dll",
           "RegDB Key: Software\\Quilo", "RegDB Val: 1", "RegDB Name: v", "RegDB Root: 2"});
  w.ui.cancelAfterStatuses = 1;
  EXPECT_EQ(w.Run(), WalkResult::Cancelled);
  EXPECT_FALSE(w.Exists("APP/a.dll"));
  EXPECT_TRUE(w.Exists("APP/b.dll"));
  EXPECT_TRUE(w.Exists("APP/INSTALL.LOG"));  // not deleted after a cancel
  EXPECT_TRUE(w.HasValue(RegRoot::LocalMachine, "Software\\Quilo", "v"));
}

}  // namespace
}  // namespace yarb
