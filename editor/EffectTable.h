// The effect table: one record per effect id holding everything the editor
// knows about that effect, so that adding an effect touches one place.
//
// A record carries the catalogue row (names, category, menu item and key),
// the default of its main value, its row of the parameter panel (which is
// also how Apply reads the fields back), the engine call and the suffix of
// its log line. The catalogue, the panel rows, the defaults, Apply's field
// reading, the dispatcher and the log grammar all read this one table.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "editor/EffectCatalogue.h"
#include "editor/EffectLog.h"
#include "editor/EffectParams.h"

namespace vell {

struct TPanelFields;                 // editor/ApplyRules.h
class TEffectCall;                   // editor/Apply.h
enum class TApplyResult : uint8_t;   // editor/Apply.h

// What a log suffix is built from.
struct TLogArgs {
  int Id;
  const TEffectParams& Params;
  const TLogContext& Context;

  const TEffectExtras& X() const { return Params.Extras; }
  // The main value of this effect, or of another one, in decimal.
  std::string Value() const { return Int(Params.Value(Id)); }
  std::string ValueOf(int id) const { return Int(Params.Value(id)); }
  static std::string Int(int64_t v) { return std::to_string(v); }
  std::string Real(double v) const;    // the general real-to-text conversion
  std::string Fixed2(double v) const;  // "%1.2f"
  static std::string Colour(uint32_t colour);  // ColorText
  static std::string Bool(bool flag) { return flag ? "True" : "False"; }
  std::string PenBrush() const;  // "Pen " ColorText(pen) ", Brush " ColorText(brush)
};

// Reading a log line's text back, piece by piece, from the left. Every piece
// names what it expected in its failure message, which starts with the
// subject (the effect or command the line names). The first failure sticks;
// later calls then fail at once.
class TLogScan {
 public:
  TLogScan(std::string_view subject, std::string_view text, char decimalSeparator = '.')
      : subject_(subject), rest_(text), separator_(decimalSeparator) {}

  // Exactly these characters next.
  bool Lit(std::string_view words);
  // `label` (", Looseness "), then a value written by the matching TLogArgs
  // helper. Whole numbers must fit 32 bits; colour parts 0 ... 255.
  bool Int(std::string_view label, int32_t& out);
  bool Whole(std::string_view label, double& out);  // a whole number into a real
  bool Real(std::string_view label, float& out);     // RealText or "%1.2f"
  bool Colour(std::string_view label, uint32_t& out);
  bool Flag(std::string_view label, bool& out);      // "True" / "False"
  // `label`, then text up to the first `next` (which stays for the next piece).
  bool TextUntil(std::string_view label, std::string_view next, std::string& out);
  bool TextToEnd(std::string_view label, std::string& out);
  // The gradient dialog's fields, from "Width " to the angle at the end.
  bool Gradient(TGradientFields& out);
  // Nothing may follow.
  bool AtEnd();

  // Records "subject: why" ("subject why" when `why` starts with a blank);
  // returns false.
  bool Fail(const std::string& why);
  void Skip(size_t count);  // passes over characters Rest() has shown
  bool Failed() const { return !error_.empty(); }
  const std::string& Error() const { return error_; }
  std::string_view Rest() const { return rest_; }
  std::string_view Subject() const { return subject_; }

 private:
  bool Label(std::string_view label);
  std::string_view Token(bool real);

  std::string subject_;
  std::string_view rest_;
  char separator_;
  std::string error_;
};

// What an effect's suffix is read back into: the inverse of TLogArgs.
struct TLogRead : TLogScan {
  TLogRead(std::string_view name, std::string_view suffix, int id, TEffectParams& params, TLogContext& context)
      : TLogScan(name, suffix, context.DecimalSeparator), Id(id), Params(params), Context(context) {}
  int Id;
  TEffectParams& Params;
  TLogContext& Context;

  TEffectExtras& X() { return Params.Extras; }
  bool Value(std::string_view label) { return Int(label, Params.Value(Id)); }
  bool ValueOf(std::string_view label, int id) { return Int(label, Params.Value(id)); }
  bool PenBrush() { return Colour("Pen ", Context.PenColor) && Colour(", Brush ", Context.BrushColor); }
};

using TRunFn = TApplyResult (*)(TEffectCall& call);
using TSuffixFn = std::string (*)(const TLogArgs& args);
using TReadFn = bool (*)(TLogRead& read);
using TAfterReadFn = void (*)(TPanelFields& fields, TEffectParams& params);
using TPrepareFn = void (*)(TEffectParams& params);

struct TEffectDef {
  TEffectEntry Entry{};
  int32_t Default = 0;      // EffectDefaults[id]
  TParamRow Panel{};        // Panel.Hint nullptr: no parameters
  // Apply reads the second field before the main one (then the rest in order).
  bool SecondFirst = false;
  // The pen colour is stored into this extra when the fields are read (and
  // "D" resets it with the others).
  bool ReadsPen = false;
  TExtraParam PenExtra{};
  TAfterReadFn AfterRead = nullptr;  // Apply only, after every field converted
  TPrepareFn Prepare = nullptr;      // both roads, just before the run
  TRunFn Run = nullptr;              // nullptr: the engine is not in this build yet
  TSuffixFn Suffix = nullptr;        // nullptr: the line is the name alone
  TReadFn Read = nullptr;            // reads Suffix's text back; nullptr with Suffix
  bool WritesLine = true;            // false: no effect line on either road
  bool MenuWritesLog = true;         // the Effects menu item writes the line

  constexpr bool HasPanel() const { return Panel.Hint != nullptr; }
};

// Every record, in catalogue order (grouped by category, ids ascending).
std::span<const TEffectDef> EffectDefs();
// The record of an id; nullptr outside 0 ... 65.
const TEffectDef* EffectDef(int id);

}  // namespace vell
