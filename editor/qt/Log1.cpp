#include "editor/qt/Log1.h"

#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "editor/Editor.h"
#include "editor/OperationLog.h"

namespace vell {

namespace {

TPrintDialogHook& PrintHook() {
  static TPrintDialogHook hook;
  return hook;
}

}  // namespace

std::vector<std::string> MemoLines(const QString& text) {
  std::vector<std::string> lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toLocal8Bit().toStdString());
  return lines;
}

QString MemoText(const std::vector<std::string>& lines) {
  QStringList out;
  for (const std::string& line : lines) out << QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
  return out.join(QLatin1Char('\n'));
}

bool PrintLogLines(const QStringList& lines, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  QFont font(QStringLiteral("Times New Roman"));
  font.setPointSize(10);
  painter.setFont(font);
  const QFontMetrics fm(painter.font(), painter.device());
  const QRect page = painter.viewport();
  int y = 0;
  for (const QString& line : lines) {
    if (y > 0 && y + fm.height() > page.height()) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(0, y + fm.ascent(), line);
    y += fm.lineSpacing();
  }
  return painter.end();
}

void SetPrintDialogHook(TPrintDialogHook hook) { PrintHook() = std::move(hook); }

void PrintLogMemo(const QStringList& lines, QWidget* parent) {
  if (lines.isEmpty() || (lines.size() == 1 && lines.first().isEmpty())) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("VellLog"));
  bool go = false;
  if (PrintHook()) {
    go = PrintHook()(printer, parent);
  } else {
    QPrintDialog dialog(&printer, parent);
    go = dialog.exec() == QDialog::Accepted;
  }
  if (go) PrintLogLines(lines, printer);
}

// --- TfLog ------------------------------------------------------------------

TfLog::TfLog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fLog"));
  setWindowTitle(QStringLiteral("View 'Quilo99 Log File"));
  setModal(false);
  resize(515, 375);

  const TLogWindowParts parts = BuildLogWindow(*this, true);
  Memo1 = parts.memo;
  bRefresh = AddLogButton(*this, *parts.buttons, "bRefresh", QStringLiteral("&Refresh"));
  bSave = AddLogButton(*this, *parts.buttons, "bSave", QStringLiteral("&Save As"));
  bOK = AddLogButton(*this, *parts.buttons, "bOK", QStringLiteral("&OK"));
  bPrint = AddLogButton(*this, *parts.buttons, "bPrint", QStringLiteral("&Print"));
  bOK->setDefault(true);

  connect(bRefresh, &QPushButton::clicked, this, [this] { bRefreshClick(); });
  connect(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
  connect(bOK, &QPushButton::clicked, this, [this] { bOKClick(); });
  connect(bPrint, &QPushButton::clicked, this, [this] { bPrintClick(); });
}

void TfLog::SetContext(TOperationLog* log, EditorUi* ui, TEditor* editor) {
  log_ = log;
  ui_ = ui;
  editor_ = editor;
}

void TfLog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) LoadLog();
}

void TfLog::LoadLog() {
  Memo1->clear();
  if (log_ == nullptr) return;
  Memo1->setPlainText(MemoText(log_->LoadLines()));
}

QStringList TfLog::Lines() const { return MemoLineList(*Memo1); }

TLogWindowParts BuildLogWindow(QDialog& dialog, bool readOnly) {
  auto* column = new QVBoxLayout(&dialog);
  column->setContentsMargins(6, 6, 6, 6);
  TLogWindowParts parts;
  parts.memo = new QPlainTextEdit(&dialog);
  parts.memo->setObjectName(QStringLiteral("Memo1"));
  parts.memo->setReadOnly(readOnly);
  parts.memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  parts.memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  column->addWidget(parts.memo, 1);
  parts.buttons = new QHBoxLayout();
  column->addLayout(parts.buttons);
  return parts;
}

QPushButton* AddLogButton(QDialog& dialog, QHBoxLayout& row, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, &dialog);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  row.addWidget(b);
  return b;
}

QStringList MemoLineList(const QPlainTextEdit& memo) {
  const QString text = memo.toPlainText();
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TfLog::bSaveClick() {
  if (ui_ == nullptr) return;
  const bool withImage = editor_ != nullptr && editor_->SaveWithLogName;
  const TLogSaveAs saved =
      LogSaveAs(*ui_, MemoLines(Memo1->toPlainText()), editor_ ? editor_->DefaultDirectory : std::string(), withImage);
  if (!saved.OfferImage) return;
  if (editor_ != nullptr) editor_->DefaultDirectory = saved.DefaultDirectory;
  emit saveImageRequested(QString::fromLocal8Bit(saved.ImageFileName.data(),
                                                 static_cast<qsizetype>(saved.ImageFileName.size())));
}

void TfLog::bPrintClick() { PrintLogMemo(Lines(), this); }

void TfLog::reject() {
  QDialog::reject();
  emit toolBoxShowRequested();
}

}  // namespace vell
