// The uninstaller's questions and progress as windows: message boxes, the shared-file and
// newer-file prompt, the source-path dialog, the start-up window's bar and the wizard's
// progress view. Without a display (a silent run on a console) every question takes its
// default answer and messages go to standard error.
#pragma once

#include <string>

#include "Repair.h"
#include "Settings.h"

namespace yarb::qt {

class StartupWindow;
class WizardDialog;

class QtUi : public RepairUi {
 public:
  QtUi(const UninstallSettings& settings, bool windows);

  StartupWindow* startup = nullptr;
  WizardDialog* wizard = nullptr;
  bool silent = false;

  void ShowMessage(const std::string& text, const std::string& caption) override;
  void ReportProgress(uint64_t offset, uint64_t size) override;
  void CloseProgress() override;
  std::string LoadText(int id) override { return settings_.LoadText(id); }
  BoxAnswer AskYesNo(const std::string& text, const std::string& caption) override;
  BoxAnswer AskYesNoCancel(const std::string& text, const std::string& caption) override;
  BoxAnswer AskOkCancel(const std::string& text, const std::string& caption) override;
  BoxAnswer AskAbortRetryIgnore(const std::string& text, const std::string& caption) override;
  SharedAnswer AskSharedFile(const std::string& text, const std::string& caption) override;
  bool AskSourcePath(const std::string& caption, const std::string& text,
                     std::string* path) override;
  void BeginWalk(const std::string& pageText) override;
  void SetStatus(const std::string& text) override;
  int StatusWidth() const override { return 56; }
  void SetWalkProgress(int done, int total) override;
  bool CancelRequested() override;
  void DispatchEvents(int milliseconds) override;

 private:
  const UninstallSettings& settings_;
  bool windows_;
};

}  // namespace yarb::qt
