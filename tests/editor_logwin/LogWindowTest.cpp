// The operation log and the settings file through the real main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "dialogs/qt/Filter1.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/Log1.h"
#include "editor/qt/Log2.h"
#include "editor/qt/MainLog.h"
#include "editor/qt/ToolForm.h"
#include "editor/qt/VellTileMain.h"
#include "tests/editor_settings/TempDir.h"
#include "tests/support/QtTestApp.h"

using vell::testing::App;

namespace vell {
namespace {

using test::Crlf;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;


const std::string kStartLine =
    "Log starts  - current Gradient: Width 256, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, "
    "To Color R: 0 G: 255 B: 255, Angle 0";
const std::string kNewWhite = "New Image, Color R: 255 G: 255 B: 255";

class LogWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    TfVellTile::SetProgramFolder(dir.Path());
    Open();
  }
  void TearDown() override {
    window.reset();
    TfVellTile::SetProgramFolder("");
    SetPrintDialogHook({});
  }
  void Open(EditorUi* with = nullptr) {
    window = std::make_unique<TfVellTile>(with ? with : &ui);
    window->CreateCompanions();
    window->LoadCompanionSettings();
  }
  void Reopen() {
    window.reset();
    Open();
  }
  QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  std::string LogPath() const { return dir / "VellLog.txt"; }
  std::string IniPath() const { return dir / "VellTile.ini"; }
  bool Asked(const std::string& text) const {
    for (const auto& a : ui.Asked())
      if (a.text == text) return true;
    return false;
  }

  TempDir dir;
  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
};

TEST_F(LogWindow, LogMenuItemsAreEnabled) {
  for (const char* name : {"StartNewLog1", "CloseLog1", "AppendtoLog1", "ViewLog1", "EditLog1"})
    EXPECT_TRUE(Action(name)->isEnabled()) << name;
}

TEST_F(LogWindow, StartNewLogThenNewAndUndoWriteCrlfLines) {
  Action("StartNewLog1")->trigger();
  EXPECT_EQ(window->StatusText(5), "Logging");
  EXPECT_TRUE(window->Editor().Logging);
  Action("New1")->trigger();
  Action("UnDo1")->trigger();
  Action("CloseLog1")->trigger();
  EXPECT_EQ(window->StatusText(5), "Not Logging");
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\n" + kNewWhite + "\r\nUnDo\r\n");
  // Nothing reaches a closed log.
  Action("New1")->trigger();
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\n" + kNewWhite + "\r\nUnDo\r\n");
  EXPECT_EQ(ui.Unanswered(), 0);
}

TEST_F(LogWindow, EffectsWriteTheirLinesThroughTheDispatcher) {
  Action("StartNewLog1")->trigger();
  Action("EdgeMerge16")->trigger();
  Action("FourWayFlip1")->trigger();
  Action("CloseLog1")->trigger();
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\nEdge Merge 1/16\r\n4 Way Flip\r\n");
}

TEST_F(LogWindow, StartLineFollowsTheWorkingImageSize) {
  window->Editor().dibWork.Allocate(40, 30, 0, 24);
  EXPECT_EQ(window->LogStartInfo().Width, 40);
  EXPECT_EQ(window->LogStartInfo().Height, 30);
}

TEST_F(LogWindow, AppendAndRestartAskAsTheyShould) {
  Action("AppendtoLog1")->trigger();  // no file: a new log after Yes
  EXPECT_TRUE(Asked("File not found, starting New Log. OK?"));
  EXPECT_FALSE(window->Editor().Logging);  // unanswered Yes/No counts as No
  ui.AnswerMessage(TMsgResult::Yes);
  Action("AppendtoLog1")->trigger();
  EXPECT_TRUE(window->Editor().Logging);
  Action("StartNewLog1")->trigger();
  EXPECT_TRUE(Asked("Already Logging"));
  Action("CloseLog1")->trigger();
  Action("CloseLog1")->trigger();
  EXPECT_TRUE(Asked("Log already Closed"));
  Action("AppendtoLog1")->trigger();
  Action("New1")->trigger();
  window.reset();  // exit closes the log: the file is complete
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\n<=Appending to Existing Log=>\r\n" + kNewWhite + "\r\n");
}

TEST_F(LogWindow, ViewerShowsEverythingWhileLoggingAndTheLogGoesOn) {
  TfToolBox* box = window->ToolBox();
  box->show();
  Action("StartNewLog1")->trigger();
  Action("New1")->trigger();
  Action("ViewLog1")->trigger();
  TfLog* viewer = window->LogViewer();
  ASSERT_TRUE(viewer->isVisible());
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(viewer->windowTitle(), "View 'Quilo99 Log File");
  EXPECT_TRUE(viewer->Memo1->isReadOnly());
  EXPECT_EQ(viewer->Lines(), (QStringList{QString::fromStdString(kStartLine), QString::fromStdString(kNewWhite)}));
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\n" + kNewWhite + "\r\n");  // on disk already
  EXPECT_TRUE(window->Editor().Logging);
  Action("UnDo1")->trigger();
  viewer->bRefresh->click();
  EXPECT_EQ(viewer->Lines().size(), 3);
  EXPECT_EQ(viewer->Lines().last(), "UnDo");
  viewer->bOK->click();
  EXPECT_FALSE(viewer->isVisible());
  EXPECT_TRUE(box->isVisible());
  Action("CloseLog1")->trigger();
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\n" + kNewWhite + "\r\nUnDo\r\n");
}

TEST_F(LogWindow, ViewAndEditWithoutAFileSayNotFound) {
  Action("ViewLog1")->trigger();
  Action("EditLog1")->trigger();
  EXPECT_FALSE(window->LogViewer()->isVisible());
  int notFound = 0;
  for (const auto& a : ui.Asked()) notFound += a.text == "Log File Not Found in Current Directory";
  EXPECT_EQ(notFound, 2);
}

TEST_F(LogWindow, EditLogClosesLoggingOnlyAfterYes) {
  Action("StartNewLog1")->trigger();
  Action("EditLog1")->trigger();  // unanswered: No
  EXPECT_TRUE(Asked("This will Close the Log. OK?"));
  EXPECT_TRUE(window->Editor().Logging);
  EXPECT_FALSE(window->LogEditor()->isVisible());

  ui.AnswerMessage(TMsgResult::Yes);
  QStringList seen;
  bool wasModal = false;
  QTimer::singleShot(0, window.get(), [&] {
    TfELog* editor = window->LogEditor();
    wasModal = QApplication::activeModalWidget() == editor;
    seen = editor->Lines();
    editor->bCancel->click();
  });
  Action("EditLog1")->trigger();
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(seen, QStringList{QString::fromStdString(kStartLine)});
  EXPECT_FALSE(window->Editor().Logging);
  EXPECT_EQ(window->StatusText(5), "Not Logging");
  EXPECT_EQ(ReadAll(LogPath()), kStartLine + "\r\n");
}

TEST_F(LogWindow, EditorAsksBeforeLosingChangesAndOkWritesThem) {
  WriteAll(LogPath(), "one\r\ntwo\r\n");
  TfELog* editor = window->LogEditor();
  editor->show();
  EXPECT_EQ(editor->windowTitle(), "Edit Log File");
  EXPECT_EQ(editor->Lines(), (QStringList{"one", "two"}));
  EXPECT_FALSE(editor->Modified());
  editor->Memo1->appendPlainText("three");
  EXPECT_TRUE(editor->Modified());

  editor->close();  // unanswered: No keeps it open
  EXPECT_TRUE(Asked("Changes not saved.  Do you still wish to exit?"));
  EXPECT_TRUE(editor->isVisible());
  EXPECT_TRUE(editor->Modified());

  editor->bOK->click();
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(ReadAll(LogPath()), "one\r\ntwo\r\nthree\r\n");

  // Shown again: fresh and unmodified; Yes lets changes go.
  editor->show();
  editor->Memo1->appendPlainText("four");
  ui.AnswerMessage(TMsgResult::Yes);
  editor->close();
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(ReadAll(LogPath()), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(LogWindow, SaveAsWithTheLogNameOffersTheImageName) {
  WriteAll(LogPath(), "a line\r\n");
  std::filesystem::create_directory(dir / "work");
  Action("SaveImagewithLogFileName1")->trigger();
  ASSERT_TRUE(window->Editor().SaveWithLogName);
  Action("ViewLog1")->trigger();
  ui.AnswerSave(dir / "work/tile.txt");
  window->LogViewer()->bSave->click();
  EXPECT_EQ(ReadAll(dir / "work/tile.txt"), "a line\r\n");
  ASSERT_EQ(ui.FileRequests().size(), 2u);
  EXPECT_EQ(ui.FileRequests()[0].title, "Save 'Quilo99 Log");
  EXPECT_EQ(ui.FileRequests()[0].initialDir, dir.Path());
  EXPECT_EQ(window->Editor().DefaultDirectory, dir / "work/");
  EXPECT_EQ(window->ImageSaveFileName(), "tile.jpg");
  // The image save dialog follows, offering that name in the log's folder.
  EXPECT_EQ(ui.FileRequests()[1].title, "Save File As...");
  EXPECT_EQ(ui.FileRequests()[1].fileName, "tile.jpg");
  EXPECT_EQ(ui.FileRequests()[1].initialDir, dir / "work/");
}

TEST_F(LogWindow, EmptyMemoHasNothingToSave) {
  WriteAll(LogPath(), "");
  Action("ViewLog1")->trigger();
  window->LogViewer()->bSave->click();
  EXPECT_TRUE(Asked("Nothing to Save!"));
  EXPECT_TRUE(ui.FileRequests().empty());
}

TEST_F(LogWindow, PrintGoesToOnePdfJob) {
  WriteAll(LogPath(), "first\r\nsecond\r\n");
  const std::string pdf = dir / "log.pdf";
  int dialogs = 0;
  SetPrintDialogHook([&](QPrinter& printer, QWidget*) {
    ++dialogs;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    return true;
  });
  Action("ViewLog1")->trigger();
  window->LogViewer()->bPrint->click();
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(ReadAll(pdf).substr(0, 5), "%PDF-");
  // No lines: no dialog.
  WriteAll(LogPath(), "");
  window->LogViewer()->bRefresh->click();
  window->LogViewer()->bPrint->click();
  EXPECT_EQ(dialogs, 1);
}

TEST_F(LogWindow, ALogThatCannotBeCreatedSaysWhyThroughQtAndStaysOff) {
  std::filesystem::create_directory(LogPath());  // a folder where the file should go
  // The real window asks through real message boxes.
  window.reset();
  window = std::make_unique<TfVellTile>();
  QString shown;
  QTimer::singleShot(0, window.get(), [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  window->findChild<QAction*>(QStringLiteral("StartNewLog1"))->trigger();
  EXPECT_TRUE(shown.startsWith("Cannot create the log file")) << shown.toStdString();
  EXPECT_FALSE(window->Editor().Logging);
  EXPECT_EQ(window->StatusText(5), "Not Logging");
}

// --- settings ---------------------------------------------------------------

TEST_F(LogWindow, SettingsSurviveTheWindow) {
  window->Params().EffectValues[3] = 77;
  window->Params().Extras.FishVal = 1.5f;
  Action("Pen5")->trigger();
  Action("PromptforSave1")->trigger();
  Action("SaveImagewithLogFileName1")->trigger();
  window->Undo().SetMaxUndo(7);
  window->Editor().DefaultDirectory = "/somewhere/else/";
  TFilterDesign design;
  design.e[4] = "9";
  design.eDiv = "5";
  window->FilterDialog()->SetDesign(design);
  window->ToolBox()->SetPenColor(0x0000FF);
  window->ToolBox()->SetPenSizeText("7");
  window->ToolBox()->move(20, 30);
  window->move(40, 50);
  window->resize(500, 400);
  Reopen();

  const std::string ini = ReadAll(IniPath());
  for (const char* line : {"[EffectVals]\r\n", "EffectVals3=77\r\n", "[MainForm]\r\n", "PenStyle=5\r\n", "SaveDlg=0\r\n",
                           "SaveWithLog=1\r\n", "UndoLevels=7\r\n", "Status=1\r\n", "Width=500\r\n", "[ToolBox]\r\n",
                           "Pen Color=255\r\n", "[Filter]\r\n", "e5=9\r\n", "eDiv=5\r\n"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;

  EXPECT_EQ(window->Params().EffectValues[3], 77);
  EXPECT_EQ(window->Params().Extras.FishVal, 1.5f);
  EXPECT_EQ(window->Editor().PenModeIndex, 5);
  EXPECT_TRUE(Action("Pen5")->isChecked());
  EXPECT_FALSE(Action("Pen0")->isChecked());
  EXPECT_FALSE(Action("PromptforSave1")->isChecked());
  EXPECT_FALSE(window->Editor().PromptForSave);
  EXPECT_TRUE(Action("SaveImagewithLogFileName1")->isChecked());
  EXPECT_EQ(window->Undo().MaxUndo(), 7);
  EXPECT_EQ(window->Editor().DefaultDirectory, "/somewhere/else/");
  EXPECT_EQ(window->FilterDialog()->Design().e[4], "9");
  EXPECT_EQ(window->FilterDialog()->Design().eDiv, "5");
  EXPECT_EQ(window->ToolBox()->PenColor(), 0x0000FFu);
  EXPECT_EQ(window->ToolBox()->PenSizeText(), "7");
  EXPECT_EQ(window->ToolBox()->pos(), QPoint(20, 30));
  EXPECT_EQ(window->size(), QSize(500, 400));
  EXPECT_FALSE(window->Editor().Logging);  // never persisted
}

TEST_F(LogWindow, FirstRunWritesEveryKeyAndTheMarker) {
  Reopen();
  const std::string ini = ReadAll(IniPath());
  EXPECT_NE(ini.find("EffectVals6=250\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Default Directory=" + dir.Path() + "\r\n"), std::string::npos);
  EXPECT_EQ(window->Editor().DefaultDirectory, dir.Path());
}

TEST_F(LogWindow, MaximisedExitWritesStatus3AndKeepsThePosition) {
  window->move(60, 70);
  window->resize(520, 410);
  Reopen();
  window->showMaximized();
  QApplication::processEvents();
  ASSERT_TRUE(window->isMaximized());
  Reopen();
  const std::string ini = ReadAll(IniPath());
  EXPECT_NE(ini.find("Status=3\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Width=520\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Height=410\r\n"), std::string::npos);
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(LogWindow, HostileGeometryStaysOnTheScreen) {
  window.reset();
  WriteAll(IniPath(), Crlf("[EffectVals]\nEffectVals6=250\n[MainForm]\nTop=-99999999\nLeft=2147483647\n"
                           "Width=1000000\nHeight=-5\nUndoLevels=-3\nPenStyle=40\n"));
  Open();
  const QRect screen = AvailableScreenArea(window->pos());
  EXPECT_TRUE(screen.contains(QRect(window->pos(), window->size()))) << window->x() << "," << window->y();
  EXPECT_GE(window->height(), 80);
  EXPECT_GE(window->Undo().MaxUndo(), 1);
  EXPECT_TRUE(Action("Pen0")->isChecked());
}

TEST_F(LogWindow, MarkerZeroIgnoresTheWholeFile) {
  window.reset();
  WriteAll(IniPath(), Crlf("[EffectVals]\nEffectVals6=0\nEffectVals3=99\n[MainForm]\nUndoLevels=3\n"));
  Open();
  EXPECT_NE(window->Params().EffectValues[3], 99);
  EXPECT_EQ(window->Undo().MaxUndo(), 15);
}

struct TFitCase {
  QPoint pos;
  QSize size;
  QRect available, expected;
};

TEST(FitToScreen, KeepsWindowsInsideTheScreen) {
  const QRect screen(0, 0, 1280, 1024);
  const TFitCase cases[] = {
      {{100, 100}, {500, 400}, screen, {100, 100, 500, 400}},          // fits: unchanged
      {{-50, -20}, {500, 400}, screen, {0, 0, 500, 400}},              // off the top left
      {{1200, 1000}, {500, 400}, screen, {780, 624, 500, 400}},        // off the bottom right
      {{0, 0}, {100000, 100000}, screen, {0, 0, 1280, 1024}},          // giant
      {{10, 10}, {5, 5}, screen, {10, 10, 120, 80}},                   // tiny grows to the minimum
      {{2147483000, 2147483000}, {500, 400}, screen, {780, 624, 500, 400}},
      {{100, 100}, {500, 400}, {1280, 0, 1024, 768}, {1280, 100, 500, 400}},  // second screen
  };
  for (const TFitCase& c : cases) EXPECT_EQ(FitToScreen(c.pos, c.size, c.available), c.expected) << c.pos.x();
}

}  // namespace
}  // namespace vell
