// TfFilter: "Create-A-Filter", where the user types a 3 x 3 kernel (e1 ... e9
// in reading order) and its divisor (eDiv, right of the middle row).
//
// The fields go back as typed: "Design Your Own" converts them itself and its
// log line repeats them as entered. OK refuses a divisor that would divide by
// zero and keeps the dialog open; other conversion errors are the caller's.
// The fields keep their text between uses, also after Cancel.
//
//   if (std::optional<TFilterDesign> design = fFilter->Execute()) ... apply it
//   settings: fFilter->SetDesign(read at start-up), fFilter->Design() at exit
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "dialogs/FilterDesign.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vell {

class TfFilter : public QDialog {
  Q_OBJECT

 public:
  explicit TfFilter(QWidget* parent = nullptr);

  // Modal; the fields on OK, none on Cancel.
  std::optional<TFilterDesign> Execute();

  TFilterDesign Design() const;
  void SetDesign(const TFilterDesign& design);

  // A divisor field that converts to an integer which, taken as the kernel
  // engine's unsigned 16-bit divisor, is 0 (so "0", "65536", "$10000").
  static bool DivisorIsZero(const std::string& text);

  // How the refusal is shown; a warning box unless replaced.
  void SetMessageHook(std::function<void(const QString&)> hook) { message_ = std::move(hook); }

  void btnOKClick();

  std::array<QLineEdit*, 9> e{};
  QLineEdit* eDiv = nullptr;
  QLabel* lblHelp = nullptr;
  QLabel* lblHint = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 private:
  std::function<void(const QString&)> message_;
};

}  // namespace vell
