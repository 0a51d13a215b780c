#include "dialogs/qt/TextPanel.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "dialogs/TextLayout.h"
#include "dialogs/qt/ColrBtn.h"

namespace vell {

TTextPanel::TTextPanel(QWidget* parent) : QWidget(parent), color_(palette().color(QPalette::Button)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = QFont(QString::fromLatin1(kDefaultTextFamily));
  font_.setPointSize(8);
  resize(75, 25);
}

void TTextPanel::setText(const QString& text) {
  text_ = text;
  update();  // a new text repaints even when it is the same
}

void TTextPanel::setBevelWidth(int width) {
  if (width == bevel_ || !BevelWidthAllowed(this->width(), height(), width)) return;
  bevel_ = width;
  update();
}

void TTextPanel::setAlignment(Qt::Alignment alignment) {
  alignment &= Qt::AlignHorizontal_Mask;
  if (alignment == alignment_) return;
  alignment_ = alignment;
  update();
}

void TTextPanel::setColor(const QColor& colour) {
  if (colour == color_) return;
  color_ = colour;
  update();
}

void TTextPanel::setTextFont(const QFont& font) {
  if (font == font_) return;
  font_ = font;
  update();
}

void TTextPanel::setFontColor(uint32_t colour) {
  if (colour == fontColor_) return;
  fontColor_ = colour;
  update();
}

QString TTextPanel::ShownText() const {
  return QString::fromStdString(FirstLine(text_.toStdString()));
}

QRect TTextPanel::TextBox() const {
  const QFontMetrics fm(font_);
  const TTextBox b = SampleTextBox(width(), height(), fm.boundingRect(QLatin1Char('W')).height());
  return QRect(b.left, b.top, b.right - b.left, b.bottom - b.top);
}

QImage TTextPanel::Render() const {
  QImage image(size(), QImage::Format_RGB32);
  QPainter p(&image);
  p.fillRect(image.rect(), color_);
  const QColor shadow = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
  for (int i = 0; i < bevel_; ++i) {
    const int r = width() - 1 - i, b = height() - 1 - i;
    p.setPen(shadow);
    p.drawLine(i, i, r, i);
    p.drawLine(i, i, i, b);
    p.setPen(light);
    p.drawLine(i, b, r, b);
    p.drawLine(r, i, r, b);
  }
  const QRect box = TextBox();
  p.setClipRect(box);
  p.setFont(font_);
  p.setPen(TColrBtn::ToQColor(fontColor_));
  p.drawText(box, static_cast<int>(alignment_) | Qt::AlignVCenter | Qt::TextExpandTabs | Qt::TextSingleLine,
             ShownText());
  return image;
}

void TTextPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, Render());
}

}  // namespace vell
