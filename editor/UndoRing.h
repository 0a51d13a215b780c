// The undo history: a fixed ring of MaxUndo snapshots of the working image
// (pixels and size); when the ring is full the oldest snapshot is overwritten.
//
// UndoOrder lists the held slots oldest first; its entries are always
// consecutive modulo MaxUndo, ending at the newest. With MaxUndo = 3: three
// pushes give 0,1,2; a fourth sets UndoFull, rotates to 1,2,0 and overwrites
// slot 0; an undo restores slot 0 and leaves 1,2; the next push gives 1,2,0.
#pragma once

#include <cstdint>
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

class TUndoRing {
 public:
  static constexpr int DefaultMaxUndo = 15;

  // A count below 1 (a damaged settings value, say) falls back to 15.
  explicit TUndoRing(int maxUndo = DefaultMaxUndo);

  // Snapshot the working image into the next slot. Returns false, with the
  // ring unchanged, when the snapshot's memory cannot be had.
  bool PushUndo(const TPixelBuffer& work);

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
    std::vector<TUndoPixel> Pixels;  // row by row internally
    TUndoSize Size;
    bool Held = false;
  };
  TSlot* Slot(int s);
  const TSlot* Slot(int s) const;

  int maxUndo_;
  bool full_ = false;
  std::vector<int> order_;
  std::vector<TSlot> slots_;  // grows up to MaxUndo as slots come into use
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
  AskConfirm,  // ask UndoQuantityConfirm; on Yes SetMaxUndo(newMax)
};

// Judges the input box's answer (Cancel gives back the pre-filled text).
// `message` receives the text to show for NotInteger and TooSmall.
TUndoQuantityAnswer JudgeUndoQuantity(std::string_view answer, int currentMax, int& newMax, std::string& message);

}  // namespace vell
