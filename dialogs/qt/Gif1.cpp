#include "dialogs/qt/Gif1.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace vell {

namespace {
constexpr int kLeft = 6, kTop = 4, kPitch = 17, kSide = 16;
}

TfGif::TfGif(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fGif"));
  setWindowTitle(QStringLiteral("Set GIF Transparency"));
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  const int gridBottom = kTop + kPitch * 16;
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnNone = new QPushButton(QStringLiteral("None"), this);
  btnNone->setObjectName(QStringLiteral("btnNone"));
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  const int w = 86, h = 25, gap = 6;
  const int width = kLeft * 2 + kPitch * 16 - 1;
  const int x0 = (width - (3 * w + 2 * gap)) / 2;
  btnOK->setGeometry(x0, gridBottom + 8, w, h);
  btnNone->setGeometry(x0 + w + gap, gridBottom + 8, w, h);
  btnCancel->setGeometry(x0 + 2 * (w + gap), gridBottom + 8, w, h);
  setFixedSize(width, gridBottom + 8 + h + 8);
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, [this] { done(Ok); });
  connect(btnNone, &QPushButton::clicked, this, [this] { done(None); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(Cancel); });
  colours_.fill(QColor());
}

QRect TfGif::SwatchRect(int index) {
  return QRect(kLeft + kPitch * (index % 16), kTop + kPitch * (index / 16), kSide, kSide);
}

int TfGif::IndexAt(int x, int y) {
  if (x < kLeft || y < kTop) return -1;
  const int col = (x - kLeft) / kPitch, row = (y - kTop) / kPitch;
  if (col > 15 || row > 15) return -1;
  // The one-pixel gaps between swatches belong to no swatch.
  if ((x - kLeft) % kPitch >= kSide || (y - kTop) % kPitch >= kSide) return -1;
  return col + 16 * row;
}

void TfGif::SetColorMap(const TGifColorMap& map) {
  for (int i = 0; i < 256; ++i) {
    if (i < map.Count) {
      const TGifRGB& c = map.Entries[static_cast<size_t>(i)];
      colours_[static_cast<size_t>(i)] = QColor(c.Red, c.Green, c.Blue);
    } else {
      colours_[static_cast<size_t>(i)] = QColor();
    }
  }
  update();
}

TfGif::TResult TfGif::Execute() {
  const int r = exec();
  return r == Ok ? Ok : r == None ? None : Cancel;
}

void TfGif::paintEvent(QPaintEvent*) {
  QPainter p(this);
  for (int i = 0; i < 256; ++i) {
    const QRect r = SwatchRect(i);
    const QColor& c = colours_[static_cast<size_t>(i)];
    if (c.isValid()) p.fillRect(r, c);
    if (i == selected_) {
      p.setPen(QPen(palette().color(QPalette::WindowText), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(1, 1, -1, -1));
    }
  }
}

void TfGif::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const int index = IndexAt(pos.x(), pos.y());
  if (index < 0) return QDialog::mousePressEvent(event);
  selected_ = index;
  update();
}

}  // namespace vell
