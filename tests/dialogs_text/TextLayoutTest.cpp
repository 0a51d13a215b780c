#include "dialogs/TextLayout.h"

#include <gtest/gtest.h>

namespace vell {
namespace {

TEST(TextLayout, SizeFieldTyping) {
  struct Case {
    const char* typed;
    int row;  // -1: not an integer, nothing happens
    int size;
  };
  for (Case k : {Case{"13", 0, 13}, Case{"8", 3, 8}, Case{"2", 0, 2}, Case{"220", 53, 220}, Case{"86", 42, 86},
                 Case{" 12", 7, 12}, Case{"-4", 0, -4}, Case{"abc", -1, 0}, Case{"", -1, 0}, Case{"1.5", -1, 0},
                 Case{"99999999999", -1, 0}}) {
    SCOPED_TRACE(k.typed);
    int size = 0;
    const std::optional<int> row = SizeRowForTyped(k.typed, size);
    EXPECT_EQ(row.value_or(-1), k.row);
    if (row) {
      EXPECT_EQ(size, k.size);
    }
  }
  EXPECT_EQ(kTextSizes.size(), 54u);
  EXPECT_EQ(kTextSizes[kDefaultTextSizeIndex], 8);
}

TEST(TextLayout, NameFieldSelectsTheFirstRowWithThePrefix) {
  const std::vector<std::string> names = {"Abadi", "Arial", "Arial Black", "arimo", "Courier"};
  struct Case {
    const char* typed;
    int row;
  };
  for (Case k : {Case{"ari", 1}, Case{"ARIAL B", 2}, Case{"arim", 3}, Case{"c", 4}, Case{"Arial Blackest", -1},
                 Case{"x", -1}, Case{"", 0}}) {
    SCOPED_TRACE(k.typed);
    EXPECT_EQ(FirstPrefixMatch(names, k.typed), k.row);
  }
}

TEST(TextLayout, BevelLimitAndTextBox) {
  EXPECT_FALSE(BevelWidthAllowed(321, 57, 30));  // 57 div 2 - 5 = 23
  EXPECT_TRUE(BevelWidthAllowed(321, 57, 23));
  EXPECT_FALSE(BevelWidthAllowed(321, 57, 24));
  EXPECT_FALSE(BevelWidthAllowed(30, 300, 11));  // 30 div 2 - 5 = 10
  EXPECT_FALSE(BevelWidthAllowed(321, 57, -1));
  const TTextBox b = SampleTextBox(321, 57, 13);
  EXPECT_EQ(b.left, 2);
  EXPECT_EQ(b.top, 22);
  EXPECT_EQ(b.right, 319);
  EXPECT_EQ(b.bottom, 34);  // one pixel shorter than the text
}

TEST(TextLayout, LinesOfTheText) {
  EXPECT_EQ(FirstLine("one\r\ntwo"), "one");
  EXPECT_EQ(FirstLine("one\ntwo"), "one");
  EXPECT_EQ(FirstLine("only"), "only");
  EXPECT_EQ(WithCrLf("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(WithCrLf("\r\r\n"), "\r\n\r\n");
}

}  // namespace
}  // namespace vell
