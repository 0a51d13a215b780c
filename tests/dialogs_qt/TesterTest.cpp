#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>

#include "dialogs/qt/Tester1.h"

namespace vell {
namespace {

// Every pixel different, and none of them one of the sample text colours.
TPixelBuffer MakeTile(int w, int h) {
  TPixelBuffer tile;
  tile.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) tile.Row24(y)[x] = {uint8_t(7 + x * 37 % 241), uint8_t(3 + y * 53 % 239), uint8_t(x + y + 11)};
  return tile;
}

QRgb TilePixel(const TPixelBuffer& tile, int x, int y) {
  const TRGB24 p = tile.Row24(y % tile.Height())[x % tile.Width()];
  return qRgb(p.r, p.g, p.b);
}

// The standard colours, top to bottom.
const QRgb kColours[16] = {
    qRgb(0, 0, 0),     qRgb(255, 255, 255), qRgb(0, 255, 255), qRgb(0, 0, 255),   qRgb(255, 0, 0),   qRgb(255, 0, 255),
    qRgb(128, 0, 128), qRgb(255, 255, 0),   qRgb(0, 128, 0),   qRgb(0, 0, 128),   qRgb(0, 255, 0),   qRgb(128, 0, 0),
    qRgb(128, 128, 0), qRgb(128, 128, 128), qRgb(0, 128, 128), qRgb(192, 192, 192)};

constexpr int kW = 701, kH = 663;
// Outside these boxes no text is drawn: the 28-point column at the left, the
// 12-point column at the right, both down to the last line at 540.
bool OutsideText(int x, int y) { return y >= 600 || (x >= 300 && x < kW - 130); }

class TesterTiles : public ::testing::TestWithParam<QSize> {};

TEST_P(TesterTiles, RepeatTheImageFromTheTopLeftWithItsPeriod) {
  const TPixelBuffer tile = MakeTile(GetParam().width(), GetParam().height());
  TfTester tester;
  tester.SetImage(tile);
  tester.resize(kW, kH);
  tester.show();
  const QImage shown = tester.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(kW, kH));
  const QRect button = tester.btnOK->geometry(), status = tester.lblStatus->geometry();
  int checked = 0, wrong = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      if (!OutsideText(x, y) || button.contains(x, y) || status.contains(x, y)) continue;
      ++checked;
      if ((shown.pixel(x, y) & 0xFFFFFF) != (TilePixel(tile, x, y) & 0xFFFFFF) && wrong++ < 5)
        ADD_FAILURE() << "pixel " << x << "," << y;
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(checked, kW * 60);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TesterTiles,
                         ::testing::Values(QSize(1, 1), QSize(5, 3), QSize(64, 48), QSize(350, 700), QSize(900, 900)),
                         [](const ::testing::TestParamInfo<QSize>& info) {
                           return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });

TEST(Tester, SampleTextInSixteenColoursInBothColumns) {
  const TPixelBuffer tile = MakeTile(5, 3);
  TfTester tester;
  tester.SetImage(tile);
  tester.resize(kW, kH);
  const QImage picture = tester.RenderTiles(QSize(kW, kH)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(picture.size(), QSize(kW, kH));
  for (int line = 0; line < 16; ++line) {
    // Within the line's own 36-pixel band (the next line overdraws below it).
    int leftMin = kW, leftMax = -1, rightMin = kW, rightMax = -1, leftCount = 0;
    for (int y = line * 36; y < line * 36 + 36; ++y)
      for (int x = 0; x < kW; ++x) {
        if ((picture.pixel(x, y) & 0xFFFFFF) != (kColours[line] & 0xFFFFFF)) continue;
        if (x < kW / 2) {
          leftMin = std::min(leftMin, x), leftMax = std::max(leftMax, x), ++leftCount;
        } else {
          rightMin = std::min(rightMin, x), rightMax = std::max(rightMax, x);
        }
      }
    // 28 points bold from x = 8: wide and solid.
    EXPECT_GE(leftMin, 8) << line;
    EXPECT_LE(leftMin, 12) << line;
    EXPECT_GT(leftMax - leftMin, 150) << line;
    EXPECT_GT(leftCount, 300) << line;
    // 12 points: a narrower line that ends 12 pixels short of the right edge.
    ASSERT_GE(rightMax, 0) << line;
    EXPECT_LE(rightMax, kW - 13) << line;
    EXPECT_GE(rightMax, kW - 17) << line;
    EXPECT_GT(rightMax - rightMin, 50) << line;
    EXPECT_LT(rightMax - rightMin, 110) << line;
  }
  // Nothing below the last line's text.
  for (int x = 0; x < kW; ++x) ASSERT_EQ(picture.pixel(x, 620) & 0xFFFFFF, TilePixel(tile, x, 620) & 0xFFFFFF) << x;
}

TEST(Tester, StatusTextGivesTheSeamScoreOfTheTileShown) {
  TPixelBuffer flat;
  flat.Allocate(40, 30, 0, 24);
  TPixelBuffer ramp;
  ramp.Allocate(40, 30, 0, 24);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ramp.Row24(y)[x] = {uint8_t(x * 6), uint8_t(x * 6), uint8_t(x * 6)};
  struct Case {
    const TPixelBuffer* tile;
    const char* text;
  };
  // The ramp: 6 per step inside across, 234 where it wraps, flat downwards:
  // (30 * 234 / 70) / (30 * 39 * 6 / 2330).
  const Case cases[] = {{&flat, "Seam score 1.00 (seamless)"}, {&ramp, "Seam score 33.29 (visible seam)"}};
  TfTester tester;
  for (const Case& c : cases) {
    tester.SetImage(*c.tile);
    tester.resize(kW, kH);
    tester.show();
    EXPECT_EQ(tester.lblStatus->text().toStdString(), c.text);
    EXPECT_TRUE(tester.lblStatus->isVisible());
    // The text is on the window, over the tiles, beside the button.
    const QRect at = tester.lblStatus->geometry();
    EXPECT_TRUE(tester.rect().contains(at)) << at.x() << "," << at.y();
    EXPECT_FALSE(at.intersects(tester.btnOK->geometry()));
  }
  // Nothing to measure: no score.
  tester.SetImage(TPixelBuffer());
  EXPECT_FALSE(tester.lblStatus->isVisible());
  EXPECT_TRUE(tester.lblStatus->text().isEmpty());
}

TEST(Tester, ResizeRepaintsAtTheNewSize) {
  const TPixelBuffer tile = MakeTile(5, 3);
  TfTester tester;
  tester.SetImage(tile);
  tester.resize(400, 300);
  tester.show();
  (void)tester.grab();
  tester.resize(kW, kH);
  const QImage shown = tester.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(kW, kH));
  for (const QPoint& p : {QPoint(kW - 140, 650), QPoint(650, 620), QPoint(kW - 1, kH - 1)})
    EXPECT_EQ(shown.pixel(p) & 0xFFFFFF, TilePixel(tile, p.x(), p.y()) & 0xFFFFFF) << p.x() << "," << p.y();
}

TEST(Tester, AnEmptyImageDrawsOnlyTheText) {
  TfTester tester;
  tester.SetImage(TPixelBuffer());
  const QImage picture = tester.RenderTiles(QSize(kW, kH)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(picture.size(), QSize(kW, kH));
  EXPECT_EQ(picture.pixelColor(400, 650), tester.palette().color(QPalette::Window));
}

TEST(Tester, OkAndCtrlZHideAndHandBack) {
  struct Case {
    const char* what;
    std::function<void(TfTester&)> act;
    bool hides;
  };
  const Case cases[] = {
      {"OK", [](TfTester& t) { t.btnOK->click(); }, true},
      {"Ctrl+Z up on the button", [](TfTester& t) { QTest::keyRelease(t.btnOK, Qt::Key_Z, Qt::ControlModifier); }, true},
      {"Ctrl+Z up on the form", [](TfTester& t) { QTest::keyRelease(&t, Qt::Key_Z, Qt::ControlModifier); }, true},
      {"Z alone", [](TfTester& t) { QTest::keyClick(t.btnOK, Qt::Key_Z); }, false},
      {"Ctrl+Z down only", [](TfTester& t) { QTest::keyPress(t.btnOK, Qt::Key_Z, Qt::ControlModifier); }, false},
      {"Ctrl+Y", [](TfTester& t) { QTest::keyClick(t.btnOK, Qt::Key_Y, Qt::ControlModifier); }, false},
  };
  const TPixelBuffer tile = MakeTile(8, 8);
  for (const Case& c : cases) {
    TfTester tester;
    QSignalSpy closed(&tester, &TfTester::closed);
    tester.ShowTiles(tile);
    ASSERT_TRUE(tester.isVisible());
    EXPECT_TRUE(tester.windowState() & Qt::WindowMaximized) << c.what;
    EXPECT_EQ(tester.windowTitle(), "Test Tiles");
    c.act(tester);
    EXPECT_EQ(tester.isVisible(), !c.hides) << c.what;
    EXPECT_EQ(closed.count(), c.hides ? 1 : 0) << c.what;
  }
}

}  // namespace
}  // namespace vell
