// The main window's File > Print, its toolbar button, and Help > About.
#include <QAction>
#include <QPrinter>
#include <QPrinterInfo>

#include "editor/qt/VellTileMain.h"

namespace vell {

void TfVellTile::WirePrintCommands() {
  if (print_) return;
  print_ = std::make_unique<TfPrint>(this);
  about_ = std::make_unique<TfAbout>(this);
  // The print dialog shows the conversion error itself through the window's ui.
  print_->SetMessageHook([this](const QString& text) { ui_->ShowMessage(text.toStdString()); });
  EnableCommand("Print1", [this] { Print1Click(); });
  EnableCommand("bPrint", [this] { Print1Click(); });
  EnableCommand("About1", [this] { About1Click(); });
}

bool TfVellTile::EnsurePrintTarget(QPrinter& printer, bool& ownFile) {
  ownFile = false;
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  if (toFile ? !printer.outputFileName().isEmpty() : !QPrinterInfo::availablePrinters().isEmpty()) return true;
  // No printer to print on: offer a PDF file rather than print into nothing.
  TFileRequest request;
  request.title = "No printer is installed - Print to PDF File";
  request.filter = "PDF Files|*.pdf";
  request.defaultExt = "pdf";
  request.fileName = "Quilo.pdf";
  request.promptOverwrite = true;
  const std::optional<std::string> path = ui_->SaveFileName(request);
  if (!path || path->empty()) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(*path));
  ownFile = true;
  return true;
}

void TfVellTile::Print1Click() {
  if (!print_) return;
  print_->SetImageSize(editor_.dibWork.Width(), editor_.dibWork.Height());
  if (print_->exec() != QDialog::Accepted) return;
  // A field that holds no number stops here, before anything is asked or printed.
  TPrintRequest request;
  if (const std::optional<std::string> error = print_->ReadRequest(request)) {
    ui_->ShowError(*error);
    return;
  }
  QPrinter& printer = print_->Printer();
  bool ownFile = false;
  if (!EnsurePrintTarget(printer, ownFile)) return;
  ImageToBitmap(bmpTransfer, editor_.dibWork);
  const TfPrint::TOutcome outcome = print_->PrintImage(bmpTransfer, printer);
  // The next print asks again rather than overwrite this file unasked.
  if (ownFile) {
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::NativeFormat);
  }
  if (!outcome.printed && !outcome.error.empty()) ui_->ShowError(outcome.error);
}

void TfVellTile::About1Click() {
  if (about_) about_->exec();
}

}  // namespace vell
