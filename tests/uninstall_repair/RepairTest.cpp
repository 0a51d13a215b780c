// Repair: which files are listed for the installer, the list-file lines, the newer-file
// prompt, the installer run per source, the source-path dialog; and rollback's log edit.
#include "RepairFixture.h"

namespace yarb {
namespace {

using test::RepairRig;

const char* kHeader1 = "***  Installation Started 12/08/2026 10:00 ***";
const char* kHeader2 = "***  Installation Started 12/09/2026 11:00 ***";
const char* kHeader3 = "***  Installation Started 12/10/2026 12:00 ***";
const time_t kWhen = 1796720400;  // a fixed day in 2026

TEST(Crc32, KnownValuesAndBlocks) {
  const std::string nine = "123456789";
  EXPECT_EQ(Crc32(std::vector<uint8_t>(nine.begin(), nine.end())), 0xCBF43926u);
  EXPECT_EQ(Crc32({}), 0u);
  // Across the 16 384-byte block edge the result is that of one pass.
  std::vector<uint8_t> big(40000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  EXPECT_EQ(Crc32(big), ~Crc32Update(0xFFFFFFFFu, big.data(), big.size()));
}

TEST(InstallStamp, ParsesTheAttributes) {
  struct Case {
    const char* text;
    bool ok;
    uint16_t date, time;
    uint64_t size;
    uint32_t crc;
    const char* rest;
  };
  const Case cases[] = {
      {" 12-08-2026 | 10:30:58 | 1234 | 89abcdef", true, DosDate(2026, 12, 8), DosTime(10, 30, 58), 1234,
       0x89abcdef, " 89abcdef"},
      {"01-31-1980 | 00:00:01 | 0 | 0 | extra", true, 31 + 32, 0, 0, 0, " 0 | extra"},
      {"12-08-2026 | 10:30", false, 0, 0, 0, 0, ""},       // too short
      {"13-08-2026 | 10:30:58 | 1 | 1", false, 0, 0, 0, 0, ""},  // no month 13
      {"ab-cd-efgh | ij:kl:mn | 1 | 1", false, 0, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    InstallStamp s;
    ASSERT_EQ(ParseInstallStamp(c.text, &s), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(s.dosDate, c.date);
    EXPECT_EQ(s.dosTime, c.time);
    EXPECT_EQ(s.size, c.size);
    EXPECT_EQ(s.crc, c.crc);
    EXPECT_EQ(s.rest, c.rest);
  }
  InstallStamp s;
  ASSERT_TRUE(ParseInstallStamp(" 12-08-2026 | 10:30:58 | 1234 | 89abcdef", &s));
  EXPECT_EQ(ListFileLine("C:\\Q\\a.dll", s),
            "C:\\Q\\a.dll|" + std::to_string(DosDate(2026, 12, 8)) + "|" +
                std::to_string(DosTime(10, 30, 58)) + "| 89abcdef\r\n");
}

// One damaged, one intact, one missing file of one installation.
TEST(Repair, DamagedAndMissingFilesGoToOneInstallerRun) {
  RepairRig r;
  r.File("SRC/setup.exe", "installer", kWhen);
  r.File("APP/a.dat", "hello!", kWhen);
  r.File("APP/b.dat", "intact", kWhen);
  r.File("APP/c.dat", "gone", kWhen);
  const std::string a = r.Attributes("C:\\APP\\a.dat", "hello!");
  const std::string b = r.Attributes("C:\\APP\\b.dat", "intact");
  const std::string c = r.Attributes("C:\\APP\\c.dat", "gone");
  r.Parse({kHeader1, "Title: Quilo Installation", "Source: " + r.Source("C:\\SRC\\setup.exe"),
           "File Copy: C:\\APP\\a.dat |" + a, "File Copy: C:\\APP\\b.dat |" + b,
           "File Copy: C:\\APP\\c.dat |" + c});
  r.File("APP/a.dat", "hellO!", kWhen);  // one byte differs; date, time and size match
  ::unlink(r.pfx.C("APP/c.dat").c_str());

  EXPECT_EQ(r.Repair(), RepairResult::Done);
  ASSERT_EQ(r.platform->runs.size(), 1u);
  const auto& run = r.platform->runs[0];
  EXPECT_EQ(run.command.rfind("\"C:\\SRC\\setup.exe\" /X=C:\\users\\tester\\Temp\\QZW", 0), 0u) << run.command;
  InstallStamp sa, sc;
  ASSERT_TRUE(ParseInstallStamp(a, &sa));
  ASSERT_TRUE(ParseInstallStamp(c, &sc));
  // Reverse log order: c before a; b is intact.
  EXPECT_EQ(run.listText, ListFileLine("C:\\APP\\c.dat", sc) + ListFileLine("C:\\APP\\a.dat", sa));
  EXPECT_FALSE(r.TempFilesLeft());
  EXPECT_TRUE(r.engine->Report().Has(ReportKind::Restored, "C:\\APP\\a.dat"));
}

TEST(Repair, NewerFileAsksAndSilentKeepsIt) {
  struct Case {
    bool silent;
    std::vector<SharedAnswer> answers;
    size_t questions, runs;
  };
  const Case cases[] = {
      {false, {SharedAnswer::No}, 1, 0},
      {false, {SharedAnswer::Yes}, 1, 1},
      {true, {}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.silent);
    RepairRig r;
    r.File("SRC/setup.exe", "installer", kWhen);
    r.File("APP/a.dat", "hello!", kWhen);
    const std::string a = r.Attributes("C:\\APP\\a.dat", "hello!");
    r.Parse({kHeader1, "Title: Quilo", "Source: " + r.Source("C:\\SRC\\setup.exe"),
             "File Copy: C:\\APP\\a.dat |" + a});
    r.File("APP/a.dat", "hello, newer", kWhen + 3 * 86400);
    r.ui.shared.assign(c.answers.begin(), c.answers.end());
    r.Repair(c.silent);
    ASSERT_EQ(r.ui.questions.size(), c.questions);
    if (c.questions)
      EXPECT_EQ(r.ui.questions[0].rfind("Repair Newer File?: The file 'C:\\APP\\a.dat' is newer", 0), 0u);
    EXPECT_EQ(r.platform->runs.size(), c.runs);
    EXPECT_EQ(r.pfx.C("APP/a.dat").empty(), false);
    EXPECT_EQ(test::ReadText(r.pfx.C("APP/a.dat")), "hello, newer");
  }
}

TEST(Repair, TwoInstallationsOfOneSourceShareListAndRun) {
  RepairRig r;
  r.File("SRC/setup.exe", "installer", kWhen);
  r.File("APP/a.dat", "one", kWhen);
  r.File("APP/b.dat", "two", kWhen);
  const std::string src = "Source: " + r.Source("C:\\SRC\\setup.exe");
  r.Parse({kHeader1, "Title: Quilo", src, "File Copy: C:\\APP\\a.dat |" + r.Attributes("C:\\APP\\a.dat", "one"),
           kHeader2, "Title: Quilo", src, "File Copy: C:\\APP\\b.dat |" + r.Attributes("C:\\APP\\b.dat", "two")});
  ::unlink(r.pfx.C("APP/a.dat").c_str());
  ::unlink(r.pfx.C("APP/b.dat").c_str());
  EXPECT_EQ(r.Repair(), RepairResult::Done);
  ASSERT_EQ(r.platform->runs.size(), 1u);
  EXPECT_NE(r.platform->runs[0].listText.find("C:\\APP\\a.dat|"), std::string::npos);
  EXPECT_NE(r.platform->runs[0].listText.find("C:\\APP\\b.dat|"), std::string::npos);
  EXPECT_FALSE(r.TempFilesLeft());
}

TEST(Repair, SourcePathDialog) {
  struct Case {
    std::vector<std::string> entered;
    RepairResult result;
    size_t runs;
  };
  const Case cases[] = {
      {{}, RepairResult::SourceRefused, 0},                            // Cancel
      {{"C:\\nowhere.exe", "C:\\SRC\\moved.exe"}, RepairResult::Done, 1},  // asked again
  };
  for (const Case& c : cases) {
    RepairRig r;
    r.File("SRC/moved.exe", "installer", kWhen);
    r.File("APP/a.dat", "one", kWhen);
    // The log names the installer where it no longer is; the moved copy has its stamp.
    std::string source = r.Source("C:\\SRC\\moved.exe");
    source.replace(0, std::string("C:\\SRC\\moved.exe").size(), "D:\\setup.exe");
    r.Parse({kHeader1, "Title: Quilo", "Source: " + source,
             "File Copy: C:\\APP\\a.dat |" + r.Attributes("C:\\APP\\a.dat", "one")});
    ::unlink(r.pfx.C("APP/a.dat").c_str());
    r.ui.sourcePaths.assign(c.entered.begin(), c.entered.end());
    EXPECT_EQ(r.Repair(), c.result);
    ASSERT_GE(r.ui.questions.size(), 1u);
    EXPECT_EQ(r.ui.questions[0].rfind("Select Installation Pathname: Enter the full pathname", 0), 0u);
    EXPECT_EQ(r.ui.questions[0].find('|'), std::string::npos);  // the attributes show "/"
    ASSERT_EQ(r.platform->runs.size(), c.runs);
    if (c.runs) EXPECT_EQ(r.platform->runs[0].command.rfind("\"C:\\SRC\\moved.exe\" /X=", 0), 0u);
    else EXPECT_TRUE(r.engine->Report().Has(ReportKind::Failed, "C:\\APP\\a.dat"));
    EXPECT_FALSE(r.TempFilesLeft());
  }
}

TEST(Repair, RegistryValuesWrittenAgainAndShortcutMade) {
  RepairRig r;
  r.pfx.Dir("APP/Links");
  r.Parse({kHeader1, "Title: Quilo", "RegDB Key: Software\\Quilo", "RegDB Val: 2.1", "RegDB Name: Version",
           "RegDB Root: 2", "Shell Link: C:\\APP\\Links\\Quilo.lnk",
           "Link Info: C:\\APP\\VellTile.exe | C:\\APP | C:\\APP\\VellTile.exe | 0 | 9 | 0 | -x "});
  EXPECT_EQ(r.Repair(), RepairResult::Done);
  RegValue v;
  ASSERT_TRUE(r.platform->RegQueryValue(RegRoot::LocalMachine, "Software\\Quilo", "Version", &v));
  EXPECT_EQ(v.AsString(), "2.1");
  ShellLinkInfo link;
  ASSERT_TRUE(r.platform->ReadShellLink("C:\\APP\\Links\\Quilo.lnk", &link));
  EXPECT_EQ(link.target, "C:\\APP\\VellTile.exe");
  EXPECT_EQ(link.showCmd, 1);  // the lowest three bits of 9
  EXPECT_EQ(link.arguments, "-x");
}

TEST(Rollback, LogDeletedOrCutBack) {
  for (int installations : {1, 3}) {
    SCOPED_TRACE(installations);
    RepairRig r;
    const char* headers[] = {kHeader1, kHeader2, kHeader3};
    std::vector<std::string> lines;
    std::string kept;
    for (int i = 0; i < installations; ++i) {
      std::vector<std::string> part = {headers[i], "Title: Quilo",
                                       "File Copy: C:\\APP\\f" + std::to_string(i) + ".dat"};
      r.File("APP/f" + std::to_string(i) + ".dat", "x", kWhen);
      for (const auto& l : part) {
        lines.push_back(l);
        if (i < installations - 1) kept += l + "\r\n";
      }
    }
    r.Parse(lines);
    UninstallOptions o;
    o.logPath = r.logPath;
    o.rollback = true;
    EXPECT_EQ(r.engine->PerformUninstall(o), WalkResult::Done);
    if (installations == 1) {
      EXPECT_FALSE(r.platform->FileExists(r.logPath));
    } else {
      EXPECT_EQ(test::ReadText(r.pfx.C("APP/INSTALL.LOG")), kept);
      EXPECT_TRUE(r.platform->FileExists("C:\\APP\\f0.dat"));
      EXPECT_TRUE(r.platform->FileExists("C:\\APP\\f1.dat"));
    }
    EXPECT_FALSE(r.platform->FileExists("C:\\APP\\f" + std::to_string(installations - 1) + ".dat"));
  }
}

}  // namespace
}  // namespace yarb

#include "WizardFinish.h"

namespace yarb {
namespace {

TEST(StatusMifFile, StaysInTheWindowsFolder) {
  struct Case {
    const char* name;
    bool written;
    const char* file;  // below drive_c
  };
  const Case cases[] = {
      {"QUILO.MIF", true, "windows/QUILO.MIF"},
      {"..\\..\\users\\evil.mif", true, "windows/evil.mif"},
      {"C:\\APP\\x.mif", true, "windows/x.mif"},
      {"..", false, nullptr},
      {"", false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::RepairRig r;
    LogHeader h;
    h.statusMifFile = c.name;
    h.product = "Quilo";
    EXPECT_EQ(WriteStatusMif(*r.platform, std::nullopt, h, false, true, {2026, 12, 9, 4, 5, 0}), c.written);
    if (c.file) {
      const std::string text = test::ReadText(r.pfx.C(c.file));
      EXPECT_NE(text.find("\"Canceled by user\""), std::string::npos);
      EXPECT_NE(text.find("\"Quilo\""), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace yarb
