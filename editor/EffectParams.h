// Stored effect parameters: the main value of every effect, the 26 extra
// parameters, their defaults, and the parameter panel's rows (which fields an
// effect shows, with what labels and hint, and how each value is written).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "editor/EffectCatalogue.h"

namespace vell {

// The extra parameters, in the order the settings file writes them.
enum class TExtraParam : uint8_t {
  UDPeakVal, UDWavVal, LRPeakVal, LRWavVal, FishVal, ScaleVal, TurbVal,
  UDSBlurBuf, UDSBlurSelf, SBlurReps, UDWatBuf, UDWatSelf,
  NovaSpok, NovaHue, NovaX, NovaY, HytEl, HytDp, HytBm,
  TrColVal, TrUseVal, WvLenVal, WvPhsVal, WvRflVal, WhPchVal, WhRadVal,
};
inline constexpr int ExtraParamCount = 26;

enum class TExtraType : uint8_t {
  Single,   // 32-bit real
  Integer,  // 32-bit signed
  Flag,     // 0 / 1
  Colour,   // 0x00BBGGRR
  Double,   // 64-bit real holding a whole number (written rounded)
};

struct TExtraInfo {
  TExtraParam Param;
  const char* Key;     // settings key, also the member's name
  TExtraType Type;
  double BuiltIn;      // the editor's own default
  double ReadDefault;  // what a missing key yields when the settings file is present
};

std::span<const TExtraInfo> ExtraParamTable();  // settings order
const TExtraInfo& ExtraInfo(TExtraParam param);

struct TEffectExtras {
  float UDPeakVal = 3.0f, UDWavVal = 32.0f, LRPeakVal = 2.0f, LRWavVal = 17.0f;
  float FishVal = 0.75f, ScaleVal = 2.0f;
  int32_t TurbVal = 120;
  int32_t UDSBlurBuf = 1, UDSBlurSelf = 1, SBlurReps = 32, UDWatBuf = 100, UDWatSelf = -128;
  int32_t NovaSpok = 64, NovaHue = 32, NovaX = 24, NovaY = 36;
  int32_t HytEl = 20, HytDp = 16;
  bool HytBm = true;
  uint32_t TrColVal = 0;
  bool TrUseVal = false;
  int32_t WvLenVal = 10;
  double WvPhsVal = 8.0;
  bool WvRflVal = false;
  float WhPchVal = 0.5f, WhRadVal = 1.0f;

  bool operator==(const TEffectExtras&) const = default;
};

// Generic access for the settings file: values travel as doubles (exact for
// every type here). Setting converts to the member's type: singles round to
// single precision, integers round to nearest and saturate at 32 bits, flags
// are "not 0", colours keep their low 32 bits.
double GetExtra(const TEffectExtras& extras, TExtraParam param);
void SetExtra(TEffectExtras& extras, TExtraParam param, double value);

// EffectDefaults of every id (0 where an effect has no main value).
const std::array<int32_t, EffectCount>& BuiltInEffectDefaults();

struct TEffectParams {
  std::array<int32_t, EffectCount> EffectValues{};
  std::array<int32_t, EffectCount> EffectDefaults{};
  TEffectExtras Extras;          // current values
  TEffectExtras ExtraDefaults;   // the built-in defaults

  TEffectParams() { ResetToDefaults(); }

  // Every main value and every extra back to its default (start-up state).
  void ResetToDefaults();
  // The panel's "D": the main value of `id` and everything its panel row
  // shows or reads (the values and extras of its fields, its check box).
  void ResetEffect(int id);

  int32_t& Value(int id) { return EffectValues[static_cast<size_t>(id)]; }
  int32_t Value(int id) const { return EffectValues[static_cast<size_t>(id)]; }
};

// ---- the parameter panel's rows ----------------------------------------

enum class TPanelField : uint8_t { Main, Second, Third, Fourth, Fifth };
inline constexpr int PanelFieldCount = 5;

enum class TFieldFormat : uint8_t {
  Integer,  // decimal
  Real,     // RealText
  Fixed2,   // "%1.2f"
  Rounded,  // a real shown rounded to a whole number
};

// What one panel field shows: a main value (of this or another id) or an
// extra parameter. Label nullptr: the field is not used.
struct TFieldDef {
  const char* Label = nullptr;
  int ValueId = -1;          // >= 0: EffectValues[ValueId]
  TExtraParam Extra{};       // used when ValueId < 0
  TFieldFormat Format = TFieldFormat::Integer;
};

struct TParamRow {
  int Id;
  const char* Hint;
  std::array<TFieldDef, PanelFieldCount> Fields;
  // SineWave U/D and L/R: "Use Peaks" and "Wrap" are shown and, with "Use
  // Peaks" cleared, the main field shows WaveField instead.
  bool PeaksAndWrap = false;
  TFieldDef WaveField{};
  const char* BumpCaption = nullptr;  // cbBump shown with this caption
  TExtraParam BumpExtra{};            // and checked from this flag
  bool ScrollBars = false;            // sbLR / sbUD (Scroll)
  bool NoteLabel = false;             // lblBtn (Buttonize)
};

// The row of an id, nullptr for an effect without parameters. The rows are
// those of the effect table's records (editor/EffectTable.h), and Apply reads
// the fields back through them.
const TParamRow* ParamRow(int id);
std::span<const TParamRow> ParamRows();

// The text a field shows for its definition.
std::string FieldText(const TFieldDef& def, const TEffectParams& params, char decimalSeparator = '.');

// Panel texts and controls other than the rows.
inline constexpr std::string_view HintChooseEffect = "Choose an effect...";
inline constexpr std::string_view HintNoSettings = "No User Settings";
inline constexpr std::string_view StatusIdle = "Idle...";
inline constexpr std::string_view NoteButtonize = "Uses Brush color for HiLite and PenColor for Shadow";
inline constexpr std::string_view CaptionUsePeaks = "Use Peaks";
inline constexpr std::string_view CaptionWrap = "Wrap";
inline constexpr std::array<std::string_view, PanelFieldCount> FormFieldTexts = {"250", "64", "3", "64", "24"};
inline constexpr std::array<std::string_view, PanelFieldCount> FormFieldLabels = {"", "", "", "L/R Height",
                                                                                   "Y Pos"};

// What the panel shows after ConfigurePanel(id, name). Fields not visible
// keep whatever text they had (Text is empty for them).
struct TPanelConfig {
  std::string Hint;
  struct Field {
    bool Visible = false;
    std::string Label;
    std::string Text;
  };
  std::array<Field, PanelFieldCount> Fields;
  bool PeaksAndWrapVisible = false;
  bool BumpVisible = false;
  std::string BumpCaption;
  bool BumpChecked = false;
  bool ScrollBarsVisible = false;
  bool NoteVisible = false;
  bool DefaultButtonVisible = false;
  std::string EffectCaption;
  std::string Status;  // status panel 4
};

// `usePeaks` is the current state of the "Use Peaks" check box.
TPanelConfig ConfigurePanel(int id, std::string_view name, const TEffectParams& params, bool usePeaks,
                            char decimalSeparator = '.');

}  // namespace vell
