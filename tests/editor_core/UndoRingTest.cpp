#include "editor/UndoRing.h"

#include <gtest/gtest.h>

#include <vector>

namespace vell {
namespace {

// A w x h image whose every pixel encodes `tag` and its position.
TPixelBuffer Image(int w, int h, int tag) {
  TPixelBuffer b;
  b.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Row24(y)[x] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                                  static_cast<uint8_t>(tag)};
  return b;
}

// The tag an image carries, or -1 when its pixels are not one Image().
int TagOf(const TPixelBuffer& b) {
  if (b.Width() <= 0 || b.Height() <= 0) return -1;
  const int tag = b.Row24(0)[0].r;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const TRGB24 p = b.Row24(y)[x];
      if (p.r != tag || p.g != y || p.b != x) return -1;
    }
  return tag;
}

TEST(UndoRing, WorkedExampleOfThreeSlots) {
  TUndoRing ring(3);
  EXPECT_TRUE(ring.UndoEmpty());
  for (int tag = 0; tag < 3; ++tag) ASSERT_TRUE(ring.PushUndo(Image(2, 2, tag)));
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(ring.UndoFull());

  ASSERT_TRUE(ring.PushUndo(Image(2, 2, 3)));
  EXPECT_TRUE(ring.UndoFull());
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(ring.SlotPixel(0, 0, 0).Red, 3);  // slot 0 overwritten

  TPixelBuffer work = Image(2, 2, 99);
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 3);
  EXPECT_FALSE(ring.UndoFull());
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{1, 2}));
  EXPECT_FALSE(ring.SlotHeld(0));

  ASSERT_TRUE(ring.PushUndo(Image(2, 2, 4)));
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{1, 2, 0}));
  EXPECT_FALSE(ring.UndoFull());
  EXPECT_EQ(ring.UndoCount(), 3);
}

TEST(UndoRing, SixteenEffectsThenSixteenUndos) {
  TUndoRing ring;  // 15 slots
  TPixelBuffer work = Image(3, 2, 0);
  for (int effect = 1; effect <= 16; ++effect) {
    ASSERT_TRUE(ring.PushUndo(work));
    work = Image(3, 2, effect);
    // The ring keeps its consecutive run ending at the newest slot.
    const std::vector<int>& order = ring.UndoOrder();
    for (size_t i = 1; i < order.size(); ++i) EXPECT_EQ(order[i], (order[i - 1] + 1) % 15);
  }
  EXPECT_EQ(ring.UndoCount(), 15);
  EXPECT_TRUE(ring.UndoFull());
  for (int expected = 15; expected >= 1; --expected) {
    EXPECT_TRUE(ring.CanUndo());
    ASSERT_TRUE(ring.PopUndo(work));
    EXPECT_EQ(TagOf(work), expected);
  }
  EXPECT_FALSE(ring.CanUndo());
  EXPECT_TRUE(ring.UndoEmpty());
  EXPECT_FALSE(ring.PopUndo(work));  // the sixteenth does nothing
  EXPECT_EQ(TagOf(work), 1);
}

TEST(UndoRing, RestoresSizeAndStoresColumnsThenRows) {
  TUndoRing ring;
  TPixelBuffer work = Image(3, 2, 7);
  ASSERT_TRUE(ring.PushUndo(work));
  EXPECT_EQ(ring.UndoSizes(0).Width, 3);
  EXPECT_EQ(ring.UndoSizes(0).Height, 2);
  const TUndoPixel p = ring.SlotPixel(0, 2, 1);  // column 2, row 1
  EXPECT_EQ(p.Red, 7);
  EXPECT_EQ(p.Green, 1);
  EXPECT_EQ(p.Blue, 2);

  work = Image(5, 4, 8);  // a resize
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(work.Width(), 3);
  EXPECT_EQ(work.Height(), 2);
  EXPECT_EQ(work.BitCount(), 24);
  EXPECT_EQ(TagOf(work), 7);
  EXPECT_EQ(ring.UndoSizes(0).Width, 0);  // released
}

TEST(UndoRing, ChangingTheMaximum) {
  TUndoRing ring(4);
  for (int tag = 0; tag < 3; ++tag) ring.PushUndo(Image(1, 1, tag));

  EXPECT_EQ(ring.SetMaxUndo(4), TSetMaxUndo::Unchanged);
  EXPECT_EQ(ring.UndoCount(), 3);

  for (int bad : {0, -3}) {
    EXPECT_EQ(ring.SetMaxUndo(bad), TSetMaxUndo::Refused);
    EXPECT_EQ(ring.MaxUndo(), 4);
    EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{0, 1, 2}));
  }

  EXPECT_EQ(ring.SetMaxUndo(2), TSetMaxUndo::Changed);
  EXPECT_EQ(ring.MaxUndo(), 2);
  EXPECT_TRUE(ring.UndoEmpty());
  EXPECT_FALSE(ring.UndoFull());
  EXPECT_FALSE(ring.SlotHeld(1));
  for (int tag = 0; tag < 3; ++tag) ring.PushUndo(Image(1, 1, tag));
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{1, 0}));
  EXPECT_TRUE(ring.UndoFull());

  // A damaged stored count falls back to the usual 15.
  EXPECT_EQ(TUndoRing(0).MaxUndo(), 15);
  EXPECT_EQ(TUndoRing(-1).MaxUndo(), 15);
}

TEST(UndoRing, OneSlotKeepsTheNewest) {
  TUndoRing ring(1);
  ring.PushUndo(Image(1, 1, 1));
  ring.PushUndo(Image(1, 1, 2));
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{0}));
  TPixelBuffer work;
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 2);
  EXPECT_FALSE(ring.PopUndo(work));
}

TEST(UndoRing, JudgingTheUndoQuantityAnswer) {
  struct Case {
    const char* answer;
    TUndoQuantityAnswer verdict;
    const char* message;
  };
  const Case cases[] = {
      {"15", TUndoQuantityAnswer::Same, ""},
      {"20", TUndoQuantityAnswer::AskConfirm, ""},
      {"1", TUndoQuantityAnswer::AskConfirm, ""},
      {"0", TUndoQuantityAnswer::TooSmall, "The number of Undo levels must be at least 1"},
      {"-4", TUndoQuantityAnswer::TooSmall, "The number of Undo levels must be at least 1"},
      {"ten", TUndoQuantityAnswer::NotInteger, "'ten' is not a valid integer value"},
      {"2.5", TUndoQuantityAnswer::NotInteger, "'2.5' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    int newMax = -99;
    std::string message = "junk";
    EXPECT_EQ(JudgeUndoQuantity(c.answer, 15, newMax, message), c.verdict) << c.answer;
    EXPECT_EQ(message, c.message) << c.answer;
  }
  EXPECT_EQ(UndoQuantityConfirm,
            " This will clear current Undo buffers \rand reset all pointers.  Continue with \r          Undo "
            "modification?");
}

}  // namespace
}  // namespace vell
