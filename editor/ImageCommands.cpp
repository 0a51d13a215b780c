#include "editor/ImageCommands.h"

#include <utility>

#include "dialogs/FilterDesign.h"
#include "dialogs/MultiGradient.h"

namespace vell {

namespace {

void Snapshot(TEditor& editor) {
  if (editor.PushUndo) editor.PushUndo();
}

}  // namespace

void OpenPicture(TEditor& editor, TPixelBuffer&& picture) {
  Snapshot(editor);
  editor.InstallLoadedImage(std::move(picture));
}

void PictureToImage(TEditor& editor, const TPixelBuffer& picture) {
  Snapshot(editor);
  CopyImage(picture, editor.dibWork);
  editor.dibScratch.Allocate(editor.dibWork.Width(), editor.dibWork.Height(), 0, 24);
}

void PictureToBuffer(TEditor& editor, const TPixelBuffer& picture) {
  CopyImage(picture, editor.dibBuffer);
  editor.BufferFilled = true;
}

void CropToPicture(TEditor& editor, const TPixelBuffer& area) {
  CopyImage(area, editor.dibWork);
  editor.dibScratch.Allocate(editor.dibWork.Width(), editor.dibWork.Height(), 0, 24);
}

void PasteSelectionAt(TEditor& editor, const TPixelBuffer& picture, int left, int top, bool wrap) {
  Snapshot(editor);
  TPixelBuffer& work = editor.dibWork;
  if (!wrap) {
    picture.PaintTo(work, left, top);
    return;
  }
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) picture.PaintTo(work, left + i * work.Width(), top + j * work.Height());
}

TSliderPositions SliderPositionsOf(const std::array<int, 6>& p) {
  TSliderPositions s;
  s.lightness = p[0];
  s.contrast = p[1];
  s.saturation = p[2];
  s.red = p[3];
  s.green = p[4];
  s.blue = p[5];
  return s;
}

void CommitSliderPositions(TEditor& editor, const TSliderPositions& positions) {
  Snapshot(editor);
  ApplySliders(editor.dibScratch, editor.dibWork, positions);
  CopyPixelsTo(editor.dibScratch, editor.dibWork);
}

bool PasteGradientPicture(TApplyDispatcher& apply, TEditor& editor, const TPixelBuffer& gradient) {
  if (gradient.Empty()) return false;
  apply.BeginEffect();
  CopyImage(gradient, editor.dibWork);
  // The gradient is the new starting point of "Reset".
  CopyImage(editor.dibWork, editor.dibOriginal);
  apply.EndEffect();
  return true;
}

void ColorWheelToImage(TApplyDispatcher& apply, TEditor& editor) {
  apply.BeginEffect();
  TPixelBuffer wheel;
  ColorWheel(wheel);
  CopyImage(wheel, editor.dibWork);
  apply.EndEffect();
}

void RainbowOnImage(TApplyDispatcher& apply, TEditor& editor) {
  apply.BeginEffect();
  Rainbow(editor.dibWork);
  apply.EndEffect();
}

void ApplyGradientFields(TGradientPicture& gradient, const TGradientFields& fields) {
  int value = 0;
  if (!fields.Width.empty() && StrToIntChecked(fields.Width, value)) gradient.SetSize(value, gradient.Height());
  // A height of 1 or less is ignored: the centred styles need two rows.
  if (!fields.Height.empty() && StrToIntChecked(fields.Height, value) && value > 1)
    gradient.SetSize(gradient.Width(), value);
  if (!fields.Angle.empty() && StrToIntChecked(fields.Angle, value)) gradient.SetStartAngle(value);
  for (const TGradientStyleItem& item : kGradientStyleItems)
    if (item.Text == fields.Style) gradient.SetGradientStyle(item.Style);
  gradient.SetBeginColor(fields.FromColor & 0xFFFFFF);
  gradient.SetEndColor(fields.ToColor & 0xFFFFFF);
}

}  // namespace vell
