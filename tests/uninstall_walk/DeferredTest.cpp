// Shared files, the database engine, devices, files in use and the restart, each over a
// small prefix.
#include "WalkFixture.h"

namespace yarb {
namespace {

using test::ReadText;
using test::Walk;
using test::WriteText;

const char* kHeader = "***  Installation Started 12/08/2026 10:00 ***";
const char* kTitle = "Title: Quilo Installation";
const char* kShared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A private file counted in the shared table: the count goes down by the installations
// that counted it; at zero the user decides, and the table value goes either way.
TEST(SharedFiles, CountsAndAnswers) {
  struct Case {
    const char* name;
    RegValue count;
    int copies;  // File Copy records of the file
    std::vector<SharedAnswer> answers;
    bool silent;
    bool fileStays;
    bool valueStays;
    uint32_t left;  // the count left when the value stays
    size_t prompts;
  };
  const Case cases[] = {
      {"3 for two copies", RegValue::Dword(3), 2, {}, false, true, true, 1, 0},
      {"text count written back as a number", RegValue::Sz("3"), 1, {}, false, true, true, 2, 0},
      {"4-byte binary count", RegValue::Binary({5, 0, 0, 0}), 1, {}, false, true, true, 4, 0},
      {"2 for two copies, Yes", RegValue::Dword(2), 2, {SharedAnswer::Yes}, false, false, false, 0, 1},
      {"reaches 0, No", RegValue::Dword(1), 1, {SharedAnswer::No}, false, true, false, 0, 1},
      {"silent keeps without asking", RegValue::Dword(1), 1, {SharedAnswer::Yes}, true, true, false, 0, 0},
      {"other type: not counted", RegValue::MultiSz({"1"}), 1, {}, false, false, true, 0, 0},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.File("APP/vellgif.dll", "x");
    w.SetValue(RegRoot::LocalMachine, kShared, "C:\\APP\\vellgif.dll", c.count);
    std::vector<std::string> lines{kHeader, kTitle};
    for (int i = 0; i < c.copies; ++i) lines.push_back("File Copy: C:\\APP\\vellgif.dll");
    w.Parse(lines);
    w.ui.shared.assign(c.answers.begin(), c.answers.end());
    w.engine->silent = c.silent;
    w.Run();
    EXPECT_EQ(w.Exists("APP/vellgif.dll"), c.fileStays) << c.name;
    RegValue v;
    EXPECT_EQ(w.HasValue(RegRoot::LocalMachine, kShared, "C:\\APP\\vellgif.dll", &v), c.valueStays) << c.name;
    if (c.valueStays && c.left) {
      uint32_t n = 0;
      EXPECT_EQ(v.type, kRegDword) << c.name;
      EXPECT_TRUE(v.AsDword(&n) && n == c.left) << c.name << " left " << n;
    }
    EXPECT_EQ(w.ui.questions.size(), c.prompts) << c.name;
  }
}

TEST(SharedFiles, PromptTextAndToAllAnswers) {
  for (SharedAnswer first : {SharedAnswer::YesToAll, SharedAnswer::NoToAll}) {
    Walk w;
    for (const char* f : {"APP/a.dll", "APP/b.dll", "APP/c.dll"}) w.pfx.File(f, "x");
    for (const char* f : {"C:\\APP\\a.dll", "C:\\APP\\b.dll", "C:\\APP\\c.dll"})
      w.SetValue(RegRoot::LocalMachine, kShared, f, RegValue::Dword(1));
    w.Parse({kHeader, kTitle, "File Copy: C:\\APP\\a.dll", "File Copy: C:\\APP\\b.dll",
             "File Copy: C:\\APP\\c.dll"});
    w.ui.shared = {first};
    w.Run();
    ASSERT_EQ(w.ui.questions.size(), 1u);
    // Shared-use pass runs last logged first.
    EXPECT_EQ(w.ui.questions[0],
              "Remove Shared Component: The system indicates that the following shared file is no "
              "longer used by any programs and may be deleted.\n\nC:\\APP\\c.dll\n\nIf any programs "
              "are still using this file and it is removed those programs may not function. Leaving "
              "this file will not harm your system. If you are not sure what to do, you should select "
              "the No to All button. Do you want to remove the shared file?");
    const bool gone = first == SharedAnswer::YesToAll;
    for (const char* f : {"APP/a.dll", "APP/b.dll", "APP/c.dll"}) EXPECT_EQ(!w.Exists(f), gone) << f;
  }
}

// A file in use: with "Delete in-use files: On" it waits for the next start (the pending
// list on NT, WININIT.INI on 9x) and a restart is asked for; with the flag off it stays.
TEST(InUseFiles, DeletedOrReplacedAtRestart) {
  for (bool nt : {true, false}) {
    for (bool allowed : {true, false}) {
      Walk w;
      if (!nt) w.SetValue(RegRoot::CurrentUser, "Software\\Wine", "Version", RegValue::Sz("win98"));
      w.pfx.Dir("APP/BAK");
      w.pfx.File("APP/busy.dll", "new");
      w.pfx.File("APP/locked.exe", "new");
      w.pfx.File("APP/BAK/locked.exe", "old");
      const std::string head = std::string(kHeader) + "\r\n" + kTitle + "\r\n" +
                               (allowed ? "Delete in-use files: On\r\n" : "");
      w.ParseText(head + "File Copy: C:\\APP\\busy.dll\r\n" + std::string(kHeader) + "\r\n" +
                  "File Overwrite: C:\\APP\\locked.exe\r\nBackup Copy: C:\\APP\\BAK\\locked.exe\r\n");
      w.platform->inUse = {"C:\\APP\\BUSY.DLL", "C:\\APP\\LOCKED.EXE"};
      w.Run(UninstallMode::Automatic, true);  // rollback of installation 2: locked.exe's backup
      w.engine->RemoveFile("C:\\APP\\busy.dll", "", false);
      const std::string what = std::string(nt ? "NT" : "9x") + (allowed ? " allowed" : " off");
      EXPECT_TRUE(w.Exists("APP/busy.dll")) << what;
      EXPECT_EQ(ReadText(w.C("APP/locked.exe")), "new") << what;
      const auto pending = w.platform->PendingRenames();
      const std::string wininit = ReadText(w.C("windows/WININIT.INI"));
      if (!allowed) {
        // The replacement of a file in use still waits for the restart; the deletion does not.
        EXPECT_EQ(wininit.find("NUL="), std::string::npos) << what;
        for (const auto& p : pending) EXPECT_NE(p.first, "\\??\\C:\\APP\\busy.dll") << what;
        continue;
      }
      EXPECT_TRUE(w.engine->restartNeeded) << what;
      if (nt) {
        // The removal schedules the deletion; the restore then the deletion and the move.
        const std::string locked = "\\??\\C:\\APP\\locked.exe";
        ASSERT_EQ(pending.size(), 4u) << what;
        EXPECT_EQ(pending[0], std::make_pair(locked, std::string())) << what;
        EXPECT_EQ(pending[1], std::make_pair(locked, std::string())) << what;
        EXPECT_EQ(pending[2].second, locked) << what;
        EXPECT_NE(pending[2].first.find("~QZX0000.TMP"), std::string::npos) << what;
        EXPECT_EQ(pending[3], std::make_pair(std::string("\\??\\C:\\APP\\busy.dll"), std::string())) << what;
        EXPECT_TRUE(wininit.empty()) << what;
      } else {
        EXPECT_TRUE(pending.empty()) << what;
        EXPECT_EQ(wininit.rfind("[rename]\r\n", 0), 0u) << wininit;
        EXPECT_NE(wininit.find("C:\\APP\\locked.exe=C:\\APP\\~QZX0000.TMP"), std::string::npos) << "[" << wininit << "]";
        EXPECT_NE(wininit.find("NUL=C:\\APP\\busy.dll\r\n"), std::string::npos) << wininit;
      }
      EXPECT_EQ(ReadText(w.C("APP/~QZX0000.TMP")), "old") << what;
      EXPECT_FALSE(w.Exists("APP/BAK/locked.exe")) << what;
      EXPECT_TRUE(w.Report().Has(ReportKind::Scheduled, "C:\\APP\\busy.dll")) << what;
    }
  }
}

// Without Wine the restart cannot happen now: the run says the work waits, and a user who
// cancels the question clears the need.
TEST(InUseFiles, RestartDecision) {
  struct Case {
    bool silent;
    std::vector<BoxAnswer> answers;
    size_t questions;
    bool stillNeeded;
  };
  const Case cases[] = {
      {false, {BoxAnswer::Cancel}, 1, false},
      {false, {BoxAnswer::Ok}, 1, true},
      {true, {}, 0, true},
  };
  for (const Case& c : cases) {
    Walk w;
    w.Parse({kHeader, kTitle});
    w.engine->silent = c.silent;
    w.engine->restartNeeded = true;
    w.ui.boxes.assign(c.answers.begin(), c.answers.end());
    EXPECT_FALSE(w.engine->DecideRestart());
    EXPECT_EQ(w.ui.questions.size(), c.questions);
    if (c.questions) {
      EXPECT_EQ(w.ui.questions[0], "Uninstall: This uninstall must reboot your computer to replace/delete "
                                   "files that were in-use. Press the OK button to reboot your computer.");
    }
    EXPECT_EQ(w.engine->restartNeeded, c.stillNeeded);
    bool waits = false;
    for (const ReportLine& l : w.Report().Lines())
      waits = waits || (l.kind == ReportKind::Note && l.reason.find("next time a program") != std::string::npos);
    EXPECT_TRUE(waits);
  }
}

TEST(Devices,386EnhLines) {
  struct Case {
    const char* line;
    const char* section;
    bool commented;
  };
  const Case cases[] = {
      {"device=velldrv.386", "[386Enh]", true},
      {"DEVICE=C:\\windows\\system32\\VELLDRV.386", "  [386enh]", true},
      {"device = velldrv.386", "[386Enh]", false},  // not a "device=" line
      {"device=*vellvxd", "[386Enh]", false},
      {"device=velldrv.386", "[boot]", false},
      {"device=other.386", "[386Enh]", false},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.File("windows/syswow64/velldrv.386", "x");
    const std::string before = std::string("[boot]\r\nshell=x\r\n\r\n") + c.section + "\r\n" + c.line +
                               "\r\n[next]\r\ndevice=velldrv.386\r\n";
    w.pfx.File("windows/SYSTEM.INI", before);
    w.Parse({kHeader, kTitle});
    w.engine->RemoveDeviceLine("C:\\windows\\system32\\velldrv.386");
    std::string expected = before;
    if (c.commented) expected.insert(expected.find(c.line), ";");
    EXPECT_EQ(ReadText(w.C("windows/SYSTEM.INI")), expected) << c.line;
    EXPECT_FALSE(w.Exists("windows/~QZVK383.TMP"));
  }
}

TEST(DatabaseEngine, UseCountAndServerQuestion) {
  const std::string key = "Software\\Borland\\Database Engine";
  {
    Walk w;
    w.SetValue(RegRoot::LocalMachine, key, "UseCount", RegValue::Sz("3"));
    w.Parse({kHeader, kTitle});
    EXPECT_FALSE(w.engine->RemoveDatabaseEngine());
    RegValue v;
    ASSERT_TRUE(w.HasValue(RegRoot::LocalMachine, key, "UseCount", &v));
    EXPECT_EQ(v.type, kRegSz);
    EXPECT_EQ(v.AsString(), "2");
  }
  struct Case {
    std::vector<BoxAnswer> answers;
    int windowLooks;
    bool aborted;
    size_t questions;
  };
  const Case cases[] = {
      {{BoxAnswer::Retry, BoxAnswer::Retry}, 2, false, 2},  // gone after two looks
      {{BoxAnswer::Ignore}, 5, false, 1},
      {{BoxAnswer::Retry, BoxAnswer::Abort}, 5, true, 2},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.File("APP/a.dll", "x");
    w.SetValue(RegRoot::LocalMachine, key + "\\Settings", "x", RegValue::Sz("1"));
    w.SetValue(RegRoot::LocalMachine, key, "UseCount", RegValue::Dword(1));
    w.SetValue(RegRoot::LocalMachine, "Software\\Borland\\BLW32", "x", RegValue::Sz("1"));
    w.Parse({kHeader, kTitle, "SubSystem: BDE", "File Copy: C:\\APP\\a.dll"});
    w.ui.boxes.assign(c.answers.begin(), c.answers.end());
    w.platform->serverWindowLooks = c.windowLooks;
    EXPECT_EQ(w.Run() == WalkResult::Aborted, c.aborted);
    EXPECT_EQ(w.ui.questions.size(), c.questions);
    EXPECT_EQ(w.platform->RegKeyExists(RegRoot::LocalMachine, "Software\\Borland"), c.aborted);
    EXPECT_EQ(w.Exists("APP/a.dll"), c.aborted);  // Abort ends the whole walk
  }
}

TEST(RegisterValue, EveryTypeConversion) {
  struct Case {
    int type;
    std::string data;
    uint32_t wantType;
    std::vector<uint8_t> wantBytes;
  };
  const Case cases[] = {
      {0, std::string("text\0\0", 6), kRegSz, {'t', 'e', 'x', 't', 0}},
      {1, std::string("%WINDIR%\0\0", 10), kRegExpandSz, {'%', 'W', 'I', 'N', 'D', 'I', 'R', '%', 0}},
      {2, std::string("a\0bc\0\0", 6), kRegMultiSz, {'a', 0, 'b', 'c', 0, 0}},
      {3, std::string("4294967295\0\0", 12), kRegDword, {0xff, 0xff, 0xff, 0xff}},
      {3, std::string("258\0\0", 5), kRegDword, {2, 1, 0, 0}},
      {4, std::string("0a Ff-7g\0\0", 10), kRegBinary, {0x0a, 0xff}},
  };
  for (const Case& c : cases) {
    Walk w;
    w.Parse({kHeader, kTitle});
    w.engine->RegisterValue(2, c.type, "Software\\Conv", "v", c.data, true);
    RegValue v;
    ASSERT_TRUE(w.HasValue(RegRoot::LocalMachine, "Software\\Conv", "v", &v)) << c.type;
    EXPECT_EQ(v.type, c.wantType) << c.type;
    EXPECT_EQ(v.data, c.wantBytes) << c.type;
    // Without create, a missing key stays missing.
    w.engine->RegisterValue(2, c.type, "Software\\Missing", "v", c.data, false);
    EXPECT_FALSE(w.platform->RegKeyExists(RegRoot::LocalMachine, "Software\\Missing"));
  }
}

// Self-registration goes through Wine (regsvr32 for a library, the program's own switch for
// a server program); without Wine it counts as failed, and a file that is no image is left.
TEST(SelfRegistration, ThroughWineOrFailed) {
  std::string pe(128, '\0');
  pe[0] = 'M';
  pe[1] = 'Z';
  pe[60] = 64;
  pe[64] = 'P';
  pe[65] = 'E';
  struct Case {
    const char* file;
    std::string content;
    bool wine;
    const char* ran;  // what Wine was asked to run ("" none)
    ReportKind kind;
  };
  const Case cases[] = {
      {"APP/srv.dll", pe, true, "regsvr32|/s|/u|C:\\APP\\srv.dll", ReportKind::Removed},
      {"APP/srv.dll", pe, false, "", ReportKind::Failed},
      {"APP/srv.exe", "x", true, "C:\\APP\\srv.exe|/UNREGSERVER", ReportKind::Removed},
      {"APP/srv.exe", "x", false, "", ReportKind::Failed},
      {"APP/text.dll", "not an image", true, "", ReportKind::Note},
  };
  for (const Case& c : cases) {
    Walk w;
    w.pfx.File(c.file, c.content);
    const std::string record = w.pfx.Outside() + "/ran.txt";
    if (c.wine) {
      const std::string fake = w.pfx.Outside() + "/wine";
      WriteText(fake, "#!/bin/sh\nIFS='|'; echo \"$*\" >> '" + record + "'\n");
      ::chmod(fake.c_str(), 0755);
      w.platform->SetWineProgram(fake);
    }
    const std::string win = "C:\\APP\\" + std::string(c.file + 4);
    w.Parse({kHeader, kTitle, "File Copy: " + win, "Self-Register: " + win});
    w.Run();
    EXPECT_EQ(ReadText(record), c.ran[0] ? std::string(c.ran) + "\n" : "") << c.file;
    if (c.kind != ReportKind::Note) {
      bool found = false;
      for (const ReportLine& l : w.Report().Lines())
        found = found || (l.kind == c.kind && l.item == win && l.reason.find("registered") != std::string::npos);
      EXPECT_TRUE(found) << c.file << " wine " << c.wine;
    }
    EXPECT_FALSE(w.Exists(c.file)) << c.file;
  }
}

// The report's file name comes from the log's title: it never leaves the report folder.
TEST(RunReportFile, TitleCannotLeaveTheFolder) {
  Walk w;
  const std::string folder = w.pfx.Outside() + "/reports/deep";
  for (const char* title : {"../../escape", "/etc/passwd", "Quilo Installation", ""}) {
    RunReport report;
    report.Add(ReportKind::Removed, "C:\\APP\\a.dll");
    const std::string path = WriteRunReport(folder, title, report.Text(title));
    ASSERT_FALSE(path.empty()) << title;
    EXPECT_EQ(path.rfind(folder + "/", 0), 0u) << path;
    EXPECT_EQ(path.find('/', folder.size() + 1), std::string::npos) << path;
    EXPECT_NE(ReadText(path).find("Removed (1):\n  C:\\APP\\a.dll\n"), std::string::npos) << path;
  }
}

TEST(StatusText, ShortenedToFit) {
  struct Case {
    const char* item;
    StatusItem kind;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Quilo\\Help\\Quilo.hlp", StatusItem::Path, 80, "C:\\Program Files\\Quilo\\Help\\Quilo.hlp"},
      {"C:\\Program Files\\Quilo\\Help\\Quilo.hlp", StatusItem::Path, 25, "C:\\...\\Help\\Quilo.hlp"},
      {"C:\\Program Files\\Quilo\\Help\\Quilo.hlp", StatusItem::Path, 10, "C:\\...\\Quilo.hlp"},
      {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quilo", StatusItem::Key, 10,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Uni..."},
      {"Software\\Yarb\\Quilo", StatusItem::Key, 10, "Software\\Yarb\\Quilo"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitStatusText("Removing File:\r\n", c.item, c.kind, c.width),
              std::string("Removing File:\r\n") + c.expected);
}

}  // namespace
}  // namespace yarb
