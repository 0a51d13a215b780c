// How the uninstaller's logic talks to the user: message boxes, the start-up progress bar
// and text lookup. The Qt front end shows real windows; tests record the calls.
#pragma once

#include <cstdint>
#include <string>

#include "Strings.h"

namespace yarb {

class UninstallUi {
 public:
  virtual ~UninstallUi() = default;

  // A modal message box with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // The start-up window's bar: `offset` of `size` bytes of the log have been read.
  virtual void ReportProgress(uint64_t offset, uint64_t size) = 0;
  // Closes the start-up window (before an error box, so that the box is not hidden).
  virtual void CloseProgress() = 0;
  // The text of string `id`, after any language override.
  virtual std::string LoadText(int id) { return StringTableText(id); }
};

}  // namespace yarb
