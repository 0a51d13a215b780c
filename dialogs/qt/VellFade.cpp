#include "dialogs/qt/VellFade.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

namespace vell {

namespace {

TVellFade::TClock& Clock() {
  static TVellFade::TClock clock = TVellFade::SystemClock();
  return clock;
}

QImage View(TPixelBuffer& image) {
  return QImage(image.Bits(), image.Width(), image.Height(), image.BytesPerLine(), QImage::Format_BGR888);
}

}  // namespace

TVellFade::TClock TVellFade::SystemClock() {
  TClock c;
  c.now = [] {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
  };
  c.waitUntil = [now = c.now](double deadline, bool processMessages) {
    if (processMessages) {
      while (now() < deadline) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (deadline - now() > 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      return;
    }
    // A late frame waits less, or not at all: the schedule is absolute.
    const long ms = std::lround(deadline - now());
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  return c;
}

void TVellFade::SetClock(TClock clock) { Clock() = std::move(clock); }

TVellFade::TVellFade(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  resize(75, 75);
  message_ = [this](const QString& text) { QMessageBox::critical(window(), QApplication::applicationName(), text); };
  Rebuild();
}

void TVellFade::setPicFrom(const QImage& picture) {
  picFrom_ = picture;
  if (!swapped_) Reset();
}

void TVellFade::setPicTo(const QImage& picture) {
  picTo_ = picture;
  if (!swapped_) Reset();
}

void TVellFade::setColorFrom(const QColor& colour) {
  colorFrom_ = colour;
  Reset();
}

void TVellFade::setColorTo(const QColor& colour) {
  colorTo_ = colour;
  Reset();
}

void TVellFade::setDisolvRate(int rate) { disolvRate_ = ClampDisolvRate(rate, width(), height()); }

void TVellFade::setBlendRate(int rate) { blendRate_ = ClampBlendRate(rate); }

void TVellFade::setStretchToFit(bool stretch) {
  stretchToFit_ = stretch;
  Reset();
}

void TVellFade::Reset() {
  // A run in progress keeps its pictures; it rebuilds when it ends.
  if (running_) return;
  Rebuild();
  update();
  emit OnReset();
}

void TVellFade::Swap() {
  std::swap(colorFrom_, colorTo_);
  std::swap(picFrom_, picTo_);
}

void TVellFade::Show(TPixelBuffer& image, const QImage& picture, const QColor& colour, int width, int height,
                     bool stretch) {
  image.Allocate(width, height, 0, 24);
  if (image.Empty()) return;
  QImage view = View(image);
  QPainter painter(&view);
  // The colour shows where a picture is see-through or smaller.
  painter.fillRect(view.rect(), colour);
  if (picture.isNull()) return;
  if (stretch)
    painter.drawImage(view.rect(), picture);
  else
    painter.drawImage(0, 0, picture);
}

void TVellFade::Rebuild() {
  if (rebuilding_) return;
  rebuilding_ = true;
  if (swapped_) {
    Swap();
    swapped_ = false;
    stretchToFit_ = savedStretch_;
  }
  const bool from = !picFrom_.isNull();
  const bool to = !picTo_.isNull();
  if (stretchToFit_ || (!from && !to)) {
    Show(images_.display, picFrom_, colorFrom_, width(), height(), true);
    Show(images_.end, picTo_, colorTo_, width(), height(), true);
  } else if (to && !from) {
    resize(picTo_.size());
    Show(images_.end, picTo_, colorTo_, width(), height(), false);
    Show(images_.display, QImage(), colorFrom_, width(), height(), false);
  } else if (from && !to) {
    resize(picFrom_.size());
    Show(images_.display, picFrom_, colorFrom_, width(), height(), false);
    Show(images_.end, QImage(), colorTo_, width(), height(), false);
  } else {
    resize(picFrom_.size());
    Show(images_.display, picFrom_, colorFrom_, width(), height(), false);
    Show(images_.end, picTo_, colorTo_, width(), height(), true);
  }
  images_.source.Allocate(images_.display.Width(), images_.display.Height(), 0, 24);
  rebuilding_ = false;
}

void TVellFade::Fail(const std::string& text) { message_(QString::fromStdString(text)); }

bool TVellFade::Frame(double& deadline) {
  QPointer<TVellFade> self(this);
  repaint();
  ++framesShown_;
  deadline += msecPerFrame_;
  Clock().waitUntil(deadline, processMsgs_);
  return !self.isNull();
}

bool TVellFade::RunBlend() {
  images_.BeginBlend();
  double deadline = Clock().now();
  for (int64_t i = 0; i <= blendRate_; ++i) {
    const int weight = BlendWeight(i, blendRate_);
    if (weight > 0) images_.BlendFrame(weight);
    if (!Frame(deadline)) return false;
  }
  return true;
}

bool TVellFade::RunDissolve() {
  const int w = images_.display.Width(), h = images_.display.Height();
  // The shuffle draws from the engine's generator, seeded from the clock; the
  // engine's own sequence is put back afterwards so the fader leaves no trace in it.
  const uint32_t engineState = RandomState();
  ReseedRandom();
  std::vector<TPixelPos> order = DissolveOrder(w, h, [](uint32_t n) { return NextRandom(n); });
  SetRandomState(engineState);
  images_.BeginDissolve(std::move(order), ClampDisolvRate(disolvRate_, w, h));
  const TDissolvePlan plan = images_.Plan();
  double deadline = Clock().now();
  for (int f = 0; f < plan.frames; ++f) {
    images_.DissolveStep(plan.perFrame);
    if (!Frame(deadline)) return false;
  }
  images_.DissolveStep(plan.rest);
  repaint();
  ++framesShown_;
  images_.EndDissolve();
  return true;
}

void TVellFade::PrepareBack() {
  savedStretch_ = stretchToFit_;
  stretchToFit_ = true;
  Swap();
  Rebuild();
  swapped_ = true;
}

void TVellFade::Fade() {
  if (running_) return;
  Reset();
  if (const std::optional<std::string> error = CheckBlendRate(blendRate_)) {
    Fail(*error);
    return;
  }
  QPointer<TVellFade> self(this);
  running_ = true;
  emit OnBegin();
  if (self.isNull() || !RunBlend()) return;
  if (autoReverse_) {
    Clock().waitUntil(Clock().now() + swapDelay_ * 1000.0, false);
    if (self.isNull()) return;
    PrepareBack();
    if (!(swapOnReverse_ ? RunDissolve() : RunBlend())) return;
    running_ = false;
    Reset();
  }
  running_ = false;
  emit OnEnd();
}

void TVellFade::FadeBack() {
  if (running_) return;
  if (const std::optional<std::string> error = CheckBlendRate(blendRate_)) {
    Fail(*error);
    return;
  }
  PrepareBack();
  running_ = true;
  if (!RunBlend()) return;
  running_ = false;
  Reset();
}

void TVellFade::DissolveBack() {
  if (running_) return;
  PrepareBack();
  running_ = true;
  if (!RunDissolve()) return;
  running_ = false;
  Reset();
}

void TVellFade::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (images_.display.Empty()) {
    painter.fillRect(rect(), colorFrom_);
    return;
  }
  painter.drawImage(0, 0, View(images_.display));
  const int w = images_.display.Width(), h = images_.display.Height();
  if (width() > w) painter.fillRect(w, 0, width() - w, height(), colorFrom_);
  if (height() > h) painter.fillRect(0, h, w, height() - h, colorFrom_);
}

void TVellFade::resizeEvent(QResizeEvent*) {
  if (rebuilding_ || (width() == images_.display.Width() && height() == images_.display.Height())) return;
  Reset();
}

void TVellFade::moveEvent(QMoveEvent*) { update(); }

void TVellFade::enterEvent(QEnterEvent*) { emit OnMouseEnter(); }

void TVellFade::leaveEvent(QEvent*) { emit OnMouseLeave(); }

void TVellFade::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit OnClick();
}

}  // namespace vell
