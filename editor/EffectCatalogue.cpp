#include "editor/EffectCatalogue.h"

#include <array>
#include <cctype>

namespace vell {
namespace {

using C = TEffectCategory;

// One row per effect. A null menu name means the menu uses the tree name.
constexpr TEffectEntry kCatalogue[] = {
    // Color
    {30, "Color Rotate", C::Color, "Color Rotate", "Ctrl+O", nullptr, false},
    {31, "Negative", C::Color, "Negative", "Ctrl+N", nullptr, false},
    {32, "Brighten", C::Color, "Brighten", "Ctrl+B", nullptr, false},
    {33, "Lighten", C::Color, "Lighten", "Ctrl+Alt+T", nullptr, false},
    {34, "Tint", C::Color, "Tint", "Ctrl+Alt+U", nullptr, false},
    {35, "Gray Scale", C::Color, "Gray Scale", "Ctrl+Alt+V", "GrayScale", false},
    {36, "Erase to Black", C::Color, "Erase to Black", "Ctrl+K", nullptr, false},
    {37, "Exchange Color", C::Color, "Exchange Color", "Ctrl+Alt+Z", nullptr, false},
    // Distortions
    {15, "SineWave U/D", C::Distortions, "SineWave U/D", "Ctrl+D", "SineWave Up/Down", false},
    {16, "SineWave L/R", C::Distortions, "SineWave L/R", "Ctrl+E", "SineWave Left/Right", false},
    {17, "SineWave Both", C::Distortions, "SineWave Both", "Ctrl+X", nullptr, false},
    {18, "Twist", C::Distortions, "Twist", "Ctrl+T", nullptr, false},
    {19, "Fisheye", C::Distortions, "FishEye", "Ctrl+F", "FishEye", false},
    {20, "Circular", C::Distortions, "Circular", "Ctrl+W", nullptr, false},
    {21, "Astroid", C::Distortions, "Astroid", "Ctrl+A", nullptr, false},
    {22, "Concentric Rects", C::Distortions, "Concentric Rects", "Ctrl+Alt+O", nullptr, false},
    {23, "Mosaic", C::Distortions, "Mosaic", "Ctrl+Alt+M", nullptr, false},
    {24, "Circle Mosaic", C::Distortions, "Circle Mosaic", "Ctrl+Alt+N", nullptr, false},
    {25, "Color Noise", C::Distortions, "Color Noise", "Ctrl+Alt+P", nullptr, false},
    {26, "Spray", C::Distortions, "Spray", "Ctrl+Alt+Q", nullptr, false},
    {27, "VellSwizzle", C::Distortions, "VellSwizzle", "Ctrl+H", nullptr, false},
    {28, "Map Texture", C::Distortions, "Map Texture", "Ctrl+F2", nullptr, false},
    {29, "Marble", C::Distortions, "Marble", "Ctrl+F3", nullptr, false},
    {53, "StretchBlur with Buffer", C::Distortions, "StretchBlur with Buffer", "Ctrl+F6", nullptr, false},
    {54, "StretchBlur with Self", C::Distortions, "StretchBlur with Self", "Ctrl+F7", nullptr, false},
    {55, "Water with Buffer", C::Distortions, "Water with Buffer", "Ctrl+F8", nullptr, false},
    {56, "Water with Self", C::Distortions, "Water with Self", "Ctrl+F9", nullptr, false},
    {58, "HeightMap", C::Distortions, "HeightMap", "Ctrl+F11", nullptr, false},
    {61, "Trace", C::Distortions, "Trace", "Shift+F1", nullptr, false},
    {62, "RippleTooth", C::Distortions, "RippleTooth", "Shift+F2", nullptr, false},
    {63, "Seamless Edge", C::Distortions, "Seamless Edge", "Shift+F3", nullptr, false},
    {64, "Waves", C::Distortions, "Waves", "Shift+F4", nullptr, false},
    {65, "Whirl/Pinch", C::Distortions, "Whirl/Pinch", "Shift+F5", nullptr, false},
    // Draw
    {46, "Cycloid Mosaic", C::Draw, "Cycloid Mosaic", "Ctrl+Alt+L", nullptr, false},
    {47, "Gradient Bars", C::Draw, "Gradient Bars", "Ctrl+Alt+W", nullptr, false},
    {48, "Gradient", C::Draw, "Gradient", "Ctrl+J", "Draw Gradient", false},
    {49, "Merge Gradient", C::Draw, "Merge Gradient", "Ctrl+Alt+I", nullptr, false},
    {50, "Merge Buffer", C::Draw, "Merge Buffer", "Ctrl+Alt+J", nullptr, false},
    {51, "Buttonize", C::Draw, "Buttonize", "Ctrl+U", nullptr, false},
    {52, "Plasma Cloud", C::Draw, "Plasma Cloud", "Ctrl+F4", nullptr, false},
    {57, "SuperNova", C::Draw, "SuperNova", "Ctrl+F10", nullptr, false},
    // Filters
    {0, "Soften More", C::Filters, "Soften More", "Ctrl+Alt+Y", nullptr, false},
    {1, "Soften Less", C::Filters, "Soften Less", "Ctrl+Y", nullptr, false},
    {2, "Edge Enhance More", C::Filters, "Edge Enhance More", "Ctrl+Alt+A", nullptr, false},
    {3, "Edge Enhance Less", C::Filters, "Edge Enhance Less", "Ctrl+Alt+B", nullptr, false},
    {4, "Edge Emboss More", C::Filters, "Edge Emboss More", "Ctrl+Alt+C", nullptr, false},
    {5, "Edge Emboss Less", C::Filters, "Edge Emboss Less", "Ctrl+Alt+D", nullptr, false},
    {6, "Classic Emboss", C::Filters, "Classic Emboss", "Ctrl+Alt+E", nullptr, false},
    {7, "Hi Pass", C::Filters, "HiPass", "Ctrl+I", "HiPass", false},
    {8, "Sharpen", C::Filters, "Sharpen", "Ctrl+S", nullptr, false},
    {9, "Laplace", C::Filters, "Laplace", "Ctrl+P", nullptr, false},
    {10, "Blur", C::Filters, "Blur", "Ctrl+Alt+H", nullptr, false},
    {11, "Find Edges", C::Filters, "Find Edges", "Ctrl+Alt+F", nullptr, false},
    {12, "Gaussian Soft", C::Filters, "Gaussian Soft", "Ctrl+Alt+G", nullptr, false},
    {13, "Gaussian Blur", C::Filters, "Gaussian Blur", "Ctrl+G", nullptr, false},
    // The menu item opens the filter dialog without selecting the effect.
    {14, "Design Your Own", C::Filters, "Design Your Own", "Ctrl+F5", nullptr, true},
    {59, "Split Blur", C::Filters, "Split Blur", "Ctrl+F12", nullptr, false},
    {60, "Split Gauss", C::Filters, "Split Gauss", "Ctrl+Shift+F12", nullptr, false},
    // Size/Aspect
    {38, "ReSize Fast", C::SizeAspect, "ReSize Fast", "Ctrl+Q", nullptr, false},
    {39, "ReSize Smooth", C::SizeAspect, "ReSize Smooth", "Ctrl+R", nullptr, false},
    {40, "Rotate 90 Clockwise", C::SizeAspect, "Rotate 90", "Ctrl+Alt+X", "Rotate 90", false},
    {41, "Mirror L/R", C::SizeAspect, "Mirror L/R", "Ctrl+L", nullptr, false},
    {42, "Mirror U/D", C::SizeAspect, "Mirror U/D", "Ctrl+M", nullptr, false},
    {43, "Rotate Angle", C::SizeAspect, "Rotate Angle", "Ctrl+Alt+R", nullptr, false},
    {44, "Rotate Seamless", C::SizeAspect, "Rotate Seamless", "Ctrl+Alt+S", nullptr, false},
    {45, "Scroll", C::SizeAspect, "Scroll", "Ctrl+Alt+K", nullptr, false},
};
static_assert(std::size(kCatalogue) == EffectCount);

struct TIndex {
  std::array<int, EffectCount> row{};
  std::array<std::string_view, EffectCount> names{};
  constexpr TIndex() {
    for (int i = 0; i < EffectCount; ++i) {
      row[static_cast<size_t>(kCatalogue[i].Id)] = i;
      names[static_cast<size_t>(kCatalogue[i].Id)] = kCatalogue[i].TreeName;
    }
  }
};
constexpr TIndex kIndex;

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

std::span<const TEffectEntry> EffectCatalogue() { return kCatalogue; }

const TEffectEntry* EffectEntry(int id) {
  if (id < 0 || id >= EffectCount) return nullptr;
  return &kCatalogue[kIndex.row[static_cast<size_t>(id)]];
}

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
    if (SameTextIgnoringCase(kIndex.names[static_cast<size_t>(id)], name)) return id;
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

std::span<const std::string_view> EffectNameList() { return kIndex.names; }

}  // namespace vell
