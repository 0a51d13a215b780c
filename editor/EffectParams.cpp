#include "editor/EffectParams.h"

#include <cmath>
#include <limits>

#include "editor/EffectTable.h"
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

void TEffectParams::ResetToDefaults() {
  EffectDefaults = BuiltInEffectDefaults();
  EffectValues = EffectDefaults;
  ExtraDefaults = TEffectExtras{};
  Extras = ExtraDefaults;
}

void TEffectParams::ResetEffect(int id) {
  const TEffectDef* def = EffectDef(id);
  if (!def) return;
  Value(id) = EffectDefaults[static_cast<size_t>(id)];
  // Everything the effect's panel row shows or reads goes back with it.
  auto reset = [this](const TFieldDef& field) {
    if (!field.Label) return;
    if (field.ValueId >= 0)
      Value(field.ValueId) = EffectDefaults[static_cast<size_t>(field.ValueId)];
    else
      ResetExtra(*this, field.Extra);
  };
  const TParamRow& row = def->Panel;
  for (const TFieldDef& field : row.Fields) reset(field);
  if (row.PeaksAndWrap) reset(row.WaveField);
  if (row.BumpCaption) ResetExtra(*this, row.BumpExtra);
  if (def->ReadsPen) ResetExtra(*this, def->PenExtra);
}

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
