#include "editor/qt/Log2.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "editor/Editor.h"
#include "editor/OperationLog.h"
#include "editor/qt/Log1.h"

namespace vell {

TfELog::TfELog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fELog"));
  setWindowTitle(QStringLiteral("Edit Log File"));
  setModal(true);
  resize(544, 375);

  const TLogWindowParts parts = BuildLogWindow(*this, false);
  Memo1 = parts.memo;
  bSave = AddLogButton(*this, *parts.buttons, "bSave", QStringLiteral("&Save As"));
  bOK = AddLogButton(*this, *parts.buttons, "bOK", QStringLiteral("&OK"));
  bCancel = AddLogButton(*this, *parts.buttons, "bCancel", QStringLiteral("Cancel"));
  bPrint = AddLogButton(*this, *parts.buttons, "bPrint", QStringLiteral("&Print"));

  connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
    if (!loading_) modified_ = true;
  });
  connect(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
  connect(bOK, &QPushButton::clicked, this, [this] { bOKClick(); });
  connect(bCancel, &QPushButton::clicked, this, [this] { bCancelClick(); });
  connect(bPrint, &QPushButton::clicked, this, [this] { bPrintClick(); });
}

void TfELog::SetContext(TOperationLog* log, EditorUi* ui, TEditor* editor) {
  log_ = log;
  ui_ = ui;
  editor_ = editor;
}

void TfELog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  LoadLog();
  emit toolBoxHideRequested();
  // Only a fresh showing starts unmodified: coming back from a message box
  // keeps the user's changes counted.
  modified_ = false;
}

void TfELog::LoadLog() {
  loading_ = true;
  Memo1->clear();
  if (log_ != nullptr) Memo1->setPlainText(MemoText(log_->LoadLines()));
  loading_ = false;
}

QStringList TfELog::Lines() const { return MemoLineList(*Memo1); }

void TfELog::bSaveClick() {
  if (ui_ == nullptr) return;
  const TLogSaveAs saved = LogSaveAs(*ui_, MemoLines(Memo1->toPlainText()),
                                     editor_ ? editor_->DefaultDirectory : std::string(), false);
  if (saved.Saved) modified_ = false;
}

void TfELog::bOKClick() {
  if (log_ != nullptr) {
    const TFileResult written = WriteLogLines(log_->Path(), MemoLines(Memo1->toPlainText()));
    if (!written.ok) {
      // The changes are still only here: keep the editor open.
      if (ui_ != nullptr) ui_->ShowError(written.message);
      return;
    }
  }
  modified_ = false;
  Finish(Accepted);
}

void TfELog::bCancelClick() {
  modified_ = false;
  Finish(Rejected);
}

void TfELog::bPrintClick() { PrintLogMemo(Lines(), this); }

void TfELog::reject() {
  if (ui_ != nullptr && !LogEditorMayClose(*ui_, modified_)) return;
  Finish(Rejected);
}

void TfELog::Finish(int result) {
  QDialog::done(result);
  emit toolBoxShowRequested();
}

}  // namespace vell
