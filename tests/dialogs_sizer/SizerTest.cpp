#include "dialogs/Sizer.h"

#include <gtest/gtest.h>

namespace vell {
namespace {

TEST(Sizer, FirstShowLoadsTheCurrentSizeLaterShowsKeepTheFields) {
  TSizerLogic s;
  EXPECT_EQ(s.ItemIndex(), TSizerLogic::kCustom);
  EXPECT_EQ(s.CurrentSizeText(), "Width 256  Height 256");
  s.FormShow(320, 200);
  EXPECT_EQ(s.CurrentSizeText(), "Width 320  Height 200");
  EXPECT_EQ(s.WidthText(), "320");
  EXPECT_EQ(s.HeightText(), "200");
  EXPECT_EQ(s.ChosenWidth(), 320);
  EXPECT_EQ(s.ChosenHeight(), 200);
  EXPECT_FALSE(s.FirstShow());
  // The user types a size; on the next show "Custom..." is still selected,
  // so no click runs and the fields keep what was typed.
  s.EnterSizeField();
  s.SetWidthText("640");
  EXPECT_FALSE(s.ExitWidth());
  s.FormShow(640, 200);
  EXPECT_EQ(s.CurrentSizeText(), "Width 640  Height 200");
  EXPECT_EQ(s.WidthText(), "640");
  EXPECT_EQ(s.ChosenWidth(), 640);
  EXPECT_EQ(s.ChosenHeight(), 200);
}

TEST(Sizer, FixedSizesAndCustomByClick) {
  struct Case {
    int item, w, h;
    const char* wt;
    const char* ht;
  };
  const Case cases[] = {{0, 640, 480, "640", "480"}, {1, 800, 600, "800", "600"}, {2, 1024, 768, "1024", "768"},
                        {3, 300, 150, "300", "150"}};
  TSizerLogic s;
  s.FormShow(300, 150);
  for (const Case& c : cases) {
    s.SelectItem(c.item);
    EXPECT_EQ(s.ChosenWidth(), c.w);
    EXPECT_EQ(s.ChosenHeight(), c.h);
    EXPECT_EQ(s.WidthText(), c.wt);
    EXPECT_EQ(s.HeightText(), c.ht);
    EXPECT_TRUE(s.PixelMode());
  }
}

TEST(Sizer, PercentModeTruncates) {
  TSizerLogic s;
  s.FormShow(257, 255);
  s.PercentClick();
  EXPECT_TRUE(s.PercentMode());
  EXPECT_TRUE(s.PercentFieldsEnabled());
  EXPECT_EQ(s.ItemIndex(), TSizerLogic::kCustom);
  EXPECT_EQ(s.ChosenWidth(), 128);
  EXPECT_EQ(s.ChosenHeight(), 127);
  EXPECT_EQ(s.WidthText(), "128");
  EXPECT_EQ(s.HeightText(), "127");
  s.SetPctWidthText("200");
  EXPECT_EQ(s.ChosenWidth(), 514);
  EXPECT_EQ(s.WidthText(), "514");
  // An emptied field leaves the size and writes it again.
  s.SetPctHeightText("");
  EXPECT_EQ(s.ChosenHeight(), 127);
  EXPECT_EQ(s.HeightText(), "127");
  EXPECT_TRUE(s.ExitPctHeight());
  // Zero percent is passed on as 0.
  s.SetPctHeightText("0");
  EXPECT_FALSE(s.ExitPctHeight());
  EXPECT_EQ(s.ChosenHeight(), 0);
}

TEST(Sizer, PercentFromAFixedSizeSelectsCustomWithoutLeavingPercentMode) {
  TSizerLogic s;
  s.FormShow(400, 300);
  s.SelectItem(1);
  s.PercentClick();
  EXPECT_EQ(s.ItemIndex(), TSizerLogic::kCustom);
  EXPECT_TRUE(s.PercentMode());
  EXPECT_EQ(s.ChosenWidth(), 200);
  EXPECT_EQ(s.ChosenHeight(), 150);
}

TEST(Sizer, AFixedSizeAfterPercentSwitchesBackToPixels) {
  TSizerLogic s;
  s.FormShow(400, 300);
  s.PercentClick();
  s.SelectItem(2);
  EXPECT_TRUE(s.PixelMode());
  EXPECT_FALSE(s.PercentFieldsEnabled());
  EXPECT_EQ(s.ChosenWidth(), 1024);
  EXPECT_EQ(s.ChosenHeight(), 768);
}

TEST(Sizer, PresetsWinOverCustomsOwnSize) {
  for (size_t i = 0; i < kSizerPresets.size(); ++i) {
    TSizerLogic s;
    s.FormShow(100, 100);
    s.SelectItem(0);
    s.PercentClick();
    s.PresetClick(static_cast<int>(i));
    EXPECT_EQ(s.ItemIndex(), TSizerLogic::kCustom);
    EXPECT_TRUE(s.PixelMode());
    EXPECT_FALSE(s.PercentFieldsEnabled());
    EXPECT_EQ(s.ChosenWidth(), kSizerPresets[i].width);
    EXPECT_EQ(s.ChosenHeight(), kSizerPresets[i].height);
  }
  EXPECT_STREQ(kSizerPresets[0].caption, "CD Front 912 x 456");
  EXPECT_EQ(kSizerPresets[1].width, 564);
  EXPECT_EQ(kSizerPresets[2].height, 456);
}

TEST(Sizer, FieldMasks) {
  struct Case {
    const char* typed;
    int places;
    const char* kept;
  };
  const Case cases[] = {{"1000", 3, "100"}, {"999", 3, "999"}, {"12345", 4, "1234"}, {"7", 4, "7"},
                        {"a1b2", 3, "12"},  {"", 3, ""},       {"-5", 3, "5"}};
  for (const Case& c : cases) EXPECT_EQ(MaskDigits(c.typed, c.places), c.kept) << c.typed;
  TSizerLogic s;
  s.FormShow(100, 100);
  s.SetHeightText("1000");
  EXPECT_FALSE(s.ExitHeight());
  EXPECT_EQ(s.ChosenHeight(), 100);
  s.SetWidthText("9999");
  EXPECT_FALSE(s.ExitWidth());
  EXPECT_EQ(s.ChosenWidth(), 9999);
  s.SetWidthText("");
  EXPECT_EQ(s.ExitWidth(), std::string(kSizerFieldIncomplete));
  EXPECT_EQ(s.ChosenWidth(), 9999);
}

TEST(Sizer, EnteringAFieldAfterAFixedSizeSelectsCustom) {
  TSizerLogic s;
  s.FormShow(50, 60);
  s.SelectItem(0);
  s.EnterSizeField();
  EXPECT_EQ(s.ItemIndex(), TSizerLogic::kCustom);
  EXPECT_EQ(s.ChosenWidth(), 50);
  EXPECT_EQ(s.ChosenHeight(), 60);
  // Selecting what is already selected runs no click.
  s.SetWidthText("77");
  EXPECT_FALSE(s.ExitWidth());
  s.EnterSizeField();
  s.SelectItem(TSizerLogic::kCustom);
  EXPECT_EQ(s.ChosenWidth(), 77);
}

}  // namespace
}  // namespace vell
