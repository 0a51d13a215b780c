// The drawing tools through the real main window: mouse on imSine, pixels,
// undo, log lines, the selection dialog, the text tool and the paste overlay.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <cstring>

#include "dialogs/qt/ColrBtn.h"
#include "dialogs/qt/Text1.h"
#include "dialogs/qt/TextPanel.h"
#include "editor/CanvasTools.h"
#include "editor/Editor.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/Select1.h"
#include "editor/qt/ToolForm.h"
#include "editor/qt/VellTileMain.h"
#include "tests/editor_settings/TempDir.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

// Records the areas imSine is asked to paint.
class TPaintSpy : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
    return QObject::eventFilter(o, e);
  }
  std::vector<QRect> rects;
};

class CanvasWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    window = std::make_unique<TfVellTile>(&ui);
    window->CreateCompanions();
    testing::ShowActive(*window);
    Box().SetPenSizeText(QStringLiteral("3"));
    Box().SetPenColor(0x0000FF);
    Box().SetBrushColor(0x00FF00);
    window->Editor().Logging = true;
    window->Editor().WriteLog = [this](const std::string& line) { log.push_back(line); };
    FillImage(window->Editor().dibWork, 0x202020);
  }
  TfToolBox& Box() { return *window->ToolBox(); }
  TPixelBuffer& Work() { return window->Editor().dibWork; }
  QWidget* Sine() { return window->imSine(); }
  void Tool(QToolButton* b) { b->click(); }
  void Drag(const std::vector<QPoint>& path, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(Sine(), button, {}, path.front());
    for (size_t i = 1; i < path.size(); ++i) QTest::mouseMove(Sine(), path[i]);
    QTest::mouseRelease(Sine(), button, {}, path.back());
  }
  uint32_t Pixel(int x, int y) { return TCanvas(Work()).Pixel(x, y); }
  TPixelBuffer Copy() {
    TPixelBuffer b;
    CopyImage(Work(), b);
    return b;
  }
  static bool Same(const TPixelBuffer& a, const TPixelBuffer& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
    return true;
  }
  // Presses a button of the next modal dialog as soon as it runs.
  template <typename F>
  void WhenModal(F act) {
    QTimer::singleShot(0, [act] {
      QWidget* w = QApplication::activeModalWidget();
      ASSERT_NE(w, nullptr);
      act(w);
    });
  }
  void Undo() { window->findChild<QAction*>(QStringLiteral("UnDo1"))->trigger(); }

  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
  std::vector<std::string> log;
};

TEST_F(CanvasWindow, RectangleDraggedBackwardsDrawsLogsAndUndoes) {
  const TPixelBuffer before = Copy();
  Tool(Box().bRect);
  Drag({{60, 50}, {40, 40}, {20, 10}});
  TPixelBuffer expected;
  CopyImage(before, expected);
  TCanvas e(expected);
  e.Pen = {0x0000FF, 3, TRop2::CopyPen, false, false};
  e.Brush.Color = 0x00FF00;
  e.Rectangle(20, 10, 60, 50);
  EXPECT_TRUE(Same(Work(), expected));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0],
            "Rectangle from X 60 Y 50, To X 20 Y 10, Pen Size 3, Pen Color R: 255 G: 0 B: 0, Brush Color R: 0 G: 255 "
            "B: 0, Filled");
  Undo();
  EXPECT_TRUE(Same(Work(), before));
}

TEST_F(CanvasWindow, PenSizeMessagesTakeNoSnapshot) {
  for (auto [text, message] : std::vector<std::pair<QString, std::string>>{
           {QString(), kPenSizeEmptyText}, {QStringLiteral("x"), kPenSizeErrorText}}) {
    Box().SetPenSizeText(text);
    const TPixelBuffer before = Copy();
    Drag({{10, 10}, {30, 30}});
    ASSERT_FALSE(ui.Asked().empty());
    EXPECT_EQ(ui.Asked().back().text, message);
    EXPECT_EQ(Box().PenSizeText(), "1");
    EXPECT_TRUE(Same(Work(), before));
    EXPECT_FALSE(window->Undo().CanUndo());
    EXPECT_TRUE(log.empty());
  }
}

TEST_F(CanvasWindow, XorLineTwiceRestoresAndLogsTheModeWord) {
  window->findChild<QAction*>(QStringLiteral("Pen11"))->trigger();
  Tool(Box().bLine);
  const TPixelBuffer before = Copy();
  Drag({{5, 100}, {50, 60}, {200, 30}});
  EXPECT_FALSE(Same(Work(), before));
  Drag({{5, 100}, {120, 20}, {200, 30}});
  EXPECT_TRUE(Same(Work(), before));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "Line from X 5 Y 100 To X 200 Y 30, Pen Size 3, Pen Color R: 255 G: 0 B: 0, Pen XORPen");
}

TEST_F(CanvasWindow, FreehandEyedropperAndFill) {
  Tool(Box().bFree);
  Drag({{10, 10}, {40, 12}, {60, 30}});
  EXPECT_EQ(Pixel(25, 11), 0x0000FFu);
  EXPECT_EQ(log.back(), "FreeHand Drawing, Pen Size 3, Pen Color R: 255 G: 0 B: 0");

  TCanvas(Work()).SetPixel(100, 100, 0x445566);
  Tool(Box().bEyeDrop);
  QTest::mouseClick(Sine(), Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_EQ(Box().PenColor(), 0x445566u);
  EXPECT_EQ(log.back(), "Eyedropper at location X 100 Y 100");

  Tool(Box().bFill);
  QTest::mouseClick(Sine(), Qt::LeftButton, {}, QPoint(200, 200));
  EXPECT_EQ(Pixel(255, 0), 0x00FF00u);
  EXPECT_EQ(Pixel(25, 11), 0x0000FFu);
  EXPECT_EQ(log.back(), "FloodFill at location X 200 Y 200, Brush Color R: 0 G: 255 B: 0");
  EXPECT_EQ(window->imSine()->cursor().shape(), window->ToolCursor(14)->shape());
  Undo();
  EXPECT_EQ(Pixel(255, 0), 0x202020u);
}

TEST_F(CanvasWindow, SelectionRightToLeftCopiesUprightToTheClipboard) {
  TCanvas c(Work());
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) c.SetPixel(x, y, static_cast<uint32_t>(x | y << 8));
  const TPixelBuffer before = Copy();
  Tool(Box().bSelect);
  bool asked = false;
  WhenModal([&](QWidget* w) {
    asked = true;
    EXPECT_EQ(w->windowTitle(), "Selection Action");
    EXPECT_EQ(window->StatusText(4), "Width: 40  Height: 20");
    static_cast<TfSelect*>(w)->bClipboard->click();
  });
  Drag({{80, 70}, {60, 60}, {40, 50}});
  EXPECT_TRUE(asked);
  EXPECT_TRUE(Same(Work(), before));  // the frame is gone
  EXPECT_EQ(window->StatusText(4), "Idle...");
  const QImage clip = QGuiApplication::clipboard()->image();
  ASSERT_EQ(clip.size(), QSize(40, 20));
  EXPECT_EQ(clip.pixelColor(0, 0), QColor(40, 50, 0));
  EXPECT_EQ(clip.pixelColor(39, 19), QColor(79, 69, 0));
  EXPECT_EQ(log.back(), "Select Area From Left 80 Top 70, Right 40 Bottom 50, Copy to Clipboard");
}

TEST_F(CanvasWindow, SelectionCropBufferAndClick) {
  Tool(Box().bSelect);
  bool asked = false;
  QTimer::singleShot(0, [&] { asked = QApplication::activeModalWidget() != nullptr; });
  Drag({{30, 30}, {30, 30}});  // a click selects nothing
  QApplication::processEvents();
  EXPECT_FALSE(asked);
  EXPECT_FALSE(window->SelectDialog()->isVisible());
  EXPECT_TRUE(log.empty());

  WhenModal([](QWidget* w) { static_cast<TfSelect*>(w)->bBuffer->click(); });
  Drag({{10, 10}, {50, 40}});
  EXPECT_EQ(window->Editor().dibBuffer.Width(), 40);
  EXPECT_TRUE(window->Editor().BufferFilled);
  for (const char* name : {"PasteBuffertoImage1", "MergeBufferWithImage1", "CopyBuffertoClipboard1"})
    EXPECT_TRUE(window->findChild<QAction*>(QString::fromLatin1(name))->isEnabled()) << name;
  EXPECT_EQ(log.back(), "Select Area From Left 10 Top 10, Right 50 Bottom 40, Copy to Buffer");

  WhenModal([](QWidget* w) { static_cast<TfSelect*>(w)->bCrop->click(); });
  Drag({{100, 90}, {10, 20}});
  EXPECT_EQ(Work().Width(), 90);
  EXPECT_EQ(Work().Height(), 70);
  EXPECT_EQ(window->StatusText(0), "Width: 90");
  EXPECT_EQ(window->Editor().dibScratch.Width(), 90);
  Undo();
  EXPECT_EQ(Work().Width(), 256);
}

TEST_F(CanvasWindow, TextToolPlacesTheStandInTextInBoldItalic) {
  Tool(Box().bText);
  EXPECT_EQ(window->imSine()->cursor().shape(), Qt::IBeamCursor);
  WhenModal([](QWidget* w) {
    auto* d = static_cast<TfText*>(w);
    d->Memo1->clear();
    d->lbStyleClick(3);
    d->lbSizeClick(13);  // 24 points
    d->ColrBtn1->setColor(0xFFFFFF);
    d->tPnl1->setFontColor(0xFFFFFF);
    d->BitBtn1->click();
  });
  const TPixelBuffer before = Copy();
  QTest::mouseClick(Sine(), Qt::LeftButton, {}, QPoint(20, 30));
  ASSERT_TRUE(window->imText()->isVisible());
  EXPECT_EQ(window->imText()->pos(), QPoint(20, 30));
  EXPECT_TRUE(Same(Work(), before));  // floating only
  // The text follows the mouse: centred on it.
  const QSize size = window->imText()->size();
  QTest::mouseMove(Sine(), QPoint(20 + size.width() / 2 + 10, 30 + size.height() / 2 + 5));
  EXPECT_EQ(window->imText()->pos(), QPoint(30, 35));
  EXPECT_EQ(window->StatusText(2), "X: 30");
  QTest::mouseClick(Sine(), Qt::LeftButton, {}, QPoint(40, 40));  // the drop
  EXPECT_FALSE(window->imText()->isVisible());
  int white = 0;
  for (int y = 35; y < 35 + size.height(); ++y)
    for (int x = 30; x < std::min(256, 30 + size.width()); ++x) white += Pixel(x, y) == 0xFFFFFF;
  EXPECT_GT(white, 30);
  EXPECT_EQ(Pixel(5, 5), 0x202020u);
  ASSERT_EQ(log.size(), 1u);
  const std::string family = window->TextDialog()->SampleFont().family().toStdString();
  EXPECT_EQ(log[0], "Text Tool, Font " + family + ", Size 24, Color R: 255 G: 255 B: 255, Style Bold Italic "
                    "\"Vell'Quilo 99\" , Location X 30 Y 35");
  Undo();
  EXPECT_TRUE(Same(Work(), before));
}

TEST_F(CanvasWindow, MultiLineTextKeepsItsLinesInTheLog) {
  Tool(Box().bText);
  WhenModal([](QWidget* w) {
    auto* d = static_cast<TfText*>(w);
    d->Memo1->setPlainText(QStringLiteral("AB\nCD"));
    d->BitBtn1->click();
  });
  QTest::mouseClick(Sine(), Qt::LeftButton, {}, QPoint(10, 10));
  const QFontMetrics fm(window->TextDialog()->SampleFont());
  EXPECT_GE(window->imText()->height(), 2 * fm.height() - 2);
  window->imTextMouseDown(0, 0);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find(" \"AB\r\nCD\" , Location X 10 Y 10"), std::string::npos) << log[0];
  EXPECT_NE(log[0].find(", Style Normal "), std::string::npos);
}

TEST_F(CanvasWindow, TextDialogCancelledPlacesNothing) {
  Tool(Box().bText);
  WhenModal([](QWidget* w) { static_cast<TfText*>(w)->BitBtn2->click(); });
  QTest::mouseClick(Sine(), Qt::LeftButton, {}, QPoint(20, 30));
  EXPECT_FALSE(window->imText()->isVisible());
  EXPECT_TRUE(log.empty());
}

TEST_F(CanvasWindow, PasteAsSelectionFloatsDragsAndDrops) {
  QImage clip(30, 20, QImage::Format_RGB32);
  clip.fill(QColor(10, 200, 30));
  QGuiApplication::clipboard()->setImage(clip);
  window->findChild<QAction*>(QStringLiteral("AsSelection1"))->trigger();
  ASSERT_TRUE(window->pPaste()->isVisible());
  EXPECT_TRUE(window->Timer1()->isActive());
  EXPECT_EQ(window->Timer1()->interval(), 75);
  window->Timer1Timer();
  EXPECT_EQ(window->StatusText(4), "Left: 0 Top: 0");
  const TPixelBuffer before = Copy();
  QTest::mousePress(window->imPaste(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(window->imPaste(), QPoint(25, 15));
  window->Timer1Timer();
  EXPECT_EQ(window->StatusText(4), "Left: 20 Top: 10");
  EXPECT_TRUE(Same(Work(), before));
  QTest::mouseRelease(window->imPaste(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(window->pPaste()->isVisible());
  EXPECT_FALSE(window->Timer1()->isActive());
  EXPECT_EQ(window->StatusText(4), "Idle...");
  EXPECT_EQ(Pixel(20, 10), 0x1EC80Au);
  EXPECT_EQ(Pixel(49, 29), 0x1EC80Au);
  EXPECT_EQ(Pixel(50, 30), 0x202020u);
  EXPECT_EQ(log.back(), "Paste As Selection at Left 20, Top 10");
  Undo();
  EXPECT_TRUE(Same(Work(), before));
}

TEST_F(CanvasWindow, PasteWithoutAPictureDoesNothing) {
  QGuiApplication::clipboard()->setText(QStringLiteral("words"));
  window->findChild<QAction*>(QStringLiteral("AsSelection1"))->trigger();
  EXPECT_FALSE(window->pPaste()->isVisible());
  EXPECT_FALSE(window->Timer1()->isActive());
}

TEST_F(CanvasWindow, WrapOptionCarriesALineAcrossTheEdge) {
  QAction* wrap = window->findChild<QAction*>(QStringLiteral("WrapDrawing1"));
  ASSERT_NE(wrap, nullptr);
  EXPECT_TRUE(wrap->isCheckable());
  EXPECT_FALSE(wrap->isChecked());
  EXPECT_EQ(wrap->text(), "Wrap &Drawing Around Edges");
  Tool(Box().bLine);
  Drag({{240, 100}, {250, 100}});
  EXPECT_EQ(Pixel(5, 100), 0x202020u);
  wrap->trigger();
  Drag({{240, 120}, {270, 120}});  // released past the right edge
  EXPECT_EQ(Pixel(10, 120), 0x0000FFu);
  EXPECT_EQ(log.back(), "Line from X 240 Y 120 To X 270 Y 120, Pen Size 3, Pen Color R: 255 G: 0 B: 0, Pen Normal");
}

// A stroke on a big picture repaints only the few pixels it changed.
TEST_F(CanvasWindow, MovesRepaintOnlyTheChangedArea) {
  TPixelBuffer big;
  big.Allocate(4096, 4096, 0, 24);
  FillImage(big, 0);
  window->Editor().InstallLoadedImage(std::move(big));
  window->DisplayImage(Work());
  QApplication::processEvents();
  TPaintSpy spy;
  Sine()->installEventFilter(&spy);
  Tool(Box().bFree);
  QTest::mousePress(Sine(), Qt::LeftButton, {}, QPoint(100, 100));
  for (int i = 1; i <= 5; ++i) {
    spy.rects.clear();
    QTest::mouseMove(Sine(), QPoint(100 + 7 * i, 100 + 3 * i));
    QApplication::processEvents();
    ASSERT_FALSE(spy.rects.empty());
    for (const QRect& r : spy.rects) EXPECT_LE(r.width() * r.height(), 20 * 20) << i;
  }
  QTest::mouseRelease(Sine(), Qt::LeftButton, {}, QPoint(135, 115));
  Sine()->removeEventFilter(&spy);
  EXPECT_EQ(Pixel(114, 106), 0x0000FFu);
}

TEST_F(CanvasWindow, SelectingPastTheVisiblePartScrolls) {
  TPixelBuffer big;
  big.Allocate(2000, 1500, 0, 24);
  FillImage(big, 0);
  window->Editor().InstallLoadedImage(std::move(big));
  window->DisplayImage(Work());
  QApplication::processEvents();
  QScrollBar* h = window->ScrollBox1()->horizontalScrollBar();
  QScrollBar* v = window->ScrollBox1()->verticalScrollBar();
  ASSERT_GT(h->maximum(), 0);
  const int x0 = h->value(), y0 = v->value();
  Tool(Box().bSelect);
  QTest::mousePress(Sine(), Qt::LeftButton, {}, QPoint(x0 + 10, y0 + 10));
  const QWidget* port = window->ScrollBox1()->viewport();
  const QPoint beyond = Sine()->mapFrom(port, QPoint(port->width() + 5, port->height() + 5));
  QTest::mouseMove(Sine(), beyond);
  QTest::mouseMove(Sine(), beyond + QPoint(1, 1));
  EXPECT_EQ(h->value(), x0 + 2);
  EXPECT_EQ(v->value(), y0 + 2);
  QTimer::singleShot(0, [] { static_cast<TfSelect*>(QApplication::activeModalWidget())->bCancel->click(); });
  QTest::mouseRelease(Sine(), Qt::LeftButton, {}, beyond + QPoint(1, 1));
  EXPECT_EQ(window->StatusText(4), "Idle...");
}

TEST(CanvasSettings, PenModeAndWrapOptionSurviveARun) {
  testing::App();
  test::TempDir dir;
  TfVellTile::SetProgramFolder(dir.Path());
  ScriptedUi ui;
  {
    TfVellTile w(&ui);
    w.findChild<QAction*>(QStringLiteral("Pen7"))->trigger();
    w.SetWrapDrawing(true);
  }
  {
    TfVellTile w(&ui);
    EXPECT_TRUE(w.WrapDrawing());
    EXPECT_EQ(w.Editor().PenModeIndex, 7);
    EXPECT_TRUE(w.findChild<QAction*>(QStringLiteral("Pen7"))->isChecked());
    w.SetWrapDrawing(false);
  }
  {
    TfVellTile w(&ui);
    EXPECT_FALSE(w.WrapDrawing());
  }
  TfVellTile::SetProgramFolder("");
}

}  // namespace
}  // namespace vell
