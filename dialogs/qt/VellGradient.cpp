#include "dialogs/qt/VellGradient.h"

#include <QImage>
#include <QPainter>

namespace vell {

TVellGradient::TVellGradient(QWidget* parent) : QWidget(parent) {
  // Opaque and never erased first, so it never flickers through the parent's colour.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFixedSize(gradient_.Width(), gradient_.Height());
}

void TVellGradient::Changed(bool changed) {
  if (changed) update();
}

void TVellGradient::SetBeginColor(uint32_t colour) { Changed(gradient_.SetBeginColor(colour)); }
void TVellGradient::SetEndColor(uint32_t colour) { Changed(gradient_.SetEndColor(colour)); }
void TVellGradient::SetGradientStyle(TGradientStyle style) { Changed(gradient_.SetGradientStyle(style)); }
void TVellGradient::SetSteps(int32_t steps) { Changed(gradient_.SetSteps(steps)); }
void TVellGradient::SetCtl3D(bool on) { Changed(gradient_.SetCtl3D(on)); }
void TVellGradient::SetStartAngle(int32_t angle) { Changed(gradient_.SetStartAngle(angle)); }

void TVellGradient::SetGradientSize(int width, int height) {
  if (!gradient_.SetSize(width, height)) return;
  // The widget shows what it can; a picture too large to make stays blank.
  setFixedSize(std::min(gradient_.Width(), QWIDGETSIZE_MAX), std::min(gradient_.Height(), QWIDGETSIZE_MAX));
  updateGeometry();
  update();
}

void TVellGradient::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TPixelBuffer& picture = gradient_.Picture();
  if (picture.Empty()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  const QImage image(picture.Bits(), picture.Width(), picture.Height(), picture.BytesPerLine(),
                     QImage::Format_BGR888);
  painter.drawImage(0, 0, image);
}

}  // namespace vell
