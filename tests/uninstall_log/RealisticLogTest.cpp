// A log as an installer leaves it after a first installation and two upgrades, and the
// rollback edit of that log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Dump.h"
#include "FakePlatform.h"
#include "InstallLog.h"

namespace yarb {
namespace {

using test::Dump;
using test::FakePlatform;
using test::ScriptedUi;
using Strings = std::vector<std::string>;

constexpr char kLog[] = "C:\\PROGRA~1\\QUILO\\INSTALL.LOG";

const char* const kFirst =
    "***  Installation Started 05/14/1999 10:20 ***\r\n"
    "Title: Quilo Tile Editor Installation\r\n"
    "Source: D:\\SETUP.EXE | 05-14-1999 | 10:20:30 | 412345\r\n"
    "Uninstall MIF: QUILO.MIF\r\n"
    "Manufacturer: Vell Software\r\n"
    "Product: Quilo\r\n"
    "Version Number: 1.0\r\n"
    "User Rights: Admin\r\n"
    "Delete in-use files: On\r\n"
    "Made Dir: C:\\PROGRA~1\\QUILO\r\n"
    "Made Dir: C:\\PROGRA~1\\QUILO\\WEBHELP\r\n"
    "File Copy: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE | 05-14-1999 | 10:20:30 | 1200000 | 1a2b3c4d\r\n"
    "File Copy: C:\\PROGRA~1\\QUILO\\WEBHELP\\QUILO.HTM | 05-14-1999 | 10:20:30 | 5000 | 0badf00d\r\n"
    "Non-System File:\r\n"
    "File Copy: C:\\WINDOWS\\SYSTEM\\VELLGIF.DLL | 05-14-1999 | 10:20:30 | 40000 | cafebabe\r\n"
    "Self-Register: C:\\WINDOWS\\SYSTEM\\VELLGIF.DLL\r\n"
    "Shell Link: C:\\WINDOWS\\START MENU\\PROGRAMS\\QUILO.LNK\r\n"
    "Link Info: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE|C:\\PROGRA~1\\QUILO|C:\\PROGRA~1\\QUILO\\VELLTILE.EXE|0|1|0|\r\n"
    "RegDB Key: Software\\Vell\\Quilo\r\n"
    "RegDB Val: C:\\PROGRA~1\\QUILO\r\n"
    "RegDB Name: Path\r\n"
    "RegDB Root: 2\r\n"
    "RegDB Key: .qtl\r\n"
    "RegDB Val: Quilo.Tile\r\n"
    "RegDB Old: \r\n"
    "RegDB Tree: Software\\Vell\\Quilo\\Settings\r\n"
    "RegDB Root: 1\r\n"
    "INI File: C:\\WINDOWS\\WIN.INI\r\n"
    "INI Sect: Extensions\r\n"
    "INI Item: qtl\r\n"
    "INI Val: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE ^.qtl\r\n"
    "Icon Group: Quilo\r\n"
    "Icon Name: Quilo Tile Editor\r\n"
    "Icon Cmd: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE\r\n"
    "Execute Path: C:\\PROGRA~1\\QUILO\\REGFONT.EXE /q\r\n"
    "Execute Name: Font registration\r\n";

const char* const kSecond =
    "***  Installation Started 06/01/1999 09:00 ***\r\n"
    "Title: Quilo Tile Editor Installation\r\n"
    "Source: D:\\SETUP.EXE | 06-01-1999 | 09:00:00 | 413000\r\n"
    "File Overwrite: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE | 06-01-1999 | 09:00:00 | 1250000 | 11223344\r\n"
    "Backup Copy: C:\\PROGRA~1\\QUILO\\BACKUP\\VELLTILE.001\r\n"
    "Shared DLL counter ignored:\r\n"
    "File Copy: C:\\WINDOWS\\SYSTEM\\VELLGIF.DLL | 06-01-1999 | 09:00:00 | 40100 | deadbeef\r\n"
    "File Delete: C:\\PROGRA~1\\QUILO\\OLDHELP.HLP\r\n"
    "Backup Copy: C:\\PROGRA~1\\QUILO\\BACKUP\\OLDHELP.001\r\n"
    "File Edit: C:\\AUTOEXEC.BAT\r\n"
    "Backup Copy: C:\\PROGRA~1\\QUILO\\BACKUP\\AUTOEXEC.001\r\n"
    "RegDB Key: .qtl\r\n"
    "RegDB Val: Quilo.Tile.2\r\n"
    "RegDB Old: Quilo.Tile\r\n"
    "INI File: C:\\WINDOWS\\WIN.INI\r\n"
    "INI Sect: Extensions\r\n"
    "INI Item: qtl\r\n"
    "INI Val: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE ^.qtl\r\n"
    "INI Old: C:\\PROGRA~1\\QUILO\\VELLTILE.EXE ^.qtl\r\n"
    "Create Service: QuiloWatch\r\n";

const char* const kThird =
    "***  Installation Started 07/04/1999 12:00 ***\r\n"
    "Title: Quilo Tile Editor Installation\r\n"
    "Source: E:\\SETUP.EXE\r\n"
    "Made Dir: C:\\PROGRA~1\\QUILO\\SAMPLES\r\n"
    "File Tree: C:\\PROGRA~1\\QUILO\\SAMPLES\\*.*\r\n"
    "File Copy: C:\\PROGRA~1\\QUILO\\SAMPLES\\TILE1.BMP\r\n"
    "Add Device: C:\\WINDOWS\\SYSTEM\\VELLGIF.DLL\r\n"
    "INI New: Quilo settings\r\n"
    "INI File: C:\\PROGRA~1\\QUILO\\VELLTILE.INI\r\n"
    "INI Sect: EffectVals\r\n"
    "INI Item: EffectVals0\r\n"
    "INI Val: 50\r\n"
    "SubSystem: BDE 5.01\r\n"
    "System Restore: Enabled\r\n";

class RealisticLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f :
         {"C:\\PROGRA~1\\QUILO\\VELLTILE.EXE", "C:\\PROGRA~1\\QUILO\\WEBHELP\\QUILO.HTM",
          "C:\\WINDOWS\\SYSTEM\\VELLGIF.DLL", "C:\\WINDOWS\\START MENU\\PROGRAMS\\QUILO.LNK",
          "C:\\AUTOEXEC.BAT", "C:\\PROGRA~1\\QUILO\\SAMPLES\\TILE1.BMP",
          "C:\\PROGRA~1\\QUILO\\VELLTILE.INI"})
      platform.AddFile(f);
    text = std::string(kFirst) + kSecond + kThird;
    platform.AddFile(kLog, text);
  }

  FakePlatform platform;
  ScriptedUi ui;
  InstallLog log;
  std::string text;
};

TEST_F(RealisticLogTest, ThreeInstallations) {
  const ParseResult result = ParseInstallLog(platform, ui, kLog, &log);
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(ui.events.empty());
  EXPECT_EQ(result.logFolder, "C:\\PROGRA~1\\QUILO\\");
  EXPECT_EQ(log.header.title, "Quilo Tile Editor");
  EXPECT_TRUE(log.header.adminCheckDone);
  EXPECT_TRUE(log.header.deleteInUseFiles);
  EXPECT_TRUE(log.header.systemRestore);
  EXPECT_TRUE(log.header.repairAvailable);
  EXPECT_TRUE(log.header.backupsExist);
  ASSERT_EQ(log.installations.size(), 3u);
  EXPECT_EQ(log.installations[2].source, "E:\\SETUP.EXE");
  EXPECT_EQ(log.latestHeaderOffset, std::string(kFirst).size() + std::string(kSecond).size());

  EXPECT_EQ(Dump(log), (Strings{
      "P C:\\PROGRA~1\\QUILO\\VELLTILE.EXE i2 s2x2 b=C:\\PROGRA~1\\QUILO\\BACKUP\\VELLTILE.001@2"
      " a= 06-01-1999 | 09:00:00 | 1250000 | 11223344",
      "P C:\\PROGRA~1\\QUILO\\WEBHELP\\QUILO.HTM i1 s1x1 a= 05-14-1999 | 10:20:30 | 5000 | 0badf00d",
      "P C:\\WINDOWS\\START MENU\\PROGRAMS\\QUILO.LNK i1 s1x1 l=C:\\PROGRA~1\\QUILO\\VELLTILE.EXE"
      "|C:\\PROGRA~1\\QUILO|C:\\PROGRA~1\\QUILO\\VELLTILE.EXE|0|1|0|",
      "P C:\\PROGRA~1\\QUILO\\SAMPLES\\TILE1.BMP i3 s3x1",
      "S C:\\WINDOWS\\SYSTEM\\VELLGIF.DLL i2 s1x1 a= 06-01-1999 | 09:00:00 | 40100 | deadbeef sel"
      " reg1 dev3",
      // The log's own folder: its first Made Dir, and the third installation's Made Dir of a
      // subfolder, fall into it.
      "D C:\\PROGRA~1\\QUILO\\ t0 m3",
      "D C:\\PROGRA~1\\QUILO\\SAMPLES\\ t3 m3",
      "F C:\\PROGRA~1\\QUILO\\VELLTILE.INI i3",
      "I C:\\WINDOWS\\WIN.INI [Extensions] qtl /C:\\PROGRA~1\\QUILO\\VELLTILE.EXE ^.qtl i2",
      "K 2(2) Software\\Vell\\Quilo 'Path' i1",
      "E 0(0) .qtl '' t0 || / Quilo.Tile|| i2",
      "W K0 t0 C:\\PROGRA~1\\QUILO",
      "W E0 t0 Quilo.Tile",
      "W E0 t0 Quilo.Tile.2",
      "T 1 Software\\Vell\\Quilo\\Settings i1",
      "C Quilo/Quilo Tile Editor=C:\\PROGRA~1\\QUILO\\VELLTILE.EXE i1",
      "X C:\\PROGRA~1\\QUILO\\REGFONT.EXE /q (Font registration) i1",
      "V QuiloWatch i2",
      "DB C:\\PROGRA~1\\QUILO\\OLDHELP.HLP <- C:\\PROGRA~1\\QUILO\\BACKUP\\OLDHELP.001 i2",
      "EB C:\\AUTOEXEC.BAT <- C:\\PROGRA~1\\QUILO\\BACKUP\\AUTOEXEC.001 i2",
      "B BDE 5.01",
  }));
}

TEST_F(RealisticLogTest, RollbackKeepsExactlyTheEarlierInstallations) {
  ASSERT_TRUE(ParseInstallLog(platform, ui, kLog, &log).ok);
  EXPECT_EQ(CutLogForRollback(platform, kLog, log.latestHeaderOffset), LogEdit::Cut);
  EXPECT_EQ(platform.files[kLog], std::string(kFirst) + kSecond);

  // The cut log reads as two installations; rolling back again leaves the first.
  ASSERT_TRUE(ParseInstallLog(platform, ui, kLog, &log).ok);
  EXPECT_EQ(log.installations.size(), 2u);
  EXPECT_EQ(CutLogForRollback(platform, kLog, log.latestHeaderOffset), LogEdit::Cut);
  EXPECT_EQ(platform.files[kLog], kFirst);

  // One installation left: the log goes.
  ASSERT_TRUE(ParseInstallLog(platform, ui, kLog, &log).ok);
  EXPECT_EQ(log.latestHeaderOffset, 0u);
  EXPECT_EQ(CutLogForRollback(platform, kLog, log.latestHeaderOffset), LogEdit::Deleted);
  EXPECT_EQ(platform.files.count(kLog), 0u);
}

TEST_F(RealisticLogTest, RollbackCutWithBareCrAndBlankLines) {
  const std::string cr = "*** \rTitle: T\r\r\rFile Copy: X\r\n\n*** second\rFile Copy: Y";
  platform.files[kLog] = cr;
  ASSERT_TRUE(ParseInstallLog(platform, ui, kLog, &log).ok);
  EXPECT_EQ(CutLogForRollback(platform, kLog, log.latestHeaderOffset), LogEdit::Cut);
  EXPECT_EQ(platform.files[kLog], "*** \rTitle: T\r\r\rFile Copy: X\r\n\n");
}

TEST_F(RealisticLogTest, RollbackCutsAHeaderBrokenByLineFeeds) {
  // The reader drops LF anywhere, so "*\n** " is a header line that starts at the first '*'.
  platform.files[kLog] = "*** \r\nTitle: T\r\n*\n** 2\r\nFile Copy: X\r\n";
  ASSERT_TRUE(ParseInstallLog(platform, ui, kLog, &log).ok);
  EXPECT_EQ(log.latestHeaderOffset, 16u);
  EXPECT_EQ(CutLogForRollback(platform, kLog, log.latestHeaderOffset), LogEdit::Cut);
  EXPECT_EQ(platform.files[kLog], "*** \r\nTitle: T\r\n");
}

TEST_F(RealisticLogTest, RollbackRefusesALogThatChanged) {
  ASSERT_TRUE(ParseInstallLog(platform, ui, kLog, &log).ok);
  const std::string changed = "*** \r\nTitle: T\r\n";
  platform.files[kLog] = changed;
  EXPECT_EQ(CutLogForRollback(platform, kLog, log.latestHeaderOffset), LogEdit::Failed);
  EXPECT_EQ(platform.files[kLog], changed);
  EXPECT_EQ(CutLogForRollback(platform, "C:\\NONE.LOG", 5), LogEdit::Failed);
}

TEST_F(RealisticLogTest, DeleteGoesThroughTheGivenDeleter) {
  std::vector<std::string> asked;
  EXPECT_TRUE(DeleteInstallLog(platform, kLog, [&](const std::string& p) {
    asked.push_back(p);
    return true;
  }));
  EXPECT_EQ(asked, (Strings{kLog}));
  EXPECT_EQ(platform.files.count(kLog), 1u);
  EXPECT_TRUE(DeleteInstallLog(platform, kLog));
  EXPECT_EQ(platform.files.count(kLog), 0u);
}

}  // namespace
}  // namespace yarb
