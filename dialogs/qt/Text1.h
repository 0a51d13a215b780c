// TfText: "Add Text", the text composer the text tool opens.
//
// Created once and kept: every choice stays for the next use. The sample
// follows the memo's text and the last font applied; OK hands over the text
// (lines joined by CR LF), the sample's font and colour, and the alignment.
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace vell {

class TColrBtn;
class TTextPanel;

class TfText : public QDialog {
  Q_OBJECT

 public:
  // `families`: the installed font families (empty: ask QFontDatabase).
  explicit TfText(QWidget* parent = nullptr, QStringList families = {});

  // ---- what the text tool reads ----------------------------------------
  QString Text() const;         // the memo's text, lines separated by CR LF
  QFont SampleFont() const;     // family, size in points, bold, italic
  uint32_t FontColor() const;   // 0x00BBGGRR
  int AlignmentIndex() const;   // 0 left, 1 centre, 2 right
  int StyleIndex() const { return styleIndex_; }
  // The family shown at start when "MS Sans Serif" is not installed (else empty).
  QString FallbackFamily() const { return fallback_; }

  // ---- the events, as the controls raise them --------------------------
  void lbFontsClick(int row);
  void eFontNameChange(const QString& typed);
  void lbStyleClick(int row);
  void lbSizeClick(int row);
  void eSizeChange(const QString& typed);
  void RadioGroup1Click(int index);
  // Applies the family, size and style fields to the sample.
  void ApplyFont();

  // The conversion error of a size that is not a number; a message box unless replaced.
  std::function<void(const std::string&)> ShowError;

  QLineEdit* eFontName = nullptr;
  QListWidget* lbFonts = nullptr;
  QLineEdit* eStyle = nullptr;
  QListWidget* lbStyle = nullptr;
  QLineEdit* eSize = nullptr;
  QListWidget* lbSize = nullptr;
  TTextPanel* tPnl1 = nullptr;
  QTextEdit* Memo1 = nullptr;
  QButtonGroup* RadioGroup1 = nullptr;
  TColrBtn* ColrBtn1 = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // Cancel
  QLabel* lblFallback = nullptr;

 private:
  int styleIndex_ = 0;
  QString fallback_;
};

}  // namespace vell
