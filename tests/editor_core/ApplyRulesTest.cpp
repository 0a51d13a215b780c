#include "editor/ApplyRules.h"

#include <gtest/gtest.h>

#include "editor/EffectLog.h"

namespace vell {
namespace {

TEST(ApplyRules, ChecksBeforeAnEffectRuns) {
  struct Case {
    int effect;
    std::string TPanelFields::*field;
    const char* text;
    TApplyCheck verdict;
  };
  using F = TPanelFields;
  const Case cases[] = {
      {-1, &F::Main, "250", TApplyCheck::NoEffect},
      {-1, &F::Main, "", TApplyCheck::NoEffect},
      {31, &F::Main, "250", TApplyCheck::Ok},
      {31, &F::PenSize, "", TApplyCheck::EmptyAmount},  // blocks every effect
      {31, &F::Fifth, "", TApplyCheck::EmptyAmount},    // hidden fields count too
      {18, &F::Third, "", TApplyCheck::EmptyAmount},
      {18, &F::Fourth, "abc", TApplyCheck::NotNumeric},
      {18, &F::Second, "1,5", TApplyCheck::NotNumeric},
      {18, &F::Main, "2.5", TApplyCheck::Ok},  // numeric; the integer read fails later
      {18, &F::Main, "-1e2", TApplyCheck::Ok},
  };
  for (const Case& c : cases) {
    TPanelFields f;
    f.*(c.field) = c.text;
    EXPECT_EQ(CheckApply(c.effect, f), c.verdict) << c.effect << " '" << c.text << "'";
  }
  TPanelFields both;
  both.Main = "x";
  both.Third = "";
  EXPECT_EQ(CheckApply(6, both), TApplyCheck::EmptyAmount);  // emptiness is checked first
  EXPECT_EQ(ApplyCheckMessage(TApplyCheck::NoEffect), "First Select an Effect");
  EXPECT_EQ(ApplyCheckMessage(TApplyCheck::EmptyAmount), "Amounts cannot be zero-length");
  EXPECT_EQ(ApplyCheckMessage(TApplyCheck::NotNumeric), "Amounts must be numeric");
  EXPECT_EQ(ApplyCheckMessage(TApplyCheck::Ok), "");
}

TEST(ApplyRules, GaussianBlurAboveFiveBecomesOne) {
  struct Case {
    const char* typed;
    const char* fieldAfter;
    int value;
  };
  const Case cases[] = {{"9", "1", 1}, {"6", "1", 1}, {"5", "5", 5}, {"-3", "-3", -3}};
  for (const Case& c : cases) {
    TEffectParams p;
    TPanelFields f;
    f.Main = c.typed;
    ASSERT_TRUE(ReadEffectFields(13, f, p).Ok);
    EXPECT_EQ(f.Main, c.fieldAfter);
    EXPECT_EQ(p.Value(13), c.value);
  }
  TEffectParams p;
  TPanelFields f;
  f.Main = "9";
  ReadEffectFields(13, f, p);
  EXPECT_EQ(*EffectLogLine(13, "Gaussian Blur", p, TLogContext{}), "Gaussian Blur, Blurriness 1");
}

TEST(ApplyRules, AstroidThicknessIsOddAndAtMostNine) {
  const std::pair<const char*, int> cases[] = {{"4", 5}, {"10", 9}, {"7", 7}, {"12", 9}, {"0", 1}, {"-4", -3}};
  for (const auto& [typed, value] : cases) {
    TEffectParams p;
    TPanelFields f;
    f.Main = typed;
    ASSERT_TRUE(ReadEffectFields(21, f, p).Ok);
    EXPECT_EQ(p.Value(21), value) << typed;
    EXPECT_EQ(f.Main, typed);  // the field keeps what was typed
  }
}

TEST(ApplyRules, WhirlPinchIsClampedBeforeItRuns) {
  struct Case {
    const char* pinch;
    const char* radius;
    const char* logged;
  };
  const Case cases[] = {
      {"3", "-1", "Whirl/Pinch, Angle 270, Pinch 1.00, Radius 0.00"},
      {"-5", "2.5", "Whirl/Pinch, Angle 270, Pinch -1.00, Radius 2.50"},
      {"0.25", "0", "Whirl/Pinch, Angle 270, Pinch 0.25, Radius 0.00"},
  };
  for (const Case& c : cases) {
    TEffectParams p;
    TPanelFields f;
    f.Main = "270";
    f.Second = c.pinch;
    f.Third = c.radius;
    ASSERT_TRUE(ReadEffectFields(65, f, p).Ok);
    PrepareEffectRun(65, p);
    EXPECT_EQ(*EffectLogLine(65, "Whirl/Pinch", p, TLogContext{}), c.logged);
  }
  // The menu road runs on stored values and gets the same clamp.
  TEffectParams p;
  p.Extras.WhPchVal = 7;
  PrepareEffectRun(65, p);
  EXPECT_EQ(p.Extras.WhPchVal, 1.0f);
}

TEST(ApplyRules, ConversionErrorStopsTheReadKeepingEarlierValues) {
  TEffectParams p;
  TPanelFields f;
  f.Main = "4.5";     // U/D peaks, a real
  f.Second = "40";    // height of 15
  f.Third = "6";      // L/R peaks
  f.Fourth = "2.5";   // height of 16: not an integer
  TReadOutcome r = ReadEffectFields(17, f, p);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, "'2.5' is not a valid integer value");
  EXPECT_EQ(p.Extras.UDPeakVal, 4.5f);
  EXPECT_EQ(p.Value(15), 40);
  EXPECT_EQ(p.Extras.LRPeakVal, 6.0f);
  EXPECT_EQ(p.Value(16), 64);

  TEffectParams q;
  TPanelFields g;
  g.Main = "2.5";
  r = ReadEffectFields(13, g, q);
  EXPECT_EQ(r.Error, "'2.5' is not a valid integer value");
  EXPECT_EQ(g.Main, "2.5");
  EXPECT_EQ(q.Value(13), 2);

  // A real beyond single precision would store infinity: refused.
  g.Main = "1e39";
  r = ReadEffectFields(19, g, q);
  EXPECT_EQ(r.Error, "'1e39' is not a valid floating point value");
  EXPECT_EQ(q.Extras.FishVal, 0.75f);

  // Effects without parameters read nothing.
  g.Main = "2.5";
  EXPECT_TRUE(ReadEffectFields(31, g, q).Ok);
}

TEST(ApplyRules, FieldsLandWhereEachEffectKeepsThem) {
  TEffectParams p;
  TPanelFields f;
  f.Main = "0.3";
  f.Second = "20";
  f.UsePeaks = false;
  ASSERT_TRUE(ReadEffectFields(16, f, p).Ok);
  EXPECT_EQ(p.Value(16), 20);
  EXPECT_EQ(p.Extras.LRWavVal, 0.3f);
  EXPECT_EQ(p.Extras.LRPeakVal, 2.0f);

  f = TPanelFields{};
  f.Main = "-5";
  f.Second = "7";
  f.Third = "9";
  ASSERT_TRUE(ReadEffectFields(54, f, p).Ok);
  EXPECT_EQ(p.Value(54), 7);
  EXPECT_EQ(p.Extras.UDSBlurSelf, -5);
  EXPECT_EQ(p.Extras.SBlurReps, 9);
  EXPECT_EQ(p.Extras.UDSBlurBuf, 1);

  f = TPanelFields{};
  f.Main = "11";
  f.Second = "12";
  f.Third = "13";
  f.Fourth = "14";
  f.Fifth = "15";
  ASSERT_TRUE(ReadEffectFields(57, f, p).Ok);
  EXPECT_EQ(p.Value(57), 11);
  EXPECT_EQ(p.Extras.NovaSpok, 12);
  EXPECT_EQ(p.Extras.NovaHue, 13);
  EXPECT_EQ(p.Extras.NovaX, 14);
  EXPECT_EQ(p.Extras.NovaY, 15);

  f.Bump = false;
  ASSERT_TRUE(ReadEffectFields(58, f, p).Ok);
  EXPECT_FALSE(p.Extras.HytBm);
  EXPECT_EQ(p.Extras.HytEl, 12);
  EXPECT_EQ(p.Extras.HytDp, 13);

  f.Bump = true;
  f.PenColor = 0x00FF00;
  ASSERT_TRUE(ReadEffectFields(61, f, p).Ok);
  EXPECT_EQ(p.Extras.TrColVal, 0x00FF00u);
  EXPECT_TRUE(p.Extras.TrUseVal);

  ASSERT_TRUE(ReadEffectFields(64, f, p).Ok);
  EXPECT_EQ(p.Extras.WvPhsVal, 13.0);
  EXPECT_TRUE(p.Extras.WvRflVal);

  f.Main = "3";
  f.Second = "1.5";
  f.Third = "99";
  ASSERT_TRUE(ReadEffectFields(29, f, p).Ok);
  EXPECT_EQ(p.Value(29), 3);
  EXPECT_EQ(p.Extras.ScaleVal, 1.5f);
  EXPECT_EQ(p.Extras.TurbVal, 99);

  ASSERT_TRUE(ReadEffectFields(45, f, p).Ok);  // Scroll stores its amount only
  EXPECT_EQ(p.Value(45), 3);
  EXPECT_FALSE(EffectLogLine(45, "Scroll", p, TLogContext{}).has_value());
}

TEST(ApplyRules, MenuRoadAndAvailability) {
  int type = 6;
  std::string name = "Classic Emboss";
  MenuSelection(14, type, name);
  EXPECT_EQ(type, 6);
  EXPECT_EQ(name, "Classic Emboss");
  MenuSelection(40, type, name);
  EXPECT_EQ(type, 40);
  EXPECT_EQ(name, "Rotate 90");
  for (int id : {14, 38, 39, 45}) EXPECT_FALSE(MenuWritesEffectLog(id)) << id;
  for (int id : {0, 19, 40, 65}) EXPECT_TRUE(MenuWritesEffectLog(id)) << id;

  // Every effect of the catalogue runs; ids outside it do not.
  int available = 0;
  for (int id = 0; id < 66; ++id) available += EffectAvailable(id);
  EXPECT_EQ(available, 66);
  for (int id : {-1, 66}) EXPECT_FALSE(EffectAvailable(id)) << id;

  EXPECT_EQ(SplitGaussPasses(3), 4);
  EXPECT_EQ(SplitGaussPasses(-2), 0);
  EXPECT_EQ(ExchangeTolerance(65537), 1);
  EXPECT_DOUBLE_EQ(MapTextureBrightness(18), 1.8);
}

TEST(ApplyRules, ScrollBarsMoveFromTheirLastPosition) {
  int last = 0;
  EXPECT_EQ(ScrollBarMove(true, 16, last), TScrollDirection::Right);
  EXPECT_EQ(last, 16);
  EXPECT_EQ(ScrollBarMove(true, 16, last), std::nullopt);
  EXPECT_EQ(ScrollBarMove(true, -16, last), TScrollDirection::Left);
  int vertical = 0;
  EXPECT_EQ(ScrollBarMove(false, 1, vertical), TScrollDirection::Down);
  EXPECT_EQ(ScrollBarMove(false, 0, vertical), TScrollDirection::Up);

  int32_t dx = 9, dy = 9;
  ScrollShift(TScrollDirection::Right, 64, dx, dy);
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(64, 0));
  ScrollShift(TScrollDirection::Left, 64, dx, dy);
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(-64, 0));
  ScrollShift(TScrollDirection::Down, 64, dx, dy);
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(0, -64));
  ScrollShift(TScrollDirection::Up, 64, dx, dy);
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(0, 64));
  EXPECT_EQ(ScrollLine(TScrollDirection::Down, 64), "Scroll Down 64");
}

}  // namespace
}  // namespace vell
