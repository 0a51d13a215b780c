// The wizard (dialog 106): the pages of WizardFlow, and after Finish the progress view with
// its animation, status text and bar, and at the end the run's report.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "Wizard.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace yarb::qt {

class WizardDialog : public QDialog {
  Q_OBJECT
 public:
  WizardDialog(WizardFlow& flow, const UninstallSettings& settings,
               std::function<std::string(int)> text, const QString& caption,
               QWidget* parent = nullptr);

  void ShowPage(int page);
  int Page() const { return page_; }
  bool FinishPressed() const { return finish_; }
  bool Cancelled() const { return cancelled_; }
  bool CloseClicked() const { return closed_; }

  // The progress view.
  void BeginProgress(const std::string& pageText);
  void SetStatus(const std::string& text);
  void SetProgress(int done, int total);
  // The last view: the report, and Close.
  void ShowReport(const std::string& summary, const std::string& report);
  // The user confirmed Cancel during the run.
  bool CancelRequested() const { return cancelRequested_; }

  // Asks a Yes / No question with the animation stopped (the Cancel question uses it).
  std::function<bool(const std::string& text, const std::string& caption)> askYesNo;

  // Animation frame position of frame 1-23 (quarters of the base width, eighths of the
  // base height); frames 24 and 25 show no sheet.
  static QPoint FramePosition(int frame);
  int Frame() const { return frame_; }

 signals:
  void stateChanged();

 protected:
  void paintEvent(QPaintEvent*) override;
  void reject() override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void Next();
  void Back();
  void CancelClicked();
  void LeavePage();
  QLabel* MakeLabel(const char* name, QRect r);

  WizardFlow& flow_;
  const UninstallSettings& settings_;
  std::function<std::string(int)> text_;
  DialogUnits units_;
  QPixmap banner_;
  QLabel *title_, *text1_, *text2_, *progressText_, *status_, *brand_;
  QListWidget* list_;
  QPlainTextEdit* report_;
  QRadioButton* radios_[3];
  QPushButton *selectAll_, *selectNone_, *back_, *next_, *cancel_;
  QTimer* timer_;
  int page_ = -1;
  bool finish_ = false, cancelled_ = false, closed_ = false;
  bool running_ = false, done_ = false, cancelRequested_ = false;
  int progressDone_ = 0, progressTotal_ = 1;
  int frame_ = 0;
  std::string status_text_;
};

}  // namespace yarb::qt
