// TfPrint: the "Print Options" dialog, and the print job it sets up.
//
// The dialog picks the printed size (screen size with a correction factor,
// inches, the whole page or a CD cover), the alignment and the orientation;
// PrintImage turns those into a rectangle in printer dots (PrintLayout) and
// draws the tile stretched into it. It is made once and kept, so its choices
// and the printer set-up survive between uses; the factor and the inch
// fields are filled afresh on every show.
//
//   print->SetImageSize(w, h);
//   if (print->exec() == QDialog::Accepted) outcome = print->PrintImage(tile, print->Printer());
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/PrintLayout.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vell {

class TfPrint : public QDialog {
  Q_OBJECT

 public:
  explicit TfPrint(QWidget* parent = nullptr);
  ~TfPrint() override;

  // The working image's size, for the inch fields and "Maintain Ratio".
  void SetImageSize(int width, int height);

  // The message of the scaling factor's help button.
  static QString HelpText();

  // The platform printer the set-up button changes; made on first use.
  QPrinter& Printer();

  // The choices.
  TPrintSize SizeChoice() const;
  TPrintAlign AlignChoice() const;
  bool Landscape() const;

  // The dialog's settings with the three fields read; the conversion error
  // when one of them holds no number.
  std::optional<std::string> ReadRequest(TPrintRequest& request) const;

  struct TOutcome {
    bool printed = false;
    std::string error;  // empty when printed or when nothing was tried
    TPrintRect rect;    // in printer dots, within the printable area
    TPrintMetrics metrics;
  };
  // Prints `image` once on `printer` with the dialog's settings: orientation
  // first, then the measures, the rectangle, and the tile stretched into it
  // pixel for pixel (with a 1-dot black outline for the CD covers).
  TOutcome PrintImage(const QImage& image, QPrinter& printer);

  // The measures PrintImage works with: printer dots per inch and printable
  // size, the screen's dots per inch.
  static TPrintMetrics Metrics(QPrinter& printer);

  // How messages are shown (the help text); a message box unless replaced.
  void SetMessageHook(std::function<void(const QString&)> hook) { message_ = std::move(hook); }

  // Handlers, also used by tests.
  void rgSizeClick(int index);
  void CDJacketClick(TPrintSize cover);  // the right-click menu
  void eWideExit();
  void eHighExit();
  void SpeedButton1Click();
  void sbPrintClick();

  // Controls, named as the form names them.
  QGroupBox* rgSize = nullptr;
  std::array<QRadioButton*, 5> rgSizeItems{};
  QGroupBox* rgAlign = nullptr;
  std::array<QRadioButton*, 2> rgAlignItems{};
  QGroupBox* rgOrient = nullptr;
  std::array<QRadioButton*, 2> rgOrientItems{};
  QLabel* lblScale = nullptr;
  QLineEdit* eScale = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QLabel* lblInches = nullptr;
  QLabel* lblWide = nullptr;
  QLabel* lblHigh = nullptr;
  QLineEdit* eWide = nullptr;
  QLineEdit* eHigh = nullptr;
  QCheckBox* cbAspect = nullptr;
  QPushButton* sbPrint = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QMenu* PopupMenu1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void ShowScaling(bool shown);
  void ShowSizes(bool shown);
  char Separator() const;

  int imageWidth_ = 256;
  int imageHeight_ = 256;
  QButtonGroup* sizeGroup_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
  std::function<void(const QString&)> message_;
};

}  // namespace vell
