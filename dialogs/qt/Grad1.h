// TfGradient: "Gradient Designer", the two-colour gradient's dialog. Its
// control hGrad is the live preview and the source of the gradient image.
//
// The edits act on every change: a text that is not an integer shows the
// conversion error and leaves the gradient as it was. Paste (bPaste) asks the
// main window to paste the preview at once; the dialog stays open.
//
//   fGradient->SetImageSize(w, h); if (fGradient->Execute()) ... copy hGrad->Bitmap()
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "dialogs/qt/VellGradient.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace vell {

class TfGradient : public QDialog {
  Q_OBJECT

 public:
  explicit TfGradient(QWidget* parent = nullptr);

  // Modal: true on OK, false however else it was closed.
  bool Execute();
  // The width and height edits (decimal) and so the preview's size.
  void SetImageSize(int width, int height);

  // The fields as shown: the texts of the edits and the list, and the colours.
  QString WidthText() const;
  QString HeightText() const;
  QString StyleText() const;
  QString AngleText() const;
  // "W: 256  H: 256 - Dbl Click to Paste into Image" for the preview's size.
  QString ThumbHint() const;

  // The standard error box; a critical message box unless replaced.
  void SetErrorHook(std::function<void(const QString&)> hook) { error_ = std::move(hook); }
  // The colour dialog cDlg: the colour chosen (0x00BBGGRR), none on Cancel.
  void SetColorChooser(std::function<std::optional<uint32_t>(uint32_t initial)> chooser) {
    chooser_ = std::move(chooser);
  }

  void bFromClClick();
  void bClToClick();
  void bDefaultClick();
  void bOKClick();

  QLineEdit* meWide = nullptr;
  QLineEdit* meHigh = nullptr;
  QComboBox* cbStyle = nullptr;
  QLineEdit* meAngle = nullptr;
  QPushButton* bFromCl = nullptr;
  QPushButton* bClTo = nullptr;
  QToolButton* bPaste = nullptr;
  QPushButton* bDefault = nullptr;
  QPushButton* bOK = nullptr;
  TVellGradient* hGrad = nullptr;

 signals:
  void pasteRequested();
  // A field, a colour or the style changed (the log's start line names them).
  void fieldsChanged();

 private:
  // The text as an integer, or the conversion error and none.
  std::optional<int> Convert(const QString& text);
  void meWideChange();
  void meHighChange();
  void meAngleChange();
  void cbStyleChange(int index);
  void FitPreview();

  QScrollArea* preview_ = nullptr;
  std::function<void(const QString&)> error_;
  std::function<std::optional<uint32_t>(uint32_t)> chooser_;
};

}  // namespace vell
