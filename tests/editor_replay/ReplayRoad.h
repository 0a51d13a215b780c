// The editor's own road without a window: the dispatcher, the canvas tools
// and the shared image commands, logging every line they write. A replay of
// those lines must give the road's picture.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/Texture.h"
#include "editor/Apply.h"
#include "editor/CanvasTools.h"
#include "editor/EffectCatalogue.h"
#include "editor/ImageCommands.h"
#include "editor/ImageFiles.h"
#include "editor/OperationLog.h"
#include "editor/Replay.h"

namespace vell {

// A picture where neighbouring bytes differ, so any change shows.
inline void Pattern(TPixelBuffer& image, int width, int height, int seed = 0) {
  image.Allocate(width, height, 0, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.Row24(y)[x] = {static_cast<uint8_t>(x * 37 + y * 11 + seed), static_cast<uint8_t>(x * 5 + y * 71),
                           static_cast<uint8_t>(x * 101 + y * 3 + 17 + seed * 7)};
}

inline bool SamePixels(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
  return true;
}

// Per process: the tests of this program may run side by side.
inline std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "replay_" + std::to_string(getpid()) + "_" + name;
}

// Writes a pattern picture as a BMP and returns its path.
inline std::string PatternFile(const std::string& name, int width, int height, int seed = 0) {
  TPixelBuffer picture;
  Pattern(picture, width, height, seed);
  const std::string path = TempPath(name);
  EXPECT_EQ(SaveImageFile(path, picture, {}).Outcome, TSaveOutcome::Saved);
  return path;
}

struct TRoad {
  TEditor editor;
  TEffectParams params;
  TUndoRing ring{64};
  TApplyDispatcher apply{editor, params, ring};
  TCanvasTools tools;
  TGradientPicture gradient;
  TPixelBuffer texture, clipboard;
  std::vector<std::string> log;
  std::optional<uint32_t> tint;
  std::optional<TNewSize> size;
  std::optional<TFilterDesign> design;
  bool wrap = false;

  TRoad() {
    SetRandomState(0);
    editor.CreateImages();
    editor.Logging = true;
    editor.WriteLog = [this](const std::string& line) { log.push_back(line); };
    editor.PushUndo = [this] { ring.PushUndo(editor.dibWork); };
    BuiltInTexture(texture);
    gradient.SetGradientStyle(TGradientStyle::gsVertCenter);
    gradient.SetSize(256, 256);
    TApplyHooks& h = apply.Hooks();
    h.AskTintColour = [this](uint32_t) { return tint; };
    h.AskNewSize = [this](int, int, bool) { return size; };
    h.AskFilterDesign = [this]() { return design; };
    h.AskOkCancel = [](const std::string&) { return true; };
    h.AskTexture = [this]() -> std::optional<std::pair<const TPixelBuffer*, std::string>> {
      return std::make_pair(&texture, std::string("Use Current Texture"));
    };
    h.Gradient = [this]() { return &gradient; };
    // The window: the designer at the image's size with the fields as answered, then the paste.
    h.DrawGradient = [this] {
      gradient.SetSize(editor.dibWork.Width(), editor.dibWork.Height());
      ApplyGradientFields(gradient, apply.LogContext().Gradient);
      return PasteGradientPicture(apply, editor, gradient.Picture()) ? TApplyResult::Ran : TApplyResult::Refused;
    };
  }

  void StartLine() {
    TLogStartInfo info;
    info.Width = editor.dibWork.Width();
    info.Height = editor.dibWork.Height();
    const TGradientFields& g = apply.LogContext().Gradient;
    info.GradientStyle = g.Style;
    info.FromColorText = ColorText(g.FromColor);
    info.ToColorText = ColorText(g.ToColor);
    info.Angle = g.Angle;
    log.push_back(LogStartLine(info));
  }
  void Open(const std::string& path) {
    TPixelBuffer picture;
    ASSERT_TRUE(ReadImageFile(path, picture).ok);
    OpenPicture(editor, std::move(picture));
    log.push_back(OpenFileLine(path));
  }
  void Tree(int id, TPanelFields fields = {}) {
    editor.SelectEffect(id, std::string(EffectTreeName(id)));
    apply.bGoClick(fields);
  }
  void Menu(int id, const TPanelFields& fields = {}) { apply.ApplyFromMenu(id, fields); }
  // A drag of a tool: press, the moves, release (and the selection's answer).
  void Drag(int tool, const TToolInputs& in, TPoint from, const std::vector<TPoint>& moves, TPoint to,
            TSelectAction action = TSelectAction::Cancel) {
    const TToolDef* def = ToolDefFor(tool);
    tools.SetTool(def->Fill, def->Text, def->Tool);
    TToolInputs inputs = in;
    inputs.Wrap = wrap;
    const TPressResult press =
        tools.Press(editor.dibWork, TMouseButton::Left, from.x, from.y, inputs, [this] { editor.PushUndo(); });
    if (!press.Log.empty()) log.push_back(press.Log);
    if (press.Outcome != TPressOutcome::Drawing) return;
    for (const TPoint& p : moves) tools.Move(editor.dibWork, p.x, p.y);
    const TReleaseResult release = tools.Release(editor.dibWork, TMouseButton::Left, to.x, to.y);
    if (release.Outcome == TReleaseOutcome::AskSelection) {
      TPixelBuffer transfer;
      const std::string line = tools.FinishSelection(editor.dibWork, action, transfer, nullptr);
      if (action == TSelectAction::Crop) CropToPicture(editor, transfer);
      if (action == TSelectAction::CopyToBuffer) PictureToBuffer(editor, transfer);
      if (action == TSelectAction::CopyToClipboard) CopyImage(transfer, clipboard);
      if (!line.empty()) log.push_back(line);
    } else if (!release.Log.empty()) {
      log.push_back(release.Log);
    }
  }
  std::string Text() const {
    std::string text;
    for (const std::string& line : log) text += line + "\r\n";
    return text;
  }
};

struct TReplayed {
  TReplayResult Result;
  TPixelBuffer Picture;
  std::vector<size_t> Skipped;
  std::vector<std::string> Why;
};

inline TReplayed Replayed(const std::string& text, TReplayOptions options = {}) {
  TReplayed r;
  options.OnSkipped = [&r](size_t line, const std::string&, const std::string& why) {
    r.Skipped.push_back(line);
    r.Why.push_back(why);
  };
  std::istringstream in(text);
  r.Result = ReplayLog(in, options, r.Picture);
  return r;
}

}  // namespace vell
