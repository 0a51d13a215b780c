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

using TRunFn = TApplyResult (*)(TEffectCall& call);
using TSuffixFn = std::string (*)(const TLogArgs& args);
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
  bool WritesLine = true;            // false: no effect line on either road
  bool MenuWritesLog = true;         // the Effects menu item writes the line

  constexpr bool HasPanel() const { return Panel.Hint != nullptr; }
};

// Every record, in catalogue order (grouped by category, ids ascending).
std::span<const TEffectDef> EffectDefs();
// The record of an id; nullptr outside 0 ... 65.
const TEffectDef* EffectDef(int id);

}  // namespace vell
