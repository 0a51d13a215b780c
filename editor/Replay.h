// Making a tile again from its operation log.
//
// A replay keeps the editor's own state without any window: the working,
// buffer, original and gradient images, the stored parameters, the undo ring,
// a clipboard of its own and the drawing tools. Each line goes through the
// same calls the editor made when it wrote the line (the dispatcher, the
// seamless commands, the canvas tools), with the dialogs answered from what
// the line says. A line the log cannot determine (a freehand stroke has no
// path, a clock-seeded pattern, a clipboard filled outside the log) stops the
// replay with the line and the reason, or is skipped and reported.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <string>

#include "imaging/PixelBuffer.h"

namespace vell {

struct TReplayOptions {
  // The starting picture in place of the black 256 x 256 image; it also
  // stands in for the log's first "Open File" line, which is then skipped.
  std::string InputFile;
  // Skip lines the log cannot determine instead of stopping at the first.
  bool SkipUnreplayable = false;
  // "Wrap Drawing Around Edges" was on while the tools drew (the log lines
  // of the tools do not say).
  bool WrapDrawing = false;
  // Folder that relative paths in the log (a texture "Use File" name) are
  // looked up in; normally the log's own folder.
  std::string BaseFolder;
  // Told about every skipped line: its number, its text and why.
  std::function<void(size_t line, const std::string& text, const std::string& why)> OnSkipped;
};

struct TReplayResult {
  bool Ok = false;
  size_t Line = 0;      // the line that stopped the replay (0: none, or the input file)
  std::string Message;  // why it stopped, for the user
  size_t Lines = 0;     // lines read
  size_t Skipped = 0;   // lines skipped (SkipUnreplayable)
};

// Replays `log` and leaves the resulting working image in `image`. On
// failure `image` is left as it was.
TReplayResult ReplayLog(std::istream& log, const TReplayOptions& options, TPixelBuffer& image);
TReplayResult ReplayLogFile(const std::string& logPath, const TReplayOptions& options, TPixelBuffer& image);

}  // namespace vell
