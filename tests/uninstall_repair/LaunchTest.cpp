// The "/W n" launch check against the repair registration.
#include "RepairFixture.h"

namespace yarb {
namespace {

using test::RepairRig;

const char* kLog = "C:\\APP\\INSTALL.LOG";

void Register(RepairRig& r) {
  const std::string key = RepairKeyFor(kLog);
  EXPECT_EQ(key, "Software\\Yarb Solutions\\Yarb Installation System\\Repair\\C:/APP/INSTALL.LOG");
  const std::string icon = key + "\\Icons\\2";
  ASSERT_TRUE(r.platform->RegCreateKey(RegRoot::LocalMachine, icon));
  r.platform->RegSetValue(RegRoot::LocalMachine, icon, "Path", RegValue::Sz("C:\\APP\\VellTile.exe"));
  r.platform->RegSetValue(RegRoot::LocalMachine, icon, "Arguments", RegValue::Sz("-x"));
  r.platform->RegSetValue(RegRoot::LocalMachine, icon, "WorkingDir", RegValue::Sz("C:\\APP"));
  r.platform->RegSetValue(RegRoot::LocalMachine, icon, "ShowWindow", RegValue::Sz("1"));
  ASSERT_TRUE(r.platform->RegCreateKey(RegRoot::LocalMachine, "Software\\Quilo"));
  r.platform->RegSetValue(RegRoot::LocalMachine, "Software\\Quilo", "Version", RegValue::Sz("2"));
  r.File("APP/VellTile.exe", "exe", 1796720400);
}

TEST(LaunchCheck, Decisions) {
  struct Case {
    const char* name;
    std::string value;  // REG_SZ check; empty: none
    const char* file;   // REG_DWORD check; null: none
    std::vector<BoxAnswer> answers;
    LaunchDecision decision;
    size_t questions, runs;
  };
  const Case cases[] = {
      {"all present", "2\\Software\\Quilo\\\\Version", "C:\\APP\\VellTile.exe", {}, LaunchDecision::Launched, 0, 1},
      {"key only", "2\\Software\\Quilo\\\\", nullptr, {}, LaunchDecision::Launched, 0, 1},
      {"missing value, No", "2\\Software\\Quilo\\\\Missing", nullptr, {BoxAnswer::No}, LaunchDecision::Launched, 1, 1},
      {"missing value, Yes", "2\\Software\\Quilo\\\\Missing", nullptr, {BoxAnswer::Yes}, LaunchDecision::Repair, 1, 0},
      {"missing key", "2\\Software\\Gone\\\\", nullptr, {BoxAnswer::No}, LaunchDecision::Launched, 1, 1},
      {"missing file", "", "C:\\APP\\gone.dll", {BoxAnswer::No}, LaunchDecision::Launched, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RepairRig r;
    Register(r);
    const std::string key = RepairKeyFor(kLog);
    if (!c.value.empty()) r.platform->RegSetValue(RegRoot::LocalMachine, key, c.value, RegValue::Sz(""));
    if (c.file) r.platform->RegSetValue(RegRoot::LocalMachine, key, c.file, RegValue::Dword(1));
    r.ui.boxes.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(LaunchCheck(*r.platform, r.ui, 2, kLog), c.decision);
    ASSERT_EQ(r.ui.questions.size(), c.questions);
    if (c.questions) EXPECT_EQ(r.ui.questions[0].rfind("Perform Repair: This application is damaged", 0), 0u);
    ASSERT_EQ(r.platform->runs.size(), c.runs);
    if (c.runs) {
      EXPECT_EQ(r.platform->runs[0].command, "\"C:\\APP\\VellTile.exe\" -x");
      EXPECT_EQ(r.platform->runs[0].workingDir, "C:\\APP");
    }
  }
}

TEST(LaunchCheck, CancelStopsLaterChecksAndNoRegistrationStartsNothing) {
  RepairRig r;
  EXPECT_EQ(LaunchCheck(*r.platform, r.ui, 2, kLog), LaunchDecision::End);
  EXPECT_TRUE(r.platform->runs.empty());

  Register(r);
  const std::string key = RepairKeyFor(kLog);
  r.platform->RegSetValue(RegRoot::LocalMachine, key, "2\\Software\\Quilo\\\\Missing", RegValue::Sz(""));
  r.ui.boxes = {BoxAnswer::Cancel};
  EXPECT_EQ(LaunchCheck(*r.platform, r.ui, 2, kLog), LaunchDecision::Launched);
  EXPECT_EQ(r.platform->runs.size(), 1u);
  std::string name;
  RegValue v;
  EXPECT_FALSE(r.platform->RegEnumValue(RegRoot::LocalMachine, key, 0, &name, &v));
  // The next start finds nothing to complain about.
  EXPECT_EQ(LaunchCheck(*r.platform, r.ui, 2, kLog), LaunchDecision::Launched);
  EXPECT_EQ(r.ui.questions.size(), 1u);
}

}  // namespace
}  // namespace yarb
