// TfrmSizer: the "Set Size" dialog that asks the two resizes for a target size.
//
// The rules (fixed sizes, custom pixels or percent of the current size, the
// CD presets, what a show loads) live in TSizerLogic; this window forwards
// its events there and copies the state back into its controls. It is made
// once and kept, so its mode, fields and chosen size survive between uses.
//
//   std::optional<QSize> size = sizer->Execute(dibWork.Width(), dibWork.Height());
//   if (size) ... resample to size->width() x size->height() (either may be 0)
#pragma once

#include <QDialog>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "dialogs/Sizer.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace vell {

// The width of a field that shows `digits` digits whole.
int DigitEditWidth(const QLineEdit& edit, int digits);

class TfrmSizer : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmSizer(QWidget* parent = nullptr);

  // Shows the dialog modally for a working image of this size; the chosen
  // size on OK, none on Cancel.
  std::optional<QSize> Execute(int currentWidth, int currentHeight);

  // The size the next show reports as current (Execute sets it).
  void SetCurrentSize(int width, int height);
  int ChosenWidth() const { return logic_.ChosenWidth(); }
  int ChosenHeight() const { return logic_.ChosenHeight(); }
  const TSizerLogic& Logic() const { return logic_; }

  // How the field error is shown; a critical message box unless replaced.
  void SetMessageHook(std::function<void(const QString&)> hook) { message_ = std::move(hook); }

  // The right-click menu's preset, as if chosen there.
  void PresetClick(int preset);
  // OK: reads the field being edited first, then closes with OK.
  void btnOKClick();

  // Controls, named as the form names them.
  QLabel* Label4 = nullptr;
  QGroupBox* rgSizer = nullptr;
  std::array<QRadioButton*, 4> rgSizerItems{};
  QRadioButton* rbPix = nullptr;
  QRadioButton* rbPct = nullptr;
  QLineEdit* meWidth = nullptr;
  QLineEdit* meHeight = nullptr;
  QLineEdit* mePctWidth = nullptr;
  QLineEdit* mePctHeight = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QMenu* pmPresets = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void FieldEdited(QLineEdit* field, const QString& text);
  // Runs the field's exit rule; false (and the message shown, focus kept)
  // when the field holds no number.
  std::optional<std::string> ExitField(QLineEdit* field);
  // Leaving a field that holds no number: once the focus has settled, the
  // message is shown and the focus goes back, unless the field was filled
  // meanwhile (a click on a size entry) or the dialog has closed.
  void CheckLeftField(QLineEdit* field);
  void Sync();
  void SetFieldText(QLineEdit* field, const std::string& text);

  TSizerLogic logic_;
  int currentWidth_ = 256;
  int currentHeight_ = 256;
  bool syncing_ = false;
  // The size field that has the focus and has not been read on leaving yet.
  QLineEdit* activeField_ = nullptr;
  QButtonGroup* itemGroup_ = nullptr;
  std::function<void(const QString&)> message_;
};

}  // namespace vell
