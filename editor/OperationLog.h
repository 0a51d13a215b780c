// TOperationLog: the user's log of operations, VellLog.txt in the program
// folder, one line per operation ended by CR LF.
//
// While logging, every line is handed to the file as it is written (no
// fsync), so a crash or a kill loses nothing already logged. Starting,
// appending, viewing and editing ask and tell the user through the EditorUi.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorUi.h"
#include "editor/IniFile.h"

namespace vell {

inline constexpr const char* LogFileName = "VellLog.txt";

// What the start line tells about the two-colour gradient dialog.
struct TLogStartInfo {
  int32_t Width = 0, Height = 0;  // working image
  std::string GradientStyle;
  std::string FromColorText, ToColorText;  // ColorText of the two colours
  std::string Angle;
};
// "Log starts  - current Gradient: Width 256, Height 256, Gradient ..., ..."
std::string LogStartLine(const TLogStartInfo& info);

class TOperationLog {
 public:
  // `path`: the log file (program folder + "VellLog.txt"). `ui` asks the
  // questions and shows the notices and errors; it must outlive the log.
  TOperationLog(std::string path, EditorUi& ui);
  ~TOperationLog();  // closes the file if logging
  TOperationLog(const TOperationLog&) = delete;
  TOperationLog& operator=(const TOperationLog&) = delete;

  const std::string& Path() const { return path_; }
  bool Logging() const { return fd_ >= 0; }
  // Called whenever logging starts or stops (the status bar's panel).
  std::function<void(bool logging)> OnLoggingChanged;

  // Appends `text` and CR LF while logging; does nothing otherwise.
  void WriteLogLine(std::string_view text);

  // Start New Log. `startLine` is LogStartLine(...). Returns whether logging
  // is on afterwards because of this call.
  bool StartNewLog(const std::string& startLine);
  // Close Log.
  void CloseLog();
  // Append to Log; `startLine` is used when there is no file and the user
  // agrees to start a new one.
  bool AppendToLog(const std::string& startLine);

  // View Log: true when the viewer may be shown (the file exists).
  bool ViewLog();
  // Edit Log: true when the editor may be shown; closes the log after the
  // user agrees.
  bool EditLog();

  // The viewer's and editor's load: the file's lines (without line ends).
  // While logging the file is closed first, so everything written so far is
  // on disk, and reopened for appending afterwards.
  std::vector<std::string> LoadLines();

  // Closes the file at exit (complete on disk), without telling anybody.
  void Shutdown();

 private:
  bool OpenFile(bool append);
  bool WriteFirstLine(std::string_view line);
  bool Flush();
  void CloseFile();
  void Changed();
  bool FileExists() const;

  std::string path_;
  EditorUi& ui_;
  int fd_ = -1;
  std::string buffer_;  // what the next write sends: a pending line end, the line
};

// Lines of a text file split at CR LF, LF or CR; a last line without a line
// end counts, an empty file has none.
std::vector<std::string> SplitLogLines(std::string_view bytes);
// Reads `path` into lines.
TFileResult ReadLogLines(const std::string& path, std::vector<std::string>& lines);
// Writes `lines`, each ended by CR LF, through a temporary file and a rename.
TFileResult WriteLogLines(const std::string& path, const std::vector<std::string>& lines);

// The viewer's "Save Image with Log File Name": the image file name offered
// after the log was saved as `logPath`: the file-name part with its "txt"
// extension turned into "jpg" (tile.txt -> tile.jpg, NOTES.TXT -> NOTES.jpg).
// Names without that extension get their first "txt" (any case) replaced, or
// ".jpg" in place of their extension, so the offer never names the log.
std::string LogImageFileName(const std::string& logPath);
// The folder part of `path` (with its trailing '/'), "" for a bare name.
std::string LogFolderOf(const std::string& path);

// The viewer's and editor's "&Save As": asks for a text file (starting in
// `defaultDirectory`) and writes `lines` to it. With "Save Image with Log
// File Name" checked, a saved log also yields the folder that becomes the
// default directory and the name the image save dialog offers.
struct TLogSaveAs {
  bool Saved = false;
  std::string Path;              // the file written
  bool OfferImage = false;       // run the image Save As next
  std::string DefaultDirectory;  // the saved file's folder
  std::string ImageFileName;     // LogImageFileName(Path)
};
TLogSaveAs LogSaveAs(EditorUi& ui, const std::vector<std::string>& lines, const std::string& defaultDirectory,
                     bool saveImageWithLogName);

// Closing the log editor: true when it may close (nothing changed, or the
// user lets the changes go).
bool LogEditorMayClose(EditorUi& ui, bool modified);

// Fixed texts.
inline constexpr const char* LogTextAlreadyLogging = "Already Logging";
inline constexpr const char* LogTextOverwrite = "Overwrite Existing Log?";
inline constexpr const char* LogTextAlreadyClosed = "Log already Closed";
inline constexpr const char* LogTextAppendMarker = "<=Appending to Existing Log=>";
inline constexpr const char* LogTextNotFoundStartNew = "File not found, starting New Log. OK?";
inline constexpr const char* LogTextNotFound = "Log File Not Found in Current Directory";
inline constexpr const char* LogTextWillClose = "This will Close the Log. OK?";
inline constexpr const char* LogTextNothingToSave = "Nothing to Save!";
inline constexpr const char* LogTextChangesNotSaved = "Changes not saved.  Do you still wish to exit?";
inline constexpr const char* LogSaveTitle = "Save 'Quilo99 Log";
inline constexpr const char* LogSaveFilter = "Text File (*.txt)|*.txt";

}  // namespace vell
