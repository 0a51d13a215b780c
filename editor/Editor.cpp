#include "editor/Editor.h"

#include <utility>

namespace vell {

std::string ColorText(uint32_t colour) {
  return "R: " + std::to_string(colour & 0xFF) + " G: " + std::to_string((colour >> 8) & 0xFF) +
         " B: " + std::to_string((colour >> 16) & 0xFF);
}

std::string BoolText(bool flag) { return flag ? "True" : "False"; }

// The pixel buffer's own copy already handles every depth.
void CopyImage(const TPixelBuffer& source, TPixelBuffer& destination) { CopyPixelsTo(source, destination); }

void FillImage(TPixelBuffer& image, uint32_t colour) {
  if (image.Empty() || image.BitCount() != 24) return;
  const TRGB24 px{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                  static_cast<uint8_t>(colour)};
  for (int y = 0; y < image.Height(); ++y) {
    TRGB24* row = image.Row24(y);
    for (int x = 0; x < image.Width(); ++x) row[x] = px;
  }
}

void TEditor::CreateImages() {
  dibWork.Allocate(0, 0, 0, 0);
  dibWork.Allocate(kStartWidth, kStartHeight, 0, 24);
  FillImage(dibWork, 0);
  CopyImage(dibWork, dibScratch);
  CopyImage(dibWork, dibBuffer);
  CopyImage(dibWork, dibOriginal);
}

void TEditor::New(uint32_t brushColour) {
  if (PushUndo) PushUndo();
  FillImage(dibWork, brushColour);
  Log("New Image, Color " + ColorText(brushColour));
}

void TEditor::Reset() {
  if (PushUndo) PushUndo();
  CopyImage(dibOriginal, dibWork);
  Log("Image Reset");
}

void TEditor::InstallLoadedImage(TPixelBuffer&& picture) {
  // A 24-bit picture is taken over as it is: a large file is not copied once more.
  if (!picture.Empty() && picture.BitCount() == 24)
    dibWork = std::move(picture);
  else
    CopyImage(picture, dibWork);
  CopyImage(dibWork, dibOriginal);
  dibScratch.Allocate(dibWork.Width(), dibWork.Height(), 0, 24);
}

void TEditor::SelectEffect(int id, const std::string& name) {
  EffectType = id;
  EffectName = id == -1 ? std::string() : name;
}

std::string TEditor::ActivityText() const { return EffectType == -1 ? "Idle..." : EffectName; }

bool TEditor::QueryClose(EditorUi& ui, const std::function<void()>& saveAs) const {
  return QueryCloseSaving(ui, [&] {
    if (saveAs) saveAs();
    return true;
  });
}

bool TEditor::QueryCloseSaving(EditorUi& ui, const std::function<bool()>& saveAs) const {
  if (!PromptForSave) return true;
  switch (ui.MessageBox(kSaveOnCloseText, TMsgButtons::YesNoCancel, TMsgKind::Confirmation)) {
    case TMsgResult::Yes:
      return saveAs ? saveAs() : true;
    case TMsgResult::No:
      return true;
    default:
      return false;
  }
}

}  // namespace vell
