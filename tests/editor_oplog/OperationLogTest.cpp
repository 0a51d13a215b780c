#include "editor/OperationLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "editor/ScriptedUi.h"

namespace vell {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

const std::string kStart =
    "Log starts  - current Gradient: Width 256, Height 256, Gradient 0, From Color R: 0 G: 0 B: 0, "
    "To Color R: 255 G: 255 B: 255, Angle 0";

class OperationLogTest : public ::testing::Test {
 protected:
  OperationLogTest() {
    log.OnLoggingChanged = [this](bool on) { changes.push_back(on); };
  }
  std::vector<std::string> Asked() const {
    std::vector<std::string> out;
    for (const auto& a : ui.Asked()) out.push_back(a.text);
    return out;
  }

  TempDir dir;
  const std::string path = dir / LogFileName;
  ScriptedUi ui;
  TOperationLog log{path, ui};
  std::vector<bool> changes;
};

TEST(OperationLogLine, StartLine) {
  TLogStartInfo info{256, 256, "0", "R: 0 G: 0 B: 0", "R: 255 G: 255 B: 255", "0"};
  EXPECT_EQ(LogStartLine(info), kStart);
}

TEST_F(OperationLogTest, LinesEndInCrLfAndAreOnDiskWhenClosed) {
  ASSERT_TRUE(log.StartNewLog(kStart));
  EXPECT_TRUE(log.Logging());
  log.WriteLogLine("UnDo");
  log.WriteLogLine("Open File /home/u/tile.bmp");
  log.CloseLog();
  EXPECT_FALSE(log.Logging());
  EXPECT_EQ(ReadAll(path), kStart + "\r\nUnDo\r\nOpen File /home/u/tile.bmp\r\n");
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));
  EXPECT_TRUE(ui.Asked().empty());
  // Not logging: lines go nowhere.
  log.WriteLogLine("Image Reset");
  EXPECT_EQ(ReadAll(path), kStart + "\r\nUnDo\r\nOpen File /home/u/tile.bmp\r\n");
}

TEST_F(OperationLogTest, StartingTwiceSaysAlreadyLoggingAndKeepsTheLines) {
  ASSERT_TRUE(log.StartNewLog(kStart));
  log.WriteLogLine("Image Reset");
  EXPECT_FALSE(log.StartNewLog("second start"));
  EXPECT_FALSE(log.AppendToLog("second start"));
  log.WriteLogLine("UnDo");
  log.Shutdown();
  EXPECT_EQ(Asked(), (std::vector<std::string>{"Already Logging", "Already Logging"}));
  EXPECT_EQ(ReadAll(path), kStart + "\r\nImage Reset\r\nUnDo\r\n");
}

TEST_F(OperationLogTest, StartingOverAnExistingLogAsksFirst) {
  WriteAll(path, "old\r\n");
  ui.AnswerMessage(TMsgResult::No).AnswerMessage(TMsgResult::Yes);
  EXPECT_FALSE(log.StartNewLog(kStart));
  EXPECT_FALSE(log.Logging());
  EXPECT_EQ(ReadAll(path), "old\r\n");
  EXPECT_TRUE(log.StartNewLog(kStart));
  log.CloseLog();
  EXPECT_EQ(ReadAll(path), kStart + "\r\n");
  EXPECT_EQ(Asked(), (std::vector<std::string>{"Overwrite Existing Log?", "Overwrite Existing Log?"}));
  EXPECT_EQ(ui.ButtonSets()[0], TMsgButtons::YesNo);
}

TEST_F(OperationLogTest, AppendWithoutAFileStartsANewLogWhenAllowed) {
  ui.AnswerMessage(TMsgResult::No).AnswerMessage(TMsgResult::Yes);
  EXPECT_FALSE(log.AppendToLog(kStart));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(log.AppendToLog(kStart));
  log.CloseLog();
  // The start line, not the append marker; and no overwrite question.
  EXPECT_EQ(ReadAll(path), kStart + "\r\n");
  EXPECT_EQ(Asked(), (std::vector<std::string>{"File not found, starting New Log. OK?",
                                               "File not found, starting New Log. OK?"}));
}

TEST_F(OperationLogTest, AppendAddsTheMarkerOnALineOfItsOwn) {
  WriteAll(path, "Log starts earlier\r\nUnDo");  // last line without line end
  ASSERT_TRUE(log.AppendToLog(kStart));
  log.WriteLogLine("Rainbow");
  log.CloseLog();
  EXPECT_EQ(ReadAll(path), "Log starts earlier\r\nUnDo\r\n<=Appending to Existing Log=>\r\nRainbow\r\n");
  EXPECT_TRUE(ui.Asked().empty());
}

TEST_F(OperationLogTest, ViewingWhileLoggingShowsEverythingAndLoggingGoesOn) {
  ASSERT_TRUE(log.StartNewLog(kStart));
  log.WriteLogLine("Edge Merge 1/8");
  EXPECT_TRUE(log.ViewLog());
  EXPECT_EQ(log.LoadLines(), (std::vector<std::string>{kStart, "Edge Merge 1/8"}));
  EXPECT_EQ(ReadAll(path), kStart + "\r\nEdge Merge 1/8\r\n");
  EXPECT_TRUE(log.Logging());
  log.WriteLogLine("4 Way Flip");
  EXPECT_EQ(log.LoadLines().back(), "4 Way Flip");
  log.WriteLogLine("UnDo");
  log.CloseLog();
  EXPECT_EQ(ReadAll(path), kStart + "\r\nEdge Merge 1/8\r\n4 Way Flip\r\nUnDo\r\n");
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST_F(OperationLogTest, EditingWhileLoggingClosesTheLogAfterAsking) {
  ASSERT_TRUE(log.StartNewLog(kStart));
  log.WriteLogLine("Negative");
  ui.AnswerMessage(TMsgResult::No).AnswerMessage(TMsgResult::Yes);
  EXPECT_FALSE(log.EditLog());
  EXPECT_TRUE(log.Logging());
  EXPECT_TRUE(log.EditLog());
  EXPECT_FALSE(log.Logging());
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(Asked(), (std::vector<std::string>{"This will Close the Log. OK?", "This will Close the Log. OK?"}));
  EXPECT_EQ(log.LoadLines(), (std::vector<std::string>{kStart, "Negative"}));
  // The editor's OK writes the memo back.
  ASSERT_TRUE(WriteLogLines(path, {kStart, "Negative", "edited"}).ok);
  EXPECT_EQ(ReadAll(path), kStart + "\r\nNegative\r\nedited\r\n");
}

TEST_F(OperationLogTest, MissingFileAndClosedLogAreReported) {
  EXPECT_FALSE(log.ViewLog());
  EXPECT_FALSE(log.EditLog());
  log.CloseLog();
  EXPECT_EQ(Asked(), (std::vector<std::string>{"Log File Not Found in Current Directory",
                                               "Log File Not Found in Current Directory", "Log already Closed"}));
  EXPECT_TRUE(changes.empty());
}

TEST(OperationLogFailure, ALogThatCannotBeCreatedLeavesLoggingOffAndSaysWhy) {
  TempDir dir;
  ScriptedUi ui;
  TOperationLog log(dir / "missing/VellLog.txt", ui);
  EXPECT_FALSE(log.StartNewLog(kStart));
  EXPECT_FALSE(log.Logging());
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text, "Cannot create the log file " + (dir / "missing/VellLog.txt") +
                                    ": No such file or directory");
  log.WriteLogLine("UnDo");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(OperationLogFailure, ALogThatCannotBeWrittenStopsAndSaysWhy) {
  ScriptedUi ui;
  ui.AnswerMessage(TMsgResult::Yes);  // overwrite: the device exists
  TOperationLog log("/dev/full", ui);
  std::vector<bool> changes;
  log.OnLoggingChanged = [&](bool on) { changes.push_back(on); };
  // Every line is written at once, so the start line already fails: the log
  // does not start and says why.
  EXPECT_FALSE(log.StartNewLog(kStart));
  EXPECT_FALSE(log.Logging());
  EXPECT_EQ(changes, (std::vector<bool>{false}));
  ASSERT_EQ(ui.Asked().size(), 2u);
  EXPECT_EQ(ui.Asked()[1].text, "Cannot write the log file /dev/full: No space left on device");
  // Appending to it fails the same way.
  EXPECT_FALSE(log.AppendToLog(kStart));
  EXPECT_FALSE(log.Logging());
}

TEST_F(OperationLogTest, LongLogsArriveWholeAndInOrder) {
  ASSERT_TRUE(log.StartNewLog(kStart));
  std::string expected = kStart + "\r\n";
  for (int i = 0; i < 2000; ++i) {
    std::string line = "Scroll Right " + std::to_string(i);
    log.WriteLogLine(line);
    expected += line + "\r\n";
  }
  log.Shutdown();
  EXPECT_EQ(ReadAll(path), expected);
}

TEST(OperationLogFiles, SplitLines) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
  };
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(SplitLogLines(bytes), lines) << bytes;
}

TEST(OperationLogFiles, SaveImageWithLogFileName) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/work/tile.txt", "tile.jpg"},
      {"tile.txt", "tile.jpg"},
      {"/work/TILE.TXT", "TILE.jpg"},
      {"/home/txt/tile.txt", "tile.jpg"},  // the folder's "txt" is not the name's
      {"/w/txtile.txt", "txtile.jpg"},     // the extension, not the first "txt"
      {"/w/mytxtlog", "myjpglog"},
      {"/w/notes.log", "notes.jpg"},        // never the log's own name
      {"/w/notes", "notes.jpg"},
  };
  for (const auto& [log, image] : cases) EXPECT_EQ(LogImageFileName(log), image) << log;
  EXPECT_EQ(LogFolderOf("/work/tile.txt"), "/work/");
  EXPECT_EQ(LogFolderOf("tile.txt"), "");
}

TEST(OperationLogFiles, WrittenLinesReplaceTheFileWhole) {
  TempDir dir;
  const std::string path = dir / "saved.txt";
  WriteAll(path, "a much longer old content that must not survive\r\n");
  ASSERT_TRUE(WriteLogLines(path, {"one", "", "three"}).ok);
  EXPECT_EQ(ReadAll(path), "one\r\n\r\nthree\r\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLogLines(path, lines).ok);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "three"}));
  EXPECT_FALSE(WriteLogLines(dir / "no/such/folder.txt", {"x"}).ok);
}

}  // namespace
}  // namespace vell

namespace vell {
namespace {

TEST(OperationLogSaveAs, NamesTheImageAfterTheSavedLog) {
  TempDir dir;
  std::filesystem::create_directory(dir / "work");
  const std::string chosen = dir / "work/tile.txt";
  ScriptedUi ui;
  ui.AnswerSave(chosen);
  TLogSaveAs r = LogSaveAs(ui, {"Log starts", "Rainbow"}, "/start/here/", true);
  EXPECT_TRUE(r.Saved);
  EXPECT_EQ(ReadAll(chosen), "Log starts\r\nRainbow\r\n");
  EXPECT_TRUE(r.OfferImage);
  EXPECT_EQ(r.DefaultDirectory, dir / "work/");
  EXPECT_EQ(r.ImageFileName, "tile.jpg");
  ASSERT_EQ(ui.FileRequests().size(), 1u);
  const TFileRequest& q = ui.FileRequests()[0];
  EXPECT_EQ(q.title, "Save 'Quilo99 Log");
  EXPECT_EQ(q.filter, "Text File (*.txt)|*.txt");
  EXPECT_EQ(q.initialDir, "/start/here/");
  EXPECT_EQ(q.defaultExt, "txt");
  EXPECT_TRUE(q.promptOverwrite);
}

TEST(OperationLogSaveAs, EmptyCancelledUncheckedAndFailedSaves) {
  TempDir dir;
  ScriptedUi ui;
  EXPECT_FALSE(LogSaveAs(ui, {}, "", true).Saved);
  EXPECT_FALSE(LogSaveAs(ui, {""}, "", true).Saved);
  ui.AnswerSave(std::nullopt).AnswerSave(dir / "plain.txt").AnswerSave(dir / "no/folder/x.txt");
  EXPECT_FALSE(LogSaveAs(ui, {"a"}, "", true).Saved);
  TLogSaveAs unchecked = LogSaveAs(ui, {"a"}, "", false);
  EXPECT_TRUE(unchecked.Saved);
  EXPECT_FALSE(unchecked.OfferImage);
  TLogSaveAs failed = LogSaveAs(ui, {"a"}, "", true);
  EXPECT_FALSE(failed.Saved);
  EXPECT_FALSE(failed.OfferImage);
  std::vector<std::string> asked;
  for (const auto& a : ui.Asked()) asked.push_back(a.kind + ":" + a.text);
  EXPECT_EQ(asked, (std::vector<std::string>{
                       "message:Nothing to Save!", "message:Nothing to Save!", "save:Save 'Quilo99 Log",
                       "save:Save 'Quilo99 Log", "save:Save 'Quilo99 Log",
                       "message:Cannot write " + (dir / "no/folder/x.txt") + ": No such file or directory"}));
}

TEST(OperationLogSaveAs, EditorClosesWhenUnchangedOrAllowed) {
  ScriptedUi ui;
  EXPECT_TRUE(LogEditorMayClose(ui, false));
  EXPECT_TRUE(ui.Asked().empty());
  ui.AnswerMessage(TMsgResult::No).AnswerMessage(TMsgResult::Yes);
  EXPECT_FALSE(LogEditorMayClose(ui, true));
  EXPECT_TRUE(LogEditorMayClose(ui, true));
  EXPECT_EQ(ui.Asked()[0].text, "Changes not saved.  Do you still wish to exit?");
}

}  // namespace
}  // namespace vell
