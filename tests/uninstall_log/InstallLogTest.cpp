#include "InstallLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Dump.h"
#include "FakePlatform.h"

namespace yarb {
namespace {

using test::Dump;
using test::FakePlatform;
using test::ScriptedUi;
using Strings = std::vector<std::string>;

constexpr char kLogPath[] = "C:\\WINDOWS\\INSTALL.LOG";  // no folder entry of its own

std::string Join(const Strings& lines, const char* end = "\r\n") {
  std::string s;
  for (const std::string& l : lines) s += l + end;
  return s;
}

class InstallLogTest : public ::testing::Test {
 public:
  void SetUp() override {
    for (const char* f : {"C:\\APP\\A.EXE", "C:\\APP\\B.DLL", "C:\\APP\\SHARED.DLL",
                          "C:\\WINDOWS\\SYSTEM\\S.DLL", "C:\\WINDOWS\\W.DLL",
                          "C:\\WINDOWS\\SYSTEM\\WIN32S\\W32.DLL", "C:\\APP\\APP.INI",
                          "C:\\APP\\EDIT.TXT", "A:\\F.TXT", "B:\\G.TXT", "C:\\APP\\LONGNAME.DLL",
                          "C:\\APP\\LONGNA~1.DLL"})
      platform.AddFile(f);
    platform.SetValue(RegRoot::LocalMachine,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                      "C:\\APP\\SHARED.DLL", RegValue::Dword(3));
    platform.SetValue(RegRoot::CurrentUser,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Start Menu", RegValue::Sz("C:\\WINDOWS\\Profiles\\joe\\Start Menu"));
    platform.SetValue(RegRoot::LocalMachine,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Common Start Menu",
                      RegValue::Sz("C:\\WINDOWS\\Profiles\\All Users\\Start Menu"));
    platform.longNames["C:\\APP\\LONGNA~1.DLL"] = "C:\\APP\\LONGNAME.DLL";
  }

  // Parses a log made of the standard first lines and `body`.
  Strings ParseBody(const Strings& body, const char* end = "\r\n") {
    return ParseText("*** \r\nTitle: App\r\n" + Join(body, end));
  }
  Strings ParseText(const std::string& text) {
    result = ParseInstallLogBytes(platform, ui, kLogPath, text, &log);
    EXPECT_TRUE(result.ok);
    return Dump(log);
  }

  FakePlatform platform;
  ScriptedUi ui;
  InstallLog log;
  ParseResult result;
};

struct RecordCase {
  const char* name;
  Strings body;
  Strings expected;
};

void RunCases(InstallLogTest* t, const std::vector<RecordCase>& cases) {
  for (const RecordCase& c : cases) EXPECT_EQ(t->ParseBody(c.body), c.expected) << c.name;
}

TEST_F(InstallLogTest, FileRecords) {
  RunCases(this, {
      {"attributes after a blank and a bar",
       {"File Copy: C:\\APP\\A.EXE | 05-14-1999 | 10:20:30 | 1234 | 8d3f0a1c"},
       {"P C:\\APP\\A.EXE i1 s1x1 a= 05-14-1999 | 10:20:30 | 1234 | 8d3f0a1c"}},
      {"prefixes in any case",
       {"FILE COPY: C:\\APP\\A.EXE", "file overwrite: C:\\APP\\SHARED.DLL"},
       {"P C:\\APP\\A.EXE i1 s1x1", "P C:\\APP\\SHARED.DLL i1 s1x1"}},
      {"copied in two installations",
       {"File Copy: C:\\APP\\A.EXE", "*** ", "File Copy: c:\\app\\a.exe"},
       {"P C:\\APP\\A.EXE i2 s2x2"}},
      {"counter ignored on the second copy",
       {"File Copy: C:\\APP\\A.EXE", "*** ", "Shared DLL counter ignored:",
        "File Copy: C:\\APP\\A.EXE"},
       {"P C:\\APP\\A.EXE i2 s1x1"}},
      {"counter ignored on the first copy",
       {"SHARED DLL COUNTER IGNORED:", "File Copy: C:\\APP\\A.EXE"}, {"P C:\\APP\\A.EXE i1 s0x0"}},
      {"system folders: windows, system, win32s; non-system mark selects",
       {"File Copy: C:\\WINDOWS\\W.DLL", "Non-System File:", "File Copy: C:\\WINDOWS\\SYSTEM\\S.DLL",
        "File Copy: C:\\WINDOWS\\SYSTEM\\WIN32S\\W32.DLL"},
       {"S C:\\WINDOWS\\W.DLL i1 s1x1", "S C:\\WINDOWS\\SYSTEM\\S.DLL i1 s1x1 sel",
        "S C:\\WINDOWS\\SYSTEM\\WIN32S\\W32.DLL i1 s1x1"}},
      {"both marks before one record",
       {"Non-System File:", "Shared DLL counter ignored:", "File Copy: C:\\WINDOWS\\W.DLL"},
       {"S C:\\WINDOWS\\W.DLL i1 s0x0 sel"}},
      {"mark does not select a private file and is used up by the next line",
       {"Non-System File:", "File Copy: C:\\APP\\A.EXE", "File Copy: C:\\WINDOWS\\W.DLL"},
       {"P C:\\APP\\A.EXE i1 s1x1", "S C:\\WINDOWS\\W.DLL i1 s1x1"}},
      {"link info and backup, backup keeps the file",
       {"Shell Link: C:\\APP\\A.EXE", "Link Info: C:\\APP\\A.EXE|C:\\APP|", "Backup Copy: C:\\BAK\\A.EXE"},
       {"P C:\\APP\\A.EXE i1 s1x1 b=C:\\BAK\\A.EXE@1 l=C:\\APP\\A.EXE|C:\\APP| keep"}},
      {"backup before link info: link info line is a record of its own",
       {"File Copy: C:\\APP\\A.EXE", "Backup Copy: C:\\BAK\\A.EXE", "Link Info: x"},
       {"P C:\\APP\\A.EXE i1 s1x1 b=C:\\BAK\\A.EXE@1 keep"}},
      {"second copy with backup replaces backup, attributes replaced",
       {"File Copy: C:\\APP\\A.EXE|old", "*** ", "File Copy: C:\\APP\\A.EXE", "Backup Copy: C:\\BAK\\2"},
       {"P C:\\APP\\A.EXE i2 s2x2 b=C:\\BAK\\2@2"}},
      {"missing file goes to repair-only, again updates it",
       {"File Copy: C:\\APP\\GONE.DLL|a1", "*** ", "File Copy: c:\\app\\gone.dll|a2"},
       {"R C:\\APP\\GONE.DLL i2 a=a2"}},
      {"removable floppy: dropped, or repair-only with attributes",
       {"File Copy: A:\\F.TXT", "File Copy: a:\\F2.TXT|attr", "File Copy: B:\\G.TXT"},
       {"P B:\\G.TXT i1 s1x1", "R a:\\F2.TXT i1 a=attr"}},
      {"unshared overwrite: without backup dropped, with backup kept",
       {"File Overwrite: C:\\APP\\A.EXE", "File Overwrite: C:\\APP\\B.DLL", "Backup Copy: C:\\BAK\\B.DLL"},
       {"P C:\\APP\\B.DLL i1 s1x1 b=C:\\BAK\\B.DLL@1 keep"}},
      {"shared overwrite without backup is removable",
       {"File Overwrite: C:\\APP\\SHARED.DLL"}, {"P C:\\APP\\SHARED.DLL i1 s1x1"}},
      {"dropped overwrite hands its attributes to the known entry",
       {"File Copy: C:\\APP\\A.EXE|one", "*** ", "*** ", "File Overwrite: C:\\APP\\A.EXE|three"},
       {"P C:\\APP\\A.EXE i1 s1x1 a=three at3"}},
      {"dropped system overwrite looks in the system list",
       {"File Copy: C:\\WINDOWS\\W.DLL", "File Overwrite: C:\\WINDOWS\\W.DLL", "Link Info: L"},
       {"S C:\\WINDOWS\\W.DLL i1 s1x1 l=L at1"}},
      {"dropped overwrite of an unknown file goes to repair-only",
       {"File Overwrite: C:\\APP\\B.DLL | attr"}, {"R C:\\APP\\B.DLL i1 a= attr"}},
      {"empty path makes nothing", {"File Copy: ", "File Copy:  | attr"}, {}},
      {"shell link in a user profile is not ours with a per-user id",
       {"Per-User ID: {1234}", "Shell Link: C:\\WINDOWS\\Profiles\\joe\\Start Menu\\A.LNK",
        "Shell Link: C:\\WINDOWS\\Profiles\\All Users\\Start Menu\\B.LNK|x"},
       {"R C:\\WINDOWS\\Profiles\\All Users\\Start Menu\\B.LNK i1 a=x"}},
      {"without a per-user id the profile link counts",
       {"Shell Link: C:\\WINDOWS\\Profiles\\joe\\Start Menu\\A.LNK"},
       {"R C:\\WINDOWS\\Profiles\\joe\\Start Menu\\A.LNK i1"}},
      {"device and self-register, matched through the long name",
       {"File Copy: C:\\APP\\LONGNA~1.DLL", "File Copy: C:\\APP\\B.DLL", "*** ",
        "Self-Register: C:\\APP\\LONGNAME.DLL", "Add Device: c:\\app\\b.dll"},
       {"P C:\\APP\\LONGNA~1.DLL i1 s1x1 reg2", "P C:\\APP\\B.DLL i1 s1x1 dev2"}},
      {"files logged after the first self-register are found too; devices in the system list",
       {"Self-Register: C:\\NONE.DLL", "File Copy: C:\\APP\\LONGNAME.DLL",
        "File Copy: C:\\WINDOWS\\W.DLL", "Self-Register: C:\\APP\\LONGNA~1.DLL",
        "Add Device: C:\\WINDOWS\\W.DLL"},
       {"P C:\\APP\\LONGNAME.DLL i1 s1x1 reg1", "S C:\\WINDOWS\\W.DLL i1 s1x1 dev1"}},
  });
}

TEST_F(InstallLogTest, RegistryGroups) {
  RunCases(this, {
      {"key without val stores nothing; the name line is its own record",
       {"RegDB Key: Software\\X", "RegDB Name: N", "RegDB Val: v"}, {}},
      {"created value with every follow-up",
       {"RegDB Key: Software\\X", "RegDB Val: 42", "RegDB Val: ignored", "RegDB Name: Count",
        "RegDB Type: 3", "RegDB Root: 2"},
       {"K 2(2) Software\\X 'Count' i1", "W K0 t3 42"}},
      {"default root and type",
       {"REGDB KEY: Software\\X", "regdb val: hello"}, {"K 0(0) Software\\X '' i1", "W K0 t0 hello"}},
      {"follow-ups out of order end the group",
       {"RegDB Key: K", "RegDB Val: v", "RegDB Root: 2", "RegDB Name: N"},
       {"K 2(2) K '' i1", "W K0 t0 v"}},
      {"same created value in two installations: one entry, two writes",
       {"RegDB Key: K", "RegDB Val: 1", "RegDB Root: 2", "*** ", "RegDB Key: k", "RegDB Val: 2",
        "RegDB Root: 2"},
       {"K 2(2) K '' i2", "W K0 t0 1", "W K0 t0 2"}},
      {"root text is part of the key",
       {"RegDB Key: K", "RegDB Val: 1", "RegDB Root: 2", "RegDB Key: K", "RegDB Val: 1",
        "RegDB Root: 02"},
       {"K 2(2) K '' i1", "K 2(02) K '' i1", "W K0 t0 1", "W K1 t0 1"}},
      {"changed value keeps first and latest old data",
       {"RegDB Key: K", "RegDB Val: new", "RegDB Type: 2", "RegDB Old: a", "RegDB Old: b", "*** ",
        "RegDB Key: K", "RegDB Val: newer", "RegDB Old: new"},
       {"E 0(0) K '' t2 a|b|| / new|| i2", "W E0 t2 new", "W E0 t0 newer"}},
      {"current-user root dropped with a per-user id",
       {"Per-User ID: u", "RegDB Key: K", "RegDB Val: v", "RegDB Root: 1", "RegDB Key: K",
        "RegDB Val: v", "RegDB Root: 2"},
       {"K 2(2) K '' i1", "W K0 t0 v"}},
      {"registry trees by key and root",
       {"RegDB Tree: Software\\T", "RegDB Root: 2", "RegDB Tree: SOFTWARE\\T", "RegDB Root: 2",
        "RegDB Tree: Software\\T", "*** ", "RegDB Tree: Software\\t", "RegDB Root: 2"},
       {"T 2 Software\\T i2", "T 0 Software\\T i1"}},
  });
}

TEST_F(InstallLogTest, IniRecords) {
  RunCases(this, {
      {"item changed twice keeps both old values",
       {"INI File: C:\\APP\\APP.INI", "INI Sect: S", "INI Item: K", "INI Val: 2", "INI Old: 1",
        "*** ", "INI File: c:\\app\\app.ini", "INI Sect: s", "INI Item: k", "INI Val: 3",
        "INI Old: 2"},
       {"I C:\\APP\\APP.INI [S] K 1/2 i2"}},
      {"item without old value did not exist",
       {"INI File: C:\\NEW.INI", "INI Sect: S", "INI Item: K", "INI Val: v"},
       {"I C:\\NEW.INI [S] K / i1"}},
      {"missing section drops the group; the next line is its own record",
       {"INI File: C:\\APP\\APP.INI", "INI Item: K", "INI Val: v", "Create Service: Svc"},
       {"V Svc i1"}},
      {"floppy INI path drops the group",
       {"INI File: A:\\X.INI", "INI Sect: S", "INI Item: K", "INI Val: v"}, {}},
      {"new INI file; its items are skipped up to the next INI File",
       {"INI New: whatever", "INI File: C:\\APP\\APP.INI", "INI Sect: S", "INI Item: K",
        "INI Val: v", "ini old: o", "INI File: C:\\APP\\APP.INI", "INI Sect: T", "INI Item: K",
        "INI Val: v"},
       {"F C:\\APP\\APP.INI i1", "I C:\\APP\\APP.INI [T] K / i1"}},
      {"new INI file that does not exist makes no entry but still skips",
       {"INI New: x", "INI File: C:\\NONE.INI", "INI Sect: S", "INI Item: K", "INI Val: v"}, {}},
      {"new INI file known from an earlier installation",
       {"INI New: x", "INI File: C:\\APP\\APP.INI", "*** ", "INI New: x",
        "INI File: C:\\APP\\APP.INI"},
       {"F C:\\APP\\APP.INI i2"}},
  });
}

TEST_F(InstallLogTest, DirectoryRecords) {
  RunCases(this, {
      {"subfolder after parent leaves the parent",
       {"Made Dir: C:\\APP", "Made Dir: C:\\APP\\DATA"}, {"D C:\\APP\\ t0 m1"}},
      {"parent after subfolder cuts the entry",
       {"Made Dir: C:\\APP\\DATA", "*** ", "Made Dir: C:\\APP\\"}, {"D C:\\APP\\ t0 m2"}},
      {"siblings sharing a start stay apart",
       {"Made Dir: C:\\APP", "Made Dir: C:\\APPX"}, {"D C:\\APP\\ t0 m1", "D C:\\APPX\\ t0 m1"}},
      {"roots, relative and odd paths are not taken",
       {"Made Dir: C:\\", "Made Dir: C:", "Made Dir: APP\\X", "Made Dir: 1:\\X", "File Tree: C:\\*.*"},
       {}},
      {"UNC path taken", {"Made Dir: \\\\SRV\\SHARE\\APP"}, {"D \\\\SRV\\SHARE\\APP\\ t0 m1"}},
      {"file tree drops \\*.* and is found by exact path",
       {"File Tree: C:\\APP\\DATA\\*.*", "*** ", "File Tree: c:\\app\\data"},
       {"D C:\\APP\\DATA\\ t2 m2"}},
      {"file tree with a wildcard keeps it",
       {"File Tree: C:\\APP\\*.TMP"}, {"D C:\\APP\\*.TMP t1 m1"}},
  });
}

TEST_F(InstallLogTest, OtherRecords) {
  RunCases(this, {
      {"file delete needs its backup; a second one replaces the backup",
       {"File Delete: C:\\APP\\OLD.TXT", "Create Service: S", "File Delete: C:\\APP\\X.TXT",
        "Backup Copy: C:\\BAK\\1", "*** ", "File Delete: c:\\app\\x.txt", "Backup Copy: C:\\BAK\\2"},
       {"V S i1", "DB C:\\APP\\X.TXT <- C:\\BAK\\2 i2"}},
      {"file edit only with a backup of an existing file off the floppy",
       {"File Edit: C:\\APP\\EDIT.TXT", "Backup Copy: C:\\BAK\\E", "File Edit: C:\\APP\\NONE.TXT",
        "Backup Copy: C:\\BAK\\N", "File Edit: A:\\F.TXT", "Backup Copy: C:\\BAK\\F",
        "File Edit: C:\\APP\\EDIT.TXT", "*** ", "File Edit: C:\\APP\\EDIT.TXT",
        "Backup Copy: C:\\BAK\\E2"},
       {"EB C:\\APP\\EDIT.TXT <- C:\\BAK\\E2 i2"}},
      {"services and programs: known ones get the installation, programs keep their name",
       {"Create Service: Svc", "Execute Path: C:\\APP\\SETUP.EXE /x", "Execute Name: Setup",
        "*** ", "create service: SVC", "Execute Program: c:\\app\\setup.exe /x",
        "Execute Name: Other", "Execute Program: C:\\APP\\CFG.EXE"},
       {"X C:\\APP\\SETUP.EXE /x (Setup) i2", "X C:\\APP\\CFG.EXE () i2", "V Svc i2"}},
      {"icons: both follow-ups needed; a known one only gets the command",
       {"Icon Group: G", "Icon Name: N", "Icon Cmd: C:\\A.EXE", "Icon Group: G", "Icon Cmd: x",
        "*** ", "Icon Group: g", "Icon Name: n", "Icon Cmd: C:\\B.EXE"},
       {"C G/N=C:\\B.EXE i1"}},
      {"only the database-engine sub-system, the last one wins",
       {"SubSystem: Other", "SubSystem: BDE 1", "subsystem: bde 2"}, {"B bde 2"}},
      {"unknown lines are ignored", {"Hello", "File Copy:C:\\APP\\A.EXE", "Backup Copy: x"}, {}},
  });
}

TEST_F(InstallLogTest, CrOnlyAndCrLfAndBlankLinesReadTheSame) {
  const Strings body = {"File Copy: C:\\APP\\A.EXE", "RegDB Key: K", "RegDB Val: v",
                        "Made Dir: C:\\APP", "INI File: C:\\APP\\APP.INI", "INI Sect: S",
                        "INI Item: I", "INI Val: v"};
  const Strings crlf = ParseBody(body);
  EXPECT_EQ(ParseBody(body, "\r"), crlf);
  EXPECT_EQ(ParseBody(body, "\r\n\r\n\n"), crlf);
  EXPECT_EQ(crlf.size(), 5u);
}

TEST_F(InstallLogTest, HeaderRecordsAndProductData) {
  ParseText(
      "*** Installation started\r\n"
      "Uninstall MIF: skipped before the title\r\n"
      "Title: Quilo Tile Editor INSTALL INSTALLATION\r\n"
      "Uninstall MIF: QUILO.MIF\r\nManufacturer: Vell\r\nProduct: Quilo\r\n"
      "Version Number: 1.2\r\nSerial Number: 123\r\nPer-User ID: {42}\r\n"
      "Delete in-use files: Onward\r\nSystem Restore: Enabled\r\n"
      "Source: D:\\SETUP.EXE | 01-02-2000 | 03:04:05 | 1000\r\n"
      "*** \r\nSource: E:\\SETUP.EXE\r\nTitle: Second Title Installation\r\n");
  const LogHeader& h = log.header;
  EXPECT_EQ(h.title, "Second Title");
  EXPECT_EQ(h.statusMifFile, "QUILO.MIF");
  EXPECT_EQ(h.manufacturer, "Vell");
  EXPECT_EQ(h.product, "Quilo");
  EXPECT_EQ(h.versionNumber, "1.2");
  EXPECT_EQ(h.serialNumber, "123");
  EXPECT_EQ(h.perUserId, "{42}");
  EXPECT_TRUE(h.deleteInUseFiles);
  EXPECT_TRUE(h.systemRestore);
  EXPECT_TRUE(h.repairAvailable);
  EXPECT_FALSE(h.backupsExist);
  ASSERT_EQ(log.installations.size(), 2u);
  EXPECT_EQ(log.installations[0].source, "D:\\SETUP.EXE | 01-02-2000 | 03:04:05 | 1000");
  EXPECT_EQ(log.installations[1].source, "E:\\SETUP.EXE");

  ParseText("*** \r\nTitle: Quilo INSTALL INSTALLATION\r\nDelete in-use files: Off\r\n");
  EXPECT_EQ(log.header.title, "Quilo");
  EXPECT_FALSE(log.header.deleteInUseFiles);
  EXPECT_FALSE(log.header.repairAvailable);
}

TEST_F(InstallLogTest, BackupsExistFlag) {
  ParseBody({"File Copy: C:\\APP\\GONE.DLL", "Backup Copy: C:\\BAK\\G"});
  EXPECT_TRUE(log.header.backupsExist);
  ParseBody({"File Delete: C:\\X", "Backup Copy: C:\\BAK\\X"});
  EXPECT_TRUE(log.header.backupsExist);
  ParseBody({"File Edit: C:\\APP\\EDIT.TXT", "Backup Copy: C:\\BAK\\E"});
  EXPECT_FALSE(log.header.backupsExist);
}

TEST_F(InstallLogTest, OemHeaderConvertsFileDirectoryAndIniPathsOnly) {
  // 0x81 is u-umlaut in code page 437 and 0xFC in Windows-1252.
  const std::string oem = "C:\\M\x81SIK";
  ParseText("*** X\r\nTitle: T\r\nFile Copy: " + oem + "\\A.DLL\r\nMade Dir: " + oem +
            "\r\nINI File: " + oem + "\\A.INI\r\nINI Sect: S\x81\r\nINI Item: I\r\nINI Val: v\r\n"
            "RegDB Key: " + oem + "\r\nRegDB Val: v\r\nCreate Service: S\x81\r\n"
            "***  ANSI again\r\nFile Copy: " + oem + "\\B.DLL\r\n");
  const std::string ansi = "C:\\M\xFCSIK";
  EXPECT_EQ(Dump(log), (Strings{
      "R " + ansi + "\\A.DLL i1", "R " + oem + "\\B.DLL i2", "D " + ansi + "\\ t0 m1",
      "I " + ansi + "\\A.INI [S\x81] I / i1", "K 0(0) " + oem + " '' i1", "W K0 t0 v",
      "V S\x81 i1"}));
}

TEST_F(InstallLogTest, LogFolderIsPreSeededAndCutByMadeDir) {
  platform.shortNames["C:\\Program Files\\Quilo\\Data"] = "C:\\PROGRA~1\\QUILO\\DATA";
  result = ParseInstallLogBytes(platform, ui, "C:\\Program Files\\Quilo\\Data\\INSTALL.LOG",
                                "*** \r\nTitle: T\r\nMade Dir: C:\\PROGRA~1\\QUILO\\DATA\r\n"
                                "Made Dir: C:\\PROGRA~1\\QUILO\r\nMade Dir: C:\\PROGRA~1\\QUILO\\BIN\r\n",
                                &log);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.logFolder, "C:\\PROGRA~1\\QUILO\\");
  // The pre-seeded folder was cut to the parent by the second Made Dir.
  EXPECT_EQ(Dump(log), (Strings{"D C:\\PROGRA~1\\QUILO\\ t0 m1"}));

  result = ParseInstallLogBytes(platform, ui, "C:\\Program Files\\Quilo\\Data\\INSTALL.LOG",
                                "*** \r\nTitle: T\r\nMade Dir: C:\\OTHER\r\n", &log);
  EXPECT_EQ(result.logFolder, "C:\\PROGRA~1\\QUILO\\DATA\\");
  EXPECT_EQ(Dump(log), (Strings{"D C:\\PROGRA~1\\QUILO\\DATA\\ t0 m32767", "D C:\\OTHER\\ t0 m1"}));
}

TEST_F(InstallLogTest, LogFolderAtDriveRootOrInSystemFolders) {
  const std::string text = "*** \r\nTitle: T\r\nMade Dir: C:\\APP\r\n";
  for (const char* path : {"C:\\INSTALL.LOG", "c:\\windows\\INSTALL.LOG",
                           "C:\\WINDOWS\\SYSTEM\\INSTALL.LOG"}) {
    result = ParseInstallLogBytes(platform, ui, path, text, &log);
    EXPECT_EQ(Dump(log), (Strings{"D C:\\APP\\ t0 m1"})) << path;
  }
  // A name without a folder lies in the current directory.
  platform.currentDir = "C:\\WORK\\";
  result = ParseInstallLogBytes(platform, ui, "INSTALL.LOG", text, &log);
  EXPECT_EQ(result.logFolder, "C:\\WORK\\");
}

TEST_F(InstallLogTest, RejectsBadHeaders) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"no header", "Title: T\r\n"},
      {"header without its blank", "***\r\nTitle: T\r\n"},
      {"no title", "*** \r\nFile Copy: C:\\APP\\A.EXE\r\n"},
      {"title in other case", "*** \r\ntitle: T\r\n"},
  };
  for (const auto& [name, text] : cases) {
    ui.events.clear();
    result = ParseInstallLogBytes(platform, ui, kLogPath, text, &log);
    EXPECT_FALSE(result.ok) << name;
    EXPECT_EQ(ui.events, (Strings{"close progress",
                                  "message Yarb Uninstall: Invalid INSTALL.LOG file."}))
        << name;
  }
  // "Title:" without a blank is still the header's title line.
  ParseText("*** \r\nOther\r\nTitle:\r\n");
  EXPECT_EQ(log.header.title, "");
}

TEST_F(InstallLogTest, CannotOpen) {
  result = ParseInstallLog(platform, ui, "C:\\NOWHERE\\INSTALL.LOG", &log);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(ui.events, (Strings{"close progress",
                                "message Yarb Uninstall: Could not open INSTALL.LOG file."}));
}

TEST_F(InstallLogTest, ParsesFromFileWithProgress) {
  const std::string text = "*** \r\nTitle: T\r\n" + std::string(20000, ' ') + "\r\n";
  platform.AddFile(kLogPath, text);
  result = ParseInstallLog(platform, ui, kLogPath, &log);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(ui.progress, (std::vector<uint64_t>{16384, text.size()}));
  EXPECT_EQ(ui.lastSize, text.size());
  EXPECT_TRUE(ui.events.empty());
}

TEST_F(InstallLogTest, AdministratorCheck) {
  const std::string text = "*** \r\nTitle: T\r\nUser Rights: Admin\r\nuser rights: admin\r\n";
  ParseText(text);
  EXPECT_EQ(platform.scmCalls, 1);
  EXPECT_TRUE(log.header.adminCheckDone);

  platform.version.nt = false;  // 9x: no check at all
  platform.scmOpens = false;
  ParseText(text);
  EXPECT_EQ(platform.scmCalls, 1);

  platform.version.nt = true;
  result = ParseInstallLogBytes(platform, ui, kLogPath, text, &log);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(ui.events,
            (Strings{"close progress",
                     "message Uninstall: This software was installed under an account with "
                     "administrator rights. You should log onto an account with administrator "
                     "rights to uninstall this software."}));
}

TEST_F(InstallLogTest, LanguageOverridesReachTheMessages) {
  struct GermanUi : ScriptedUi {
    std::string LoadText(int id) override {
      return id == kStrInvalidLog ? "Ungültig" : UninstallUi::LoadText(id);
    }
  } german;
  ParseInstallLogBytes(platform, german, kLogPath, "x", &log);
  EXPECT_EQ(german.events.back(), "message Yarb Uninstall: Ungültig");
}

TEST_F(InstallLogTest, FieldsAreCutNeverOverflowed) {
  const std::string longPath = "C:\\" + std::string(400, 'P');
  const std::string longText(400, 't');
  std::string body = "*** \r\nTitle: " + longText + "\r\nProduct: " + longText +
                     "\r\nPer-User ID: " + longText + "\r\nFile Copy: " + longPath + "|" +
                     longText + "\r\nINI File: " + longPath + "\r\nINI Sect: " + longText +
                     "\r\nINI Item: I\r\nINI Val: v\r\nINI Old: " + std::string(900, 'o') +
                     "\r\nRegDB Key: " + longPath + "\r\nRegDB Val: " + std::string(3000, 'v') +
                     "\r\nRegDB Name: " + longText + "\r\n";
  for (int i = 0; i < 3; ++i) body += "RegDB Old: " + std::string(1000, char('a' + i)) + "\r\n";
  body += "Made Dir: " + longPath + "\r\nCreate Service: " + longText + "\r\n";
  ParseText(body);
  EXPECT_EQ(log.header.title.size(), 127u);
  EXPECT_EQ(log.header.product.size(), 127u);
  EXPECT_EQ(log.header.perUserId.size(), 255u);
  ASSERT_EQ(log.repairOnlyFiles.size(), 1u);
  EXPECT_EQ(log.repairOnlyFiles[0].path.size(), 259u);
  EXPECT_EQ(log.repairOnlyFiles[0].installAttributes.size(), 79u);
  ASSERT_EQ(log.iniItems.size(), 1u);
  EXPECT_EQ(log.iniItems[0].iniPath.size(), 259u);
  EXPECT_EQ(log.iniItems[0].section.size(), 255u);
  EXPECT_EQ(log.iniItems[0].firstOldValue.size(), 511u);
  ASSERT_EQ(log.regEdits.size(), 1u);
  EXPECT_EQ(log.regEdits[0].keyPath.size(), 259u);
  EXPECT_EQ(log.regEdits[0].valueName.size(), 255u);
  // Two strings fit whole; the third is cut so that it, its NUL and the list's NUL end at 2048.
  const std::string& old = log.regEdits[0].firstOldData;
  ASSERT_EQ(old.size(), 2048u);
  EXPECT_EQ(old.substr(0, 1001), std::string(1000, 'a') + '\0');
  EXPECT_EQ(old.substr(1001, 1001), std::string(1000, 'b') + '\0');
  EXPECT_EQ(old.substr(2002), std::string(44, 'c') + '\0' + '\0');
  EXPECT_LE(log.regWrites[0].newData.size(), 2047u);
  ASSERT_EQ(log.directories.size(), 1u);
  EXPECT_EQ(log.directories[0].path.size(), 259u);
  EXPECT_EQ(log.directories[0].path.back(), '\\');
  EXPECT_EQ(log.services[0].name.size(), 255u);
}

TEST_F(InstallLogTest, CapacitiesHold) {
  std::string text = "*** \r\nTitle: T\r\n";
  for (int i = 0; i < 1100; ++i) text += "*** \r\nCreate Service: S" + std::to_string(i) + "\r\n";
  for (int i = 0; i < 16000; ++i) text += "Made Dir: C:\\D" + std::to_string(i) + "\r\n";
  ParseText(text);
  EXPECT_EQ(log.installations.size(), 1023u);
  EXPECT_EQ(log.services.size(), 1100u);
  EXPECT_EQ(log.services.back().installation, 1023);
  EXPECT_EQ(log.directories.size(), 16000u);
  EXPECT_EQ(log.directories.back().path, "C:\\D15999\\");
  // The latest header is the 1022nd "*** " after the first: the last one the log can number.
  const size_t at = text.find("*** \r\nCreate Service: S1021\r\n");
  EXPECT_EQ(log.latestHeaderOffset, at);

  std::string big = "*** \r\nTitle: T\r\n";
  for (int i = 0; i < 48005; ++i)
    big += "RegDB Key: K" + std::to_string(i) + "\r\nRegDB Val: v\r\n";
  ParseText(big);
  EXPECT_EQ(log.regKeys.size(), 48000u);
  EXPECT_EQ(log.regWrites.size(), 48000u);
}

}  // namespace
}  // namespace yarb
