#include "dialogs/qt/Tester1.h"

#include <algorithm>

#include <QEvent>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "imaging/Seam.h"

namespace vell {

const QRgb TfTester::kSampleColours[16] = {
    0x000000, 0xFFFFFF, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFF00FF, 0x800080, 0xFFFF00,
    0x008000, 0x000080, 0x00FF00, 0x800000, 0x808000, 0x808080, 0x008080, 0xC0C0C0,
};

TfTester::TfTester(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("fTester"));
  setWindowTitle(QStringLiteral("Test Tiles"));
  QFont arial(QStringLiteral("Arial"));
  arial.setBold(true);
  setFont(arial);
  // Every pixel is painted from the picture; nothing to clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnOK->setMinimumWidth(90);
  btnOK->installEventFilter(this);
  connect(btnOK, &QPushButton::clicked, this, &QWidget::hide);

  // Drawn on its own patch of window colour: readable over any tile.
  lblStatus = new QLabel(this);
  lblStatus->setObjectName(QStringLiteral("lblStatus"));
  lblStatus->setAutoFillBackground(true);
  lblStatus->setMargin(4);
  QFont plain = lblStatus->font();
  plain.setBold(false);
  lblStatus->setFont(plain);
  lblStatus->hide();

  // The button stays centred whatever the status text's width.
  auto* bottom = new QGridLayout;
  bottom->setContentsMargins(16, 0, 16, 0);
  bottom->addWidget(lblStatus, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
  bottom->addWidget(btnOK, 0, 1);
  bottom->setColumnStretch(0, 1);
  bottom->setColumnStretch(2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 16);
  layout->addStretch(1);
  layout->addLayout(bottom);
  resize(800, 600);
}

void TfTester::SetImage(const TPixelBuffer& image) {
  if (image.Empty())
    tile_.Allocate(0, 0, 0, 0);
  else
    CopyPixelsTo(image, tile_);
  if (tile_.Empty()) {
    lblStatus->clear();
    lblStatus->hide();
  } else {
    lblStatus->setText(QString::fromStdString(SeamScoreText(MeasureSeam(tile_))));
    lblStatus->show();
  }
  stale_ = true;
  update();
}

void TfTester::ShowTiles(const TPixelBuffer& image) {
  SetImage(image);
  // Covers the screen even where no window manager maximises it.
  if (QScreen* where = screen()) setGeometry(where->availableGeometry());
  showMaximized();
  raise();
  activateWindow();
  btnOK->setFocus(Qt::OtherFocusReason);
}

QImage TfTester::RenderTiles(QSize size) {
  Rebuild(size);
  return view_.copy();
}

void TfTester::Rebuild(QSize size) {
  const int w = std::max(size.width(), 1), h = std::max(size.height(), 1);
  frame_.Allocate(w, h, 0, 24);
  if (frame_.Empty()) {
    view_ = QImage();
    return;
  }
  // The picture and the QImage share one block of B,G,R rows.
  view_ = QImage(frame_.Bits(), w, h, frame_.BytesPerLine(), QImage::Format_BGR888);
  if (tile_.Empty())
    view_.fill(palette().color(QPalette::Window));
  else
    tile_.PaintTiled(frame_, 0, 0, w, h);
  DrawSampleText(view_);
  stale_ = false;
}

void TfTester::DrawSampleText(QImage& target) {
  QPainter painter(&target);
  painter.setBackgroundMode(Qt::TransparentMode);
  const QString text = QString::fromLatin1(kSampleText);
  // Point sizes as the window's screen measures them, also on the off-screen image.
  QFont large(font(), this);
  large.setPointSize(kLargePoints);
  large.setBold(true);
  QFont small(font(), this);
  small.setPointSize(kSmallPoints);
  small.setBold(false);

  painter.setFont(large);
  const int largeAscent = painter.fontMetrics().ascent();
  for (int i = 0; i < 16; ++i) {
    painter.setPen(QColor(kSampleColours[i]));
    painter.drawText(kLeftX, i * kLineStep + largeAscent, text);
  }
  painter.setFont(small);
  const QFontMetrics metrics = painter.fontMetrics();
  const int x = target.width() - metrics.horizontalAdvance(text) - kRightMargin;
  for (int i = 0; i < 16; ++i) {
    painter.setPen(QColor(kSampleColours[i]));
    painter.drawText(x, i * kLineStep + metrics.ascent(), text);
  }
}

void TfTester::paintEvent(QPaintEvent*) {
  if (stale_ || view_.size() != size()) Rebuild(size());
  QPainter painter(this);
  if (view_.isNull())
    painter.fillRect(rect(), palette().color(QPalette::Window));
  else
    painter.drawImage(0, 0, view_);
}

void TfTester::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  stale_ = true;
  update();
}

void TfTester::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A minimised window is hidden by the system; only a real close hands back.
  if (!event->spontaneous()) emit closed();
}

bool TfTester::IsCloseKey(const QKeyEvent* event) const {
  return event->key() == Qt::Key_Z && (event->modifiers() & Qt::ControlModifier) && !event->isAutoRepeat();
}

// The form sees keys before its button does.
bool TfTester::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && IsCloseKey(static_cast<QKeyEvent*>(event))) {
    hide();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TfTester::keyReleaseEvent(QKeyEvent* event) {
  if (IsCloseKey(event)) {
    hide();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

}  // namespace vell
