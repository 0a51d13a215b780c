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
      {"999999999", TUndoQuantityAnswer::AskConfirm, ""},  // no budget given: nothing to measure
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

// A snapshot written into memory that held a bigger, older picture restores
// exactly its own pixels and size: nothing of the earlier contents leaks in
// (rows of 9 and 10 pixels carry padding, which is no part of the snapshot).
TEST(UndoRing, ReusedSlotMemoryRestoresExactly) {
  TUndoRing ring(2);
  ASSERT_TRUE(ring.PushUndo(Image(9, 7, 1)));
  ASSERT_TRUE(ring.PushUndo(Image(9, 7, 2)));
  const uint64_t held = ring.HeldBytes();
  EXPECT_EQ(held, 2 * UndoSnapshotBytes(9, 7));
  struct Step {
    int w, h, tag;
  };
  // Same size (slot 0 reused), smaller (reused), larger (new memory).
  for (const Step& step : {Step{9, 7, 3}, Step{4, 3, 4}, Step{10, 8, 5}}) {
    SCOPED_TRACE(step.tag);
    ASSERT_TRUE(ring.PushUndo(Image(step.w, step.h, step.tag)));
    TPixelBuffer work = Image(1, 1, 99);
    ASSERT_TRUE(ring.PopUndo(work));
    EXPECT_EQ(work.Width(), step.w);
    EXPECT_EQ(work.Height(), step.h);
    EXPECT_EQ(TagOf(work), step.tag);
    ASSERT_TRUE(ring.PushUndo(Image(step.w, step.h, step.tag)));
  }
  // Undo keeps the memory; the next pushes of the same size take no more.
  TPixelBuffer work;
  ASSERT_TRUE(ring.PushUndo(Image(10, 8, 6)));
  const uint64_t kept = ring.HeldBytes();
  EXPECT_EQ(kept, 2 * UndoSnapshotBytes(10, 8));
  while (ring.PopUndo(work)) {
  }
  EXPECT_EQ(ring.HeldBytes(), kept);
  ASSERT_TRUE(ring.PushUndo(Image(10, 8, 6)));
  ASSERT_TRUE(ring.PushUndo(Image(10, 8, 7)));
  EXPECT_EQ(ring.HeldBytes(), kept);
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 7);
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 6);
}

TEST(UndoRing, StaysWithinItsBudgetDroppingTheOldestFirst) {
  TUndoRing ring(10);
  const uint64_t small = UndoSnapshotBytes(8, 8);
  ring.SetBudget(5 * small);
  for (int tag = 0; tag < 4; ++tag) ASSERT_TRUE(ring.PushUndo(Image(8, 8, tag)));
  EXPECT_EQ(ring.UndoCount(), 4);

  // The image grows to twice the pixels: the ring keeps what fits, newest first.
  ASSERT_TRUE(ring.PushUndo(Image(16, 8, 4)));
  EXPECT_LE(ring.HeldBytes(), ring.Budget());
  EXPECT_EQ(ring.UndoCount(), 4);  // 3 small + 1 double = 5 small
  ASSERT_TRUE(ring.PushUndo(Image(16, 8, 5)));
  EXPECT_LE(ring.HeldBytes(), ring.Budget());
  EXPECT_EQ(ring.UndoCount(), 3);  // 1 small + 2 double
  const std::vector<int>& order = ring.UndoOrder();
  for (size_t i = 1; i < order.size(); ++i) EXPECT_EQ(order[i], (order[i - 1] + 1) % 10);

  TPixelBuffer work;
  for (int expected : {5, 4, 3}) {
    ASSERT_TRUE(ring.PopUndo(work));
    EXPECT_EQ(TagOf(work), expected);
  }
  EXPECT_FALSE(ring.PopUndo(work));

  // A picture bigger than the whole budget still gets its one snapshot.
  ring.SetBudget(small);
  ASSERT_TRUE(ring.PushUndo(Image(8, 8, 6)));
  ASSERT_TRUE(ring.PushUndo(Image(20, 20, 7)));
  EXPECT_EQ(ring.UndoCount(), 1);
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 7);
}

TEST(UndoRing, AFullRingOverTheBudgetStillKeepsItsRun) {
  TUndoRing ring(3);
  ring.SetBudget(3 * UndoSnapshotBytes(4, 4));
  for (int tag = 0; tag < 5; ++tag) ASSERT_TRUE(ring.PushUndo(Image(4, 4, tag)));
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{2, 0, 1}));
  ASSERT_TRUE(ring.PushUndo(Image(8, 4, 5)));  // needs two slots' worth
  EXPECT_LE(ring.HeldBytes(), ring.Budget());
  EXPECT_EQ(ring.UndoOrder(), (std::vector<int>{1, 2}));
  TPixelBuffer work;
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 5);
  ASSERT_TRUE(ring.PopUndo(work));
  EXPECT_EQ(TagOf(work), 4);
}

TEST(UndoRing, UndoQuantityIsMeasuredAgainstTheBudget) {
  const uint64_t budget = uint64_t{4} << 30;  // 4 GB
  const TUndoRoom big{4096, 4096, budget};   // 96 MB a snapshot: 42 fit
  struct Case {
    const char* answer;
    TUndoRoom room;
    TUndoQuantityAnswer verdict;
  };
  const Case cases[] = {
      {"999999999", big, TUndoQuantityAnswer::TooMany},
      {"43", big, TUndoQuantityAnswer::TooMany},
      {"42", big, TUndoQuantityAnswer::AskConfirm},
      {"999999999", {256, 256, budget}, TUndoQuantityAnswer::TooMany},
      {"10922", {256, 256, budget}, TUndoQuantityAnswer::AskConfirm},
      {"0", big, TUndoQuantityAnswer::TooSmall},
      {"15", big, TUndoQuantityAnswer::Same},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    int newMax = 0;
    std::string message;
    EXPECT_EQ(JudgeUndoQuantity(c.answer, 15, newMax, message, c.room), c.verdict);
  }
  int newMax = 0;
  std::string message;
  ASSERT_EQ(JudgeUndoQuantity("999999999", 15, newMax, message, big), TUndoQuantityAnswer::TooMany);
  EXPECT_EQ(message,
            "999999999 Undo levels of a 4096 x 4096 image would need 89 PB of memory, more than the 4.0 GB the "
            "Undo history may use. Enter at most 42.");
  EXPECT_GT(DefaultUndoBudget(), 0u);
}

TEST(UndoRing, MemoryTexts) {
  EXPECT_EQ(MemoryText(512), "512 bytes");
  EXPECT_EQ(MemoryText(70 * 1024), "70 KB");
  EXPECT_EQ(MemoryText(1536 * 1024), "1.5 MB");
  EXPECT_EQ(MemoryText(uint64_t{4} << 30), "4.0 GB");
}

}  // namespace
}  // namespace vell
