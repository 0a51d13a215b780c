// The undo history: a fixed ring of MaxUndo snapshots of the working image
// (pixels and size); when the ring is full the oldest snapshot is overwritten.
//
// UndoOrder lists the held slots oldest first; its entries are always
// consecutive modulo MaxUndo, ending at the newest. With MaxUndo = 3: three
// pushes give 0,1,2; a fourth sets UndoFull, rotates to 1,2,0 and overwrites
// slot 0; an undo restores slot 0 and leaves 1,2; the next push gives 1,2,0.
//
// Memory: a snapshot takes six bytes a pixel, and the ring never holds more
// than its budget (a quarter of the machine's memory unless set): a push that
// would go past it first lets go of the oldest snapshots. A slot keeps its
// memory after an undo or an overwrite and the next snapshot of that slot
// writes into it, so a push on an image of unchanged size allocates nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/PixelBuffer.h"

namespace vell {

// One stored pixel: three 16-bit fields, red, green, blue (each 0 ... 255).
struct TUndoPixel {
  uint16_t Red = 0, Green = 0, Blue = 0;
};

struct TUndoSize {
  int32_t Width = 0, Height = 0;
};

enum class TSetMaxUndo : uint8_t {
  Changed,    // ring emptied and resized
  Unchanged,  // the same count: the history is kept
  Refused,    // below 1: the ring is left as it was
};

// Bytes one snapshot of a w x h image takes (six a pixel).
uint64_t UndoSnapshotBytes(int width, int height);
// A quarter of the physical memory (1 GiB when it cannot be told).
uint64_t DefaultUndoBudget();
// "3.8 GB", "512 MB", "70 KB": a memory size for messages.
std::string MemoryText(uint64_t bytes);

class TUndoRing {
 public:
  static constexpr int DefaultMaxUndo = 15;

  // A count below 1 (a damaged settings value, say) falls back to 15.
  explicit TUndoRing(int maxUndo = DefaultMaxUndo);

  // Snapshot the working image into the next slot. Oldest snapshots are let
  // go first while the ring would exceed its budget; the newest is always
  // taken. Returns false when the snapshot's memory cannot be had (the
  // history is then as it was, less what was let go to make room).
  bool PushUndo(const TPixelBuffer& work);

  // The most memory the snapshots may hold, and what they hold now
  // (including the memory kept by emptied slots for reuse).
  uint64_t Budget() const { return budget_; }
  void SetBudget(uint64_t bytes) { budget_ = bytes; }
  uint64_t HeldBytes() const { return heldBytes_; }

  // Restore the newest snapshot (size and pixels) into `work` at 24 bits and
  // drop it. Returns false when nothing was restored: the ring is empty, or
  // the working image could not be given the snapshot's size (the snapshot
  // is then kept).
  bool PopUndo(TPixelBuffer& work);

  // Empties the ring and sets the new count; below 1 is refused.
  TSetMaxUndo SetMaxUndo(int newMax);

  int MaxUndo() const { return maxUndo_; }
  int UndoCount() const { return static_cast<int>(order_.size()); }
  bool UndoFull() const { return full_; }
  bool UndoEmpty() const { return order_.empty(); }
  bool CanUndo() const { return !order_.empty(); }  // bUndo enabled
  const std::vector<int>& UndoOrder() const { return order_; }

  // The size stored for a slot (0 x 0 when it holds nothing).
  TUndoSize UndoSizes(int slot) const;
  bool SlotHeld(int slot) const;
  // A stored pixel, indexed by column then row.
  TUndoPixel SlotPixel(int slot, int x, int y) const;

 private:
  struct TSlot {
    // Red, green, blue per pixel, row by row; Capacity pixels allocated,
    // possibly more than Size holds (kept for reuse).
    std::unique_ptr<uint16_t[]> Channels;
    size_t Capacity = 0;
    TUndoSize Size;
    bool Held = false;
  };
  TSlot* Slot(int s);
  const TSlot* Slot(int s) const;
  int NextSlot() const;
  void Release(TSlot& slot);
  // Lets go of memory until a snapshot of `pixels` fits the budget.
  void MakeRoom(size_t pixels);

  int maxUndo_;
  bool full_ = false;
  std::vector<int> order_;
  std::vector<TSlot> slots_;  // grows up to MaxUndo as slots come into use
  uint64_t budget_;
  uint64_t heldBytes_ = 0;
};

// ---- "Change Undo Quantity" ---------------------------------------------

inline constexpr std::string_view UndoQuantityMenuCaption = "Change &Undo Quantity";
inline constexpr std::string_view UndoQuantityTitle = "Change Number of Undo";
inline constexpr std::string_view UndoQuantityPrompt = "Enter a New Maximum Undo: ";
inline constexpr std::string_view UndoQuantityConfirm =
    " This will clear current Undo buffers \rand reset all pointers.  Continue with \r          Undo modification?";
inline constexpr std::string_view UndoQuantityTooSmall = "The number of Undo levels must be at least 1";

enum class TUndoQuantityAnswer : uint8_t {
  NotInteger,  // show the conversion error; nothing changes
  Same,        // the current count: nothing changes
  TooSmall,    // below 1: show UndoQuantityTooSmall; nothing changes
  TooMany,     // the snapshots would not fit the memory budget; nothing changes
  AskConfirm,  // ask UndoQuantityConfirm; on Yes SetMaxUndo(newMax)
};

// What a count of snapshots is measured against: the working image's size
// and the ring's budget. A zero budget checks nothing.
struct TUndoRoom {
  int Width = 0, Height = 0;
  uint64_t Budget = 0;
};

// Judges the input box's answer (Cancel gives back the pre-filled text).
// `message` receives the text to show for NotInteger, TooSmall and TooMany.
TUndoQuantityAnswer JudgeUndoQuantity(std::string_view answer, int currentMax, int& newMax, std::string& message,
                                      const TUndoRoom& room = {});

}  // namespace vell
