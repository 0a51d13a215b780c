// The wizard window offscreen, driven by clicks.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QLineEdit>
#include <QTest>

#include "Settings.h"
#include "WizardDialog.h"
#include "tests/support/QtTestApp.h"

namespace yarb {
namespace {

using qt::WizardDialog;

struct Rig {
  InstallLog log;
  UninstallSettings settings;
  std::unique_ptr<WizardFlow> flow;
  std::unique_ptr<WizardDialog> w;
  std::vector<std::string> asked;
  bool answer = true;

  explicit Rig(bool backups = false) {
    vell::testing::App();
    log.installations.resize(1);
    log.header.backupsExist = backups;
    log.privateFiles.push_back({.path = "C:\\Program Files\\Quilo\\VellTile.exe", .selected = true});
    log.privateFiles.push_back({.path = "C:\\Program Files\\Quilo\\vellfx.dll", .selected = true});
    log.directories.push_back({.path = "C:\\Program Files\\Quilo\\"});
    settings.LoadIni("[Language]\r\nMsg59=Stop now?|Nothing~is~undone.\r\n");
    flow = std::make_unique<WizardFlow>(log, [this](int id) { return settings.LoadText(id); }, "Quilo");
    w = std::make_unique<WizardDialog>(*flow, settings, [this](int id) { return settings.LoadText(id); },
                                       QStringLiteral("Quilo"));
    w->askYesNo = [this](const std::string& t, const std::string& c) {
      asked.push_back(c + ": " + t);
      return answer;
    };
    w->ShowPage(flow->StartPage());
    w->show();
  }
  template <class T>
  T* Find(const char* name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  QString Title() { return Find<QLabel>("title")->text(); }
  void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
  // A radio button takes clicks on its circle and label only.
  void Choose(const char* name) {
    auto* b = Find<QRadioButton>(name);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
};

TEST(WizardWindow, CustomRunThroughItsPages) {
  Rig r;
  EXPECT_EQ(r.Title(), "Select Uninstall Method");
  EXPECT_FALSE(r.Find<QPushButton>("back")->isEnabled());
  EXPECT_EQ(r.Find<QPushButton>("next")->text(), "&Next >");
  EXPECT_FALSE(r.Find<QRadioButton>("radio1009")->isVisible());  // the log offers no repair
  r.Choose("radio1001");
  r.Click("next");
  EXPECT_EQ(r.Title(), "Select Private Files to Remove");
  auto* list = r.Find<QListWidget>("list");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "C:\\Program Files\\Quilo\\VellTile.exe");
  EXPECT_TRUE(list->item(0)->isSelected());
  r.Click("selectNone");
  list->item(1)->setSelected(true);
  r.Click("next");
  EXPECT_FALSE(r.log.privateFiles[0].selected);
  EXPECT_TRUE(r.log.privateFiles[1].selected);
  EXPECT_EQ(r.Title(), "Select Directories to Remove");
  EXPECT_EQ(list->item(0)->text(), "C:\\Program Files\\Quilo");
  r.Click("selectAll");
  r.Click("next");
  EXPECT_TRUE(r.log.directories[0].selected);
  EXPECT_EQ(r.Title(), "Perform Uninstall");
  EXPECT_EQ(r.Find<QLabel>("text1")->text(), "You are now ready to uninstall the Quilo from your system.");
  EXPECT_EQ(r.Find<QPushButton>("next")->text(), "&Finish");
  EXPECT_FALSE(list->isVisible());
  r.Click("back");
  EXPECT_EQ(r.Title(), "Select Directories to Remove");
  r.Click("next");
  EXPECT_FALSE(r.w->FinishPressed());
  r.Click("next");
  EXPECT_TRUE(r.w->FinishPressed());
  EXPECT_EQ(r.flow->EffectiveMode(), kModeCustom);
}

TEST(WizardWindow, AutomaticWithBackupsOffersRollback) {
  Rig r(true);
  r.flow->rollback = true;
  r.w->ShowPage(0);
  r.Click("next");
  EXPECT_EQ(r.Title(), "Perform Rollback");
  EXPECT_TRUE(r.Find<QRadioButton>("radio1000")->isChecked());
  EXPECT_EQ(r.Find<QRadioButton>("radio1000")->text(), "&Yes");
  r.Choose("radio1001");
  r.Click("next");
  EXPECT_FALSE(r.flow->rollback);
  EXPECT_EQ(r.Title(), "Perform Uninstall");
  r.Click("back");
  EXPECT_EQ(r.Title(), "Perform Rollback");
}

TEST(WizardWindow, CancelAsksAndNoResumes) {
  Rig r;
  r.answer = false;
  r.Click("cancel");
  ASSERT_EQ(r.asked.size(), 1u);
  EXPECT_EQ(r.asked[0], "Uninstall: Stop now?\r\nNothing is undone.");
  EXPECT_FALSE(r.w->Cancelled());
  EXPECT_TRUE(r.w->isVisible());
  r.answer = true;
  r.Click("cancel");
  EXPECT_TRUE(r.w->Cancelled());
  EXPECT_FALSE(r.w->isVisible());
}

TEST(WizardWindow, AutomaticConfirmationHasNoButtonsButCancel) {
  Rig r;
  r.flow->automatic = true;
  r.w->ShowPage(r.flow->StartPage());
  EXPECT_EQ(r.Title(), "Perform Uninstall");
  EXPECT_FALSE(r.Find<QPushButton>("next")->isVisible());
  EXPECT_FALSE(r.Find<QPushButton>("back")->isVisible());
  EXPECT_TRUE(r.Find<QPushButton>("cancel")->isVisible());
}

TEST(WizardWindow, ProgressViewThenReport) {
  Rig r;
  r.w->BeginProgress("Performing uninstall of Quilo...");
  r.w->SetStatus("Removing File:\r\nC:\\Q\\a.exe");
  EXPECT_EQ(r.Find<QLabel>("status")->text(), "\n\nRemoving File:\nC:\\Q\\a.exe");
  EXPECT_FALSE(r.Find<QPushButton>("next")->isVisible());
  // Cancel during the run asks, then asks the walk to stop.
  r.Click("cancel");
  EXPECT_TRUE(r.w->CancelRequested());
  EXPECT_FALSE(r.w->Cancelled());
  r.w->ShowReport("What this run did:", "Removed (1):\n  C:\\Q\\a.exe\n");
  EXPECT_TRUE(r.Find<QPlainTextEdit>("report")->isVisible());
  EXPECT_EQ(r.Find<QPushButton>("cancel")->text(), "&Close");
  r.Click("cancel");
  EXPECT_TRUE(r.w->CloseClicked());
}

TEST(WizardWindow, AnimationPath) {
  EXPECT_EQ(WizardDialog::FramePosition(1), QPoint(0, 10));
  EXPECT_EQ(WizardDialog::FramePosition(13), QPoint(72, 0));
  EXPECT_EQ(WizardDialog::FramePosition(23), QPoint(126, 17));
  EXPECT_EQ(WizardDialog::FramePosition(24), QPoint());
}

}  // namespace
}  // namespace yarb

namespace yarb {
namespace {

TEST(SourcePathDialog, PresetEditedAndCapped) {
  vell::testing::App();
  UninstallSettings s;
  s.LoadIni("");
  auto text = [&](int id) { return s.LoadText(id); };
  qt::SourcePathDialog d(s, text, "Select Installation Pathname", "Enter ...\r\n12-08-2026 / 10:00:00 / 5",
                         "D:\\setup.exe", nullptr);
  EXPECT_EQ(d.windowTitle(), "Select Installation Pathname");
  EXPECT_EQ(d.findChild<QLabel*>("sourceText")->text(), "Enter ...\n12-08-2026 / 10:00:00 / 5");
  EXPECT_EQ(d.Path(), "D:\\setup.exe");
  d.Edit()->setText(QString(300, QLatin1Char('x')));
  EXPECT_EQ(d.Path().size(), 255u);
  EXPECT_EQ(d.findChild<QPushButton*>("sourceOk")->text(), "OK");
  EXPECT_EQ(d.findChild<QPushButton*>("sourceCancel")->text(), "Cancel");
}

TEST(BackgroundWindow, BandsRunFromStartToEnd) {
  struct Case {
    int start, end, k, channel;
  };
  const Case cases[] = {{0, 255, 0, 0}, {0, 255, 95, 255}, {255, 0, 95, 0}, {0, 255, 48, 128},
                        {255, 0, 1, 253}, {10, 10, 50, 10}};
  for (const Case& c : cases) EXPECT_EQ(qt::BandChannel(c.start, c.end, c.k), c.channel);
}

}  // namespace
}  // namespace yarb
