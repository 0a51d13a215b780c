#include "dialogs/qt/Lbl3D.h"

#include <QFontMetrics>
#include <QPainter>

namespace vell {

TLbl3D::TLbl3D(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
  const QPalette& pal = palette();
  hiliteClr_ = pal.color(QPalette::Light);
  shadowClr_ = pal.color(QPalette::Dark);
  color_ = pal.color(QPalette::Window);
  fontColor_ = pal.color(QPalette::WindowText);
}

void TLbl3D::Changed() {
  ++repaintRequests_;
  update();
}

void TLbl3D::setATextStyle(TTextStyle style) {
  if (style == textStyle_) return;
  textStyle_ = style;
  Changed();
}

void TLbl3D::setAShadeType(TShadeType type) {
  if (type == shadeType_) return;
  shadeType_ = type;
  Changed();
}

void TLbl3D::setAHiliteClr(const QColor& colour) {
  if (colour == hiliteClr_) return;
  hiliteClr_ = colour;
  Changed();
}

void TLbl3D::setAShadowClr(const QColor& colour) {
  if (colour == shadowClr_) return;
  shadowClr_ = colour;
  Changed();
}

void TLbl3D::setCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  updateGeometry();
  Changed();
}

void TLbl3D::setColor(const QColor& colour) {
  if (colour == color_) return;
  color_ = colour;
  Changed();
}

void TLbl3D::setFontColor(const QColor& colour) {
  if (colour == fontColor_) return;
  fontColor_ = colour;
  Changed();
}

void TLbl3D::setTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  setAttribute(Qt::WA_TranslucentBackground, transparent);
  Changed();
}

QSize TLbl3D::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(fm.horizontalAdvance(caption_) + 4, fm.height() + 2);
}

void TLbl3D::PaintCaption(QPainter& painter) const {
  if (!transparent_) painter.fillRect(rect(), color_);
  painter.setFont(font());
  const QFontMetrics fm(font());
  // Integer halves truncate toward zero, so a caption wider than the control
  // starts left of it and is clipped on both sides.
  const int x0 = (width() - fm.horizontalAdvance(caption_)) / 2;
  const int y0 = (height() - fm.height()) / 2;
  painter.setBackgroundMode(Qt::TransparentMode);
  auto copy = [&](const QColor& colour, int x, int y) {
    painter.setPen(colour);
    painter.drawText(x, y + fm.ascent(), caption_);
  };
  switch (textStyle_) {
    case TTextStyle::tsNormal:
      break;
    case TTextStyle::tsRaised:
      copy(hiliteClr_, x0 - 1, y0 - 1);
      if (shadeType_ == TShadeType::stHeavy) copy(shadowClr_, x0 + 1, y0 + 1);
      break;
    case TTextStyle::tsInset:
      if (shadeType_ == TShadeType::stHeavy) copy(shadowClr_, x0 - 1, y0 - 1);
      copy(hiliteClr_, x0 + 1, y0 + 1);
      break;
  }
  copy(fontColor_, x0, y0);
}

void TLbl3D::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintCaption(painter);
}

}  // namespace vell
