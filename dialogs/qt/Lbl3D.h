// TLbl3D: a one-line caption drawn flat, raised or inset.
//
// The 3-D look comes from painting the text up to three times with one-pixel
// offsets: a highlight copy, optionally a shadow copy, then the text itself.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QPainter;

namespace vell {

enum class TTextStyle { tsNormal, tsRaised, tsInset };
enum class TShadeType { stLight, stHeavy };

class TLbl3D : public QWidget {
  Q_OBJECT

 public:
  explicit TLbl3D(const QString& caption = QString(), QWidget* parent = nullptr);

  TTextStyle aTextStyle() const { return textStyle_; }
  TShadeType aShadeType() const { return shadeType_; }
  QColor aHiliteClr() const { return hiliteClr_; }
  QColor aShadowClr() const { return shadowClr_; }
  // Each setter repaints only when the value changes.
  void setATextStyle(TTextStyle style);
  void setAShadeType(TShadeType type);
  void setAHiliteClr(const QColor& colour);
  void setAShadowClr(const QColor& colour);

  // The ordinary label properties.
  QString Caption() const { return caption_; }
  void setCaption(const QString& caption);
  QColor Color() const { return color_; }
  void setColor(const QColor& colour);
  QColor FontColor() const { return fontColor_; }
  void setFontColor(const QColor& colour);
  bool Transparent() const { return transparent_; }
  void setTransparent(bool transparent);

  // Paints the caption over the whole client area (also used to render into an image).
  void PaintCaption(QPainter& painter) const;
  // How many repaints the setters asked for.
  int RepaintRequests() const { return repaintRequests_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Changed();

  QString caption_;
  TTextStyle textStyle_ = TTextStyle::tsInset;
  TShadeType shadeType_ = TShadeType::stLight;
  QColor hiliteClr_;
  QColor shadowClr_;
  QColor color_;
  QColor fontColor_;
  bool transparent_ = false;
  int repaintRequests_ = 0;
};

}  // namespace vell
