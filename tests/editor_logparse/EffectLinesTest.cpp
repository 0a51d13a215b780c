// Effect lines read back: every id, both names, several sets of values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "editor/EffectCatalogue.h"
#include "editor/EffectTable.h"
#include "editor/LogParse.h"
#include "editor/RealText.h"

namespace vell {
namespace {

struct TState {
  TEffectParams P;
  TLogContext C;
};

// One piece of state a line may name: how to show it and how to change it.
struct TField {
  std::string Name;
  std::function<std::string(const TState&)> Show;
  std::function<void(TState&)> Change;
};

std::string Exact(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%a", v);
  return text;
}

std::string Hex(uint32_t v) { return std::to_string(v); }

std::vector<TField> Fields() {
  std::vector<TField> f;
  for (int id = 0; id < EffectCount; ++id) {
    f.push_back({"value " + std::to_string(id), [id](const TState& s) { return std::to_string(s.P.Value(id)); },
                 [id](TState& s) { s.P.Value(id) ^= 1; }});
  }
  for (const TExtraInfo& info : ExtraParamTable()) {
    const TExtraParam param = info.Param;
    const TExtraType type = info.Type;
    // The "%1.2f" values come back as the nearest single to their text.
    const bool twoDecimals =
        param == TExtraParam::FishVal || param == TExtraParam::WhPchVal || param == TExtraParam::WhRadVal;
    f.push_back({info.Key,
                 [=](const TState& s) {
                   const double v = GetExtra(s.P.Extras, param);
                   return twoDecimals ? FixedText(v, 2) : Exact(v);
                 },
                 [=](TState& s) {
                   const double v = GetExtra(s.P.Extras, param);
                   double changed = v * 2 + 1;
                   if (type == TExtraType::Flag) changed = v != 0 ? 0 : 1;
                   if (type == TExtraType::Colour) changed = static_cast<uint32_t>(v) ^ 0x010101u;
                   if (type == TExtraType::Integer || type == TExtraType::Double) changed = v > 0 ? v - 1 : v + 1;
                   SetExtra(s.P.Extras, param, changed);
                 }});
  }
  auto flag = [&](const char* name, bool TLogContext::*m) {
    f.push_back({name, [m](const TState& s) { return std::to_string(s.C.*m); },
                 [m](TState& s) { s.C.*m = !(s.C.*m); }});
  };
  auto colour = [&](const char* name, uint32_t TLogContext::*m) {
    f.push_back({name, [m](const TState& s) { return Hex(s.C.*m); }, [m](TState& s) { s.C.*m ^= 0x010101u; }});
  };
  flag("UsePeaks", &TLogContext::UsePeaks);
  flag("Wrap", &TLogContext::Wrap);
  colour("PenColor", &TLogContext::PenColor);
  colour("BrushColor", &TLogContext::BrushColor);
  colour("TintColor", &TLogContext::TintColor);
  f.push_back({"TextureSource", [](const TState& s) { return s.C.TextureSource; },
               [](TState& s) {
                 s.C.TextureSource = s.C.TextureSource == "Use Buffer" ? "Use Current Texture" : "Use Buffer";
               }});
  auto text = [&](const char* name, std::string TGradientFields::*m) {
    f.push_back({name, [m](const TState& s) { return s.C.Gradient.*m; }, [m](TState& s) { s.C.Gradient.*m += "1"; }});
  };
  text("Gradient.Width", &TGradientFields::Width);
  text("Gradient.Height", &TGradientFields::Height);
  text("Gradient.Angle", &TGradientFields::Angle);
  f.push_back({"Gradient.Style", [](const TState& s) { return s.C.Gradient.Style; },
               [](TState& s) { s.C.Gradient.Style = s.C.Gradient.Style == "Radial1" ? "Radial2" : "Radial1"; }});
  f.push_back({"Gradient.FromColor", [](const TState& s) { return Hex(s.C.Gradient.FromColor); },
               [](TState& s) { s.C.Gradient.FromColor ^= 0x010101u; }});
  f.push_back({"Gradient.ToColor", [](const TState& s) { return Hex(s.C.Gradient.ToColor); },
               [](TState& s) { s.C.Gradient.ToColor ^= 0x010101u; }});
  return f;
}

// Every value of a set from one rule per type.
TState MakeSet(int32_t (*whole)(int), float (*real)(int), bool flip, uint32_t colour) {
  TState s;
  for (int id = 0; id < EffectCount; ++id) s.P.Value(id) = whole(id);
  int i = 0;
  for (const TExtraInfo& info : ExtraParamTable()) {
    double v = GetExtra(s.P.Extras, info.Param);
    switch (info.Type) {
      case TExtraType::Single: v = real(i); break;
      case TExtraType::Integer:
      case TExtraType::Double: v = whole(i + 100); break;
      case TExtraType::Flag: v = flip ? (v != 0 ? 0 : 1) : v; break;
      case TExtraType::Colour: v = colour; break;
    }
    SetExtra(s.P.Extras, info.Param, v);
    ++i;
  }
  s.C.PenColor = colour;
  s.C.BrushColor = colour ^ 0xFFFFFFu;
  s.C.TintColor = colour ^ 0x00FF00u;
  return s;
}

std::vector<std::pair<std::string, TState>> ValueSets() {
  std::vector<std::pair<std::string, TState>> sets;
  sets.emplace_back("defaults", TState{});

  TState negative = MakeSet([](int i) { return -(i * 37 + 5); }, [](int i) { return -(1234.5678f + i); }, true,
                            0x0A0B0C);
  negative.C.UsePeaks = false;
  negative.C.Wrap = false;
  negative.C.TextureSource = "Use Buffer";
  negative.C.Gradient = {"1024", "-3", "Radial2", 0x010203, 0xFEFDFC, "-45"};
  sets.emplace_back("negative", negative);

  TState large = MakeSet(
      [](int i) { return i % 2 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max(); },
      [](int i) { return i % 2 ? 1.5e-7f : 1e20f; }, false, 0xFFFFFF);
  large.C.Wrap = false;
  large.C.TextureSource = "Use File /home/u/tiles/bark, \"old\".bmp";
  large.C.Gradient = {"", "0", "Vertical", 0xFFFFFF, 0, "90, Height 3"};
  sets.emplace_back("large", large);

  TState digits = MakeSet([](int i) { return i * 1009 - 7; }, [](int i) { return 1.0f / 3.0f + static_cast<float>(i); },
                          true, 0x80FF01);
  digits.C.UsePeaks = false;
  digits.C.Gradient = {"7", "7", "HorizCenter", 0x000001, 0x0000FF, "359"};
  sets.emplace_back("many digits", digits);

  TState comma = MakeSet([](int i) { return i; }, [](int i) { return 0.25f + static_cast<float>(i); }, false, 0x102030);
  comma.C.DecimalSeparator = ',';
  sets.emplace_back("decimal comma", comma);
  return sets;
}

// Trace stores the colour it names into TrColVal, and a black line clears
// "Use Pen Color" whatever it was: neither shows in the line.
bool Derived(int id, const std::string& field) {
  return id == 61 && (field == "TrColVal" || field == "TrUseVal");
}

TEST(EffectLines, EveryIdReadsBackIntoTheValuesItNames) {
  const std::vector<TField> fields = Fields();
  const auto sets = ValueSets();
  int lines = 0;
  for (const TEffectDef& def : EffectDefs()) {
    if (!def.WritesLine) continue;
    const int id = def.Entry.Id;
    std::vector<std::string_view> names = {def.Entry.TreeName};
    if (def.Entry.MenuName) names.push_back(def.Entry.MenuName);
    for (size_t k = 0; k < sets.size(); ++k) {
      const TState& written = sets[k].second;
      // Parsed into another set's state, so untouched values stand out.
      TState start = sets[(k + 1) % sets.size()].second;
      start.C.DecimalSeparator = written.C.DecimalSeparator;
      for (std::string_view name : names) {
        SCOPED_TRACE(std::string(name) + " / " + sets[k].first);
        const std::optional<std::string> line = EffectLogLine(id, name, written.P, written.C);
        ASSERT_TRUE(line);
        TState parsed = start;
        TLogLine out;
        const std::optional<std::string> error = ParseLogLine(*line, parsed.P, parsed.C, out);
        ASSERT_FALSE(error) << *line << "\n" << *error;
        EXPECT_EQ(out.Kind, TLogLineKind::Effect);
        EXPECT_EQ(out.Id, id);
        EXPECT_EQ(out.Name, name);
        EXPECT_EQ(EffectLogLine(id, name, parsed.P, parsed.C), line);
        for (const TField& f : fields) {
          TState changed = written;
          f.Change(changed);
          const bool named = EffectLogLine(id, name, changed.P, changed.C) != line;
          if (named) {
            EXPECT_EQ(f.Show(parsed), f.Show(written)) << f.Name << " in " << *line;
          } else if (!Derived(id, f.Name)) {
            EXPECT_EQ(f.Show(parsed), f.Show(start)) << f.Name << " changed by " << *line;
          }
        }
        ++lines;
      }
    }
  }
  EXPECT_GT(lines, 300);
}

// The examples of the grammar, and readings that need a closer look.
TEST(EffectLines, Examples) {
  using TCheck = std::function<bool(const TState&)>;
  const std::tuple<const char*, int, TCheck> cases[] = {
      {"Twist, Looseness 100", 18, [](const TState& s) { return s.P.Value(18) == 100; }},
      {"SineWave U/D, Peaks 3, Height 50, Wrap = True", 15,
       [](const TState& s) { return s.P.Extras.UDPeakVal == 3 && s.P.Value(15) == 50 && s.C.UsePeaks && s.C.Wrap; }},
      {"SineWave Left/Right, WaveLength 17.5, Height -64, Wrap = False", 16,
       [](const TState& s) { return s.P.Extras.LRWavVal == 17.5f && !s.C.UsePeaks && !s.C.Wrap; }},
      {"Whirl/Pinch, Angle 270, Pinch 0.50, Radius 1.00", 65,
       [](const TState& s) { return s.P.Extras.WhPchVal == 0.5f && s.P.Extras.WhRadVal == 1; }},
      {"FishEye, Magnification 0.75", 19, [](const TState& s) { return s.P.Extras.FishVal == 0.75f; }},
      {"Fisheye, Magnification 0.30", 19, [](const TState& s) { return s.P.Extras.FishVal == 0.3f; }},
      {"Exchange Color, Pen R: 0 G: 0 B: 0, Brush R: 255 G: 255 B: 255", 37,
       [](const TState& s) { return s.C.PenColor == 0 && s.C.BrushColor == 0xFFFFFF; }},
      {"Marble, Graininess 700, Scale 0.300000011920929, Turbulence -2147483648", 29,
       [](const TState& s) { return s.P.Extras.ScaleVal == 0.3f && s.P.Extras.TurbVal == INT32_MIN; }},
      {"Marble, Graininess 1, Scale 1.18059162071741E21, Turbulence 1", 29,
       [](const TState& s) { return s.P.Extras.ScaleVal == 0x1p70f; }},
      {"Trace, Intensity 3, Color: R: 1 G: 2 B: 3", 61,
       [](const TState& s) { return s.P.Extras.TrUseVal && s.P.Extras.TrColVal == 0x030201 && s.C.PenColor == 0x030201; }},
      // Black: "Use Pen Color" off; the pen is not named.
      {"Trace, Intensity 3, Color: R: 0 G: 0 B: 0", 61,
       [](const TState& s) { return !s.P.Extras.TrUseVal && s.C.PenColor == 0x445566; }},
      {"Map Texture, Brightness 18, Use File /tiles/a, b \"c\".bmp", 28,
       [](const TState& s) { return s.C.TextureSource == "Use File /tiles/a, b \"c\".bmp"; }},
      {"Waves, Amplitude 24, Wave Length 10, Phase -8, Reflective True", 64,
       [](const TState& s) { return s.P.Extras.WvPhsVal == -8.0 && s.P.Extras.WvRflVal; }},
      {"Gradient Bars, Number of Bars 9", 47, [](const TState& s) { return s.P.Value(47) == 9; }},
      {"Negative", 31, nullptr},
      {"Rotate 90", 40, nullptr},
      // The plain lines Apply writes after the filter and the resize lines.
      {"Design Your Own", 14, nullptr},
      {"ReSize Fast", 38, nullptr},
      {"ReSize Smooth", 39, nullptr},
  };
  for (const auto& [line, id, check] : cases) {
    SCOPED_TRACE(line);
    TState s;
    s.C.PenColor = 0x445566;
    TLogLine out;
    const std::optional<std::string> error = ParseLogLine(line, s.P, s.C, out);
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(out.Kind, TLogLineKind::Effect);
    EXPECT_EQ(out.Id, id);
    if (check) {
      EXPECT_TRUE(check(s));
    }
  }
}

}  // namespace
}  // namespace vell
