#include "editor/EffectCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vell {
namespace {

TEST(EffectCatalogue, EveryIdOnceAndGroupedByCategory) {
  std::set<int> ids;
  std::set<std::string> names, shortcuts;
  int lastCategory = 0;
  int perCategory[EffectCategoryCount] = {};
  for (const TEffectEntry& e : EffectCatalogue()) {
    EXPECT_TRUE(ids.insert(e.Id).second) << e.Id;
    EXPECT_TRUE(names.insert(e.TreeName).second) << e.TreeName;
    EXPECT_TRUE(shortcuts.insert(e.Shortcut).second) << e.Shortcut;
    EXPECT_GE(static_cast<int>(e.Category), lastCategory) << "table not grouped at id " << e.Id;
    lastCategory = static_cast<int>(e.Category);
    ++perCategory[lastCategory];
    ASSERT_EQ(EffectEntry(e.Id), &e);
    EXPECT_EQ(EffectIdFromName(e.TreeName), e.Id);
    EXPECT_EQ(EffectNameList()[static_cast<size_t>(e.Id)], e.TreeName);
  }
  EXPECT_EQ(ids.size(), 66u);
  EXPECT_EQ(*ids.begin(), 0);
  EXPECT_EQ(*ids.rbegin(), 65);
  const int expected[EffectCategoryCount] = {8, 25, 8, 17, 8};
  for (int c = 0; c < EffectCategoryCount; ++c) EXPECT_EQ(perCategory[c], expected[c]) << c;
}

TEST(EffectCatalogue, RowsOfNote) {
  struct Row {
    int id;
    const char* tree;
    TEffectCategory category;
    const char* caption;
    const char* shortcut;
    const char* menuName;
  };
  const Row rows[] = {
      {0, "Soften More", TEffectCategory::Filters, "Soften More", "Ctrl+Alt+Y", "Soften More"},
      {7, "Hi Pass", TEffectCategory::Filters, "HiPass", "Ctrl+I", "HiPass"},
      {15, "SineWave U/D", TEffectCategory::Distortions, "SineWave U/D", "Ctrl+D", "SineWave Up/Down"},
      {16, "SineWave L/R", TEffectCategory::Distortions, "SineWave L/R", "Ctrl+E", "SineWave Left/Right"},
      {19, "Fisheye", TEffectCategory::Distortions, "FishEye", "Ctrl+F", "FishEye"},
      {25, "Color Noise", TEffectCategory::Distortions, "Color Noise", "Ctrl+Alt+P", "Color Noise"},
      {35, "Gray Scale", TEffectCategory::Color, "Gray Scale", "Ctrl+Alt+V", "GrayScale"},
      {40, "Rotate 90 Clockwise", TEffectCategory::SizeAspect, "Rotate 90", "Ctrl+Alt+X", "Rotate 90"},
      {48, "Gradient", TEffectCategory::Draw, "Gradient", "Ctrl+J", "Draw Gradient"},
      {57, "SuperNova", TEffectCategory::Draw, "SuperNova", "Ctrl+F10", "SuperNova"},
      {60, "Split Gauss", TEffectCategory::Filters, "Split Gauss", "Ctrl+Shift+F12", "Split Gauss"},
      {65, "Whirl/Pinch", TEffectCategory::Distortions, "Whirl/Pinch", "Shift+F5", "Whirl/Pinch"},
  };
  for (const Row& r : rows) {
    const TEffectEntry* e = EffectEntry(r.id);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->TreeName, r.tree);
    EXPECT_EQ(e->Category, r.category) << r.id;
    EXPECT_STREQ(e->MenuCaption, r.caption);
    EXPECT_STREQ(e->Shortcut, r.shortcut);
    EXPECT_EQ(EffectMenuName(r.id), r.menuName);
  }
  for (const TEffectEntry& e : EffectCatalogue()) EXPECT_EQ(e.MenuKeepsSelection, e.Id == 14) << e.Id;
}

TEST(EffectCatalogue, NameLookupIgnoresCaseAndRejectsOthers) {
  EXPECT_EQ(EffectIdFromName("whirl/PINCH"), 65);
  EXPECT_EQ(EffectIdFromName("GAUSSIAN blur"), 13);
  EXPECT_EQ(EffectIdFromName("Filters"), -1);      // a category node
  EXPECT_EQ(EffectIdFromName("Size/Aspect"), -1);
  EXPECT_EQ(EffectIdFromName("HiPass"), -1);       // the menu name is not in the list
  EXPECT_EQ(EffectIdFromName("Twist "), -1);
  EXPECT_EQ(EffectIdFromName(""), -1);
  EXPECT_EQ(EffectEntry(-1), nullptr);
  EXPECT_EQ(EffectEntry(66), nullptr);
  EXPECT_EQ(EffectTreeName(66), "");
}

TEST(EffectCatalogue, CategoriesAndSubmenus) {
  const char* names[] = {"Color", "Distortions", "Draw", "Filters", "Size/Aspect"};
  const char* captions[] = {"&Color", "&Distortions", "Dra&w", "&Filters", "&Size/Aspect"};
  for (int i = 0; i < EffectCategoryCount; ++i) {
    EXPECT_EQ(EffectCategoryName(EffectCategoryAt(i)), names[i]);
    EXPECT_EQ(EffectCategoryMenuCaption(EffectCategoryAt(i)), captions[i]);
  }
}

}  // namespace
}  // namespace vell
