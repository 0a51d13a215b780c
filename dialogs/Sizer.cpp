#include "dialogs/Sizer.h"

#include <cctype>

namespace vell {

std::string MaskDigits(const std::string& text, int places) {
  std::string digits;
  for (char ch : text) {
    if (static_cast<int>(digits.size()) >= places) break;
    if (std::isdigit(static_cast<unsigned char>(ch))) digits.push_back(ch);
  }
  return digits;
}

namespace {

// Digits only by construction, at most 4 of them: always fits an int.
int FieldValue(const std::string& digits) { return digits.empty() ? 0 : std::stoi(digits); }

constexpr std::array<std::array<int, 2>, 3> kFixedSizes = {{{640, 480}, {800, 600}, {1024, 768}}};

}  // namespace

void TSizerLogic::FormShow(int currentWidth, int currentHeight) {
  currentWidth_ = currentWidth;
  currentHeight_ = currentHeight;
  SelectItem(kCustom);
  label4_ = "Width " + std::to_string(currentWidth) + "  Height " + std::to_string(currentHeight);
  if (firstShow_) {
    widthText_ = MaskDigits(std::to_string(currentWidth), kWidthDigits);
    heightText_ = MaskDigits(std::to_string(currentHeight), kHeightDigits);
    chosenWidth_ = currentWidth;
    chosenHeight_ = currentHeight;
    firstShow_ = false;
  }
}

void TSizerLogic::SelectItem(int index) {
  if (index < 0 || index >= static_cast<int>(kSizerItems.size()) || index == itemIndex_) return;
  itemIndex_ = index;
  ItemClick();
}

void TSizerLogic::ItemClick() {
  if (itemIndex_ == kCustom) {
    chosenWidth_ = currentWidth_;
    chosenHeight_ = currentHeight_;
  } else {
    chosenWidth_ = kFixedSizes[static_cast<size_t>(itemIndex_)][0];
    chosenHeight_ = kFixedSizes[static_cast<size_t>(itemIndex_)][1];
  }
  WriteChosen();
  if (!switchingToPercent_) EnterPixelMode();
}

void TSizerLogic::EnterPixelMode() {
  pixels_ = true;
  percentEnabled_ = false;
}

void TSizerLogic::WriteChosen() {
  widthText_ = MaskDigits(std::to_string(chosenWidth_), kWidthDigits);
  heightText_ = MaskDigits(std::to_string(chosenHeight_), kHeightDigits);
}

void TSizerLogic::EnterSizeField() { SelectItem(kCustom); }

std::optional<std::string> TSizerLogic::ExitWidth() {
  if (widthText_.empty()) return std::string(kSizerFieldIncomplete);
  chosenWidth_ = FieldValue(widthText_);
  return std::nullopt;
}

std::optional<std::string> TSizerLogic::ExitHeight() {
  if (heightText_.empty()) return std::string(kSizerFieldIncomplete);
  chosenHeight_ = FieldValue(heightText_);
  return std::nullopt;
}

void TSizerLogic::PercentWidth() { chosenWidth_ = FieldValue(pctWidthText_) * currentWidth_ / 100; }
void TSizerLogic::PercentHeight() { chosenHeight_ = FieldValue(pctHeightText_) * currentHeight_ / 100; }

void TSizerLogic::SetPctWidthText(const std::string& text) {
  pctWidthText_ = MaskDigits(text, kPercentDigits);
  if (!pctWidthText_.empty()) PercentWidth();
  widthText_ = MaskDigits(std::to_string(chosenWidth_), kWidthDigits);
}

void TSizerLogic::SetPctHeightText(const std::string& text) {
  pctHeightText_ = MaskDigits(text, kPercentDigits);
  if (!pctHeightText_.empty()) PercentHeight();
  heightText_ = MaskDigits(std::to_string(chosenHeight_), kHeightDigits);
}

std::optional<std::string> TSizerLogic::ExitPctWidth() {
  if (pctWidthText_.empty()) return std::string(kSizerFieldIncomplete);
  PercentWidth();
  return std::nullopt;
}

std::optional<std::string> TSizerLogic::ExitPctHeight() {
  if (pctHeightText_.empty()) return std::string(kSizerFieldIncomplete);
  PercentHeight();
  return std::nullopt;
}

void TSizerLogic::PixelsClick() { EnterPixelMode(); }

void TSizerLogic::PercentClick() {
  pixels_ = false;
  switchingToPercent_ = true;
  SelectItem(kCustom);
  switchingToPercent_ = false;
  percentEnabled_ = true;
  PercentWidth();
  PercentHeight();
  WriteChosen();
}

void TSizerLogic::PresetClick(int preset) {
  if (preset < 0 || preset >= static_cast<int>(kSizerPresets.size())) return;
  SelectItem(kCustom);
  EnterPixelMode();
  chosenWidth_ = kSizerPresets[static_cast<size_t>(preset)].width;
  chosenHeight_ = kSizerPresets[static_cast<size_t>(preset)].height;
  WriteChosen();
}

}  // namespace vell
