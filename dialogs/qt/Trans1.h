// TfTrans: "Transparent Paste Options".
//
// Chooses the colour left out when the clipboard picture is pasted over the
// image: the picture's lower-left pixel, the pen colour, or a custom colour
// picked by pressing the swatch. The swatch's colour is the answer. Mode,
// custom colour and the resize choice survive between uses.
#pragma once

#include <QDialog>
#include <QFrame>
#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vell {

// The swatch: a plain colour with a hand cursor.
class TTransSwatch : public QFrame {
  Q_OBJECT

 public:
  explicit TTransSwatch(QWidget* parent = nullptr);
  uint32_t Color() const { return colour_; }  // 0x00BBGGRR
  void SetColor(uint32_t colour);

 signals:
  void pressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  uint32_t colour_ = 0;
};

struct TTransChoice {
  uint32_t Colour = 0;  // 0x00BBGGRR
  bool Resize = true;
};

class TfTrans : public QDialog {
  Q_OBJECT

 public:
  // The colour dialog: the chosen colour or none on Cancel.
  using TChooser = std::function<std::optional<uint32_t>(uint32_t initial)>;

  explicit TfTrans(QWidget* parent = nullptr);

  // Where "Use Pen Color" reads the pen colour (0x00BBGGRR).
  void SetPenColourSource(std::function<uint32_t()> source) { pen_ = std::move(source); }
  void SetChooser(TChooser chooser) { chooser_ = std::move(chooser); }

  // Presets the swatch by the selected mode from `lowerLeft` (the "Normal"
  // colour) and shows the dialog modally; the swatch colour and resize
  // choice on OK, none on Cancel.
  std::optional<TTransChoice> Execute(uint32_t lowerLeft);
  // The preset alone (Execute does it first).
  void Prepare(uint32_t lowerLeft);

  uint32_t SwatchColour() const { return Shape1->Color(); }
  uint32_t CustomColour() const { return custom_; }

  QGroupBox* GroupBox1 = nullptr;
  QRadioButton* rbNorm = nullptr;
  QRadioButton* rbPen = nullptr;
  QRadioButton* rbCustom = nullptr;
  TTransSwatch* Shape1 = nullptr;
  QLabel* Label1 = nullptr;
  QCheckBox* cbReSize = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 private:
  void Shape1MouseDown();
  uint32_t PenColour() const { return pen_ ? pen_() : 0; }

  uint32_t lowerLeft_ = 0;
  uint32_t custom_ = 0;  // the colour dialog's current colour
  std::function<uint32_t()> pen_;
  TChooser chooser_;
};

}  // namespace vell
