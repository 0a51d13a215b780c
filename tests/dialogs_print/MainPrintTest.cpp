#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include "editor/ScriptedUi.h"
#include "editor/qt/VellTileMain.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

class MainPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<TfVellTile>(&ui);
    // As on a machine without printers: PDF output with no file chosen yet.
    QPrinter& printer = window->PrintDialog()->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString());
  }
  QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  // Runs the print command; `inDialog` acts on the shown dialog, then OK (or Cancel).
  void Print(std::function<void(TfPrint&)> inDialog, bool ok = true) {
    TfPrint* dialog = window->PrintDialog();
    QTimer::singleShot(0, dialog, [dialog, inDialog, ok] {
      if (inDialog) inDialog(*dialog);
      ok ? dialog->accept() : dialog->reject();
    });
    Action("Print1")->trigger();
  }
  QStringList Asked() const {
    QStringList out;
    for (const auto& a : ui.Asked()) out << QString::fromStdString(a.kind + ": " + a.text);
    return out;
  }

  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
  QTemporaryDir dir;
};

TEST_F(MainPrint, CommandsAreEnabled) {
  for (const char* name : {"Print1", "bPrint", "About1"}) {
    ASSERT_NE(Action(name), nullptr) << name;
    EXPECT_TRUE(Action(name)->isEnabled()) << name;
  }
  EXPECT_EQ(Action("bPrint")->toolTip(), "Print...");
}

TEST_F(MainPrint, WithoutAPrinterOffersAPdfFile) {
  const QString path = dir.path() + "/tile.pdf";
  ui.AnswerSave(path.toStdString());
  Print(nullptr);
  ASSERT_EQ(ui.FileRequests().size(), 1u);
  EXPECT_EQ(ui.FileRequests()[0].defaultExt, "pdf");
  EXPECT_NE(ui.FileRequests()[0].title.find("No printer"), std::string::npos);
  QFile pdf(path);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5) == "%PDF-");
  EXPECT_EQ(Asked().size(), 1) << Asked().join("; ").toStdString();  // no error after it

  // The next print asks again rather than overwrite that file; Cancel prints nothing.
  Print(nullptr);
  EXPECT_EQ(ui.FileRequests().size(), 2u);
  EXPECT_EQ(Asked().size(), 2);
}

TEST_F(MainPrint, ANumberThatDoesNotConvertIsReportedAndNothingPrints) {
  Print([](TfPrint& d) { d.eScale->setText("1,3.7"); });
  EXPECT_EQ(Asked(), QStringList{"message: '1,3.7' is not a valid floating point value"});
  EXPECT_TRUE(ui.FileRequests().empty());
}

TEST_F(MainPrint, CancelPrintsNothing) {
  Print(nullptr, false);
  EXPECT_TRUE(ui.Asked().empty());
}

}  // namespace
}  // namespace vell
