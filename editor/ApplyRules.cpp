#include "editor/ApplyRules.h"

#include <array>
#include <cmath>
#include <limits>

#include "editor/EffectCatalogue.h"
#include "editor/EffectTable.h"
#include "editor/RealText.h"

namespace vell {
namespace {

const std::string& TypedText(const TPanelFields& f, int field) {
  switch (field) {
    case 0: return f.Main;
    case 1: return f.Second;
    case 2: return f.Third;
    case 3: return f.Fourth;
    default: return f.Fifth;
  }
}

// One field into the value it shows: a main value or an integer extra as a
// whole number, a real extra in single precision (a number beyond single
// range is refused), a whole-number real as a whole number.
bool ReadField(const TFieldDef& def, const std::string& text, TEffectParams& p, char sep, TReadOutcome& out) {
  const bool whole = def.ValueId >= 0 || def.Format == TFieldFormat::Integer || def.Format == TFieldFormat::Rounded;
  if (whole) {
    const std::optional<int32_t> v = ParseInteger(text);
    if (!v) {
      out = {false, NotValidIntegerText(text)};
      return false;
    }
    if (def.ValueId >= 0)
      p.Value(def.ValueId) = *v;
    else
      SetExtra(p.Extras, def.Extra, *v);
    return true;
  }
  const std::optional<double> v = ParseReal(text, sep);
  if (!v || std::fabs(*v) > std::numeric_limits<float>::max()) {
    out = {false, NotValidRealText(text)};
    return false;
  }
  SetExtra(p.Extras, def.Extra, static_cast<float>(*v));
  return true;
}

bool IsReal(const std::string& text, char sep) { return ParseReal(text, sep).has_value(); }

}  // namespace

TApplyCheck CheckApply(int effectType, const TPanelFields& f, char sep) {
  if (effectType < 0) return TApplyCheck::NoEffect;
  const std::array<const std::string*, 6> texts = {&f.Main, &f.Second, &f.PenSize, &f.Fifth, &f.Fourth, &f.Third};
  for (const std::string* t : texts)
    if (t->empty()) return TApplyCheck::EmptyAmount;
  for (const std::string* t : texts)
    if (!IsReal(*t, sep)) return TApplyCheck::NotNumeric;
  return TApplyCheck::Ok;
}

std::string_view ApplyCheckMessage(TApplyCheck check) {
  switch (check) {
    case TApplyCheck::Ok: return "";
    case TApplyCheck::NoEffect: return MsgFirstSelectEffect;
    case TApplyCheck::EmptyAmount: return MsgAmountsZeroLength;
    case TApplyCheck::NotNumeric: return MsgAmountsNotNumeric;
  }
  return "";
}

TReadOutcome ReadEffectFields(int id, TPanelFields& f, TEffectParams& p, char sep) {
  TReadOutcome out;
  const TEffectDef* def = EffectDef(id);
  if (!def || !def->HasPanel()) return out;  // nothing to read
  const TParamRow& row = def->Panel;
  static constexpr int kInOrder[PanelFieldCount] = {0, 1, 2, 3, 4};
  static constexpr int kSecondFirst[PanelFieldCount] = {1, 0, 2, 3, 4};
  for (const int field : def->SecondFirst ? kSecondFirst : kInOrder) {
    TFieldDef fieldDef = row.Fields[static_cast<size_t>(field)];
    if (field == 0 && row.PeaksAndWrap && !f.UsePeaks) fieldDef = row.WaveField;
    if (!fieldDef.Label) continue;
    // A field that does not convert stops the read; what was stored stays.
    if (!ReadField(fieldDef, TypedText(f, field), p, sep, out)) return out;
  }
  if (row.BumpCaption) SetExtra(p.Extras, row.BumpExtra, f.Bump ? 1 : 0);
  if (def->ReadsPen) SetExtra(p.Extras, def->PenExtra, f.PenColor);
  if (def->AfterRead) def->AfterRead(f, p);
  return out;
}

void PrepareEffectRun(int id, TEffectParams& p) {
  const TEffectDef* def = EffectDef(id);
  if (def && def->Prepare) def->Prepare(p);
}

bool MenuWritesEffectLog(int id) {
  const TEffectDef* def = EffectDef(id);
  return def && def->MenuWritesLog;
}

void MenuSelection(int id, int& effectType, std::string& effectName) {
  const TEffectEntry* e = EffectEntry(id);
  if (!e || e->MenuKeepsSelection) return;
  effectType = id;
  effectName = EffectMenuName(id);
}

std::optional<TScrollDirection> ScrollBarMove(bool horizontal, int newPosition, int& lastPosition) {
  const int last = lastPosition;
  lastPosition = newPosition;
  if (newPosition > last) return horizontal ? TScrollDirection::Right : TScrollDirection::Down;
  if (newPosition < last) return horizontal ? TScrollDirection::Left : TScrollDirection::Up;
  return std::nullopt;
}

void ScrollShift(TScrollDirection direction, int32_t amount, int32_t& dx, int32_t& dy) {
  dx = dy = 0;
  // Negating the most negative amount would overflow; it shifts as far the other way.
  const int32_t negated = amount == INT32_MIN ? INT32_MAX : -amount;
  switch (direction) {
    case TScrollDirection::Right: dx = amount; break;
    case TScrollDirection::Left: dx = negated; break;
    case TScrollDirection::Down: dy = negated; break;
    case TScrollDirection::Up: dy = amount; break;
  }
}

}  // namespace vell
