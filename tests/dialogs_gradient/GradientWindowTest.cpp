// The gradient commands of the main window with their two designers.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <memory>

#include "dialogs/qt/Lbl3D.h"
#include "editor/ScriptedUi.h"
#include "editor/qt/VellTileMain.h"
#include "imaging/Patterns.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

constexpr uint32_t kNavy = 0x800000, kAqua = 0xFFFF00;
const char kDefaultFields[] =
    "Width 256, Height 256, Gradient VertCenter, From Color R: 0 G: 0 B: 128, To Color R: 0 G: 255 B: 255, Angle 0";

uint32_t At(const TPixelBuffer& b, int x, int y) {
  const TRGB24& p = b.Row24(y)[x];
  return uint32_t{p.b} << 16 | uint32_t{p.g} << 8 | p.r;
}

bool Same(const TPixelBuffer& a, const TPixelBuffer& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
  return true;
}

void Ramp(TPixelBuffer& b, int w, int h) {
  b.Allocate(w, h, 0, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Row24(y)[x] = {static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y * 5), 77};
}

class GradientWindow : public ::testing::Test {
 public:
  void SetUp() override {
    testing::App();
    window = std::make_unique<TfVellTile>(&ui);
    window->CreateCompanions();
    window->Editor().Logging = true;
    window->Editor().WriteLog = [this](const std::string& line) { log.push_back(line); };
  }
  void Start() {
    window->show();
    QApplication::processEvents();
    QApplication::processEvents();
  }
  QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
  TfGradient& Designer() { return *window->GradientDialog(); }
  TPixelBuffer& Work() { return window->Editor().dibWork; }
  // Runs `inside` once the modal dialog is up, then closes it with OK or Cancel.
  void WhileOpen(QDialog& dialog, std::function<void()> inside, bool ok) {
    QTimer::singleShot(0, &dialog, [&dialog, inside, ok] {
      ASSERT_TRUE(dialog.isVisible());
      if (inside) inside();
      if (ok)
        dialog.accept();
      else
        dialog.reject();
    });
  }

  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
  std::vector<std::string> log;
};

TEST_F(GradientWindow, StartUpRendersTheFirstGradientAndEnablesItsCommands) {
  EXPECT_FALSE(Action("PasteToImage1")->isEnabled());
  EXPECT_FALSE(Action("MergeWithImage1")->isEnabled());
  EXPECT_FALSE(window->imGrad()->isVisible());
  Start();
  for (const char* name : {"PasteToImage1", "MergeWithImage1", "bPstGrad", "TwoColor1", "MultiColor1"})
    EXPECT_TRUE(Action(name)->isEnabled()) << name;
  EXPECT_EQ(window->GradientCaption()->aTextStyle(), TTextStyle::tsRaised);
  EXPECT_TRUE(window->imGrad()->isVisible());
  const TPixelBuffer& g = window->GradientImage();
  ASSERT_EQ(g.Width(), 256);
  ASSERT_EQ(g.Height(), 256);
  EXPECT_EQ(At(g, 0, 0), kNavy);
  EXPECT_EQ(At(g, 0, 128), kAqua);
  // The thumbnail shows that very picture.
  const QImage& shown = window->imGrad()->Picture();
  EXPECT_EQ(shown.constBits(), g.Bits());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  // The log's start line names the dialog's fields as they stand.
  Designer().cbStyle->setCurrentIndex(6);
  Designer().meAngle->setText(QStringLiteral("45"));
  const TLogStartInfo info = window->LogStartInfo();
  EXPECT_EQ(info.GradientStyle, "Radial1");
  EXPECT_EQ(info.Angle, "45");
  EXPECT_EQ(info.FromColorText, "R: 0 G: 0 B: 128");
}

TEST_F(GradientWindow, DesignLogsItsFieldsAndCancelChangesNothing) {
  Start();
  Ramp(Work(), 256, 256);
  WhileOpen(Designer(), {}, false);
  window->Design1Click();
  EXPECT_TRUE(log.empty());
  WhileOpen(Designer(), {}, true);
  window->Design1Click();
  EXPECT_EQ(log, std::vector<std::string>{std::string("Design Gradient, ") + kDefaultFields});
  EXPECT_EQ(window->imGrad()->toolTip(), "W: 256  H: 256 - Dbl Click to Paste into Image");
  EXPECT_EQ(window->Undo().UndoCount(), 0);  // designing leaves the image alone
  // Design takes the image's size each time.
  Ramp(Work(), 40, 30);
  log.clear();
  WhileOpen(Designer(), [this] { Designer().cbStyle->setCurrentIndex(2); }, true);
  window->Design1Click();
  EXPECT_EQ(log, std::vector<std::string>{"Design Gradient, Width 40, Height 30, Gradient Horizontal, From Color R: 0 "
                                          "G: 0 B: 128, To Color R: 0 G: 255 B: 255, Angle 0"});
  EXPECT_EQ(window->GradientImage().Width(), 40);
  EXPECT_EQ(At(window->GradientImage(), 39, 29), kAqua);
}

TEST_F(GradientWindow, PasteWhileTheDesignerIsOpenUsesThePreviewAsItStands) {
  Start();
  Ramp(Work(), 64, 64);
  WhileOpen(
      Designer(),
      [this] {
        Designer().meWide->setText(QStringLiteral("100"));
        Designer().cbStyle->setCurrentIndex(0);  // Vertical
        Designer().bPaste->click();
        EXPECT_TRUE(Designer().isVisible());
        EXPECT_EQ(Work().Width(), 100);
        EXPECT_EQ(Work().Height(), 64);
        EXPECT_EQ(At(Work(), 99, 63), kAqua);
        EXPECT_EQ(window->StatusText(0), "Width: 100");
      },
      true);
  window->Design1Click();
  EXPECT_EQ(log, (std::vector<std::string>{"Paste Gradient to Image",
                                          "Design Gradient, Width 100, Height 64, Gradient Vertical, From Color R: 0 "
                                          "G: 0 B: 128, To Color R: 0 G: 255 B: 255, Angle 0"}));
  EXPECT_EQ(window->Undo().UndoCount(), 1);
  EXPECT_TRUE(Same(window->Editor().dibOriginal, Work()));  // Reset now goes back to the gradient
  EXPECT_EQ(window->Editor().dibScratch.Width(), 100);
  // Undo gives the picture before the paste.
  window->Editor().Logging = false;
  Action("UnDo1")->trigger();
  EXPECT_EQ(Work().Width(), 64);
}

TEST_F(GradientWindow, PasteButtonAndThumbnailPasteTheDesignersPicture) {
  Start();
  Ramp(Work(), 30, 20);
  Action("bPstGrad")->trigger();
  EXPECT_EQ(Work().Width(), 256);
  EXPECT_EQ(At(Work(), 5, 255), 0x800100u);  // VertCenter's last row: step 1 of 128
  Ramp(Work(), 30, 20);
  emit window->imGrad()->doubleClicked();
  EXPECT_EQ(Work().Width(), 256);
  EXPECT_EQ(log, (std::vector<std::string>{"Paste Gradient to Image", "Paste Gradient to Image"}));
  EXPECT_EQ(window->Undo().UndoCount(), 2);
}

TEST_F(GradientWindow, MergeWithImageNeedsAGradientThenMergesAtTheStoredAmount) {
  Ramp(Work(), 64, 48);
  TPixelBuffer before;
  CopyImage(Work(), before);
  window->MergeWithImage1Click();  // no gradient yet: nothing at all
  EXPECT_TRUE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(window->Editor().EffectType, -1);

  Start();
  window->Params().Value(49) = 50;
  // 50 % of the designer's picture, stretched to the image's size, over the image.
  Designer().hGrad->SetGradientSize(100, 30);
  TPixelBuffer gradient;
  CopyImage(Designer().hGrad->Bitmap(), gradient);
  Action("MergeWithImage1")->trigger();
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const TRGB24 g = gradient.Row24(y * gradient.Height() / 48)[x * gradient.Width() / 64];
      const TRGB24 w = before.Row24(y)[x], m = Work().Row24(y)[x];
      const float c = 50 / 100.0f;
      auto blend = [c](uint8_t o, uint8_t p) { return static_cast<int>(std::nearbyint(c * o + (1 - c) * p)); };
      ASSERT_EQ(m.r, blend(g.r, w.r)) << x << "," << y;
      ASSERT_EQ(m.g, blend(g.g, w.g)) << x << "," << y;
      ASSERT_EQ(m.b, blend(g.b, w.b)) << x << "," << y;
    }
  }
  EXPECT_EQ(window->Editor().EffectType, 49);
  EXPECT_EQ(window->Editor().EffectName, "Merge Gradient");
  EXPECT_EQ(window->StatusText(4), "Merge Gradient");
  EXPECT_EQ(log, std::vector<std::string>{"Merge Gradient, % of Gradient 50"});
  EXPECT_EQ(window->Undo().UndoCount(), 1);
}

TEST_F(GradientWindow, DrawGradientWritesOnlyItsEffectLine) {
  Start();
  Ramp(Work(), 50, 40);
  WhileOpen(Designer(), [this] { Designer().cbStyle->setCurrentIndex(7); }, true);
  Action("Effect48")->trigger();
  EXPECT_EQ(log, std::vector<std::string>{"Draw Gradient, Width 50, Height 40, Gradient Radial2, From Color R: 0 "
                                          "G: 0 B: 128, To Color R: 0 G: 255 B: 255, Angle 0"});
  EXPECT_EQ(Work().Width(), 50);
  EXPECT_EQ(window->Undo().UndoCount(), 1);
  // From the tree, cancelled: the paste runs all the same, under the tree's name.
  log.clear();
  Ramp(Work(), 20, 10);
  window->Editor().SelectEffect(48, "Gradient");
  WhileOpen(Designer(), {}, false);
  window->bGoClick();
  EXPECT_EQ(log, std::vector<std::string>{"Gradient, Width 20, Height 10, Gradient Radial2, From Color R: 0 G: 0 "
                                          "B: 128, To Color R: 0 G: 255 B: 255, Angle 0"});
  EXPECT_EQ(Work().Width(), 20);
  EXPECT_EQ(window->Undo().UndoCount(), 2);
  // The Design line is back for the menu's Design.
  log.clear();
  WhileOpen(Designer(), {}, true);
  window->Design1Click();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("Design Gradient, ", 0), 0u);
}

TEST_F(GradientWindow, AGradientWithoutPixelsIsNotPasted) {
  Start();
  Ramp(Work(), 30, 20);
  TPixelBuffer before;
  CopyImage(Work(), before);
  WhileOpen(
      Designer(),
      [this] {
        Designer().meWide->setText(QStringLiteral("0"));
        Designer().bPaste->click();
      },
      false);
  window->Design1Click();
  EXPECT_TRUE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text, "The gradient has no pixels; the image was not changed.");
}

TEST_F(GradientWindow, GradientBarsUseTheDesignersColours) {
  Start();
  Ramp(Work(), 90, 4);
  Designer().hGrad->SetEndColor(0x0000FF);
  window->Params().Value(47) = 1;
  Action("Effect47")->trigger();
  EXPECT_EQ(At(Work(), 0, 0), kNavy);
  EXPECT_EQ(At(Work(), 45, 3), 0x0000FFu);
  EXPECT_EQ(log, std::vector<std::string>{"Gradient Bars, Number of Bars 1"});
}

TEST_F(GradientWindow, DesignerFieldsConvertOrComplain) {
  TfGradient& d = Designer();
  d.meAngle->setText(QStringLiteral("90"));
  EXPECT_EQ(d.hGrad->StartAngle(), 90);
  d.meAngle->setText(QStringLiteral("9x"));
  EXPECT_EQ(d.hGrad->StartAngle(), 90);
  d.meWide->setText(QStringLiteral("2.5"));
  d.meHigh->setText(QStringLiteral("1"));  // a height of 1 or less is ignored
  EXPECT_EQ(d.hGrad->GradientHeight(), 256);
  d.meHigh->setText(QString());  // empty: left alone, no message
  ASSERT_EQ(ui.Asked().size(), 2u);
  EXPECT_EQ(ui.Asked()[0].text, "'9x' is not a valid integer value");
  EXPECT_EQ(ui.Asked()[1].text, "'2.5' is not a valid integer value");
  // The colour buttons: Cancel keeps the colour.
  ui.AnswerColor(std::nullopt).AnswerColor(0x123456);
  d.bFromCl->click();
  EXPECT_EQ(d.hGrad->BeginColor(), kNavy);
  d.bClTo->click();
  EXPECT_EQ(d.hGrad->EndColor(), 0x123456u);
  // "D" brings every default back.
  d.cbStyle->setCurrentIndex(4);
  d.meWide->setText(QStringLiteral("17"));
  d.bDefault->click();
  EXPECT_EQ(d.hGrad->EndColor(), kAqua);
  EXPECT_EQ(d.hGrad->GradientStyle(), TGradientStyle::gsVertCenter);
  EXPECT_EQ(d.hGrad->StartAngle(), 0);
  EXPECT_EQ(d.hGrad->GradientWidth(), 256);
  EXPECT_EQ(d.WidthText(), "256");
  EXPECT_EQ(d.AngleText(), "0");
  EXPECT_EQ(d.StyleText(), "VertCenter");
  // Each list item selects its own style.
  for (int i = 0; i < 8; ++i) {
    d.cbStyle->setCurrentIndex(i);
    EXPECT_EQ(d.hGrad->GradientStyle(), kGradientStyleItems[static_cast<size_t>(i)].Style) << i;
  }
}

TEST_F(GradientWindow, MultiGradientOkPastesItsPictureAndCancelKeepsEverything) {
  Start();
  TfMultGrad& m = *window->MultiGradientDialog();
  Ramp(Work(), 120, 30);
  TPixelBuffer before;
  CopyImage(Work(), before);
  WhileOpen(m, [&m] { m.Button3Click(); }, false);
  window->MultiGradient1Click();
  EXPECT_TRUE(Same(Work(), before));
  EXPECT_EQ(window->Undo().UndoCount(), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(m.Gradient().Markers().empty());  // the markers keep their changes
  // A marker added on the bar (the colour dialog's OK), none on its Cancel.
  ui.AnswerColor(std::nullopt).AnswerColor(0x0000FF);
  WhileOpen(
      m,
      [&m] {
        m.pBackRightClick(10);
        m.pBackRightClick(60);
        EXPECT_EQ(m.MarkerControls().size(), 1u);
        EXPECT_EQ(m.MarkerControls()[0]->x(), 60);
      },
      true);
  window->MultiGradient1Click();
  EXPECT_EQ(Work().Width(), 120);
  EXPECT_EQ(Work().Height(), 30);
  EXPECT_GE(At(Work(), 60, 29) & 0xFF, 250u);  // the marker's column, one band into the next segment
  EXPECT_LE(At(Work(), 0, 0), 2u);
  EXPECT_LE(At(Work(), 119, 0), 4u);
  EXPECT_EQ(log, std::vector<std::string>{"MultiGradient,  Width 120, Height 30"});
  EXPECT_EQ(window->Undo().UndoCount(), 1);
}

TEST_F(GradientWindow, MultiGradientMarkersAndSizes) {
  TfMultGrad& m = *window->MultiGradientDialog();
  ASSERT_EQ(m.MarkerControls().size(), 2u);
  EXPECT_EQ(m.MarkerControls()[1]->x(), 170);
  m.MarkerDragged(1, 200);
  EXPECT_EQ(m.Gradient().Markers()[1].Position, 200);
  EXPECT_EQ(m.MarkerControls()[1]->x(), 200);
  m.eWide->setText(QStringLiteral("204"));  // the marker would stick out: ignored
  EXPECT_EQ(m.Picture().Width(), 256);
  m.eWide->setText(QStringLiteral("205"));
  EXPECT_EQ(m.Picture().Width(), 205);
  m.eHigh->setText(QStringLiteral("0"));  // no rows: ignored
  EXPECT_EQ(m.Picture().Height(), 256);
  m.eHigh->setText(QStringLiteral("z"));
  ASSERT_EQ(ui.Asked().size(), 1u);
  EXPECT_EQ(ui.Asked()[0].text, "'z' is not a valid integer value");
  m.MarkerRightClick(0);
  ASSERT_EQ(m.MarkerControls().size(), 1u);
  EXPECT_EQ(m.Gradient().Markers()[0].Position, 200);
  ui.AnswerColor(0x00FF00).AnswerColor(0x332211);
  m.MarkerDblClick(0);
  EXPECT_EQ(m.MarkerControls()[0]->Colour(), 0x00FF00u);
  m.pBackDblClick();
  EXPECT_EQ(m.Gradient().Background(), 0x332211u);
  m.Button4Click();
  EXPECT_EQ(m.Gradient().Markers(), DefaultMarkers());
  EXPECT_EQ(m.Gradient().Background(), 0x332211u);
  // A picture narrower than the markers is widened when the dialog is shown.
  m.SetImageSize(50, 20);
  EXPECT_EQ(m.Picture().Width(), 50);
  WhileOpen(m, {}, false);
  m.Execute();
  EXPECT_EQ(m.WidthText(), "175");
  EXPECT_EQ(m.Picture().Width(), 175);
}

TEST_F(GradientWindow, ColorWheelAndRainbowFromTheImageMenu) {
  Start();
  Ramp(Work(), 70, 50);
  Action("ColorWheel1")->trigger();
  EXPECT_EQ(Work().Width(), 256);
  EXPECT_EQ(Work().Height(), 256);
  EXPECT_EQ(At(Work(), 128, 128), 0xFFFFFFu);
  EXPECT_EQ(At(Work(), 192, 128), 0x0000FFu);
  Ramp(Work(), 70, 50);
  Action("Rainbow1")->trigger();
  EXPECT_EQ(Work().Width(), 70);
  EXPECT_EQ(At(Work(), 0, 0), 0xFF0000u);
  EXPECT_EQ(log, (std::vector<std::string>{"Color Wheel", "Rainbow"}));
  EXPECT_EQ(window->Undo().UndoCount(), 2);
}

}  // namespace
}  // namespace vell
