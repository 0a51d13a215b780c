// TColrBtn: a colour-swatch button that opens a colour dialog.
//
// Pressing any mouse button draws it pressed, shows the pressed look at once,
// and opens the colour dialog preset to the button's colour; on OK the chosen
// colour becomes Color and changed() fires. Setting Color from code repaints
// without firing changed().
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QPainter;

namespace vell {

class TColrBtn : public QWidget {
  Q_OBJECT

 public:
  // The dialog: the chosen colour (0x00BBGGRR) or none on Cancel.
  using TChooser = std::function<std::optional<uint32_t>(uint32_t initial, QWidget* parent)>;

  explicit TColrBtn(QWidget* parent = nullptr);

  // 0x00BBGGRR, white by default.
  uint32_t Color() const { return color_; }
  void setColor(uint32_t colour);
  QColor qColor() const;

  QString Caption() const { return caption_; }
  void setCaption(const QString& caption);

  bool Pressed() const { return pressed_; }

  // Replaces the colour dialog (tests, or a shared dialog of the window).
  void setChooser(TChooser chooser) { chooser_ = std::move(chooser); }

  // Paints the button over its whole client area (also into an image).
  void PaintButton(QPainter& painter) const;

  QSize sizeHint() const override { return {85, 35}; }

  static QColor ToQColor(uint32_t colour);
  static uint32_t FromQColor(const QColor& colour);

 signals:
  void clicked();
  void changed(uint32_t colour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  uint32_t color_ = 0xFFFFFF;
  QString caption_;
  bool pressed_ = false;
  TChooser chooser_;
};

}  // namespace vell
