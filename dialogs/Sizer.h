// The "Set Size" dialog's rules without widgets: what its fields show, which
// mode it is in and what size it hands to the two resize operations. The Qt
// dialog forwards its events here and copies the state back into its widgets.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace vell {

struct TSizerPreset {
  const char* caption;
  int width;
  int height;
};

// Entries of rgSizer, in order; the last one is "Custom...".
inline constexpr std::array<const char*, 4> kSizerItems = {"640 X 480", "800 X 600", "1024 X 768", "Custom..."};
// The right-click menu.
inline constexpr std::array<TSizerPreset, 3> kSizerPresets = {{
    {"CD Front 912 x 456", 912, 456},
    {"CD Back 564 x 444", 564, 444},
    {"CD Front 1/2", 456, 456},
}};

// Digits the masked edits hold: width "0999" (1 to 4 digits), height and the
// two percent fields "099" (1 to 3 digits).
inline constexpr int kWidthDigits = 4;
inline constexpr int kHeightDigits = 3;
inline constexpr int kPercentDigits = 3;

// What a masked edit makes of typed or assigned text: digits only, as many as
// the mask has places; anything beyond is cut off.
std::string MaskDigits(const std::string& text, int places);

// Shown when a field is left without a single digit in it.
inline constexpr const char kSizerFieldIncomplete[] = "Enter a whole number of at least one digit.";

class TSizerLogic {
 public:
  static constexpr int kCustom = 3;

  // Events, named for the handlers of the window.
  // Showing: "Custom..." is selected, the current-size label is set, and on
  // the first show only the current size goes into the pixel fields and
  // becomes the chosen size.
  void FormShow(int currentWidth, int currentHeight);
  // Selecting an entry, by the user or from code: the click runs only when
  // the selection actually changes.
  void SelectItem(int index);
  // Entering any of the four size fields selects "Custom...".
  void EnterSizeField();
  // Typing: the field keeps what its mask allows.
  void SetWidthText(const std::string& text) { widthText_ = MaskDigits(text, kWidthDigits); }
  void SetHeightText(const std::string& text) { heightText_ = MaskDigits(text, kHeightDigits); }
  void SetPctWidthText(const std::string& text);
  void SetPctHeightText(const std::string& text);
  // Leaving a field reads it; an empty field is rejected with
  // kSizerFieldIncomplete and the chosen size stays as it was.
  std::optional<std::string> ExitWidth();
  std::optional<std::string> ExitHeight();
  std::optional<std::string> ExitPctWidth();
  std::optional<std::string> ExitPctHeight();
  void PixelsClick();
  void PercentClick();
  void PresetClick(int preset);

  // State for the window.
  int ItemIndex() const { return itemIndex_; }
  bool PixelMode() const { return pixels_; }
  bool PercentMode() const { return !pixels_; }
  bool PercentFieldsEnabled() const { return percentEnabled_; }
  const std::string& WidthText() const { return widthText_; }
  const std::string& HeightText() const { return heightText_; }
  const std::string& PctWidthText() const { return pctWidthText_; }
  const std::string& PctHeightText() const { return pctHeightText_; }
  const std::string& CurrentSizeText() const { return label4_; }
  bool FirstShow() const { return firstShow_; }

  // What the resize operations read after OK.
  int ChosenWidth() const { return chosenWidth_; }
  int ChosenHeight() const { return chosenHeight_; }

 private:
  void ItemClick();
  void EnterPixelMode();
  void WriteChosen();
  void PercentWidth();
  void PercentHeight();

  int currentWidth_ = 256, currentHeight_ = 256;
  int chosenWidth_ = 0, chosenHeight_ = 0;
  int itemIndex_ = kCustom;
  bool pixels_ = true;
  bool percentEnabled_ = false;
  bool firstShow_ = true;
  bool switchingToPercent_ = false;
  std::string label4_ = "Width 256  Height 256";
  std::string widthText_, heightText_;
  std::string pctWidthText_ = "50", pctHeightText_ = "50";
};

}  // namespace vell
