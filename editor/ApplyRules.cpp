#include "editor/ApplyRules.h"

#include <array>
#include <cmath>
#include <limits>

#include "editor/EffectCatalogue.h"
#include "editor/RealText.h"

namespace vell {
namespace {

// Reads fields in order and remembers the first failure.
class TReader {
 public:
  TReader(TPanelFields& f, TEffectParams& p, char sep) : fields_(f), params_(p), sep_(sep) {}

  bool Int(const std::string& text, int32_t& target) {
    if (!ok_) return false;
    std::optional<int32_t> v = ParseInteger(text);
    if (!v) return Fail(NotValidIntegerText(text));
    target = *v;
    return true;
  }
  bool IntValue(const std::string& text, int id) { return Int(text, params_.Value(id)); }
  bool IntAsDouble(const std::string& text, double& target) {
    int32_t v = 0;
    if (!Int(text, v)) return false;
    target = v;
    return true;
  }
  bool Flag(bool checked, bool& target) {
    if (!ok_) return false;
    target = checked;
    return true;
  }
  // A real stored in single precision; a number beyond single range is refused.
  bool Single(const std::string& text, float& target) {
    if (!ok_) return false;
    std::optional<double> v = ParseReal(text, sep_);
    if (!v || std::fabs(*v) > std::numeric_limits<float>::max()) return Fail(NotValidRealText(text));
    target = static_cast<float>(*v);
    return true;
  }

  TReadOutcome Outcome() const { return {ok_, error_}; }
  TPanelFields& Fields() { return fields_; }
  TEffectParams& Params() { return params_; }

 private:
  bool Fail(std::string error) {
    ok_ = false;
    error_ = std::move(error);
    return false;
  }
  TPanelFields& fields_;
  TEffectParams& params_;
  char sep_;
  bool ok_ = true;
  std::string error_;
};

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
  TReader r(f, p, sep);
  TEffectExtras& x = p.Extras;
  switch (id) {
    case 13: {
      int32_t probe = 0;
      if (r.Int(f.Main, probe) && probe > 5) f.Main = "1";
      r.IntValue(f.Main, 13);
      break;
    }
    case 15:
    case 16: {
      if (!r.IntValue(f.Second, id)) break;
      float& target = id == 15 ? (f.UsePeaks ? x.UDPeakVal : x.UDWavVal) : (f.UsePeaks ? x.LRPeakVal : x.LRWavVal);
      r.Single(f.Main, target);
      break;
    }
    case 17:
      r.Single(f.Main, x.UDPeakVal);
      r.IntValue(f.Second, 15);
      r.Single(f.Third, x.LRPeakVal);
      r.IntValue(f.Fourth, 16);
      break;
    case 19: r.Single(f.Main, x.FishVal); break;
    case 21:
      if (r.IntValue(f.Main, 21)) {
        int32_t& v = p.Value(21);
        if (v % 2 == 0) v += 1;
        if (v > 9) v = 9;
      }
      break;
    case 29:
      r.IntValue(f.Main, 29);
      r.Single(f.Second, x.ScaleVal);
      r.Int(f.Third, x.TurbVal);
      break;
    case 6: case 18: case 22: case 23: case 24: case 25: case 26: case 27: case 28: case 30:
    case 37: case 43: case 45: case 46: case 47: case 49: case 50: case 51: case 52:
    case 59: case 60: case 62: case 63:
      r.IntValue(f.Main, id);
      break;
    case 53:
    case 54:
      r.IntValue(f.Second, id);
      r.Int(f.Main, id == 53 ? x.UDSBlurBuf : x.UDSBlurSelf);
      r.Int(f.Third, x.SBlurReps);
      break;
    case 55:
    case 56:
      r.IntValue(f.Second, id);
      r.Int(f.Main, id == 55 ? x.UDWatBuf : x.UDWatSelf);
      break;
    case 57:
      r.IntValue(f.Main, 57);
      r.Int(f.Second, x.NovaSpok);
      r.Int(f.Third, x.NovaHue);
      r.Int(f.Fourth, x.NovaX);
      r.Int(f.Fifth, x.NovaY);
      break;
    case 58:
      r.IntValue(f.Main, 58);
      r.Int(f.Second, x.HytEl);
      r.Int(f.Third, x.HytDp);
      r.Flag(f.Bump, x.HytBm);
      break;
    case 61:
      if (r.IntValue(f.Main, 61)) {
        x.TrColVal = f.PenColor;
        x.TrUseVal = f.Bump;
      }
      break;
    case 64:
      r.IntValue(f.Main, 64);
      r.Int(f.Second, x.WvLenVal);
      r.IntAsDouble(f.Third, x.WvPhsVal);
      r.Flag(f.Bump, x.WvRflVal);
      break;
    case 65:
      r.IntValue(f.Main, 65);
      r.Single(f.Second, x.WhPchVal);
      r.Single(f.Third, x.WhRadVal);
      break;
    default: break;  // nothing to read
  }
  return r.Outcome();
}

void PrepareEffectRun(int id, TEffectParams& p) {
  if (id != 65) return;
  TEffectExtras& x = p.Extras;
  if (x.WhPchVal > 1) x.WhPchVal = 1;
  if (!(x.WhPchVal >= -1)) x.WhPchVal = -1;
  if (!(x.WhRadVal >= 0)) x.WhRadVal = 0;
}

TRunStyle EffectRunStyle(int id) {
  switch (id) {
    case 6: case 15: case 16: case 17: case 27: case 35: case 51: case 55: case 56: case 57: case 58:
    case 59: case 60: case 61: case 62: case 63: case 64: case 65:
      return TRunStyle::Bracketed;
    case 14: return TRunStyle::FilterDialog;
    case 45: return TRunStyle::SelectOnly;
    default: return TRunStyle::Routine;
  }
}

bool MenuWritesEffectLog(int id) { return id != 14 && id != 38 && id != 39 && id != 45; }

void MenuSelection(int id, int& effectType, std::string& effectName) {
  const TEffectEntry* e = EffectEntry(id);
  if (!e || e->MenuKeepsSelection) return;
  effectType = id;
  effectName = EffectMenuName(id);
}

bool EffectAvailable(int id) {
  // Ids whose engine operation is wired into the dispatcher.
  static constexpr int kAvailable[] = {
      0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,  // 3 x 3 filters, emboss, blurs, own filter
      25, 30, 31, 32, 33, 34, 35, 36, 37,                // colour
      38, 39, 40, 41, 42, 43, 44, 45,                    // size and aspect
      59, 60, 63,                                        // split blurs, seamless edge
  };
  for (int a : kAvailable)
    if (a == id) return true;
  return false;
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
