#include "editor/qt/QtEditorUi.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace vell {

QString QtEditorUi::QtText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace("\r\n", "\n");
  s.replace('\r', '\n');
  return s;
}

QString QtEditorUi::QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString label = parts[i].trimmed();
    // A label that already names its patterns in brackets keeps only the words.
    const int bracket = label.indexOf('(');
    if (bracket > 0 && label.endsWith(')')) label = label.left(bracket).trimmed();
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << label + " (" + patterns + ")";
  }
  return out.join(";;");
}

TMsgResult QtEditorUi::MessageBox(const std::string& text, TMsgButtons buttons, TMsgKind kind) {
  QMessageBox box(parent_);
  box.setWindowTitle(QApplication::applicationName());
  box.setText(QtText(text));
  switch (kind) {
    case TMsgKind::Information: box.setIcon(QMessageBox::Information); break;
    case TMsgKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case TMsgKind::Error: box.setIcon(QMessageBox::Critical); break;
    case TMsgKind::Confirmation: box.setIcon(QMessageBox::Question); break;
  }
  switch (buttons) {
    case TMsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case TMsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case TMsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case TMsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  const int result = box.exec();
  switch (result) {
    case QMessageBox::Ok: return TMsgResult::Ok;
    case QMessageBox::Yes: return TMsgResult::Yes;
    case QMessageBox::No: return TMsgResult::No;
    default:
      // Closing the box: the safe answer of the set.
      return buttons == TMsgButtons::YesNo ? TMsgResult::No
             : buttons == TMsgButtons::Ok  ? TMsgResult::Ok
                                           : TMsgResult::Cancel;
  }
}

std::optional<std::string> QtEditorUi::InputBox(const std::string& caption, const std::string& prompt,
                                                 const std::string& initial) {
  bool ok = false;
  const QString s = QInputDialog::getText(parent_, QString::fromStdString(caption), QtText(prompt),
                                          QLineEdit::Normal, QString::fromStdString(initial), &ok);
  if (!ok) return std::nullopt;
  return s.toStdString();
}

std::optional<uint32_t> QtEditorUi::ChooseColor(uint32_t initial) {
  const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                     static_cast<int>((initial >> 16) & 0xFF));
  const QColor c = QColorDialog::getColor(start, parent_);
  if (!c.isValid()) return std::nullopt;
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

std::optional<std::string> QtEditorUi::OpenFileName(const TFileRequest& request) {
  const QString path = QFileDialog::getOpenFileName(parent_, QString::fromStdString(request.title),
                                                    QString::fromStdString(request.initialDir),
                                                    QtFilter(request.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtEditorUi::SaveFileName(const TFileRequest& request) {
  QFileDialog dialog(parent_, QString::fromStdString(request.title), QString::fromStdString(request.initialDir),
                     QtFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace vell
