// TfELog: the operation log editor ("Edit Log File"), modal.
//
// Loads VellLog.txt (logging is off by then), lets the user change it and
// writes it back on "&OK". Closing with unsaved changes asks first; the
// "Cancel" button lets them go without asking. The parameter panel is hidden
// while the editor is up (toolBoxHideRequested / toolBoxShowRequested).
#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace vell {

class EditorUi;
class TEditor;
class TOperationLog;

class TfELog : public QDialog {
  Q_OBJECT

 public:
  explicit TfELog(QWidget* parent = nullptr);

  // All must outlive the editor.
  void SetContext(TOperationLog* log, EditorUi* ui, TEditor* editor);

  void LoadLog();
  void bSaveClick();
  void bOKClick();
  void bCancelClick();
  void bPrintClick();

  bool Modified() const { return modified_; }
  QStringList Lines() const;

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* bSave = nullptr;
  QPushButton* bOK = nullptr;
  QPushButton* bCancel = nullptr;
  QPushButton* bPrint = nullptr;

 signals:
  void toolBoxHideRequested();
  void toolBoxShowRequested();

 public slots:
  // The close box and Esc: asks when there are unsaved changes.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Finish(int result);

  TOperationLog* log_ = nullptr;
  EditorUi* ui_ = nullptr;
  TEditor* editor_ = nullptr;
  bool modified_ = false;
  bool loading_ = false;
};

}  // namespace vell
