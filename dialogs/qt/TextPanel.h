// TTextPanel: a one-line text sample in a sunken bevel (the text composer's
// "Sample of Selected Font:").
//
// Painted off screen and shown in one step. Only the text's first line shows,
// clipped to a box one pixel shorter than the letter "W"; tabs are expanded
// and "&" is drawn as it is.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace vell {

class TTextPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TTextPanel(QWidget* parent = nullptr);  // 75 x 25

  QString Text() const { return text_; }
  void setText(const QString& text);
  int BevelWidth() const { return bevel_; }
  // Ignored when wider than (width div 2) - 5 or (height div 2) - 5.
  void setBevelWidth(int width);
  Qt::Alignment Alignment() const { return alignment_; }  // left, right or centre
  void setAlignment(Qt::Alignment alignment);
  QColor Color() const { return color_; }  // the background
  void setColor(const QColor& colour);
  QFont TextFont() const { return font_; }
  void setTextFont(const QFont& font);
  uint32_t FontColor() const { return fontColor_; }  // 0x00BBGGRR
  void setFontColor(uint32_t colour);

  // What the sample shows: the first line, and where.
  QString ShownText() const;
  QRect TextBox() const;
  // The whole sample as painted.
  QImage Render() const;

  QSize sizeHint() const override { return {75, 25}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int bevel_ = 1;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  QColor color_;
  QFont font_;
  uint32_t fontColor_ = 0x000000;
};

}  // namespace vell
