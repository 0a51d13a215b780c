#include "editor/OperationLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace vell {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

size_t FindNoCase(std::string_view hay, std::string_view needle) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (EqualsNoCase(hay.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::string Why(const char* what, const std::string& path, int err) {
  return std::string(what) + " " + path + ": " + std::strerror(err);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

std::string LogStartLine(const TLogStartInfo& info) {
  return "Log starts  - current Gradient: Width " + std::to_string(info.Width) + ", Height " +
         std::to_string(info.Height) + ", Gradient " + info.GradientStyle + ", From Color " +
         info.FromColorText + ", To Color " + info.ToColorText + ", Angle " + info.Angle;
}

TOperationLog::TOperationLog(std::string path, EditorUi& ui) : path_(std::move(path)), ui_(ui) {}

TOperationLog::~TOperationLog() {
  if (fd_ >= 0) {
    Flush();
    ::close(fd_);
  }
}

bool TOperationLog::FileExists() const {
  struct stat st {};
  return ::stat(path_.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void TOperationLog::Changed() {
  if (OnLoggingChanged) OnLoggingChanged(Logging());
}

bool TOperationLog::OpenFile(bool append) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  int fd = ::open(path_.c_str(), flags, 0666);
  if (fd < 0) {
    ui_.ShowError(Why(append ? "Cannot open the log file" : "Cannot create the log file", path_, errno));
    return false;
  }
  if (append) {
    // Whatever is appended starts on a line of its own.
    int rd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (rd >= 0 && ::fstat(rd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      char last = 0;
      if (::pread(rd, &last, 1, st.st_size - 1) == 1 && last != '\n') buffer_ += "\r\n";
    }
    if (rd >= 0) ::close(rd);
  }
  fd_ = fd;
  return true;
}

bool TOperationLog::Flush() {
  if (fd_ < 0 || buffer_.empty()) return true;
  bool ok = WriteAll(fd_, buffer_);
  int err = errno;
  buffer_.clear();
  if (!ok) ui_.ShowError(Why("Cannot write the log file", path_, err));
  return ok;
}

void TOperationLog::CloseFile() {
  if (fd_ < 0) return;
  bool ok = Flush();
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && ok) ui_.ShowError(Why("Cannot write the log file", path_, errno));
}

void TOperationLog::WriteLogLine(std::string_view text) {
  if (fd_ < 0) return;
  buffer_.append(text);
  buffer_ += "\r\n";
  // Each line goes to the file at once, so a program that dies keeps the
  // user's record up to its last operation.
  if (!Flush()) {
    // A log that cannot be written stops rather than failing on every line.
    CloseFile();
    Changed();
  }
}

bool TOperationLog::StartNewLog(const std::string& startLine) {
  if (Logging()) {
    ui_.ShowMessage(LogTextAlreadyLogging);
    return false;
  }
  if (FileExists() && !ui_.Question(LogTextOverwrite)) return false;
  buffer_.clear();
  if (!OpenFile(false)) {
    Changed();
    return false;
  }
  return WriteFirstLine(startLine);
}

bool TOperationLog::WriteFirstLine(std::string_view line) {
  buffer_.append(line);
  buffer_ += "\r\n";
  // A log whose first line cannot be written never starts.
  const bool ok = Flush();
  if (!ok) CloseFile();
  Changed();
  return ok;
}

void TOperationLog::CloseLog() {
  if (!Logging()) {
    ui_.ShowMessage(LogTextAlreadyClosed);
    return;
  }
  CloseFile();
  Changed();
}

bool TOperationLog::AppendToLog(const std::string& startLine) {
  if (Logging()) {
    ui_.ShowMessage(LogTextAlreadyLogging);
    return false;
  }
  if (FileExists()) {
    buffer_.clear();
    if (!OpenFile(true)) {
      Changed();
      return false;
    }
    return WriteFirstLine(LogTextAppendMarker);
  }
  if (!ui_.Question(LogTextNotFoundStartNew)) {
    Changed();
    return false;
  }
  return StartNewLog(startLine);
}

bool TOperationLog::ViewLog() {
  if (!FileExists()) {
    ui_.ShowMessage(LogTextNotFound);
    return false;
  }
  return true;
}

bool TOperationLog::EditLog() {
  if (!FileExists()) {
    ui_.ShowMessage(LogTextNotFound);
    return false;
  }
  if (Logging()) {
    if (!ui_.Question(LogTextWillClose)) return false;
    CloseFile();
    Changed();
  }
  return true;
}

std::vector<std::string> TOperationLog::LoadLines() {
  const bool wasLogging = Logging();
  if (wasLogging) CloseFile();
  std::vector<std::string> lines;
  TFileResult r = ReadLogLines(path_, lines);
  if (!r.ok) ui_.ShowError(r.message);
  if (wasLogging && !OpenFile(true)) Changed();
  return lines;
}

void TOperationLog::Shutdown() { CloseFile(); }

std::vector<std::string> SplitLogLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(pos));
      break;
    }
    lines.emplace_back(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
  }
  return lines;
}

TFileResult ReadLogLines(const std::string& path, std::vector<std::string>& lines) {
  std::string bytes;
  TFileResult r = ReadFileBytes(path, bytes);
  lines = r.ok ? SplitLogLines(bytes) : std::vector<std::string>{};
  return r;
}

TFileResult WriteLogLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& l : lines) {
    bytes += l;
    bytes += "\r\n";
  }
  return ReplaceFileContents(path, bytes);
}

std::string LogImageFileName(const std::string& logPath) {
  size_t slash = logPath.rfind('/');
  std::string name = slash == std::string::npos ? logPath : logPath.substr(slash + 1);
  if (name.size() >= 4 && EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".txt"))
    return name.substr(0, name.size() - 3) + "jpg";
  if (size_t at = FindNoCase(name, "txt"); at != std::string::npos) return name.replace(at, 3, "jpg");
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name + ".jpg";
}

std::string LogFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

TLogSaveAs LogSaveAs(EditorUi& ui, const std::vector<std::string>& lines, const std::string& defaultDirectory,
                     bool saveImageWithLogName) {
  TLogSaveAs result;
  if (lines.empty() || (lines.size() == 1 && lines[0].empty())) {
    ui.ShowMessage(LogTextNothingToSave);
    return result;
  }
  TFileRequest request;
  request.title = LogSaveTitle;
  request.filter = LogSaveFilter;
  request.initialDir = defaultDirectory;
  request.defaultExt = "txt";
  request.promptOverwrite = true;
  std::optional<std::string> chosen = ui.SaveFileName(request);
  if (!chosen || chosen->empty()) return result;
  TFileResult written = WriteLogLines(*chosen, lines);
  if (!written.ok) {
    // Nothing was saved, so there is no image to name after it.
    ui.ShowError(written.message);
    return result;
  }
  result.Saved = true;
  result.Path = *chosen;
  if (saveImageWithLogName) {
    result.OfferImage = true;
    result.DefaultDirectory = LogFolderOf(*chosen);
    result.ImageFileName = LogImageFileName(*chosen);
  }
  return result;
}

bool LogEditorMayClose(EditorUi& ui, bool modified) {
  return !modified || ui.Question(LogTextChangesNotSaved);
}

}  // namespace vell
