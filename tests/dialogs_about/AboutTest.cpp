#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QtTest/QTest>
#include <cstring>
#include <deque>

#include "dialogs/qt/About1.h"
#include "dialogs/qt/URLLabel.h"
#include "dialogs/qt/VellFade.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

// A clock that only pretends to wait: every wait moves it to the deadline,
// plus whatever a frame is said to cost.
struct TFakeClock {
  double now = 1000.0;
  double frameCost = 0.0;
  std::vector<double> deadlines;
  std::function<void()> duringWait;

  TFakeClock() {
    TVellFade::SetClock({[this] { return now; },
                         [this](double deadline, bool) {
                           deadlines.push_back(deadline);
                           if (deadline > now) now = deadline;
                           now += frameCost;
                           if (duringWait) duringWait();
                         }});
  }
  ~TFakeClock() { TVellFade::SetClock(TVellFade::SystemClock()); }
};

uint32_t Pixel(const TPixelBuffer& b, int x, int y) {
  uint8_t bl, g, r;
  b.ReadPixel(y, x, bl, g, r);
  return (uint32_t(r) << 16) | (uint32_t(g) << 8) | bl;
}

bool Same(const TPixelBuffer& a, const TPixelBuffer& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.Bits(), b.Bits(), static_cast<size_t>(a.BytesPerLine()) * a.Height()) == 0;
}

QImage Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

TEST(VellFade, SettersRebuild) {
  TVellFade f;
  EXPECT_EQ(f.size(), QSize(75, 75));
  f.setDisolvRate(1000000);  // no more frames than pixels
  EXPECT_EQ(f.DisolvRate(), 75 * 75);
  // The colours rebuild at once.
  EXPECT_EQ(Pixel(f.Images().display, 0, 0), 0x000000u);
  f.setColorFrom(QColor(10, 20, 30));
  EXPECT_EQ(Pixel(f.Images().display, 74, 74), 0x0a141eu);
  EXPECT_EQ(Pixel(f.Images().end, 0, 0), 0xffffffu);
}

TEST(VellFade, CrossFadeRunsItsFramesOnAnAbsoluteSchedule) {
  TFakeClock clock;
  clock.frameCost = 25;  // every frame late by 25 ms: the next wait is shorter, not later
  TVellFade f;
  f.resize(8, 6);
  f.setColorFrom(QColor(200, 200, 200));
  f.setColorTo(QColor(100, 100, 100));
  f.setBlendRate(5);
  int begun = 0, ended = 0;
  QObject::connect(&f, &TVellFade::OnBegin, [&] { ++begun; });
  QObject::connect(&f, &TVellFade::OnEnd, [&] {
    ++ended;
    EXPECT_FALSE(f.Running());
  });
  f.Fade();
  EXPECT_EQ(begun, 1);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(f.FramesShown(), 6);
  ASSERT_EQ(clock.deadlines.size(), 6u);
  for (size_t i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(clock.deadlines[i], 1000.0 + 40.0 * (i + 1)) << i;
  EXPECT_TRUE(Same(f.Images().display, f.Images().end));
  EXPECT_EQ(Pixel(f.Images().display, 7, 5), 0x646464u);
}

TEST(VellFade, GoingBackEndsOnTheStartPicture) {
  struct TCase {
    const char* name;
    bool autoReverse, swapOnReverse;
    int call;  // 0 Fade, 1 FadeBack, 2 DissolveBack
    int frames;
    bool swapDelay;
  };
  // 10 x 4 = 40 pixels at DisolvRate 6: 6 per frame, 6 frames and 4 left (one more paint).
  const TCase cases[] = {
      {"fade and fade back", true, false, 0, 33 + 33, true},
      {"fade and dissolve back", true, true, 0, 33 + 7, true},
      {"fade back", false, false, 1, 33, false},
      {"dissolve back", false, false, 2, 7, false},
  };
  for (const TCase& c : cases) {
    TFakeClock clock;
    TVellFade f;
    f.resize(10, 4);
    f.setPicFrom(Solid(5, 2, qRgb(255, 0, 0)));
    f.setPicTo(Solid(5, 2, qRgb(0, 0, 255)));
    f.setDisolvRate(6);
    f.setAutoReverse(c.autoReverse);
    f.setSwapOnReverse(c.swapOnReverse);
    TPixelBuffer start;
    start.Allocate(10, 4, 0, 24);
    std::memcpy(start.Bits(), f.Images().display.Bits(), static_cast<size_t>(start.BytesPerLine()) * 4);
    ASSERT_EQ(Pixel(start, 9, 3), 0xff0000u) << c.name;  // stretched over the control
    if (c.call == 0) f.Fade();
    if (c.call == 1) f.FadeBack();
    if (c.call == 2) f.DissolveBack();
    EXPECT_EQ(f.FramesShown(), c.frames) << c.name;
    EXPECT_FALSE(f.Swapped()) << c.name;
    EXPECT_TRUE(f.StretchToFit()) << c.name;
    EXPECT_EQ(f.PicFrom().pixel(0, 0), qRgb(255, 0, 0)) << c.name;
    EXPECT_TRUE(Same(f.Images().display, start)) << c.name;
    bool waitedForSwap = false;
    for (size_t i = 1; i < clock.deadlines.size(); ++i)
      waitedForSwap |= clock.deadlines[i] - clock.deadlines[i - 1] == 1000.0;
    EXPECT_EQ(waitedForSwap, c.swapDelay) << c.name;
  }
}

TEST(VellFade, PicturesAtTheirOwnSizeWithoutStretching) {
  TVellFade f;
  f.setStretchToFit(false);
  f.setColorFrom(QColor(192, 192, 192));
  f.setPicTo(Solid(30, 20, qRgb(0, 128, 0)));
  EXPECT_EQ(f.size(), QSize(30, 20));
  EXPECT_EQ(Pixel(f.Images().display, 29, 19), 0xc0c0c0u);
  EXPECT_EQ(Pixel(f.Images().end, 29, 19), 0x008000u);
  // Both pictures: the start picture's size, the end stretched to it.
  f.setPicFrom(Solid(12, 10, qRgb(255, 255, 0)));
  EXPECT_EQ(f.size(), QSize(12, 10));
  EXPECT_EQ(f.Images().end.Width(), 12);
  EXPECT_EQ(Pixel(f.Images().end, 11, 9), 0x008000u);
}

TEST(VellFade, GoingAwayDuringAFadeIsSafe) {
  TFakeClock clock;
  auto* f = new TVellFade;
  f->resize(6, 6);
  int ended = 0;
  QObject::connect(f, &TVellFade::OnEnd, [&] { ++ended; });
  int waits = 0;
  clock.duringWait = [&] {
    if (++waits == 3) delete f;
  };
  f->Fade();  // must return without touching the deleted control
  EXPECT_EQ(waits, 3);
  EXPECT_EQ(ended, 0);
}

TEST(VellFade, EnterLeaveAndClick) {
  TVellFade f;
  int entered = 0, left = 0, clicked = 0;
  QObject::connect(&f, &TVellFade::OnMouseEnter, [&] { ++entered; });
  QObject::connect(&f, &TVellFade::OnMouseLeave, [&] { ++left; });
  QObject::connect(&f, &TVellFade::OnClick, [&] { ++clicked; });
  testing::ShowActive(f);
  entered = left = 0;  // whatever showing under the pointer did
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&f, &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&f, &leave);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(left, 1);
  QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicked, 1);
  // A press that is let go outside is no click.
  QTest::mousePress(&f, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&f, Qt::LeftButton, {}, QPoint(200, 10));
  EXPECT_EQ(clicked, 1);
}

TEST(URLLabel, FontUnderTheMouseAndTheLink) {
  TURLLabel label(QStringLiteral("quilo.example.org"));
  QList<QUrl> opened;
  label.SetOpener([&](const QUrl& url) {
    opened << url;
    return false;  // the desktop could not open it: nothing else happens
  });
  label.setURL(QStringLiteral("https://quilo.example.org/tiles"));
  EXPECT_EQ(label.CurrentFont().color, QColor(Qt::black));
  EXPECT_FALSE(label.CurrentFont().font.underline());
  EXPECT_EQ(label.MouseOverFont().color, QColor(Qt::blue));
  EXPECT_TRUE(label.MouseOverFont().font.underline());
  EXPECT_EQ(label.MouseOverFont().font.family(), label.font().family());
  EXPECT_EQ(label.MouseOverFont().font.pointSizeF(), label.font().pointSizeF());

  testing::ShowActive(label);
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(&label, &enter);
  EXPECT_EQ(label.CurrentFont().color, QColor(Qt::blue));
  EXPECT_TRUE(label.font().underline());
  QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(3, 3));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&label, &leave);
  EXPECT_EQ(label.CurrentFont().color, QColor(Qt::black));
  EXPECT_FALSE(label.font().underline());
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0], QUrl("https://quilo.example.org/tiles"));
}

// The box with its pauses collected rather than waited for.
struct TAboutFixture {
  TFakeClock clock;
  TfAbout box;
  std::deque<std::pair<int, std::function<void()>>> steps;

  TAboutFixture() {
    box.SetScheduler([this](int ms, std::function<void()> step) { steps.emplace_back(ms, std::move(step)); });
  }
  int RunStep() {
    if (steps.empty()) return -1;
    auto [ms, step] = std::move(steps.front());
    steps.pop_front();
    step();
    QApplication::processEvents();
    return ms;
  }
  bool FirstState() const {
    return box.pnlAnimation->isVisibleTo(&box) && !box.pnlInfo->isVisibleTo(&box) && !box.VellFade1->isVisibleTo(&box);
  }
};

TEST(About, PlaysItsFadesThenShowsTheInformation) {
  TAboutFixture f;
  EXPECT_TRUE(f.FirstState());
  EXPECT_FALSE(f.box.hf1->isVisibleTo(&f.box));
  EXPECT_FALSE(f.box.hf2->isVisibleTo(&f.box));
  EXPECT_EQ(f.box.pnlAnimation->size(), QSize(260, 184));
  EXPECT_EQ(f.box.pnlInfo->geometry(), f.box.pnlAnimation->geometry());
  EXPECT_EQ(f.box.hf1->size(), QSize(256, 180));
  EXPECT_EQ(f.box.VellFade1->size(), QSize(85, 40));
  EXPECT_EQ(f.box.VellFade2->size(), QSize(114, 41));
  EXPECT_EQ(f.box.hf1->DisolvRate(), 550);

  testing::ShowActive(f.box);
  QApplication::processEvents();  // the box's own message starts the first fade
  EXPECT_TRUE(f.box.hf1->isVisible());
  EXPECT_EQ(f.box.hf1->FramesShown(), 33);
  EXPECT_TRUE(Same(f.box.hf1->Images().display, f.box.hf1->Images().end));
  EXPECT_EQ(f.RunStep(), 1500);
  EXPECT_FALSE(f.box.hf1->isVisible());
  EXPECT_TRUE(f.box.hf2->isVisible());
  EXPECT_EQ(f.box.hf2->FramesShown(), 66);  // there and back
  EXPECT_EQ(f.RunStep(), 1000);
  EXPECT_FALSE(f.box.hf2->isVisible());
  EXPECT_TRUE(f.box.pnlInfo->isVisible());
  EXPECT_FALSE(f.box.pnlAnimation->isVisible());
  EXPECT_TRUE(f.box.VellFade1->isVisible());
  EXPECT_TRUE(f.steps.empty());

  // The closing button lights up, and its click closes with OK.
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(f.box.VellFade1, &enter);
  EXPECT_TRUE(Same(f.box.VellFade1->Images().display, f.box.VellFade1->Images().end));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(f.box.VellFade1, &leave);
  EXPECT_FALSE(Same(f.box.VellFade1->Images().display, f.box.VellFade1->Images().end));
  QTest::mouseClick(f.box.VellFade1, Qt::LeftButton, {}, QPoint(40, 20));
  EXPECT_FALSE(f.box.isVisible());
  EXPECT_EQ(f.box.result(), QDialog::Accepted);
  EXPECT_TRUE(f.FirstState());
}

TEST(About, HiddenHalfwayStartsOverNextTime) {
  TAboutFixture f;
  testing::ShowActive(f.box);
  QApplication::processEvents();
  ASSERT_EQ(f.steps.size(), 1u);
  f.box.reject();
  EXPECT_TRUE(f.FirstState());
  EXPECT_FALSE(f.box.hf1->isVisibleTo(&f.box));
  // The pause of the earlier showing does nothing now.
  f.RunStep();
  EXPECT_FALSE(f.box.hf2->isVisibleTo(&f.box));

  testing::ShowActive(f.box);
  QApplication::processEvents();
  EXPECT_TRUE(f.box.hf1->isVisible());
  EXPECT_EQ(f.box.hf1->FramesShown(), 66);
  f.RunStep();
  f.RunStep();
  EXPECT_TRUE(f.box.pnlInfo->isVisible());
  f.box.reject();
  EXPECT_TRUE(f.FirstState());
}

}  // namespace
}  // namespace vell
