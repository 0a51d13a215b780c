// The effect catalogue: the 66 effects the editor can apply, their names in the
// effect tree and in the Effects menu, and the menu shortcuts.
//
// The effect id (0 ... 65, -1 for none) is what Apply switches on, what the
// settings file keys parameter values by and what picks the log grammar.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vell {

inline constexpr int EffectCount = 66;
inline constexpr int NoEffect = -1;

// Tree categories, in the tree's (sorted) order.
enum class TEffectCategory : uint8_t { Color, Distortions, Draw, Filters, SizeAspect };
inline constexpr int EffectCategoryCount = 5;

struct TEffectEntry {
  int Id;
  const char* TreeName;        // tree node text and the name list entry
  TEffectCategory Category;
  const char* MenuCaption;     // Effects menu item text
  const char* Shortcut;        // Qt portable key-sequence text
  const char* MenuName;        // what the menu item puts into EffectName
  bool MenuKeepsSelection;     // menu item leaves EffectType/EffectName alone
};

// The whole table, grouped by category (Color, Distortions, Draw, Filters,
// Size/Aspect), ids ascending inside a group: the catalogue rows of the
// effect table's records (editor/EffectTable.h).
std::span<const TEffectEntry> EffectCatalogue();

// The entry of an id; nullptr for an id outside 0 ... 65.
const TEffectEntry* EffectEntry(int id);

// Tree name of an id ("" for none).
std::string_view EffectTreeName(int id);
// Name the Effects menu item puts into EffectName ("" for none).
std::string_view EffectMenuName(int id);

// The tree's name-to-id lookup; ignores letter case; -1 when the text is not
// an effect (a category node, for instance).
int EffectIdFromName(std::string_view name);

// "Color", "Distortions", "Draw", "Filters", "Size/Aspect".
std::string_view EffectCategoryName(TEffectCategory category);
// "&Color", "&Distortions", "Dra&w", "&Filters", "&Size/Aspect".
std::string_view EffectCategoryMenuCaption(TEffectCategory category);
TEffectCategory EffectCategoryAt(int index);  // 0 ... 4 in tree order

// The 66 tree names in id order (the effect-name list).
std::span<const std::string_view> EffectNameList();

}  // namespace vell
