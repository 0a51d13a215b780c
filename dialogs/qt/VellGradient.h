// TVellGradient: the two-colour gradient control. It only shows the picture
// that TGradientPicture renders; a change of a property repaints it.
#pragma once

#include <QWidget>

#include "dialogs/VellGradient.h"

namespace vell {

class TVellGradient : public QWidget {
  Q_OBJECT

 public:
  explicit TVellGradient(QWidget* parent = nullptr);

  uint32_t BeginColor() const { return gradient_.BeginColor(); }
  uint32_t EndColor() const { return gradient_.EndColor(); }
  TGradientStyle GradientStyle() const { return gradient_.GradientStyle(); }
  int32_t Steps() const { return gradient_.Steps(); }
  bool Ctl3D() const { return gradient_.Ctl3D(); }
  int32_t StartAngle() const { return gradient_.StartAngle(); }
  void SetBeginColor(uint32_t colour);
  void SetEndColor(uint32_t colour);
  void SetGradientStyle(TGradientStyle style);
  void SetSteps(int32_t steps);
  void SetCtl3D(bool on);
  void SetStartAngle(int32_t angle);

  // The control's (and its picture's) size; negative values count as 0.
  int GradientWidth() const { return gradient_.Width(); }
  int GradientHeight() const { return gradient_.Height(); }
  void SetGradientSize(int width, int height);

  // The picture as it stands now, rendered first when a change is pending.
  const TPixelBuffer& Bitmap() { return gradient_.Picture(); }
  TGradientPicture& Gradient() { return gradient_; }

  QSize sizeHint() const override { return {gradient_.Width(), gradient_.Height()}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Changed(bool changed);

  TGradientPicture gradient_;
};

}  // namespace vell
