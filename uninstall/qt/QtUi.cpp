#include "QtUi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "Dialogs.h"
#include "WizardDialog.h"

namespace yarb::qt {

namespace {
QWidget* Owner(WizardDialog* w) { return w && w->isVisible() ? w : nullptr; }

BoxAnswer Ask(QWidget* owner, const std::string& text, const std::string& caption,
              QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def,
              QMessageBox::Icon icon) {
  QMessageBox box(icon, Q(caption), Q(text), buttons, owner);
  box.setDefaultButton(def);
  switch (box.exec()) {
    case QMessageBox::Ok: return BoxAnswer::Ok;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    case QMessageBox::Abort: return BoxAnswer::Abort;
    case QMessageBox::Retry: return BoxAnswer::Retry;
    case QMessageBox::Ignore: return BoxAnswer::Ignore;
    default: return BoxAnswer::Cancel;
  }
}
}  // namespace

QtUi::QtUi(const UninstallSettings& settings, bool windows)
    : settings_(settings), windows_(windows) {}

void QtUi::ShowMessage(const std::string& text, const std::string& caption) {
  if (!windows_) {
    std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(caption).c_str(), AnsiToUtf8(text).c_str());
    return;
  }
  Ask(Owner(wizard), text, caption, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Information);
}

void QtUi::ReportProgress(uint64_t offset, uint64_t size) {
  if (!startup) return;
  startup->SetProgress(offset, size);
  QApplication::processEvents();
}

void QtUi::CloseProgress() {
  if (startup) startup->hide();
}

BoxAnswer QtUi::AskYesNo(const std::string& text, const std::string& caption) {
  if (!windows_) return UninstallUi::AskYesNo(text, caption);
  return Ask(Owner(wizard), text, caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
             QMessageBox::Question);
}

BoxAnswer QtUi::AskYesNoCancel(const std::string& text, const std::string& caption) {
  if (!windows_) return UninstallUi::AskYesNoCancel(text, caption);
  return Ask(Owner(wizard), text, caption, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
             QMessageBox::Yes, QMessageBox::Question);
}

BoxAnswer QtUi::AskOkCancel(const std::string& text, const std::string& caption) {
  // A silent run restarts without asking; any other OK / Cancel question stops it.
  if (silent && text == LoadText(68)) return BoxAnswer::Ok;
  if (!windows_ || silent) {
    ShowMessage(text, caption);
    return BoxAnswer::Cancel;
  }
  return Ask(Owner(wizard), text, caption, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
             QMessageBox::Question);
}

BoxAnswer QtUi::AskAbortRetryIgnore(const std::string& text, const std::string& caption) {
  if (!windows_) return UninstallUi::AskAbortRetryIgnore(text, caption);
  return Ask(Owner(wizard), text, caption,
             QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Retry,
             QMessageBox::Warning);
}

SharedAnswer QtUi::AskSharedFile(const std::string& text, const std::string& caption) {
  if (!windows_ || silent) return SharedAnswer::No;
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::NoButton, Owner(wizard));
  QPushButton* yes = box.addButton(Q(LoadText(51)), QMessageBox::YesRole);
  QPushButton* no = box.addButton(Q(LoadText(52)), QMessageBox::NoRole);
  QPushButton* yesAll = box.addButton(Q(LoadText(69)), QMessageBox::YesRole);
  QPushButton* noAll = box.addButton(Q(LoadText(53)), QMessageBox::NoRole);
  box.setDefaultButton(noAll);
  box.exec();
  if (box.clickedButton() == yes) return SharedAnswer::Yes;
  if (box.clickedButton() == no) return SharedAnswer::No;
  if (box.clickedButton() == yesAll) return SharedAnswer::YesToAll;
  return SharedAnswer::NoToAll;
}

bool QtUi::AskSourcePath(const std::string& caption, const std::string& text, std::string* path) {
  if (!windows_ || silent) return false;
  SourcePathDialog dlg(settings_, [this](int id) { return LoadText(id); }, caption, text, *path,
                       Owner(wizard));
  if (dlg.exec() != QDialog::Accepted) return false;
  *path = dlg.Path();
  return true;
}

void QtUi::BeginWalk(const std::string& pageText) {
  if (wizard) wizard->BeginProgress(pageText);
  DispatchEvents(0);
}

void QtUi::SetStatus(const std::string& text) {
  if (wizard) wizard->SetStatus(text);
  DispatchEvents(0);
}

void QtUi::SetWalkProgress(int done, int total) {
  if (wizard) wizard->SetProgress(done, total);
}

bool QtUi::CancelRequested() { return wizard && wizard->CancelRequested(); }

void QtUi::DispatchEvents(int milliseconds) {
  if (!windows_) return;
  QApplication::processEvents();
  if (milliseconds <= 0) return;
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

}  // namespace yarb::qt
