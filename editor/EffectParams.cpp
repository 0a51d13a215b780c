#include "editor/EffectParams.h"

#include <cmath>
#include <limits>

#include "editor/RealText.h"

namespace vell {
namespace {

using P = TExtraParam;
using T = TExtraType;

constexpr TExtraInfo kExtras[] = {
    {P::UDPeakVal, "UDPeakVal", T::Single, 3.0, 0.0},
    {P::UDWavVal, "UDWavVal", T::Single, 32.0, 0.0},
    {P::LRPeakVal, "LRPeakVal", T::Single, 2.0, 0.0},
    {P::LRWavVal, "LRWavVal", T::Single, 17.0, 0.0},
    {P::FishVal, "FishVal", T::Single, 0.75, 0.75},
    {P::ScaleVal, "ScaleVal", T::Single, 2.0, 0.0},
    {P::TurbVal, "TurbVal", T::Integer, 120, 0},
    {P::UDSBlurBuf, "UDSBlurBuf", T::Integer, 1, 1},
    {P::UDSBlurSelf, "UDSBlurSelf", T::Integer, 1, 1},
    {P::SBlurReps, "SBlurReps", T::Integer, 32, 32},
    {P::UDWatBuf, "UDWatBuf", T::Integer, 100, 100},
    {P::UDWatSelf, "UDWatSelf", T::Integer, -128, -128},
    {P::NovaSpok, "NovaSpok", T::Integer, 64, 64},
    {P::NovaHue, "NovaHue", T::Integer, 32, 32},
    {P::NovaX, "NovaX", T::Integer, 24, 24},
    {P::NovaY, "NovaY", T::Integer, 36, 36},
    {P::HytEl, "HytEl", T::Integer, 20, 20},
    {P::HytDp, "HytDp", T::Integer, 16, 16},
    {P::HytBm, "HytBm", T::Flag, 1, 1},
    {P::TrColVal, "TrColVal", T::Colour, 0, 0},
    {P::TrUseVal, "TrUseVal", T::Flag, 0, 0},
    {P::WvLenVal, "WvLenVal", T::Integer, 10, 10},
    {P::WvPhsVal, "WvPhsVal", T::Double, 8, 8},
    {P::WvRflVal, "WvRflVal", T::Flag, 0, 0},
    {P::WhPchVal, "WhPchVal", T::Single, 0.5, 0.5},
    {P::WhRadVal, "WhRadVal", T::Single, 1.0, 1.0},
};
static_assert(std::size(kExtras) == ExtraParamCount);

constexpr std::array<int32_t, EffectCount> MakeDefaults() {
  std::array<int32_t, EffectCount> d{};
  const int pairs[][2] = {
      {6, 250}, {13, 2},  {15, 50}, {16, 64}, {18, 100}, {21, 5},  {22, 25}, {23, 3},  {24, 6},
      {25, 50}, {26, 15}, {27, 64}, {28, 18}, {29, 700}, {30, 8},  {37, 25}, {43, 45}, {45, 64},
      {46, 3},  {47, 3},  {49, 50}, {50, 50}, {51, 20},  {52, 700}, {53, 1}, {54, -1}, {55, 64},
      {56, 128}, {57, 32}, {58, 32}, {59, 4}, {60, 3},   {61, 1},  {62, 16}, {63, 16}, {64, 24},
      {65, 270},
  };
  for (const auto& p : pairs) d[static_cast<size_t>(p[0])] = p[1];
  return d;
}
constexpr std::array<int32_t, EffectCount> kDefaults = MakeDefaults();

// Field definition helpers.
constexpr TFieldDef V(const char* label, int id) { return {label, id, P::UDPeakVal, TFieldFormat::Integer}; }
constexpr TFieldDef X(const char* label, P extra, TFieldFormat format = TFieldFormat::Integer) {
  return {label, -1, extra, format};
}
constexpr TFieldDef None() { return {}; }
constexpr TFieldDef R(const char* label, P extra) { return X(label, extra, TFieldFormat::Real); }
constexpr TFieldDef F2(const char* label, P extra) { return X(label, extra, TFieldFormat::Fixed2); }

constexpr TParamRow Simple(int id, const char* hint, const char* label) {
  return {id, hint, {V(label, id), None(), None(), None(), None()}};
}

constexpr TParamRow kRows[] = {
    Simple(6, "Range: 1 - 510", "Lightness"),
    Simple(13, "Range: 1 - 5", "Blurriness"),
    {15, "Range: 1 - Height", {R("Peaks", P::UDPeakVal), V("Height", 15), None(), None(), None()},
     true, R("Wavelength", P::UDWavVal)},
    {16, "Range: 1 - Width", {R("Peaks", P::LRPeakVal), V("Height", 16), None(), None(), None()},
     true, R("Wavelength", P::LRWavVal)},
    {17, "", {R("Peaks U/D", P::UDPeakVal), V("Height", 15), R("Peaks L/R", P::LRPeakVal), V("Height", 16), None()}},
    Simple(18, "Range: 1 - 500", "Looseness"),
    {19, "Range: 0.01 - 5.00", {F2("Magnification", P::FishVal), None(), None(), None(), None()}},
    Simple(21, "Range: 1 - 9 (Odd)", "Thickness"),
    Simple(22, "Range: 1 - 100", "Size Difference"),
    Simple(23, "Range: 2 - 30", "Size of Cell"),
    Simple(24, "Range: 4 - 40", "Size of Circle"),
    Simple(25, "Range: 1 - 500", "Noisiness"),
    Simple(26, "Range: 1 - 250", "Scatterosity"),
    Simple(27, "Range: 1 - 200", "SwizzleWidth"),
    Simple(28, "Range: 10 - 30", "Brightness"),
    {29, "Marble Ctls", {V("Graininess", 29), R("Scale", P::ScaleVal), X("Turbulence", P::TurbVal), None(), None()}},
    Simple(30, "Range: 1 - 8", "Bits to Rotate"),
    Simple(37, "Exchg Pen < Brush", "Tolerance Amt"),
    Simple(43, "Range: 1 - 359", "Angle"),
    {45, "Range: 1 - Width", {V("Scroll Amt", 45), None(), None(), None(), None()}, false, {}, nullptr, {}, true},
    Simple(46, "Range: 3 - 30", "Size of Cell"),
    Simple(47, "Range: 1 - 50", "Number of Bars"),
    Simple(49, "Range: 1 - 99", "% of Gradient"),
    Simple(50, "Range: 1 - 99", "% of Buffer"),
    {51, "Range: 1 - 45", {V("Edge Size", 51), None(), None(), None(), None()}, false, {}, nullptr, {}, false, true},
    Simple(52, "Lower = Smoother", "Graininess"),
    {53, "-Width/Hgt to Width/Hgt",
     {X("U/D Amount", P::UDSBlurBuf), V("L/R Amount", 53), X("Repetitions", P::SBlurReps), None(), None()}},
    {54, "-Width/Hgt to Width/Hgt",
     {X("U/D Amount", P::UDSBlurSelf), V("L/R Amount", 54), X("Repetitions", P::SBlurReps), None(), None()}},
    {55, "-Width/Hgt to Width/Hgt", {X("U/D Amount", P::UDWatBuf), V("L/R Amount", 55), None(), None(), None()}},
    {56, "-Width/Hgt to Width/Hgt", {X("U/D Amount", P::UDWatSelf), V("L/R Amount", 56), None(), None(), None()}},
    {57, "Hue 0 - 360",
     {V("Radius", 57), X("Spokes", P::NovaSpok), X("Random Hue", P::NovaHue), X("X Pos", P::NovaX),
      X("Y Pos", P::NovaY)}},
    {58, "Azimuth is Angle", {V("Azimuth", 58), X("Elevation", P::HytEl), X("Depth", P::HytDp), None(), None()},
     false, {}, "Bump Map", P::HytBm},
    Simple(59, "Split offset", "Split Amount"),
    Simple(60, "Bluriness", "Blur Amount"),
    {61, "Default is Black", {V("Intensity", 61), None(), None(), None(), None()}, false, {}, "Use Pen Color",
     P::TrUseVal},
    Simple(62, "Width of Ripple", "Amount"),
    Simple(63, "Width of Seam", "Amount"),
    {64, "Phase is Shift Point",
     {V("Amplitude", 64), X("Wave Length", P::WvLenVal), X("Phase", P::WvPhsVal, TFieldFormat::Rounded), None(),
      None()},
     false, {}, "Reflective", P::WvRflVal},
    {65, "Angle is Amount of Effect",
     {V("Angle", 65), F2("Pinch (-1 to 1)", P::WhPchVal), F2("Radius (0 to 2)", P::WhRadVal), None(), None()}},
};

struct TRowIndex {
  std::array<int, EffectCount> row{};
  constexpr TRowIndex() {
    for (auto& r : row) r = -1;
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) row[static_cast<size_t>(kRows[i].Id)] = i;
  }
};
constexpr TRowIndex kRowIndex;

int32_t SaturateToInt32(double v) {
  if (std::isnan(v)) return 0;
  v = std::nearbyint(v);
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

void ResetExtra(TEffectParams& p, P param) { SetExtra(p.Extras, param, GetExtra(p.ExtraDefaults, param)); }

}  // namespace

std::span<const TExtraInfo> ExtraParamTable() { return kExtras; }

const TExtraInfo& ExtraInfo(TExtraParam param) { return kExtras[static_cast<size_t>(param)]; }

double GetExtra(const TEffectExtras& e, TExtraParam param) {
  switch (param) {
    case P::UDPeakVal: return e.UDPeakVal;
    case P::UDWavVal: return e.UDWavVal;
    case P::LRPeakVal: return e.LRPeakVal;
    case P::LRWavVal: return e.LRWavVal;
    case P::FishVal: return e.FishVal;
    case P::ScaleVal: return e.ScaleVal;
    case P::TurbVal: return e.TurbVal;
    case P::UDSBlurBuf: return e.UDSBlurBuf;
    case P::UDSBlurSelf: return e.UDSBlurSelf;
    case P::SBlurReps: return e.SBlurReps;
    case P::UDWatBuf: return e.UDWatBuf;
    case P::UDWatSelf: return e.UDWatSelf;
    case P::NovaSpok: return e.NovaSpok;
    case P::NovaHue: return e.NovaHue;
    case P::NovaX: return e.NovaX;
    case P::NovaY: return e.NovaY;
    case P::HytEl: return e.HytEl;
    case P::HytDp: return e.HytDp;
    case P::HytBm: return e.HytBm ? 1 : 0;
    case P::TrColVal: return e.TrColVal;
    case P::TrUseVal: return e.TrUseVal ? 1 : 0;
    case P::WvLenVal: return e.WvLenVal;
    case P::WvPhsVal: return e.WvPhsVal;
    case P::WvRflVal: return e.WvRflVal ? 1 : 0;
    case P::WhPchVal: return e.WhPchVal;
    case P::WhRadVal: return e.WhRadVal;
  }
  return 0;
}

void SetExtra(TEffectExtras& e, TExtraParam param, double v) {
  const float f = static_cast<float>(v);
  const int32_t i = SaturateToInt32(v);
  const bool b = v != 0;
  switch (param) {
    case P::UDPeakVal: e.UDPeakVal = f; break;
    case P::UDWavVal: e.UDWavVal = f; break;
    case P::LRPeakVal: e.LRPeakVal = f; break;
    case P::LRWavVal: e.LRWavVal = f; break;
    case P::FishVal: e.FishVal = f; break;
    case P::ScaleVal: e.ScaleVal = f; break;
    case P::TurbVal: e.TurbVal = i; break;
    case P::UDSBlurBuf: e.UDSBlurBuf = i; break;
    case P::UDSBlurSelf: e.UDSBlurSelf = i; break;
    case P::SBlurReps: e.SBlurReps = i; break;
    case P::UDWatBuf: e.UDWatBuf = i; break;
    case P::UDWatSelf: e.UDWatSelf = i; break;
    case P::NovaSpok: e.NovaSpok = i; break;
    case P::NovaHue: e.NovaHue = i; break;
    case P::NovaX: e.NovaX = i; break;
    case P::NovaY: e.NovaY = i; break;
    case P::HytEl: e.HytEl = i; break;
    case P::HytDp: e.HytDp = i; break;
    case P::HytBm: e.HytBm = b; break;
    case P::TrColVal:
      e.TrColVal = static_cast<uint32_t>(static_cast<int64_t>(std::isfinite(v) ? std::fmod(std::trunc(v), 4294967296.0) : 0));
      break;
    case P::TrUseVal: e.TrUseVal = b; break;
    case P::WvLenVal: e.WvLenVal = i; break;
    case P::WvPhsVal: e.WvPhsVal = std::isfinite(v) ? v : 0; break;
    case P::WvRflVal: e.WvRflVal = b; break;
    case P::WhPchVal: e.WhPchVal = f; break;
    case P::WhRadVal: e.WhRadVal = f; break;
  }
}

const std::array<int32_t, EffectCount>& BuiltInEffectDefaults() { return kDefaults; }

void TEffectParams::ResetToDefaults() {
  EffectDefaults = kDefaults;
  EffectValues = EffectDefaults;
  ExtraDefaults = TEffectExtras{};
  Extras = ExtraDefaults;
}

void TEffectParams::ResetEffect(int id) {
  if (id < 0 || id >= EffectCount) return;
  Value(id) = EffectDefaults[static_cast<size_t>(id)];
  auto reset = [this](std::initializer_list<P> list) {
    for (P p : list) ResetExtra(*this, p);
  };
  switch (id) {
    case 15: reset({P::UDPeakVal, P::UDWavVal}); break;
    case 16: reset({P::LRPeakVal, P::LRWavVal}); break;
    case 17:
      reset({P::UDPeakVal, P::LRPeakVal});
      Value(15) = EffectDefaults[15];
      Value(16) = EffectDefaults[16];
      break;
    case 19: reset({P::FishVal}); break;
    case 29: reset({P::ScaleVal, P::TurbVal}); break;
    case 53: reset({P::UDSBlurBuf, P::SBlurReps}); break;
    case 54: reset({P::UDSBlurSelf, P::SBlurReps}); break;
    case 55: reset({P::UDWatBuf}); break;
    case 56: reset({P::UDWatSelf}); break;
    case 57: reset({P::NovaSpok, P::NovaHue, P::NovaX, P::NovaY}); break;
    case 58: reset({P::HytEl, P::HytDp, P::HytBm}); break;
    case 61: reset({P::TrColVal, P::TrUseVal}); break;
    case 64: reset({P::WvLenVal, P::WvPhsVal, P::WvRflVal}); break;
    case 65: reset({P::WhPchVal, P::WhRadVal}); break;
    default: break;
  }
}

const TParamRow* ParamRow(int id) {
  if (id < 0 || id >= EffectCount) return nullptr;
  int r = kRowIndex.row[static_cast<size_t>(id)];
  return r < 0 ? nullptr : &kRows[r];
}

std::span<const TParamRow> ParamRows() { return kRows; }

std::string FieldText(const TFieldDef& def, const TEffectParams& params, char decimalSeparator) {
  if (def.ValueId >= 0) return std::to_string(params.Value(def.ValueId));
  const double v = GetExtra(params.Extras, def.Extra);
  switch (def.Format) {
    case TFieldFormat::Integer: return std::to_string(SaturateToInt32(v));
    case TFieldFormat::Real: return RealText(v, decimalSeparator);
    case TFieldFormat::Fixed2: return FixedText(v, 2, decimalSeparator);
    case TFieldFormat::Rounded: return std::to_string(SaturateToInt32(v));
  }
  return {};
}

TPanelConfig ConfigurePanel(int id, std::string_view name, const TEffectParams& params, bool usePeaks,
                            char decimalSeparator) {
  TPanelConfig c;
  if (id < 0) {
    c.Hint = HintChooseEffect;
  } else if (const TParamRow* row = ParamRow(id)) {
    c.Hint = row->Hint;
    for (int f = 0; f < PanelFieldCount; ++f) {
      TFieldDef def = row->Fields[static_cast<size_t>(f)];
      if (f == 0 && row->PeaksAndWrap && !usePeaks) def = row->WaveField;
      if (!def.Label) continue;
      auto& field = c.Fields[static_cast<size_t>(f)];
      field.Visible = true;
      field.Label = def.Label;
      field.Text = FieldText(def, params, decimalSeparator);
    }
    c.PeaksAndWrapVisible = row->PeaksAndWrap;
    if (row->BumpCaption) {
      c.BumpVisible = true;
      c.BumpCaption = row->BumpCaption;
      c.BumpChecked = GetExtra(params.Extras, row->BumpExtra) != 0;
    }
    c.ScrollBarsVisible = row->ScrollBars;
    c.NoteVisible = row->NoteLabel;
  } else {
    c.Hint = HintNoSettings;
  }
  c.DefaultButtonVisible = c.Hint != HintNoSettings && c.Hint != HintChooseEffect;
  c.EffectCaption = name;
  c.Status = name.empty() ? std::string(StatusIdle) : std::string(name);
  return c;
}

}  // namespace vell
