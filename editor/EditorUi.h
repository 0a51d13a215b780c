// EditorUi: the one way editor logic asks the user something.
//
// Logic never opens a window itself; it calls this interface and acts on the
// answer. The Qt front end implements it with real dialogs, tests with a
// script of answers (editor/ScriptedUi.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vell {

enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgKind { Information, Warning, Error, Confirmation };
enum class TMsgResult { Ok, Cancel, Yes, No };

// A file dialog's request. Filters use the "Label|*.a;*.b|Label|*.c" form.
struct TFileRequest {
  std::string title;
  std::string filter;
  std::string initialDir;   // empty: the dialog's own choice
  std::string fileName;     // preset name (save dialog)
  std::string defaultExt;   // without the dot, added when the name has none
  bool promptOverwrite = false;
};

class EditorUi {
 public:
  virtual ~EditorUi() = default;

  // A modal message box with a fixed text. Returns the button pressed;
  // closing the box counts as Cancel (or No / Ok where there is no Cancel).
  virtual TMsgResult MessageBox(const std::string& text, TMsgButtons buttons, TMsgKind kind) = 0;

  // Input box: the typed text, or none when cancelled.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;

  // Colour dialog: the colour chosen (0x00BBGGRR), or none when cancelled.
  virtual std::optional<uint32_t> ChooseColor(uint32_t initial) = 0;

  // File dialogs: the chosen path, or none when cancelled.
  virtual std::optional<std::string> OpenFileName(const TFileRequest& request) = 0;
  virtual std::optional<std::string> SaveFileName(const TFileRequest& request) = 0;

  // Shorthands.
  void ShowMessage(const std::string& text) { MessageBox(text, TMsgButtons::Ok, TMsgKind::Information); }
  void ShowError(const std::string& text) { MessageBox(text, TMsgButtons::Ok, TMsgKind::Error); }
  bool Question(const std::string& text) {
    return MessageBox(text, TMsgButtons::YesNo, TMsgKind::Confirmation) == TMsgResult::Yes;
  }
};

}  // namespace vell
