// TVellFade: a picture that changes into another one by a timed cross-fade,
// and goes back by cross-fading or by dissolving pixel by pixel.
//
// The frames run inside the call (Fade, FadeBack, DissolveBack): each frame
// is painted at once, then the call waits for the frame's slot on an
// absolute schedule. Between frames the application processes its messages
// only when ProcessMsgs is on. The pixel work is TFadeImages'.
//
//   fader->setPicFrom(QImage(":/about/ok_off.png"));
//   fader->setPicTo(QImage(":/about/ok_on.png"));
//   connect(fader, &TVellFade::OnMouseEnter, fader, &TVellFade::Fade);
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

#include "dialogs/Fade.h"

namespace vell {

class TVellFade : public QWidget {
  Q_OBJECT

 public:
  explicit TVellFade(QWidget* parent = nullptr);

  // Pictures are copied; changing either rebuilds unless a backward run has
  // them swapped.
  const QImage& PicFrom() const { return picFrom_; }
  const QImage& PicTo() const { return picTo_; }
  void setPicFrom(const QImage& picture);
  void setPicTo(const QImage& picture);
  QColor ColorFrom() const { return colorFrom_; }
  QColor ColorTo() const { return colorTo_; }
  void setColorFrom(const QColor& colour);
  void setColorTo(const QColor& colour);
  int DisolvRate() const { return disolvRate_; }
  void setDisolvRate(int rate);  // 1 ... width x height
  int BlendRate() const { return blendRate_; }
  void setBlendRate(int rate);  // at least 1
  int MsecPerFrame() const { return msecPerFrame_; }
  void setMsecPerFrame(int ms) { msecPerFrame_ = ms; }
  bool StretchToFit() const { return stretchToFit_; }
  void setStretchToFit(bool stretch);
  bool ProcessMsgs() const { return processMsgs_; }
  void setProcessMsgs(bool on) { processMsgs_ = on; }
  bool AutoReverse() const { return autoReverse_; }
  void setAutoReverse(bool on) { autoReverse_ = on; }
  bool SwapOnReverse() const { return swapOnReverse_; }
  void setSwapOnReverse(bool on) { swapOnReverse_ = on; }
  int SwapDelay() const { return swapDelay_; }
  void setSwapDelay(int seconds) { swapDelay_ = seconds; }

  // Rebuilds the display and end images from the pictures and repaints.
  void Reset();
  // Start picture to end picture; then, with AutoReverse, back again.
  void Fade();
  // End picture back to the start picture, cross-fading or dissolving.
  void FadeBack();
  void DissolveBack();

  // State, for the windows that use it and for tests.
  const TFadeImages& Images() const { return images_; }
  bool Swapped() const { return swapped_; }
  bool Running() const { return running_; }
  int FramesShown() const { return framesShown_; }

  // How a failure is shown; a message box unless replaced. Nothing is thrown.
  void SetMessageHook(std::function<void(const QString&)> hook) { message_ = std::move(hook); }

  // The time the frames are scheduled by, in milliseconds. Tests put in a
  // clock that only pretends to wait.
  struct TClock {
    std::function<double()> now;
    // Waits until `deadline`, letting messages run when `processMessages`.
    std::function<void(double deadline, bool processMessages)> waitUntil;
  };
  static void SetClock(TClock clock);
  static TClock SystemClock();

  QSize sizeHint() const override { return {75, 75}; }

 signals:
  void OnBegin();
  void OnEnd();
  void OnReset();
  void OnMouseEnter();
  void OnMouseLeave();
  void OnClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Rebuild();
  void Show(TPixelBuffer& image, const QImage& picture, const QColor& colour, int width, int height, bool stretch);
  void PrepareBack();
  void Swap();
  // The frames of a cross-fade; false when the control went away meanwhile.
  bool RunBlend();
  bool RunDissolve();
  // Paints the frame now and waits for the next slot.
  bool Frame(double& deadline);
  void Fail(const std::string& text);

  QImage picFrom_, picTo_;
  QColor colorFrom_ = Qt::black;
  QColor colorTo_ = Qt::white;
  int disolvRate_ = 125;
  int blendRate_ = 32;
  int msecPerFrame_ = 40;
  bool stretchToFit_ = true;
  bool processMsgs_ = false;
  bool autoReverse_ = false;
  bool swapOnReverse_ = true;
  int swapDelay_ = 1;

  TFadeImages images_;
  bool swapped_ = false;
  bool savedStretch_ = true;
  bool running_ = false;
  bool rebuilding_ = false;
  int framesShown_ = 0;
  std::function<void(const QString&)> message_;
};

}  // namespace vell
