#include "dialogs/qt/ColrBtn.h"

#include <QApplication>
#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

namespace vell {

TColrBtn::TColrBtn(QWidget* parent) : QWidget(parent) {
  resize(85, 35);
  chooser_ = [](uint32_t initial, QWidget* owner) -> std::optional<uint32_t> {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), owner);
    if (!chosen.isValid()) return std::nullopt;
    return FromQColor(chosen);
  };
}

QColor TColrBtn::ToQColor(uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

uint32_t TColrBtn::FromQColor(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return static_cast<uint32_t>(rgb.red()) | static_cast<uint32_t>(rgb.green()) << 8 |
         static_cast<uint32_t>(rgb.blue()) << 16;
}

QColor TColrBtn::qColor() const { return ToQColor(color_); }

void TColrBtn::setColor(uint32_t colour) {
  color_ = colour & 0xFFFFFF;
  update();
}

void TColrBtn::setCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TColrBtn::resizeEvent(QResizeEvent*) { update(); }
void TColrBtn::moveEvent(QMoveEvent*) { update(); }

void TColrBtn::mousePressEvent(QMouseEvent* event) {
  event->accept();
  pressed_ = true;
  repaint();
  QApplication::processEvents();  // let the pressed look show before the dialog
  const std::optional<uint32_t> chosen = chooser_ ? chooser_(color_, this) : std::nullopt;
  if (chosen) {
    color_ = *chosen & 0xFFFFFF;
    emit changed(color_);
  }
  pressed_ = false;
  update();
  emit clicked();
}

void TColrBtn::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintButton(painter);
}

void TColrBtn::PaintButton(QPainter& p) const {
  const int w = width(), h = height();
  const QPalette& pal = palette();
  const QColor face = pal.color(QPalette::Button);
  const QColor shadow = pal.color(QPalette::Dark);
  const QColor light = pal.color(QPalette::Light);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, w, h, face);
  // Outlines cover [0, w) x [0, h): the right and bottom edges are the last pixels.
  p.setBrush(Qt::NoBrush);
  if (!pressed_) {
    p.setPen(shadow);
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(light);
    p.drawLine(0, h - 1, 0, 0);
    p.drawLine(0, 0, w - 1, 0);
    p.fillRect(QRect(QPoint(3, 3), QPoint(w - 4, h - 4)), qColor());
  } else {
    p.setPen(light);
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(shadow);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.fillRect(QRect(QPoint(4, 4), QPoint(w - 3, h - 3)), qColor());
  }
  if (!caption_.isEmpty()) {
    p.setFont(font());
    p.setPen(color_ == 0 ? Qt::white : Qt::black);
    QRect r(0, 0, w, h);
    if (pressed_) r.translate(1, 1);
    p.drawText(r, Qt::AlignCenter, caption_);
  }
  p.restore();
}

}  // namespace vell
