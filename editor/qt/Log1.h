// TfLog: the operation log viewer ("View 'Quilo99 Log File"), not modal.
//
// It shows VellLog.txt read-only; while logging, loading closes the log first
// so everything written so far is on disk, and reopens it for appending.
// The main window hides the parameter panel before showing the viewer; the
// viewer asks for it back through toolBoxShowRequested() when it closes.
//
// Also the printing shared with the log editor: the lines in Times New Roman
// 10 point, one memo line per printed line, as one print job.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace vell {

class EditorUi;
class TEditor;
class TOperationLog;

// Memo text <-> log lines (an empty memo has no lines).
std::vector<std::string> MemoLines(const QString& text);
QString MemoText(const std::vector<std::string>& lines);

// Prints `lines` on `printer` as one job. False when the printer cannot start.
bool PrintLogLines(const QStringList& lines, QPrinter& printer);

// The print dialog: true to print on `printer`. Tests replace it (a PDF
// printer, no dialog); empty means the real QPrintDialog.
using TPrintDialogHook = std::function<bool(QPrinter& printer, QWidget* parent)>;
void SetPrintDialogHook(TPrintDialogHook hook);
// "&Print" of the viewer and the editor: nothing for no lines, else the
// dialog and, on OK, the job.
void PrintLogMemo(const QStringList& lines, QWidget* parent);

// The memo over a row of buttons that both log windows are made of.
struct TLogWindowParts {
  QPlainTextEdit* memo = nullptr;
  QHBoxLayout* buttons = nullptr;
};
TLogWindowParts BuildLogWindow(QDialog& dialog, bool readOnly);
QPushButton* AddLogButton(QDialog& dialog, QHBoxLayout& row, const char* name, const QString& caption);
// The memo's lines as the print job takes them.
QStringList MemoLineList(const QPlainTextEdit& memo);

class TfLog : public QDialog {
  Q_OBJECT

 public:
  explicit TfLog(QWidget* parent = nullptr);

  // The log, the user's answers and the editor's default directory and
  // "Save Image with Log File Name"; all must outlive the viewer.
  void SetContext(TOperationLog* log, EditorUi* ui, TEditor* editor);

  // Load (on show and "&Refresh").
  void LoadLog();
  void bRefreshClick() { LoadLog(); }
  void bSaveClick();
  void bOKClick() { close(); }
  void bPrintClick();

  QStringList Lines() const;

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* bRefresh = nullptr;
  QPushButton* bSave = nullptr;
  QPushButton* bOK = nullptr;
  QPushButton* bPrint = nullptr;

 signals:
  void toolBoxShowRequested();  // the viewer closed
  // A log was saved with "Save Image with Log File Name" checked: the default
  // directory has become its folder; run the image Save As offering `fileName`.
  void saveImageRequested(const QString& fileName);

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TOperationLog* log_ = nullptr;
  EditorUi* ui_ = nullptr;
  TEditor* editor_ = nullptr;
};

}  // namespace vell
