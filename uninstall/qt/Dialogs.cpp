#include "Dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "Icons.h"
#include "Platform.h"

namespace yarb::qt {

QString Q(const std::string& ansi) {
  QString s = QString::fromStdString(AnsiToUtf8(ansi));
  s.remove(QLatin1Char('\r'));
  return s;
}

std::string FromQ(const QString& text) { return Utf8ToAnsi(text.toStdString()); }

DialogUnits::DialogUnits(const QFont& font) {
  QFontMetrics fm(font);
  const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = std::max(1, (fm.horizontalAdvance(sample) / 26 + 1) / 2);
  baseY_ = std::max(1, fm.height());
}
int DialogUnits::X(int dlu) const {
  const int x = dlu * baseX_ / 4;
  return x + x / 6;
}
int DialogUnits::Y(int dlu) const { return dlu * baseY_ / 8; }
QRect DialogUnits::Rect(int x, int y, int w, int h) const {
  const int left = X(x), right = X(x + w);
  return QRect(left, Y(y), std::max(1, right - left), std::max(1, Y(y + h) - Y(y)));
}

const DialogFonts& Fonts(const UninstallSettings& settings) {
  static DialogFonts fonts = [&] {
    DialogFonts f;
    f.normal = QApplication::font();
    if (!settings.textFont.empty()) f.normal.setFamily(Q(settings.textFont));
    f.normal.setPointSize(settings.fontSize);
    f.normal.setWeight(QFont::Light);
    f.bold = f.normal;
    f.bold.setWeight(QFont::Bold);
    return f;
  }();
  return fonts;
}

void PrepareDialog(QWidget* dialog, const UninstallSettings& settings, int widthDlu,
                   int heightDlu) {
  const DialogFonts& f = Fonts(settings);
  dialog->setFont(f.normal);
  DialogUnits u(f.normal);
  dialog->setFixedSize(u.X(widthDlu), u.Y(heightDlu));
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->availableGeometry();
    dialog->move(s.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
  }
}

void PaintBar(QPainter& p, const QRect& area, int done, int total, bool blocks,
              const QPalette& palette) {
  const QRect in = area.adjusted(1, 1, -1, -1);
  if (!blocks) p.fillRect(in, palette.color(QPalette::Button));
  total = std::max(total, 1);
  done = std::clamp(done, 0, total);
  const int filled = static_cast<int>(static_cast<int64_t>(in.width()) * done / total);
  const QColor blue(0, 0, 127);
  if (blocks) {
    const int step = std::max(4, in.height() * 2 / 3);
    for (int x = 0; x < filled; x += step)
      p.fillRect(QRect(in.left() + x, in.top(), std::min(step - 3, filled - x), in.height()), blue);
  } else {
    p.fillRect(QRect(in.left(), in.top(), filled, in.height()), blue);
  }
  // Sunken frame one pixel outside.
  const QRect f = in.adjusted(-1, -1, 0, 0);
  p.setPen(palette.color(QPalette::Dark));
  p.drawLine(f.topLeft(), f.topRight());
  p.drawLine(f.topLeft(), f.bottomLeft());
  p.setPen(palette.color(QPalette::Light));
  p.drawLine(f.bottomLeft(), f.bottomRight());
  p.drawLine(f.topRight(), f.bottomRight());
}

StartupWindow::StartupWindow(const UninstallSettings& settings,
                             const std::function<std::string(int)>& text)
    : units_(Fonts(settings).normal) {
  setWindowTitle(Q(text(25)));
  setWindowIcon(QIcon(DrawIcon(101)));
  PrepareDialog(this, settings, 158, 55);
  auto* label = new QLabel(Q(text(70) + text(2) + text(71)), this);
  label->setObjectName("startupText");
  label->setGeometry(units_.Rect(7, 7, 144, 10));
  auto* cancel = new QPushButton(Q(text(48)), this);
  cancel->setObjectName("startupCancel");
  cancel->setGeometry(units_.Rect(54, 35, 50, 14));
  connect(cancel, &QPushButton::clicked, this, [this] { cancel_ = true; });
}

void StartupWindow::SetProgress(uint64_t done, uint64_t total) {
  done_ = done;
  total_ = std::max<uint64_t>(total, 1);
  update();
}

void StartupWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // Scaled to 1/1024 steps so that a large log does not overflow the int bar.
  const int done = static_cast<int>(std::min<uint64_t>(done_, total_) * 1024 / total_);
  PaintBar(p, units_.Rect(7, 19, 145, 10), done, 1024, false, palette());
}

int BandChannel(int start, int end, int k) {
  return std::clamp(start + k * (end - start) / 95, 0, 255);
}

BackgroundWindow::BackgroundWindow(const UninstallSettings& settings)
    : start_(settings.startColor), end_(settings.endColor) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowIcon(QIcon(DrawIcon(101)));
}

void BackgroundWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int h = height();
  for (int k = 0; k < 96; ++k) {
    const QColor c(BandChannel(start_.r, end_.r, k), BandChannel(start_.g, end_.g, k),
                   BandChannel(start_.b, end_.b, k));
    const int top = k * h / 96, bottom = (k + 1) * h / 96;
    p.fillRect(QRect(0, top, width(), std::max(0, bottom - top)), c);
  }
}

SourcePathDialog::SourcePathDialog(const UninstallSettings& settings,
                                   const std::function<std::string(int)>& text,
                                   const std::string& caption, const std::string& prompt,
                                   const std::string& path, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q(caption));
  PrepareDialog(this, settings, 199, 82);
  DialogUnits u(Fonts(settings).normal);
  auto* label = new QLabel(Q(prompt), this);
  label->setObjectName("sourceText");
  label->setWordWrap(true);
  label->setGeometry(u.Rect(7, 7, 185, 44));
  edit_ = new QLineEdit(Q(path), this);
  edit_->setObjectName("sourcePath");
  edit_->setMaxLength(255);
  edit_->setGeometry(u.Rect(7, 44, 185, 12));
  auto* ok = new QPushButton(Q(text(80)), this);
  ok->setObjectName("sourceOk");
  ok->setDefault(true);
  ok->setGeometry(u.Rect(42, 62, 50, 14));
  auto* cancel = new QPushButton(Q(text(48)), this);
  cancel->setObjectName("sourceCancel");
  cancel->setGeometry(u.Rect(107, 62, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::string SourcePathDialog::Path() const { return FromQ(edit_->text()); }

}  // namespace yarb::qt
