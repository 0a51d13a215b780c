// The dispatcher over a fresh editor, with every hook recorded or scripted.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/Apply.h"
#include "editor/EffectCatalogue.h"

namespace vell {

// A picture where every byte differs from its neighbours, so any effect shows.
inline void Pattern(TPixelBuffer& image, int width, int height) {
  image.Allocate(width, height, 0, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.Row24(y)[x] = {static_cast<uint8_t>(x * 37 + y * 11), static_cast<uint8_t>(x * 5 + y * 71),
                           static_cast<uint8_t>(x * 101 + y * 3 + 17)};
}

inline bool SamePixels(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
  return true;
}

class Dispatcher : public ::testing::Test {
 public:
  void SetUp() override {
    editor.CreateImages();
    Pattern(editor.dibWork, 8, 8);
    CopyImage(editor.dibWork, before);
    editor.Logging = true;
    editor.WriteLog = [this](const std::string& line) { log.push_back(line); };
    TApplyHooks& h = apply.Hooks();
    h.ShowMessage = [this](const std::string& t) { messages.push_back(t); };
    h.ShowError = [this](const std::string& t) { errors.push_back(t); };
    h.AskTintColour = [this](uint32_t) { return tintAnswer; };
    h.AskNewSize = [this](int, int, bool) { return sizeAnswer; };
    h.AskFilterDesign = [this]() { return filterAnswer; };
    h.BusyBegin = [this] { ++busy; };
    h.BusyEnd = [this] { --busy; };
    h.Redisplay = [this] { ++redisplays; };
    h.RefreshPanel = [this] { ++refreshes; };
    h.AskOkCancel = [this](const std::string& q) {
      questions.push_back(q);
      return okAnswer;
    };
    h.AskTexture = [this]() -> std::optional<std::pair<const TPixelBuffer*, std::string>> {
      if (!textureAnswer) return std::nullopt;
      return std::make_pair(&texture, *textureAnswer);
    };
    // The gradient dialog's control; Draw Gradient pastes its picture as the window does.
    h.Gradient = [this]() { return &gradient; };
    h.DrawGradient = [this]() {
      ++drawGradients;
      apply.BeginEffect();
      const TPixelBuffer& picture = gradient.Picture();
      editor.dibWork.Allocate(picture.Width(), picture.Height(), 0, 24);
      for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(editor.dibWork.Row(y), picture.Row(y), static_cast<size_t>(picture.Width()) * 3);
      apply.EndEffect();
      return TApplyResult::Ran;
    };
  }
  TApplyResult Apply(int id) {
    editor.EffectType = id;
    editor.EffectName = std::string(EffectTreeName(id));
    return apply.bGoClick(fields);
  }
  bool Unchanged() const { return SamePixels(editor.dibWork, before); }

  TEditor editor;
  TEffectParams params;
  TUndoRing ring{15};
  TApplyDispatcher apply{editor, params, ring};
  TPanelFields fields;
  TPixelBuffer before;
  std::vector<std::string> log, messages, errors;
  std::optional<uint32_t> tintAnswer;
  std::optional<TNewSize> sizeAnswer;
  std::optional<TFilterDesign> filterAnswer;
  std::vector<std::string> questions;
  bool okAnswer = false;
  TPixelBuffer texture;
  std::optional<std::string> textureAnswer;
  TGradientPicture gradient;
  int drawGradients = 0;
  int busy = 0, redisplays = 0, refreshes = 0;
};

}  // namespace vell
