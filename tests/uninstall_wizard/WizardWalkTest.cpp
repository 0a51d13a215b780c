// What the wizard's pages set reaches the walk: a Custom run removes only what was selected.
#include "Strings.h"
#include "Wizard.h"
#include "tests/uninstall_repair/RepairFixture.h"

namespace yarb {
namespace {

TEST(WizardWalk, CustomSelectionsDecideWhatGoes) {
  test::RepairRig r;
  r.File("APP/a.exe", "a", 1796720400);
  r.File("APP/b.dll", "b", 1796720400);
  r.File("APP/q.ini", "[x]\r\n", 1796720400);
  r.Parse({"***  Installation Started 12/08/2026 10:00 ***", "Title: Quilo",
           "File Copy: C:\\APP\\a.exe", "File Copy: C:\\APP\\b.dll", "INI New: Quilo",
           "INI File: C:\\APP\\q.ini"});
  WizardFlow f(r.log, [](int id) { return std::string(StringTableText(id)); }, "Quilo");
  f.rollback = true;
  int page = f.StartPage();
  f.Leave(page, kModeCustom, {});
  page = f.NextPage(page, true);
  ASSERT_EQ(page, 1);
  f.Leave(page, 0, {false, true});  // keep a.exe, remove b.dll
  page = f.NextPage(page, true);
  ASSERT_EQ(page, 3);  // the log's own folder
  EXPECT_EQ(f.Items(3), (std::vector<std::string>{"C:\\APP"}));
  f.Leave(page, 0, {false});
  page = f.NextPage(page, true);
  ASSERT_EQ(page, 4);
  f.Leave(page, 0, {false});  // keep the INI file
  ASSERT_EQ(f.NextPage(page, true), kPageConfirm);

  UninstallOptions o;
  o.logPath = r.logPath;
  o.mode = UninstallMode::Custom;
  o.rollback = f.rollback;
  EXPECT_FALSE(o.rollback);
  EXPECT_EQ(r.engine->PerformUninstall(o), WalkResult::Done);
  EXPECT_TRUE(r.platform->FileExists("C:\\APP\\a.exe"));
  EXPECT_FALSE(r.platform->FileExists("C:\\APP\\b.dll"));
  EXPECT_TRUE(r.platform->FileExists("C:\\APP\\q.ini"));
  EXPECT_TRUE(r.platform->FileExists("C:\\APP"));
}

}  // namespace
}  // namespace yarb
