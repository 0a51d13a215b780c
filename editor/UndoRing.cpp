#include "editor/UndoRing.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>

#include "editor/RealText.h"

namespace vell {

namespace {

constexpr uint64_t kPixelBytes = 3 * sizeof(uint16_t);

}  // namespace

uint64_t UndoSnapshotBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * kPixelBytes;
}

uint64_t DefaultUndoBudget() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return uint64_t{1} << 30;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 4;
}

std::string MemoryText(uint64_t bytes) {
  static constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB", "EB"};
  double value = static_cast<double>(bytes);
  size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  if (unit == 0)
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  else
    std::snprintf(text, sizeof text, value < 10.0 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
  return text;
}

TUndoRing::TUndoRing(int maxUndo)
    : maxUndo_(maxUndo < 1 ? DefaultMaxUndo : maxUndo), budget_(DefaultUndoBudget()) {}

TUndoRing::TSlot* TUndoRing::Slot(int s) {
  if (s < 0 || s >= static_cast<int>(slots_.size())) return nullptr;
  return &slots_[static_cast<size_t>(s)];
}

const TUndoRing::TSlot* TUndoRing::Slot(int s) const {
  if (s < 0 || s >= static_cast<int>(slots_.size())) return nullptr;
  return &slots_[static_cast<size_t>(s)];
}

int TUndoRing::NextSlot() const {
  if (static_cast<int>(order_.size()) + 1 > maxUndo_) return order_.front();  // the oldest becomes the newest
  if (order_.empty()) return 0;
  return order_.back() + 1 > maxUndo_ - 1 ? 0 : order_.back() + 1;
}

void TUndoRing::Release(TSlot& slot) {
  heldBytes_ -= slot.Capacity * kPixelBytes;
  slot = TSlot{};
}

void TUndoRing::MakeRoom(size_t pixels) {
  const uint64_t needed = static_cast<uint64_t>(pixels) * kPixelBytes;
  for (;;) {
    const int s = NextSlot();
    const TSlot* target = Slot(s);
    const uint64_t kept = target ? target->Capacity * kPixelBytes : 0;
    // The target's memory is reused when large enough, else replaced.
    const uint64_t after = heldBytes_ - kept + std::max(kept, needed);
    if (after <= budget_) return;
    // Memory no snapshot uses goes first, then the oldest snapshots.
    bool freed = false;
    for (size_t i = 0; i < slots_.size() && !freed; ++i) {
      if (static_cast<int>(i) != s && !slots_[i].Held && slots_[i].Capacity > 0) {
        Release(slots_[i]);
        freed = true;
      }
    }
    if (freed) continue;
    if (order_.empty()) return;
    const int oldest = order_.front();
    order_.erase(order_.begin());
    if (oldest == s) {
      // The slot about to be overwritten: it stays the target, unheld.
      slots_[static_cast<size_t>(oldest)].Held = false;
      slots_[static_cast<size_t>(oldest)].Size = {};
    } else {
      Release(slots_[static_cast<size_t>(oldest)]);
    }
  }
}

bool TUndoRing::PushUndo(const TPixelBuffer& work) {
  const int w = std::max(work.Width(), 0), h = std::max(work.Height(), 0);
  const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
  MakeRoom(pixels);
  const bool wraps = static_cast<int>(order_.size()) + 1 > maxUndo_;
  const int s = NextSlot();
  // Take every allocation first, so a failure leaves the ring as it was.
  std::unique_ptr<uint16_t[]> fresh;
  try {
    if (s >= static_cast<int>(slots_.size())) slots_.resize(static_cast<size_t>(s) + 1);
    if (slots_[static_cast<size_t>(s)].Capacity < pixels) fresh = std::make_unique_for_overwrite<uint16_t[]>(pixels * 3);
    if (!wraps) order_.reserve(order_.size() + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  TSlot& slot = slots_[static_cast<size_t>(s)];
  if (fresh) {
    heldBytes_ -= slot.Capacity * kPixelBytes;
    slot.Channels = std::move(fresh);
    slot.Capacity = pixels;
    heldBytes_ += slot.Capacity * kPixelBytes;
  }
  // One pass over the picture, straight into the slot.
  uint16_t* out = slot.Channels.get();
  for (int y = 0; y < h; ++y) {
    if (work.BitCount() == 24) {
      const TRGB24* row = work.Row24(y);
      for (int x = 0; x < w; ++x, out += 3) {
        out[0] = row[x].r;
        out[1] = row[x].g;
        out[2] = row[x].b;
      }
    } else {
      for (int x = 0; x < w; ++x, out += 3) {
        uint8_t b = 0, g = 0, r = 0;
        work.ReadPixel(y, x, b, g, r);
        out[0] = r;
        out[1] = g;
        out[2] = b;
      }
    }
  }

  if (wraps) {
    full_ = true;
    std::rotate(order_.begin(), order_.begin() + 1, order_.end());
  } else {
    order_.push_back(s);
  }
  slot.Size = {w, h};
  slot.Held = true;
  return true;
}

bool TUndoRing::PopUndo(TPixelBuffer& work) {
  if (order_.empty()) return false;
  const int s = order_.back();
  TSlot& slot = slots_[static_cast<size_t>(s)];
  const int w = slot.Size.Width, h = slot.Size.Height;
  work.Allocate(w, h, 0, 24);
  if (work.Width() != w || work.Height() != h || (w > 0 && work.BitCount() != 24)) return false;
  const uint16_t* in = slot.Channels.get();
  for (int y = 0; y < h; ++y) {
    TRGB24* row = work.Row24(y);
    for (int x = 0; x < w; ++x, in += 3)
      row[x] = {static_cast<uint8_t>(in[2]), static_cast<uint8_t>(in[1]), static_cast<uint8_t>(in[0])};
  }
  // The slot's memory stays for the next snapshot written into it.
  slot.Size = {};
  slot.Held = false;
  order_.pop_back();
  full_ = false;
  return true;
}

TSetMaxUndo TUndoRing::SetMaxUndo(int newMax) {
  if (newMax < 1) return TSetMaxUndo::Refused;
  if (newMax == maxUndo_) return TSetMaxUndo::Unchanged;
  slots_.clear();
  slots_.shrink_to_fit();
  heldBytes_ = 0;
  order_.clear();
  full_ = false;
  maxUndo_ = newMax;
  return TSetMaxUndo::Changed;
}

TUndoSize TUndoRing::UndoSizes(int slot) const {
  const TSlot* p = Slot(slot);
  return p ? p->Size : TUndoSize{};
}

bool TUndoRing::SlotHeld(int slot) const {
  const TSlot* p = Slot(slot);
  return p && p->Held;
}

TUndoPixel TUndoRing::SlotPixel(int slot, int x, int y) const {
  const TSlot* p = Slot(slot);
  if (!p || !p->Held || x < 0 || y < 0 || x >= p->Size.Width || y >= p->Size.Height) return {};
  const uint16_t* c = p->Channels.get() + 3 * (static_cast<size_t>(y) * static_cast<size_t>(p->Size.Width) + static_cast<size_t>(x));
  return {c[0], c[1], c[2]};
}

TUndoQuantityAnswer JudgeUndoQuantity(std::string_view answer, int currentMax, int& newMax, std::string& message,
                                      const TUndoRoom& room) {
  message.clear();
  std::optional<int32_t> v = ParseInteger(answer);
  if (!v) {
    message = NotValidIntegerText(answer);
    return TUndoQuantityAnswer::NotInteger;
  }
  newMax = *v;
  if (newMax == currentMax) return TUndoQuantityAnswer::Same;
  if (newMax < 1) {
    message = UndoQuantityTooSmall;
    return TUndoQuantityAnswer::TooSmall;
  }
  const uint64_t each = UndoSnapshotBytes(room.Width, room.Height);
  if (room.Budget > 0 && each > 0 && static_cast<uint64_t>(newMax) > room.Budget / each) {
    const uint64_t fit = std::max<uint64_t>(room.Budget / each, 1);
    message = std::to_string(newMax) + " Undo levels of a " + std::to_string(room.Width) + " x " +
              std::to_string(room.Height) + " image would need " + MemoryText(each * static_cast<uint64_t>(newMax)) +
              " of memory, more than the " + MemoryText(room.Budget) + " the Undo history may use. Enter at most " +
              std::to_string(fit) + ".";
    return TUndoQuantityAnswer::TooMany;
  }
  return TUndoQuantityAnswer::AskConfirm;
}

}  // namespace vell
