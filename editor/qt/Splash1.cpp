#include "editor/qt/Splash1.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

namespace vell {

TfSplash::TfSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(QStringLiteral(":/images/splash.png")) {
  setObjectName(QStringLiteral("fSplash"));
  setFixedSize(400, 200);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Only the picture shows: no frame, no title, whatever the window manager adds.
  setMask(QRegion(rect()));
}

void TfSplash::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void TfSplash::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.isNull())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawPixmap(rect(), picture_);
}

}  // namespace vell
