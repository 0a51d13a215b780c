#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/QTest>

#include "dialogs/qt/Print1.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

struct TPrintFixture {
  TfPrint dialog;
  QStringList messages;

  TPrintFixture(int w, int h) {
    dialog.SetMessageHook([this](const QString& text) { messages << text; });
    dialog.SetImageSize(w, h);
    testing::ShowActive(dialog);
  }
  void Retype(QLineEdit* field, const char* text) {
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, QString::fromLatin1(text));
  }
  void Tab() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QApplication::processEvents();
  }
  QString Inches() const { return dialog.eWide->text() + " x " + dialog.eHigh->text(); }
  bool ScalingShown() const { return dialog.eScale->isVisible() && dialog.SpeedButton1->isVisible(); }
  bool SizesShown() const { return dialog.eWide->isVisible() && dialog.eHigh->isVisible() && dialog.cbAspect->isVisible(); }
};

QString ScreenInches(int pixels, bool horizontal) {
  const QScreen* s = QGuiApplication::primaryScreen();
  const int dpi = qRound(horizontal ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY());
  return QString::fromStdString(InchesText(pixels, dpi));
}

TEST(PrintDialog, ShowsItsDefaults) {
  TPrintFixture f(256, 128);
  EXPECT_EQ(f.dialog.windowTitle(), "Print Options");
  EXPECT_EQ(f.dialog.SizeChoice(), TPrintSize::MatchScreen);
  EXPECT_EQ(f.dialog.AlignChoice(), TPrintAlign::TopLeft);
  EXPECT_FALSE(f.dialog.Landscape());
  EXPECT_EQ(f.dialog.eScale->text(),
            DefaultScaleText(QGuiApplication::primaryScreen()->geometry().width()));
  EXPECT_EQ(f.Inches(), ScreenInches(256, true) + " x " + ScreenInches(128, false));
  EXPECT_TRUE(f.ScalingShown());
  EXPECT_FALSE(f.SizesShown());
  EXPECT_TRUE(f.dialog.cbAspect->isChecked());
  EXPECT_EQ(f.dialog.SpeedButton1->toolTip(), "What's the Scaling Factor?");
  EXPECT_EQ(f.dialog.sbPrint->text(), "Setup..");
  EXPECT_EQ(f.dialog.sbPrint->toolTip(), "Printer Setup...");
  EXPECT_EQ(f.dialog.BitBtn1->toolTip(), "Print using selected settings");
  EXPECT_EQ(f.dialog.BitBtn2->toolTip(), "Do not print");
  f.dialog.reject();
}

TEST(PrintDialog, SizeChoicesShowTheirControlsAndCDPresets) {
  struct TCase {
    int item;
    bool scaling, sizes;
    const char* inches;  // null: left as they were
    bool landscapeCentred;
  };
  const TCase cases[] = {
      {1, false, true, nullptr, false}, {2, false, false, nullptr, false}, {0, true, false, nullptr, false},
      {3, false, true, "9.5 x 4.75", true}, {4, false, true, "5.875 x 4.625", true},
  };
  for (const TCase& c : cases) {
    TPrintFixture f(256, 256);
    const QString before = f.Inches();
    QTest::mouseClick(f.dialog.rgSizeItems[c.item], Qt::LeftButton, {}, QPoint(6, f.dialog.rgSizeItems[c.item]->height() / 2));
    EXPECT_EQ(static_cast<int>(f.dialog.SizeChoice()), c.item);
    EXPECT_EQ(f.ScalingShown(), c.scaling) << c.item;
    EXPECT_EQ(f.SizesShown(), c.sizes) << c.item;
    EXPECT_EQ(f.Inches(), c.inches ? QString::fromLatin1(c.inches) : before) << c.item;
    EXPECT_EQ(f.dialog.Landscape(), c.landscapeCentred) << c.item;
    EXPECT_EQ(f.dialog.AlignChoice() == TPrintAlign::Center, c.landscapeCentred) << c.item;
    f.dialog.reject();
  }
}

TEST(PrintDialog, ContextMenuPicksTheCover) {
  TPrintFixture f(256, 256);
  const QList<QAction*> actions = f.dialog.PopupMenu1->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "CD Jacket - Front");
  EXPECT_EQ(actions[1]->text(), "CD Jacket - Back");
  actions[1]->trigger();
  EXPECT_EQ(f.dialog.SizeChoice(), TPrintSize::CDBack);
  EXPECT_EQ(f.Inches(), "5.875 x 4.625");
  EXPECT_TRUE(f.dialog.Landscape());
  EXPECT_EQ(f.dialog.AlignChoice(), TPrintAlign::Center);
  EXPECT_TRUE(f.SizesShown());
  actions[0]->trigger();
  EXPECT_EQ(f.dialog.SizeChoice(), TPrintSize::CDFront);
  EXPECT_EQ(f.Inches(), "9.5 x 4.75");

  // A new show resets the inch fields and keeps the choice.
  f.dialog.hide();
  f.dialog.SetImageSize(96, 192);
  testing::ShowActive(f.dialog);
  EXPECT_EQ(f.dialog.SizeChoice(), TPrintSize::CDFront);
  EXPECT_EQ(f.Inches(), ScreenInches(96, true) + " x " + ScreenInches(192, false));
  f.dialog.reject();
}

TEST(PrintDialog, MaintainRatioBothWays) {
  TPrintFixture f(512, 256);
  f.dialog.rgSizeClick(static_cast<int>(TPrintSize::Specify));
  f.Retype(f.dialog.eWide, "4");
  f.Tab();
  EXPECT_EQ(f.dialog.eHigh->text(), "2.00");
  f.Retype(f.dialog.eHigh, "1.5");
  f.Tab();
  EXPECT_EQ(f.dialog.eWide->text(), "3.00");
  // Off: the other field stays.
  f.dialog.cbAspect->setChecked(false);
  f.Retype(f.dialog.eWide, "7");
  f.Tab();
  EXPECT_EQ(f.dialog.eHigh->text(), "1.5");
  // A width that is no number leaves the height alone.
  f.dialog.cbAspect->setChecked(true);
  f.Retype(f.dialog.eWide, "seven");
  f.Tab();
  EXPECT_EQ(f.dialog.eHigh->text(), "1.5");
  f.dialog.reject();
}

TEST(PrintDialog, HelpText) {
  TPrintFixture f(256, 256);
  QTest::mouseClick(f.dialog.SpeedButton1, Qt::LeftButton);
  ASSERT_EQ(f.messages.size(), 1);
  EXPECT_EQ(f.messages[0],
            "The scaling factor is only used for Match Screen Size printing.\n"
            "Translating screen size to printer size is not an exact process.  On my 800 x 600 system I must use "
            "the 1.375 scaling to get a close approximation of what I see on the screen to what is printed, "
            "otherwise the printed image is very small.  You can adjust this to whatever seems to work on your "
            "particular printer, probably a value between 1 and 2.");
  EXPECT_TRUE(TfPrint::HelpText().contains("printing.\rTranslating"));
  f.dialog.reject();
}

// ---- printing into a PDF file, looked at through pdftoppm ----

constexpr int kDpi = 150;

struct TPage {
  QImage pixels;
  QRect paintRect;  // the printable area within the page, in dots
};

// Prints with the dialog's settings into a PDF and renders the page at the printer's resolution.
TPage PrintToPdf(TfPrint& dialog, const QImage& tile, TfPrint::TOutcome& outcome, const QString& dir) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir + "/page.pdf");
  printer.setResolution(kDpi);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  outcome = dialog.PrintImage(tile, printer);
  TPage page;
  page.paintRect = printer.pageLayout().paintRectPixels(kDpi);
  if (!outcome.printed) return page;
  QProcess run;
  run.start("pdftoppm", {"-r", QString::number(kDpi), "-png", "-singlefile", dir + "/page.pdf", dir + "/page"});
  EXPECT_TRUE(run.waitForFinished(60000)) << "pdftoppm (poppler-utils) did not run";
  page.pixels = QImage(dir + "/page.png").convertToFormat(QImage::Format_RGB32);
  return page;
}

// The bounding box of pixels close to `colour`.
QRect Find(const QImage& page, QRgb colour) {
  QRect box;
  for (int y = 0; y < page.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
    for (int x = 0; x < page.width(); ++x) {
      const QRgb p = row[x];
      if (std::abs(qRed(p) - qRed(colour)) < 40 && std::abs(qGreen(p) - qGreen(colour)) < 40 &&
          std::abs(qBlue(p) - qBlue(colour)) < 40)
        box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

void ExpectNear(const QRect& got, const QRect& want, const char* what) {
  EXPECT_LE(std::abs(got.left() - want.left()), 2) << what << " left";
  EXPECT_LE(std::abs(got.top() - want.top()), 2) << what << " top";
  EXPECT_LE(std::abs(got.right() - want.right()), 2) << what << " right";
  EXPECT_LE(std::abs(got.bottom() - want.bottom()), 2) << what << " bottom";
}

TEST(PrintDialog, PrintsWhereTheArithmeticSays) {
  // Left half blue, right half red: a crop or a shift shows, not only a wrong size.
  QImage tile(64, 32, QImage::Format_BGR888);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) tile.setPixel(x, y, x < 32 ? qRgb(0, 0, 255) : qRgb(255, 0, 0));

  struct TCase {
    const char* name;
    TPrintSize size;
    bool centre, landscape;
    const char* scale;
    const char* wide;
    const char* high;
    QSize page;  // rendered page in pixels
    bool outline;
  };
  const TCase cases[] = {
      {"screen size top left", TPrintSize::MatchScreen, false, false, "1.375", "1", "1", {1275, 1650}, false},
      {"inches centred", TPrintSize::Specify, true, false, "1", "4", "2.5", {1275, 1650}, false},
      {"stretched landscape", TPrintSize::StretchToFit, false, true, "1", "1", "1", {1650, 1275}, false},
      {"CD front", TPrintSize::CDFront, true, true, "1", "9.5", "4.75", {1650, 1275}, true},
      {"CD back", TPrintSize::CDBack, true, true, "1", "5.875", "4.625", {1650, 1275}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TPrintFixture f(64, 32);
    f.dialog.rgSizeClick(static_cast<int>(c.size));
    f.dialog.rgAlignItems[c.centre ? 1 : 0]->setChecked(true);
    f.dialog.rgOrientItems[c.landscape ? 1 : 0]->setChecked(true);
    f.dialog.eScale->setText(c.scale);
    f.dialog.eWide->setText(c.wide);
    f.dialog.eHigh->setText(c.high);
    f.dialog.accept();

    QTemporaryDir dir;
    TfPrint::TOutcome outcome;
    const TPage page = PrintToPdf(f.dialog, tile, outcome, dir.path());
    ASSERT_TRUE(outcome.printed) << outcome.error;
    ASSERT_EQ(page.pixels.size(), c.page);
    EXPECT_EQ(outcome.metrics.printerDpiX, kDpi);
    EXPECT_EQ(outcome.metrics.pageWidth, page.paintRect.width());

    // The same rectangle again from the printer's own measures.
    TPrintRequest request;
    ASSERT_FALSE(f.dialog.ReadRequest(request));
    EXPECT_EQ(outcome.rect, ComputePrintRect(request, outcome.metrics));

    const QRect want(page.paintRect.left() + outcome.rect.left, page.paintRect.top() + outcome.rect.top,
                     outcome.rect.width, outcome.rect.height);
    const QRect blue = Find(page.pixels, qRgb(0, 0, 255));
    const QRect red = Find(page.pixels, qRgb(255, 0, 0));
    ASSERT_FALSE(blue.isEmpty());
    ASSERT_FALSE(red.isEmpty());
    const QRect inked = blue | red;
    if (c.outline) {
      // The guide covers the outermost dots; the picture shows inside it.
      ExpectNear(inked, want.adjusted(1, 1, -1, -1), "picture");
      const QRect black = Find(page.pixels, qRgb(0, 0, 0));
      ExpectNear(black, want, "outline");
      const QRgb edge = page.pixels.pixel(want.left(), want.center().y());
      EXPECT_LT(qGray(edge), 80) << "left edge of the outline";
    } else {
      ExpectNear(inked, want, "picture");
      EXPECT_TRUE(Find(page.pixels, qRgb(0, 0, 0)).isEmpty()) << "no outline";
    }
    // The tile's own colours, not a recompressed approximation.
    EXPECT_EQ(page.pixels.pixel(blue.center()), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixels.pixel(red.center()), qRgb(255, 0, 0));
    // Stretched as a whole: the colours split at the middle.
    EXPECT_LE(std::abs(blue.right() + 1 - (want.left() + want.width() / 2)), 2);
  }
}

TEST(PrintDialog, NumberThatDoesNotConvertPrintsNothing) {
  const char* fields[][3] = {{"1.3x", "1", "1"}, {"1", "", "1"}, {"1", "1", "2,,5"}};
  const char* bad[] = {"1.3x", "", "2,,5"};
  for (int i = 0; i < 3; ++i) {
    TPrintFixture f(64, 32);
    f.dialog.rgSizeClick(static_cast<int>(TPrintSize::Specify));
    f.dialog.eScale->setText(fields[i][0]);
    f.dialog.eWide->setText(fields[i][1]);
    f.dialog.eHigh->setText(fields[i][2]);
    QTemporaryDir dir;
    TfPrint::TOutcome outcome;
    PrintToPdf(f.dialog, QImage(64, 32, QImage::Format_BGR888), outcome, dir.path());
    EXPECT_FALSE(outcome.printed);
    EXPECT_EQ(outcome.error, NotAFloatText(bad[i]));
    EXPECT_FALSE(QFile::exists(dir.path() + "/page.pdf"));
    f.dialog.reject();
  }
}

}  // namespace
}  // namespace vell
