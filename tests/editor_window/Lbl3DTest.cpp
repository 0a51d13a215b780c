#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "dialogs/qt/Lbl3D.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {



const QColor kBack(200, 200, 200), kText(0, 0, 0), kHilite(255, 255, 255), kShadow(128, 0, 0);

// Paints a caption with crisp (not smoothed) glyphs into an image.
QImage Paint(TLbl3D& label) {
  QImage image(label.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter painter(&image);
  label.PaintCaption(painter);
  return image;
}

std::unique_ptr<TLbl3D> MakeLabel(const QString& caption, int width = 60) {
  auto label = std::make_unique<TLbl3D>(caption);
  QFont f = label->font();
  f.setStyleStrategy(QFont::NoAntialias);
  f.setPointSize(11);
  label->setFont(f);
  label->resize(width, 24);
  label->setColor(kBack);
  label->setFontColor(kText);
  label->setAHiliteClr(kHilite);
  label->setAShadowClr(kShadow);
  return label;
}

bool Is(const QImage& img, int x, int y, const QColor& c) {
  return x >= 0 && y >= 0 && x < img.width() && y < img.height() && QColor(img.pixel(x, y)) == c;
}

// Every pixel is predicted from the flat caption's glyph mask M: later copies win.
//   inset light:  text if M(p); else hilite if M(p-1,-1); else back
//   inset heavy:  text; hilite at M(p-(1,1)); shadow at M(p+(1,1)); back
//   raised light: text; hilite at M(p+(1,1)); back
//   raised heavy: text; shadow at M(p-(1,1)); hilite at M(p+(1,1)); back
TEST(Lbl3D, CopiesLandOnePixelOffWithTheRightColours) {
  auto label = MakeLabel("Buffer");
  label->setATextStyle(TTextStyle::tsNormal);
  const QImage flat = Paint(*label);
  int ink = 0;
  for (int y = 0; y < flat.height(); ++y)
    for (int x = 0; x < flat.width(); ++x) {
      ASSERT_TRUE(Is(flat, x, y, kText) || Is(flat, x, y, kBack)) << x << "," << y;
      ink += Is(flat, x, y, kText);
    }
  ASSERT_GT(ink, 20);
  auto mask = [&](int x, int y) { return Is(flat, x, y, kText); };

  struct TCase {
    TTextStyle style;
    TShadeType shade;
    QColor after;   // the copy drawn at (+1, +1) of the text
    QColor before;  // the copy drawn at (-1, -1), or the background
    bool afterWinsOverBefore;
  };
  const TCase cases[] = {
      {TTextStyle::tsInset, TShadeType::stLight, kHilite, kBack, true},
      {TTextStyle::tsInset, TShadeType::stHeavy, kHilite, kShadow, true},
      {TTextStyle::tsRaised, TShadeType::stLight, kBack, kHilite, false},
      {TTextStyle::tsRaised, TShadeType::stHeavy, kShadow, kHilite, true},
  };
  for (const TCase& c : cases) {
    label->setATextStyle(c.style);
    label->setAShadeType(c.shade);
    const QImage img = Paint(*label);
    int wrong = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        QColor want = kBack;
        const bool a = mask(x - 1, y - 1) && c.after != kBack;  // copy shifted right/down covers p
        const bool b = mask(x + 1, y + 1) && c.before != kBack; // copy shifted left/up covers p
        if (mask(x, y)) want = kText;
        else if (a && b) want = c.afterWinsOverBefore ? c.after : c.before;
        else if (a) want = c.after;
        else if (b) want = c.before;
        wrong += !Is(img, x, y, want);
      }
    EXPECT_EQ(wrong, 0) << "style " << int(c.style) << " shade " << int(c.shade);
  }
}

TEST(Lbl3D, DefaultsAndRepaintOnlyOnChange) {
  auto label = MakeLabel("Gradient");
  TLbl3D plain;
  EXPECT_EQ(plain.aTextStyle(), TTextStyle::tsInset);
  EXPECT_EQ(plain.aShadeType(), TShadeType::stLight);
  EXPECT_FALSE(plain.Transparent());
  const int before = label->RepaintRequests();
  label->setATextStyle(label->aTextStyle());
  label->setAShadeType(label->aShadeType());
  label->setAHiliteClr(label->aHiliteClr());
  label->setAShadowClr(label->aShadowClr());
  EXPECT_EQ(label->RepaintRequests(), before);
  label->setATextStyle(TTextStyle::tsRaised);
  EXPECT_EQ(label->RepaintRequests(), before + 1);
  EXPECT_EQ(label->aTextStyle(), TTextStyle::tsRaised);
}

TEST(Lbl3D, TransparentLeavesTheBackgroundAlone) {
  auto label = MakeLabel("Buffer");
  label->setTransparent(true);
  const QImage img = Paint(*label);
  EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(Qt::magenta));
}

TEST(Lbl3D, WideCaptionIsCentredAndClippedOnBothSides) {
  auto label = MakeLabel("WWWWWWWWWWWWWWWW", 30);
  label->setATextStyle(TTextStyle::tsNormal);
  const QImage img = Paint(*label);
  bool leftInk = false, rightInk = false;
  for (int y = 0; y < img.height(); ++y) {
    leftInk |= Is(img, 0, y, kText) || Is(img, 1, y, kText);
    rightInk |= Is(img, 28, y, kText) || Is(img, 29, y, kText);
  }
  EXPECT_TRUE(leftInk);
  EXPECT_TRUE(rightInk);
}

}  // namespace
}  // namespace vell
