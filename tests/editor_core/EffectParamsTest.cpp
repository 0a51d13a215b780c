#include "editor/EffectParams.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vell {
namespace {

TEST(EffectParams, ExtraTableMatchesStartValues) {
  std::set<std::string> keys;
  const TEffectExtras start;
  int i = 0;
  for (const TExtraInfo& info : ExtraParamTable()) {
    EXPECT_EQ(static_cast<int>(info.Param), i++);
    EXPECT_TRUE(keys.insert(info.Key).second) << info.Key;
    EXPECT_EQ(GetExtra(start, info.Param), info.BuiltIn) << info.Key;
  }
  EXPECT_EQ(keys.size(), 26u);
  EXPECT_EQ(ExtraInfo(TExtraParam::FishVal).ReadDefault, 0.75);
  EXPECT_EQ(ExtraInfo(TExtraParam::UDPeakVal).ReadDefault, 0.0);
  EXPECT_EQ(ExtraInfo(TExtraParam::TurbVal).ReadDefault, 0.0);
  EXPECT_EQ(ExtraInfo(TExtraParam::UDWatSelf).ReadDefault, -128.0);
}

TEST(EffectParams, SetExtraConvertsToTheMembersType) {
  TEffectExtras x;
  SetExtra(x, TExtraParam::UDPeakVal, 0.3);
  EXPECT_EQ(x.UDPeakVal, 0.3f);
  SetExtra(x, TExtraParam::TurbVal, 1e12);
  EXPECT_EQ(x.TurbVal, 2147483647);
  SetExtra(x, TExtraParam::NovaX, -2.5);
  EXPECT_EQ(x.NovaX, -2);  // to nearest, ties to even
  SetExtra(x, TExtraParam::HytBm, 0);
  EXPECT_FALSE(x.HytBm);
  SetExtra(x, TExtraParam::TrUseVal, 7);
  EXPECT_TRUE(x.TrUseVal);
  SetExtra(x, TExtraParam::TrColVal, 16777215);
  EXPECT_EQ(x.TrColVal, 0xFFFFFFu);
  SetExtra(x, TExtraParam::WvPhsVal, 12);
  EXPECT_EQ(GetExtra(x, TExtraParam::WvPhsVal), 12.0);
}

TEST(EffectParams, DefaultsOnlyWhereEffectsHaveAMainValue) {
  const TEffectParams p;
  int withValue = 0;
  for (int id = 0; id < EffectCount; ++id) {
    if (p.EffectDefaults[static_cast<size_t>(id)] != 0) ++withValue;
    EXPECT_EQ(p.EffectValues[static_cast<size_t>(id)], p.EffectDefaults[static_cast<size_t>(id)]);
    const bool hasRow = ParamRow(id) != nullptr;
    if (!hasRow) {
      EXPECT_EQ(p.EffectDefaults[static_cast<size_t>(id)], 0) << id;
    }
  }
  EXPECT_EQ(withValue, 37);
  EXPECT_EQ(p.Value(6), 250);
  EXPECT_EQ(p.Value(54), -1);
  EXPECT_EQ(p.Value(19), 0);  // Fisheye keeps its value in FishVal
  const int noParams[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 14, 20, 31, 32, 33, 34, 35, 36, 38, 39, 40, 41, 42, 44, 48};
  for (int id : noParams) EXPECT_EQ(ParamRow(id), nullptr) << id;
  EXPECT_EQ(ParamRows().size(), 66u - std::size(noParams));
}

TEST(EffectParams, ResetEffectRestoresItsOwnExtrasOnly) {
  TEffectParams p;
  p.Value(56) = 5;
  p.Extras.UDWatSelf = 9;
  p.Extras.UDWatBuf = 9;
  p.ResetEffect(56);
  EXPECT_EQ(p.Value(56), 128);
  EXPECT_EQ(p.Extras.UDWatSelf, -128);
  EXPECT_EQ(p.Extras.UDWatBuf, 9);

  p.Value(15) = 1;
  p.Value(16) = 1;
  p.Extras.UDPeakVal = 9;
  p.Extras.UDWavVal = 9;
  p.ResetEffect(17);
  EXPECT_EQ(p.Value(15), 50);
  EXPECT_EQ(p.Value(16), 64);
  EXPECT_EQ(p.Extras.UDPeakVal, 3.0f);
  EXPECT_EQ(p.Extras.UDWavVal, 9.0f);  // not part of SineWave Both

  p.Extras.TrColVal = 0xFF;
  p.Extras.TrUseVal = true;
  p.Extras.WhPchVal = 3;
  p.ResetEffect(61);
  EXPECT_EQ(p.Extras.TrColVal, 0u);
  EXPECT_FALSE(p.Extras.TrUseVal);
  EXPECT_EQ(p.Extras.WhPchVal, 3.0f);

  p.ResetToDefaults();
  EXPECT_EQ(p.Extras, TEffectExtras{});
}

TEST(EffectParams, ConfigurePanelRows) {
  TEffectParams p;
  TPanelConfig both = ConfigurePanel(17, "SineWave Both", p, true);
  EXPECT_EQ(both.Hint, "");
  EXPECT_TRUE(both.DefaultButtonVisible);
  const char* labels[] = {"Peaks U/D", "Height", "Peaks L/R", "Height"};
  const char* texts[] = {"3", "50", "2", "64"};
  for (int f = 0; f < 4; ++f) {
    EXPECT_TRUE(both.Fields[static_cast<size_t>(f)].Visible);
    EXPECT_EQ(both.Fields[static_cast<size_t>(f)].Label, labels[f]);
    EXPECT_EQ(both.Fields[static_cast<size_t>(f)].Text, texts[f]);
  }
  EXPECT_FALSE(both.Fields[4].Visible);

  TPanelConfig negative = ConfigurePanel(31, "Negative", p, true);
  EXPECT_EQ(negative.Hint, "No User Settings");
  EXPECT_FALSE(negative.DefaultButtonVisible);
  EXPECT_EQ(negative.EffectCaption, "Negative");
  EXPECT_EQ(negative.Status, "Negative");

  TPanelConfig none = ConfigurePanel(-1, "", p, true);
  EXPECT_EQ(none.Hint, "Choose an effect...");
  EXPECT_FALSE(none.DefaultButtonVisible);
  EXPECT_EQ(none.Status, "Idle...");

  TPanelConfig peaks = ConfigurePanel(15, "SineWave U/D", p, true);
  TPanelConfig wave = ConfigurePanel(15, "SineWave U/D", p, false);
  EXPECT_EQ(peaks.Fields[0].Label, "Peaks");
  EXPECT_EQ(peaks.Fields[0].Text, "3");
  EXPECT_EQ(wave.Fields[0].Label, "Wavelength");
  EXPECT_EQ(wave.Fields[0].Text, "32");
  EXPECT_TRUE(wave.PeaksAndWrapVisible);
  EXPECT_EQ(wave.Hint, "Range: 1 - Height");

  p.Value(56) = 3;
  p.Extras.UDWatSelf = 4;
  p.ResetEffect(56);
  TPanelConfig water = ConfigurePanel(56, "Water with Self", p, true);
  EXPECT_EQ(water.Fields[0].Text, "-128");
  EXPECT_EQ(water.Fields[1].Text, "128");

  TPanelConfig whirl = ConfigurePanel(65, "Whirl/Pinch", p, true);
  EXPECT_EQ(whirl.Fields[1].Label, "Pinch (-1 to 1)");
  EXPECT_EQ(whirl.Fields[1].Text, "0.50");
  EXPECT_EQ(whirl.Fields[2].Text, "1.00");

  TPanelConfig fish = ConfigurePanel(19, "Fisheye", p, true);
  EXPECT_EQ(fish.Fields[0].Text, "0.75");

  TPanelConfig height = ConfigurePanel(58, "HeightMap", p, true);
  EXPECT_TRUE(height.BumpVisible);
  EXPECT_EQ(height.BumpCaption, "Bump Map");
  EXPECT_TRUE(height.BumpChecked);
  TPanelConfig trace = ConfigurePanel(61, "Trace", p, true);
  EXPECT_EQ(trace.BumpCaption, "Use Pen Color");
  EXPECT_FALSE(trace.BumpChecked);

  p.Extras.WvPhsVal = 7.5;
  EXPECT_EQ(ConfigurePanel(64, "Waves", p, true).Fields[2].Text, "8");
  EXPECT_TRUE(ConfigurePanel(45, "Scroll", p, true).ScrollBarsVisible);
  EXPECT_TRUE(ConfigurePanel(51, "Buttonize", p, true).NoteVisible);
  EXPECT_EQ(ConfigurePanel(57, "SuperNova", p, true).Fields[4].Label, "Y Pos");
}

}  // namespace
}  // namespace vell
