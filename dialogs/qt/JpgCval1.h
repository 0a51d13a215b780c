// TfJPGComp: "Set JPG Compression Quality".
//
// The edit and the scroll bar follow each other; typed values are clamped to
// 0 ... 100. OK confirms the bar's position, Cancel puts the bar back to the
// last confirmed value. The edit's text is what the settings file keeps.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vell {

class TfJPGComp : public QDialog {
  Q_OBJECT

 public:
  explicit TfJPGComp(QWidget* parent = nullptr);

  // The stored text, when the settings file holds one (at creation).
  void RestoreText(const QString& text);
  QString StoredText() const;

  // Modal; the bar's position on OK, none on Cancel.
  std::optional<int> Execute();

  int ConfirmedQuality() const { return confirmed_; }
  int Position() const;

  // The conversion error box; a critical message box unless replaced.
  void SetMessageHook(std::function<void(const QString&)> hook) { message_ = std::move(hook); }

  QLabel* Label1 = nullptr;
  QLineEdit* eCVal = nullptr;
  QScrollBar* sbCVal = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // Cancel
  QPushButton* Button1 = nullptr;  // Default

 public slots:
  void reject() override;

 private:
  void eCValChange(const QString& text);
  void sbCValChange(int position);
  void BitBtn1Click();

  int confirmed_ = 90;
  bool syncing_ = false;
  std::function<void(const QString&)> message_;
};

}  // namespace vell
