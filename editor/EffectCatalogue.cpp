#include "editor/EffectCatalogue.h"

#include <array>
#include <cctype>

namespace vell {
namespace {

// The effect-name list: tree names in id order (the rows themselves are the
// effect table's, editor/EffectTable.cpp).
struct TNameList {
  std::array<std::string_view, EffectCount> names{};
  TNameList() {
    for (const TEffectEntry& e : EffectCatalogue()) names[static_cast<size_t>(e.Id)] = e.TreeName;
  }
};

const TNameList& Names() {
  static const TNameList list;
  return list;
}

constexpr std::string_view kCategoryNames[EffectCategoryCount] = {"Color", "Distortions", "Draw",
                                                                  "Filters", "Size/Aspect"};
constexpr std::string_view kCategoryCaptions[EffectCategoryCount] = {
    "&Color", "&Distortions", "Dra&w", "&Filters", "&Size/Aspect"};

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

std::string_view EffectTreeName(int id) {
  const TEffectEntry* e = EffectEntry(id);
  return e ? e->TreeName : "";
}

std::string_view EffectMenuName(int id) {
  const TEffectEntry* e = EffectEntry(id);
  if (!e) return "";
  return e->MenuName ? e->MenuName : e->TreeName;
}

int EffectIdFromName(std::string_view name) {
  for (int id = 0; id < EffectCount; ++id) {
    if (SameTextIgnoringCase(Names().names[static_cast<size_t>(id)], name)) return id;
  }
  return NoEffect;
}

std::string_view EffectCategoryName(TEffectCategory category) {
  return kCategoryNames[static_cast<int>(category)];
}

std::string_view EffectCategoryMenuCaption(TEffectCategory category) {
  return kCategoryCaptions[static_cast<int>(category)];
}

TEffectCategory EffectCategoryAt(int index) { return static_cast<TEffectCategory>(index); }

std::span<const std::string_view> EffectNameList() { return Names().names; }

}  // namespace vell
