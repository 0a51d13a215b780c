// The export and paste option dialogs and the texture dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "dialogs/qt/Gif1.h"
#include "dialogs/qt/JpgCval1.h"
#include "dialogs/qt/Texture1.h"
#include "dialogs/qt/Trans1.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

using vell::testing::App;

// Runs `act` once the modal loop about to start is running.
template <typename F>
void WhenShown(F act) {
  QTimer::singleShot(0, act);
}

TEST(JpgComp, TypedValuesAreClampedAndMoveTheBar) {
  App();
  TfJPGComp d;
  std::vector<QString> errors;
  d.SetMessageHook([&](const QString& m) { errors.push_back(m); });
  struct TCase {
    const char* typed;
    const char* shown;
    int bar;
  };
  const TCase cases[] = {
      {"150", "100", 100}, {"-5", "0", 0}, {"42", "42", 42}, {"100", "100", 100}, {"0", "0", 0},
      {"", "", 0},    // empty: nothing happens
      {"-", "-", 0},  // a sign alone is a number being typed
  };
  for (const TCase& c : cases) {
    d.eCVal->setText(QString::fromLatin1(c.typed));
    EXPECT_EQ(d.eCVal->text(), QString::fromLatin1(c.shown)) << c.typed;
    EXPECT_EQ(d.sbCVal->value(), c.bar) << c.typed;
  }
  EXPECT_TRUE(errors.empty());
  d.eCVal->setText(QStringLiteral("33"));
  d.eCVal->setText(QStringLiteral("3x"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], QStringLiteral("'3x' is not a valid integer value"));
  EXPECT_EQ(d.sbCVal->value(), 33);  // the bar keeps its place
  d.sbCVal->setValue(77);
  EXPECT_EQ(d.eCVal->text(), QStringLiteral("77"));
  d.Button1->click();
  EXPECT_EQ(d.eCVal->text(), QStringLiteral("90"));
  EXPECT_EQ(d.sbCVal->value(), 90);
}

TEST(JpgComp, CancelReturnsToTheConfirmedValue) {
  App();
  TfJPGComp d;
  WhenShown([&] {
    d.sbCVal->setValue(50);
    d.BitBtn2->click();
  });
  EXPECT_EQ(d.Execute(), std::nullopt);
  EXPECT_EQ(d.sbCVal->value(), 90);
  EXPECT_EQ(d.eCVal->text(), QStringLiteral("90"));
  WhenShown([&] {
    d.eCVal->setText(QStringLiteral("35"));
    d.BitBtn1->click();
  });
  EXPECT_EQ(d.Execute(), 35);
  WhenShown([&] {
    d.sbCVal->setValue(60);
    d.reject();  // Esc or the close box
  });
  EXPECT_EQ(d.Execute(), std::nullopt);
  EXPECT_EQ(d.sbCVal->value(), 35);
  EXPECT_EQ(d.ConfirmedQuality(), 35);
}

TEST(GifDialog, SwatchesAndTheIndexRule) {
  App();
  TfGif d;
  struct TCase {
    int x, y, index;
  };
  const TCase cases[] = {
      {6, 4, 0}, {21, 19, 0}, {23, 4, 1}, {6 + 17 * 2 + 5, 4 + 17 + 5, 18},  // second row, third column
      {6 + 17 * 15 + 15, 4 + 17 * 15 + 15, 255}, {5, 4, -1}, {22, 4, -1},      // a gap between swatches
      {6 + 17 * 16, 4, -1},
  };
  for (const TCase& c : cases) EXPECT_EQ(TfGif::IndexAt(c.x, c.y), c.index) << c.x << "," << c.y;
  for (int i : {0, 18, 255}) EXPECT_EQ(TfGif::IndexAt(TfGif::SwatchRect(i).center().x(), TfGif::SwatchRect(i).center().y()), i);

  TGifColorMap map;
  map.Add({10, 20, 30});
  map.Add({200, 100, 0});
  d.SetColorMap(map);
  EXPECT_EQ(d.SwatchColor(1), QColor(200, 100, 0));
  EXPECT_FALSE(d.SwatchColor(2).isValid());  // past the map: blank
  EXPECT_EQ(d.SelectedIndex(), 256);
  d.show();
  QTest::mouseClick(&d, Qt::LeftButton, {}, TfGif::SwatchRect(18).center());
  EXPECT_EQ(d.SelectedIndex(), 18);
  QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(22, 4));  // a gap: no change
  EXPECT_EQ(d.SelectedIndex(), 18);
  d.hide();
  struct TAnswer {
    QPushButton* button;
    TfGif::TResult want;
  };
  for (const TAnswer& a : {TAnswer{d.btnOK, TfGif::Ok}, TAnswer{d.btnNone, TfGif::None},
                           TAnswer{d.btnCancel, TfGif::Cancel}, TAnswer{nullptr, TfGif::Cancel}}) {
    WhenShown([&] { a.button ? a.button->click() : d.reject(); });
    EXPECT_EQ(d.Execute(), a.want);
  }
  EXPECT_EQ(d.SelectedIndex(), 18);  // kept between saves
}

TEST(TransDialog, TheSwatchFollowsTheMode) {
  App();
  TfTrans d;
  uint32_t pen = 0x0000FF;
  d.SetPenColourSource([&] { return pen; });
  std::optional<uint32_t> picked = 0x123456;
  int asked = 0;
  d.SetChooser([&](uint32_t) {
    ++asked;
    return picked;
  });
  EXPECT_TRUE(d.rbNorm->isChecked());
  EXPECT_TRUE(d.cbReSize->isChecked());
  d.Prepare(0xFFFFFF);
  EXPECT_EQ(d.SwatchColour(), 0xFFFFFFu);

  d.rbPen->click();
  EXPECT_EQ(d.SwatchColour(), 0x0000FFu);
  pen = 0x00FF00;  // a later pen change shows only when the button is clicked again
  EXPECT_EQ(d.SwatchColour(), 0x0000FFu);
  d.rbPen->click();
  EXPECT_EQ(d.SwatchColour(), 0x00FF00u);
  d.Prepare(0xFFFFFF);  // the next show presets from the pen
  EXPECT_EQ(d.SwatchColour(), 0x00FF00u);

  // The swatch opens the colour dialog only in custom mode.
  d.show();
  QTest::mouseClick(d.Shape1, Qt::LeftButton);
  EXPECT_EQ(asked, 0);
  d.rbCustom->click();
  EXPECT_EQ(d.SwatchColour(), 0u);  // the colour dialog's colour, black at first
  QTest::mouseClick(d.Shape1, Qt::LeftButton);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(d.SwatchColour(), 0x123456u);
  picked.reset();  // Cancel in the colour dialog changes nothing
  QTest::mouseClick(d.Shape1, Qt::LeftButton);
  EXPECT_EQ(d.SwatchColour(), 0x123456u);
  d.rbNorm->click();
  EXPECT_EQ(d.SwatchColour(), 0xFFFFFFu);
  d.hide();

  d.rbCustom->click();
  WhenShown([&] {
    d.cbReSize->setChecked(false);
    d.btnOK->click();
  });
  const std::optional<TTransChoice> choice = d.Execute(0x000000);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->Colour, 0x123456u);
  EXPECT_FALSE(choice->Resize);
  WhenShown([&] { d.btnCancel->click(); });
  EXPECT_FALSE(d.Execute(0));
}

TPixelBuffer Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  TPixelBuffer p;
  p.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Row24(y)[x] = TRGB24{b, g, r};
  return p;
}

TEST(TextureDialog, GreyConversion) {
  struct TCase {
    uint8_t r, g, b, grey;
  };
  const TCase cases[] = {{255, 0, 0, 76}, {0, 255, 0, 150}, {0, 0, 255, 27}, {255, 255, 255, 255}, {0, 0, 0, 0},
                         {100, 150, 200, (77 * 100 + 151 * 150 + 28 * 200) / 256}};
  for (const TCase& c : cases) {
    TPixelBuffer p = Solid(3, 2, c.r, c.g, c.b);
    TextureToGrey(p);
    const TRGB24 px = p.Row24(1)[2];
    EXPECT_EQ(px.r, c.grey);
    EXPECT_EQ(px.g, c.grey);
    EXPECT_EQ(px.b, c.grey);
  }
}

TEST(TextureDialog, SourcesOfTheTexture) {
  App();
  TfTexture d;
  EXPECT_FALSE(d.Texture().Empty());  // the built-in start
  EXPECT_EQ(d.SourceText(), "Use Current Texture");
  const int startWidth = d.Texture().Width();

  const TPixelBuffer* buffer = nullptr;
  d.SetBufferSource([&] { return buffer; });
  d.bUseBufr->click();  // no buffer: nothing
  EXPECT_EQ(d.SourceText(), "Use Current Texture");
  EXPECT_EQ(d.Texture().Width(), startWidth);

  const TPixelBuffer red = Solid(7, 5, 255, 0, 0);
  buffer = &red;
  d.bUseBufr->click();
  EXPECT_EQ(d.SourceText(), "Use Buffer");
  EXPECT_EQ(d.Texture().Width(), 7);  // at the buffer's size
  EXPECT_EQ(d.Texture().Row24(4)[6].g, 76);

  std::vector<QString> errors;
  d.SetMessageHook([&](const QString& m) { errors.push_back(m); });
  std::optional<std::string> chosen = "/pics/bad.bmp";
  d.SetOpenFile([&](const std::string&, const std::string& filter) {
    EXPECT_EQ(filter, "BMP,JPG (*.bmp;*.jpg)|*.bmp;*.jpg");
    return chosen;
  });
  d.SetLoader([](const std::string& path, TPixelBuffer& picture, std::string& error) {
    if (path == "/pics/bad.bmp") {
      error = "Cannot read /pics/bad.bmp";
      return false;
    }
    picture = Solid(3, 3, 0, 0, 255);
    return true;
  });
  d.bLoadTexurClick();  // unreadable: the previous texture stays
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(d.SourceText(), "Use Buffer");
  EXPECT_EQ(d.Texture().Width(), 7);
  chosen = "/pics/blue.bmp";
  d.bLoadTexurClick();
  EXPECT_EQ(d.SourceText(), "Use File /pics/blue.bmp");
  EXPECT_EQ(d.Texture().Row24(0)[0].r, 27);
  chosen.reset();  // Cancel in the open dialog
  d.bLoadTexurClick();
  EXPECT_EQ(d.SourceText(), "Use File /pics/blue.bmp");

  WhenShown([&] { d.BitBtn1->click(); });
  EXPECT_TRUE(d.Execute());
  WhenShown([&] { d.BitBtn2->click(); });
  EXPECT_FALSE(d.Execute());
}

}  // namespace
}  // namespace vell
