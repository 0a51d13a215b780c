#include "Icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace yarb::qt {

namespace {
void DrawBin(QPainter& p) {
  // A waste bin seen slightly from above: body, rim and ribs.
  QLinearGradient body(6, 0, 26, 0);
  body.setColorAt(0, QColor(120, 130, 150));
  body.setColorAt(0.5, QColor(220, 225, 235));
  body.setColorAt(1, QColor(100, 110, 130));
  QPainterPath path;
  path.moveTo(6, 10);
  path.lineTo(26, 10);
  path.lineTo(23, 30);
  path.lineTo(9, 30);
  path.closeSubpath();
  p.setPen(QPen(QColor(40, 45, 60), 1));
  p.setBrush(body);
  p.drawPath(path);
  p.setBrush(QColor(70, 80, 100));
  p.drawEllipse(QRectF(5, 7, 22, 6));
  p.setPen(QPen(QColor(80, 90, 110), 1));
  for (int x : {11, 16, 21}) p.drawLine(QPointF(x, 14), QPointF(x - (x - 16) * 0.15, 28));
}

void DrawFolder(QPainter& p) {
  // An open folder: the sheets leave it on their way out.
  p.setPen(QPen(QColor(120, 90, 20), 1));
  p.setBrush(QColor(230, 190, 80));
  p.drawRect(QRectF(3, 9, 24, 18));
  p.drawRect(QRectF(3, 6, 10, 4));
  p.setBrush(QColor(250, 215, 110));
  QPainterPath front;
  front.moveTo(3, 27);
  front.lineTo(8, 14);
  front.lineTo(31, 14);
  front.lineTo(27, 27);
  front.closeSubpath();
  p.drawPath(front);
}

void DrawSheet(QPainter& p, int frame) {
  // A sheet of paper, turning as it flies toward the bin.
  p.translate(16, 16);
  p.rotate(frame * 15.0);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(255, 255, 250));
  p.drawRect(QRectF(-7, -9, 14, 18));
  p.setPen(QPen(QColor(0, 0, 160), 1));
  for (int y = -5; y <= 5; y += 3) p.drawLine(QPointF(-4, y), QPointF(4, y));
}
}  // namespace

QPixmap DrawIcon(int id) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  if (id == 101) {
    DrawBin(p);
    p.setPen(QPen(QColor(200, 20, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(14, 12));
    p.drawLine(QPointF(14, 4), QPointF(4, 12));
  } else if (id == 107) {
    DrawFolder(p);
  } else if (id > 107 && id <= 130) {
    DrawSheet(p, id - 107);
  }
  return pm;
}

QPixmap DrawBanner() {
  QPixmap pm(500, 63);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 500, 0);
  g.setColorAt(0, QColor(255, 255, 255));
  g.setColorAt(0.55, QColor(235, 240, 250));
  g.setColorAt(1, QColor(40, 70, 160));
  p.fillRect(pm.rect(), g);
  // A few translucent tiles at the right: the product makes tiles.
  for (int i = 0; i < 6; ++i) {
    QColor c = QColor::fromHsv((200 + i * 25) % 360, 120, 230, 150);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(360 + (i % 3) * 40, 6 + (i / 3) * 26, 34, 22), 3, 3);
  }
  p.setOpacity(0.9);
  p.translate(458, 14);
  DrawBin(p);
  return pm;
}

}  // namespace yarb::qt
