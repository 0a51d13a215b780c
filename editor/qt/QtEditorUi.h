// QtEditorUi: EditorUi through real Qt dialogs, parented to a window.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "editor/EditorUi.h"

namespace vell {

class QtEditorUi : public EditorUi {
 public:
  explicit QtEditorUi(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  TMsgResult MessageBox(const std::string& text, TMsgButtons buttons, TMsgKind kind) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<std::string> OpenFileName(const TFileRequest& request) override;
  std::optional<std::string> SaveFileName(const TFileRequest& request) override;

  // "Label|*.a;*.b|Label 2|*.c" -> "Label (*.a *.b);;Label 2 (*.c)".
  static QString QtFilter(const std::string& filter);
  // Message texts use CR line breaks; Qt wants LF.
  static QString QtText(const std::string& text);

 private:
  QPointer<QWidget> parent_;
};

}  // namespace vell
