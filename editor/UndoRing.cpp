#include "editor/UndoRing.h"

#include <algorithm>
#include <new>

#include "editor/RealText.h"

namespace vell {

TUndoRing::TUndoRing(int maxUndo) : maxUndo_(maxUndo < 1 ? DefaultMaxUndo : maxUndo) {}

TUndoRing::TSlot* TUndoRing::Slot(int s) {
  if (s < 0 || s >= static_cast<int>(slots_.size())) return nullptr;
  return &slots_[static_cast<size_t>(s)];
}

const TUndoRing::TSlot* TUndoRing::Slot(int s) const {
  if (s < 0 || s >= static_cast<int>(slots_.size())) return nullptr;
  return &slots_[static_cast<size_t>(s)];
}

bool TUndoRing::PushUndo(const TPixelBuffer& work) {
  const int w = std::max(work.Width(), 0), h = std::max(work.Height(), 0);
  const bool wraps = static_cast<int>(order_.size()) + 1 > maxUndo_;
  int s = 0;
  if (wraps) {
    s = order_.front();  // the oldest becomes the newest
  } else if (!order_.empty()) {
    s = order_.back() + 1 > maxUndo_ - 1 ? 0 : order_.back() + 1;
  }
  // Take every allocation first, so a failure leaves the ring as it was.
  std::vector<TUndoPixel> pixels;
  try {
    pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    if (s >= static_cast<int>(slots_.size())) slots_.resize(static_cast<size_t>(s) + 1);
    if (!wraps) order_.reserve(order_.size() + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  TUndoPixel* out = pixels.data();
  for (int y = 0; y < h; ++y) {
    if (work.BitCount() == 24) {
      const TRGB24* row = work.Row24(y);
      for (int x = 0; x < w; ++x) *out++ = {row[x].r, row[x].g, row[x].b};
    } else {
      for (int x = 0; x < w; ++x) {
        uint8_t b = 0, g = 0, r = 0;
        work.ReadPixel(y, x, b, g, r);
        *out++ = {r, g, b};
      }
    }
  }

  if (wraps) {
    full_ = true;
    std::rotate(order_.begin(), order_.begin() + 1, order_.end());
  } else {
    order_.push_back(s);
  }
  TSlot& slot = slots_[static_cast<size_t>(s)];
  slot.Pixels = std::move(pixels);
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
  const TUndoPixel* in = slot.Pixels.data();
  for (int y = 0; y < h; ++y) {
    TRGB24* row = work.Row24(y);
    for (int x = 0; x < w; ++x, ++in) {
      row[x] = {static_cast<uint8_t>(in->Blue), static_cast<uint8_t>(in->Green), static_cast<uint8_t>(in->Red)};
    }
  }
  slot = TSlot{};
  order_.pop_back();
  full_ = false;
  return true;
}

TSetMaxUndo TUndoRing::SetMaxUndo(int newMax) {
  if (newMax < 1) return TSetMaxUndo::Refused;
  if (newMax == maxUndo_) return TSetMaxUndo::Unchanged;
  slots_.clear();
  slots_.shrink_to_fit();
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
  if (!p || x < 0 || y < 0 || x >= p->Size.Width || y >= p->Size.Height) return {};
  return p->Pixels[static_cast<size_t>(y) * static_cast<size_t>(p->Size.Width) + static_cast<size_t>(x)];
}

TUndoQuantityAnswer JudgeUndoQuantity(std::string_view answer, int currentMax, int& newMax, std::string& message) {
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
  return TUndoQuantityAnswer::AskConfirm;
}

}  // namespace vell
