// Apply's rules without the window: the three checks before an effect runs,
// and how an effect reads the panel's fields into the stored parameters (its
// panel row says which field goes where; editor/EffectTable.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/EffectLog.h"
#include "editor/EffectParams.h"

namespace vell {

// The panel's fields as typed and its check boxes and colours.
struct TPanelFields {
  std::string Main = "250";    // eAmtMain
  std::string Second = "64";   // eAmtSecond
  std::string Third = "3";     // ePeaks2
  std::string Fourth = "64";   // eHeight2
  std::string Fifth = "24";    // eYPos
  std::string PenSize = "2";   // ePenSize
  bool UsePeaks = true;        // ckbxPeaks
  bool Wrap = true;            // ckbxWrap
  bool Bump = true;            // cbBump
  uint32_t PenColor = 0x000000;
  uint32_t BrushColor = 0xFFFFFF;
};

enum class TApplyCheck : uint8_t { Ok, NoEffect, EmptyAmount, NotNumeric };

inline constexpr std::string_view MsgFirstSelectEffect = "First Select an Effect";
inline constexpr std::string_view MsgAmountsZeroLength = "Amounts cannot be zero-length";
inline constexpr std::string_view MsgAmountsNotNumeric = "Amounts must be numeric";

// Steps 1-3 of Apply: an effect is selected, and none of the six fields
// (main, second, pen size, fifth, fourth, third; shown or not) is empty or
// other than a real number.
TApplyCheck CheckApply(int effectType, const TPanelFields& fields, char decimalSeparator = '.');
std::string_view ApplyCheckMessage(TApplyCheck check);  // "" for Ok

struct TReadOutcome {
  bool Ok = true;
  std::string Error;  // the conversion error to show when !Ok
};

// Reads the fields that belong to `id` into `params`, in the order Apply
// reads them; a field that does not convert stops the read (values stored
// before it stay stored) and the effect must not run. Gaussian Blur above 5
// rewrites the main field to "1"; Astroid's thickness is made odd and at most 9.
TReadOutcome ReadEffectFields(int id, TPanelFields& fields, TEffectParams& params, char decimalSeparator = '.');

// Adjustments made on the stored values just before the effect runs, on
// either road (Apply or the Effects menu): Whirl/Pinch keeps pinch in
// -1 ... 1 and the radius at least 0.
void PrepareEffectRun(int id, TEffectParams& params);

// Whether the Effects menu item writes the effect line after running: not
// for the two resizes (their dialog writes its own line), Scroll and Design
// Your Own (which writes only the filter line).
bool MenuWritesEffectLog(int id);

// The Effects menu's selection: EffectType and EffectName after the item
// `id` ran. Design Your Own leaves both as they were.
void MenuSelection(int id, int& effectType, std::string& effectName);

// Whether the id has an engine call in this build.
bool EffectAvailable(int id);

// Engine arguments derived from stored values.
inline double MapTextureBrightness(int32_t value) { return value / 10.0; }
inline uint16_t ExchangeTolerance(int32_t value) { return static_cast<uint16_t>(value); }
// Split Gauss runs Split Blur with value, value - 1, ..., 0.
inline int64_t SplitGaussPasses(int32_t value) { return value < 0 ? 0 : int64_t{value} + 1; }

// Scroll's bars: a bar moved past its last position scrolls right (down),
// back from it left (up); the bar then remembers the new position. Nothing
// when the position did not change.
std::optional<TScrollDirection> ScrollBarMove(bool horizontal, int newPosition, int& lastPosition);
// The wrap-around shift for a move by `amount`: right +x, left -x, down -y,
// up +y (in the engine's sense).
void ScrollShift(TScrollDirection direction, int32_t amount, int32_t& dx, int32_t& dy);

}  // namespace vell
