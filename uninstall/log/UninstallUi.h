// How the uninstaller's logic talks to the user: message boxes, the start-up progress bar,
// the walk's status text and progress bar, the Cancel button, and text lookup. The Qt front
// end shows real windows; tests answer from a script.
//
// Every question has a default answer for a front end that cannot ask (a silent run or a
// test that does not care): the answer that changes least on the user's system.
#pragma once

#include <cstdint>
#include <string>

#include "Strings.h"

namespace yarb {

// The button a message box was closed with.
enum class BoxAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// The shared-component prompt's four buttons; the values are the dialog's button ids.
enum class SharedAnswer { Yes = 1005, No = 1006, YesToAll = 1007, NoToAll = 1 };

class UninstallUi {
 public:
  virtual ~UninstallUi() = default;

  // ---- start-up and errors -------------------------------------------------------------
  // A modal message box with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // The start-up window's bar: `offset` of `size` bytes of the log have been read.
  virtual void ReportProgress(uint64_t offset, uint64_t size) = 0;
  // Closes the start-up window (before an error box, so that the box is not hidden).
  virtual void CloseProgress() = 0;
  // The text of string `id`, after any language override.
  virtual std::string LoadText(int id) { return StringTableText(id); }

  // ---- questions (modal; the wizard's animation stops while one is up) -----------------
  // Yes / No. Default No.
  virtual BoxAnswer AskYesNo(const std::string& /*text*/, const std::string& /*caption*/) {
    return BoxAnswer::No;
  }
  // Yes / No / Cancel. Default Cancel.
  virtual BoxAnswer AskYesNoCancel(const std::string& /*text*/, const std::string& /*caption*/) {
    return BoxAnswer::Cancel;
  }
  // OK / Cancel. Default Cancel.
  virtual BoxAnswer AskOkCancel(const std::string& /*text*/, const std::string& /*caption*/) {
    return BoxAnswer::Cancel;
  }
  // Abort / Retry / Ignore. Default Abort (the walk stops with nothing more changed).
  virtual BoxAnswer AskAbortRetryIgnore(const std::string& /*text*/,
                                        const std::string& /*caption*/) {
    return BoxAnswer::Abort;
  }
  // The shared-component prompt (dialog 104): `caption` is string 62, or 76 during a repair.
  // Default No to All (keep the file and every later one).
  virtual SharedAnswer AskSharedFile(const std::string& /*text*/, const std::string& /*caption*/) {
    return SharedAnswer::NoToAll;
  }

  // ---- the walk ------------------------------------------------------------------------
  // The wizard switches to its progress view; `pageText` is string 45 with the title.
  virtual void BeginWalk(const std::string& /*pageText*/) {}
  // The status text: a label (ending in CR LF) and its item, already shortened by
  // FitStatusText to StatusWidth() characters.
  virtual void SetStatus(const std::string& /*text*/) {}
  // Characters of the status control's line (the item is shortened to fit).
  virtual int StatusWidth() const { return 60; }
  // The progress bar: `done` of `total` entries visited (total is at least 1).
  virtual void SetWalkProgress(int /*done*/, int /*total*/) {}
  // The user confirmed Cancel; tested before every entry of a step that stops on cancel.
  virtual bool CancelRequested() { return false; }
  // Keeps the window alive: handles pending events, for at least `milliseconds` when given
  // (the pause after stopping a service). A front end without a window returns at once.
  virtual void DispatchEvents(int /*milliseconds*/) {}
};

}  // namespace yarb
