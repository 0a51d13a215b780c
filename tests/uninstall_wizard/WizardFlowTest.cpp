// Settings and text lookup, the wizard's page sequence in its three modes, what leaving a
// page sets, and the status MIF.
#include <gtest/gtest.h>

#include "Settings.h"
#include "Strings.h"
#include "Wizard.h"
#include "WizardFinish.h"

namespace yarb {
namespace {

TEST(Settings, LanguageOverridesAndLook) {
  UninstallSettings s;
  s.LoadIni(
      "[Settings]\r\nFont Character Size=10\r\nText Font=Tahoma\r\nNo Background=0\r\n"
      "Start Red=300\r\nEnd Green=-4\r\n"
      "[Language]\r\nMsg59=Really cancel?|All~changes~stay.\r\nMsg46=Weiter >\r\n"
      "Msg1000=A^B %5%\r\n");
  EXPECT_EQ(s.fontSize, 10);
  EXPECT_EQ(s.textFont, "Tahoma");
  EXPECT_FALSE(s.noBackground);
  EXPECT_EQ(s.startColor.r, 255);  // channels are limited to 0-255
  EXPECT_EQ(s.endColor.g, 0);
  EXPECT_EQ(s.LoadText(59), "Really cancel?\r\nAll changes stay.");
  EXPECT_EQ(s.LoadText(46), "Weiter >");
  // Built-in texts are not rewritten: their "|" stays.
  EXPECT_EQ(s.LoadText(16), "Select Uninstall Method");
  EXPECT_EQ(std::string(s.LoadText(7)).find('\n') != std::string::npos, true);
  ASSERT_TRUE(s.MifTemplate().has_value());
  EXPECT_EQ(*s.MifTemplate(), "A\r\nB %5%");

  UninstallSettings d;
  d.LoadIni("");
  EXPECT_EQ(d.fontSize, 8);
  EXPECT_TRUE(d.noBackground);
  EXPECT_EQ(d.startColor.b, 255);
  EXPECT_FALSE(d.MifTemplate().has_value());
  d.LoadIni("[Settings]\r\nFont Character Size=0\r\n");
  EXPECT_EQ(d.fontSize, 8);  // no unreadable zero-point font
}

TEST(Settings, FileBesideTheExecutable) {
  EXPECT_EQ(SettingsPathFor("/opt/yarb/UNYARB32.EXE"), "/opt/yarb/UNYARB32.INI");
  EXPECT_EQ(SettingsPathFor("/opt/yarb/UNYARB32"), "/opt/yarb/UNYARB32.INI");
  EXPECT_EQ(SettingsPathFor("/opt/y.d/UNYARB32"), "/opt/y.d/UNYARB32.INI");
}

InstallLog LogWith(bool files, bool dirs, bool backups, bool repair) {
  InstallLog log;
  log.installations.resize(1);
  log.header.backupsExist = backups;
  log.header.repairAvailable = repair;
  if (files) {
    log.privateFiles.push_back({.path = "C:\\Q\\a.exe"});
    log.privateFiles.push_back({.path = "C:\\Q\\b.dll"});
  }
  if (dirs) log.directories.push_back({.path = "C:\\Q\\"});
  return log;
}

std::vector<int> Walk(WizardFlow& f, int start, const std::vector<bool>& forward) {
  std::vector<int> pages{start};
  int p = start;
  for (bool fw : forward) {
    p = f.NextPage(p, fw);
    pages.push_back(p);
  }
  return pages;
}

TEST(WizardFlow, PageSequences) {
  auto text = [](int id) { return std::string(StringTableText(id)); };
  struct Case {
    const char* name;
    bool files, dirs, backups;
    int mode;
    std::vector<bool> steps;
    std::vector<int> pages;
  };
  const Case cases[] = {
      {"custom, only directories", false, true, false, kModeCustom, {1, 1, 0, 0}, {0, 3, 11, 3, 0}},
      {"custom, files and directories", true, true, true, kModeCustom, {1, 1, 1, 0, 0, 0},
       {0, 1, 3, 11, 3, 1, 0}},
      {"custom, empty log", false, false, false, kModeCustom, {1, 0}, {0, 11, 0}},
      {"automatic with backups", true, false, true, kModeAutomatic, {1, 1, 0, 0}, {0, 12, 11, 12, 0}},
      {"automatic without backups", true, false, false, kModeAutomatic, {1, 0}, {0, 11, 0}},
      {"repair with backups", true, false, true, kModeRepair, {1, 0}, {0, 11, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallLog log = LogWith(c.files, c.dirs, c.backups, true);
    WizardFlow f(log, text, "Quilo");
    f.mode = c.mode;
    EXPECT_EQ(Walk(f, 0, c.steps), c.pages);
  }
}

TEST(WizardFlow, SubSystemPageCountsProgramsAndServices) {
  InstallLog log = LogWith(false, false, false, false);
  log.services.push_back({.name = "VellSvc"});
  WizardFlow f(log, [](int id) { return std::string(StringTableText(id)); }, "Q");
  f.mode = kModeCustom;
  EXPECT_EQ(f.NextPage(0, true), 10);
  log.subSystem = {true, "BDE 5", false};
  log.programs.push_back({.path = "C:\\x.exe", .displayName = ""});
  EXPECT_EQ(f.Items(10), (std::vector<std::string>{"BDE 5", "C:\\x.exe", "VellSvc"}));
  f.Leave(10, 0, {false, true, true});
  EXPECT_FALSE(log.subSystem.selected);
  EXPECT_TRUE(log.programs[0].selected);
  EXPECT_TRUE(log.services[0].selected);
}

TEST(WizardFlow, LeavingPagesSetsModeRollbackAndSelections) {
  InstallLog log = LogWith(true, true, true, true);
  log.systemFiles.push_back({.path = "C:\\windows\\system32\\v.dll"});
  log.regEdits.push_back({.keyPath = "Software\\V", .valueName = "Where", .firstOldData = std::string("old\0\0", 5)});
  log.regEdits.push_back({.keyPath = "Software\\W", .firstOldData = "x"});
  log.iniItems.push_back({.iniPath = "C:\\windows\\win.ini", .section = "Quilo", .item = "Path", .firstOldValue = "C:\\A"});
  WizardFlow f(log, [](int id) { return std::string(StringTableText(id)); }, "Quilo");
  f.rollback = true;

  PageView v = f.View(0);
  EXPECT_EQ(v.title, "Select Uninstall Method");
  EXPECT_FALSE(v.backEnabled);
  ASSERT_EQ(v.radios.size(), 3u);
  EXPECT_TRUE(v.radios[0].checked);  // unset shows as Automatic
  EXPECT_TRUE(v.radios[2].visible);

  f.Leave(0, kModeCustom, {});
  EXPECT_EQ(f.mode, kModeCustom);
  EXPECT_FALSE(f.rollback);  // Custom clears the rollback flag

  f.Leave(1, 0, {false, true});
  EXPECT_FALSE(log.privateFiles[0].selected);
  EXPECT_TRUE(log.privateFiles[1].selected);
  EXPECT_EQ(f.View(1).selected, (std::vector<bool>{false, true}));
  EXPECT_EQ(f.Items(3), (std::vector<std::string>{"C:\\Q"}));
  EXPECT_EQ(f.Items(8), (std::vector<std::string>{"Software\\V Value Name: Where=old", "Software\\W=x"}));
  EXPECT_EQ(f.Items(5), (std::vector<std::string>{"C:\\windows\\win.ini: [Quilo] Path=C:\\A"}));

  f.mode = kModeAutomatic;
  f.Leave(12, kRadioYes, {});
  EXPECT_TRUE(f.rollback);
  EXPECT_TRUE(f.View(12).radios[0].checked);
  f.launchIndex = 2;  // a launch check never presets Yes
  EXPECT_FALSE(f.View(12).radios[0].checked);
  f.Leave(12, kRadioNo, {});
  EXPECT_FALSE(f.rollback);

  f.Leave(0, kModeRepair, {});
  v = f.View(11);
  EXPECT_EQ(v.title, "Perform Repair");
  EXPECT_EQ(v.text1, "You are now ready to repair the Quilo.");
  EXPECT_EQ(v.nextText, "&Finish");
}

TEST(WizardFlow, StartPagesOfTheSwitches) {
  InstallLog log = LogWith(true, false, true, true);
  auto text = [](int id) { return std::string(StringTableText(id)); };
  struct Case {
    bool automatic, confirmOnly;
    int launch, page, mode;
    bool backVisible, backEnabled, nextVisible;
  };
  const Case cases[] = {
      {false, false, 0, 0, kModeUnset, true, false, true},
      {true, false, 0, 11, kModeAutomatic, false, true, false},
      {false, true, 0, 11, kModeAutomatic, true, false, true},
      {false, true, 3, 11, kModeRepair, true, false, true},
      {true, true, 3, 11, kModeRepair, false, false, false},
  };
  for (const Case& c : cases) {
    WizardFlow f(log, text, "Quilo");
    f.automatic = c.automatic;
    f.confirmOnly = c.confirmOnly;
    f.launchIndex = c.launch;
    const int page = f.StartPage();
    EXPECT_EQ(page, c.page);
    EXPECT_EQ(f.mode, c.mode);
    const PageView v = f.View(page);
    EXPECT_EQ(v.backVisible, c.backVisible);
    EXPECT_EQ(v.backEnabled, c.backEnabled);
    EXPECT_EQ(v.nextVisible, c.nextVisible);
  }
  // The wizard's texts go through the language overrides.
  UninstallSettings s;
  s.LoadIni("[Language]\r\nMsg16=Methode|waehlen\r\n");
  WizardFlow f(log, [&](int id) { return s.LoadText(id); }, "Quilo");
  EXPECT_EQ(f.View(0).title, "Methode\r\nwaehlen");
}

TEST(StatusMif, PlaceholdersAndName) {
  LogHeader h;
  h.manufacturer = "Vell";
  h.product = "Quilo";
  h.versionNumber = "2.1";
  h.serialNumber = "42";
  LocalTime t{2026, 12, 9, 4, 5, 0};
  EXPECT_EQ(StatusMifText(std::string("%1%|%2%|%3%|%4%|%5%|%6%|%7%|%8%|%9%"), h, true, true, t),
            "Vell|Quilo|2.1|42|Rollback|12/09/26 4:05|Failed|Canceled by user|%9%");
  const std::string builtIn = StatusMifText(std::nullopt, h, false, false, t);
  EXPECT_NE(builtIn.find("START COMPONENT"), std::string::npos);
  EXPECT_NE(builtIn.find("\"UninstallStatus\""), std::string::npos);
  EXPECT_NE(builtIn.find("\"Success\""), std::string::npos);
  EXPECT_EQ(builtIn.find('%'), std::string::npos);
  EXPECT_TRUE(RunsRepair(kModeRepair, 0, h));
  EXPECT_FALSE(RunsRepair(kModeAutomatic, 2, h));
  h.repairAvailable = true;
  EXPECT_TRUE(RunsRepair(kModeAutomatic, 2, h));
}

}  // namespace
}  // namespace yarb
