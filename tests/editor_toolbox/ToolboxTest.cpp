#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest/QTest>
#include <cstring>

#include "dialogs/qt/ColrBtn.h"
#include "dialogs/qt/Lbl3D.h"
#include "editor/EffectCatalogue.h"
#include "editor/UndoRing.h"
#include "editor/qt/ToolForm.h"
#include "tests/support/QtTestApp.h"

using vell::testing::App;

namespace vell {
namespace {


std::string Text(const QLineEdit* e) { return e->text().toStdString(); }
std::string Text(const QLabel* l) { return l->text().toStdString(); }
bool Shown(const QWidget* w) { return !w->isHidden(); }

class Toolbox : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    editor.CreateImages();
    editor.dibWork.Allocate(8, 6, 0, 24);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        editor.dibWork.Row24(y)[x] = {static_cast<uint8_t>(x * 30), static_cast<uint8_t>(200 - y * 20),
                                      static_cast<uint8_t>(x * y * 5)};
    editor.Logging = true;
    editor.WriteLog = [this](const std::string& line) { log.push_back(line); };
    editor.PushUndo = [this] { ring.PushUndo(editor.dibWork); };
    box.SetState(&editor, &params);
  }
  void Select(int id) {
    editor.EffectType = id;
    editor.EffectName = std::string(EffectTreeName(id));
    box.RefreshPanel();
  }
  std::vector<bool> FieldsShown() const {
    std::vector<bool> v;
    for (int i = 0; i < PanelFieldCount; ++i) v.push_back(Shown(box.Field(static_cast<TPanelField>(i))));
    return v;
  }

  struct TAppFirst {
    TAppFirst() { App(); }
  } appFirst;  // the panel needs the application object
  TEditor editor;
  TEffectParams params;
  TUndoRing ring;
  TfToolBox box;
  std::vector<std::string> log;
};

TEST_F(Toolbox, WindowAtStart) {
  EXPECT_EQ(box.windowTitle(), "Tool Box");
  EXPECT_TRUE(box.windowFlags() & Qt::Tool);
  EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(box.minimumHeight(), 270);
  EXPECT_EQ(box.height(), 270);
  EXPECT_EQ(Text(box.lblHelp), "Choose an effect...");
  EXPECT_EQ(FieldsShown(), std::vector<bool>(5, false));
  EXPECT_FALSE(Shown(box.btnDefault));
  EXPECT_EQ(Text(box.eAmtMain), "250");
  EXPECT_EQ(Text(box.ePenSize), "2");
  EXPECT_TRUE(box.cFill->isChecked());
  EXPECT_EQ(box.PenColor(), 0x000000u);
  EXPECT_EQ(box.BrushColor(), 0xFFFFFFu);
  EXPECT_EQ(box.ActiveTool(), TfToolBox::ToolFree);
  EXPECT_TRUE(box.lblEffect->font().bold());
  EXPECT_FALSE(box.ColoursShown());
  for (QToolButton* b : {box.bFree, box.bEllip, box.bRect, box.bLine, box.bFill, box.bText, box.bSelect, box.bEyeDrop}) {
    EXPECT_TRUE(b->isCheckable());
    EXPECT_FALSE(b->statusTip().isEmpty());
  }
}

TEST_F(Toolbox, PanelRowsForSelectedEffects) {
  struct Case {
    int id;
    std::vector<bool> fields;
    const char* hint;
    bool defaultButton;
    const char* mainLabel;
    const char* mainText;
  };
  const Case cases[] = {
      {17, {true, true, true, true, false}, "", true, "Peaks U/D", "3"},
      {31, {false, false, false, false, false}, "No User Settings", false, nullptr, nullptr},
      {56, {true, true, false, false, false}, "-Width/Hgt to Width/Hgt", true, "U/D Amount", "-128"},
      {57, {true, true, true, true, true}, "Hue 0 - 360", true, "Radius", "32"},
      {65, {true, true, true, false, false}, "Angle is Amount of Effect", true, "Angle", "270"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    QSignalSpy status(&box, &TfToolBox::activityChanged);
    Select(c.id);
    EXPECT_EQ(FieldsShown(), c.fields);
    EXPECT_EQ(Text(box.lblHelp), c.hint);
    EXPECT_TRUE(Shown(box.lblHelp));
    EXPECT_EQ(Shown(box.btnDefault), c.defaultButton);
    EXPECT_EQ(box.lblEffect->Caption().toStdString(), EffectTreeName(c.id));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString().toStdString(), EffectTreeName(c.id));
    if (c.mainLabel) {
      EXPECT_EQ(Text(box.lblMain), c.mainLabel);
      EXPECT_EQ(Text(box.eAmtMain), c.mainText);
    }
  }
  Select(-1);
  EXPECT_EQ(Text(box.lblHelp), "Choose an effect...");
  EXPECT_TRUE(box.lblEffect->Caption().isEmpty());
}

TEST_F(Toolbox, CheckBoxesNoteAndScrollBarsFollowTheEffect) {
  Select(15);
  EXPECT_TRUE(Shown(box.ckbxPeaks) && Shown(box.ckbxWrap));
  EXPECT_FALSE(Shown(box.cbBump));
  Select(58);
  EXPECT_FALSE(Shown(box.ckbxPeaks));
  EXPECT_TRUE(Shown(box.cbBump));
  EXPECT_EQ(box.cbBump->text(), "Bump Map");
  EXPECT_TRUE(box.cbBump->isChecked());
  Select(61);
  EXPECT_EQ(box.cbBump->text(), "Use Pen Color");
  EXPECT_FALSE(box.cbBump->isChecked());
  Select(51);
  EXPECT_TRUE(Shown(box.lblBtn));
  Select(45);
  EXPECT_FALSE(Shown(box.lblBtn));
  EXPECT_TRUE(Shown(box.sbLR) && Shown(box.sbUD));
  EXPECT_EQ(box.sbLR->minimum(), -8);
  EXPECT_EQ(box.sbLR->maximum(), 8);
  EXPECT_EQ(box.sbUD->minimum(), -6);
  EXPECT_EQ(box.sbUD->maximum(), 6);
  EXPECT_EQ(box.sbLR->pageStep(), 16);
  QSignalSpy moved(&box, &TfToolBox::scrollMoved);
  box.sbUD->setValue(-2);
  ASSERT_EQ(moved.count(), 1);
  EXPECT_FALSE(moved.at(0).at(0).toBool());
  EXPECT_EQ(moved.at(0).at(1).toInt(), -2);
  Select(13);
  EXPECT_FALSE(Shown(box.sbLR) || Shown(box.sbUD));
}

TEST_F(Toolbox, DefaultButtonOnWaterWithSelf) {
  Select(56);
  box.eAmtMain->setText("5");
  box.eAmtSecond->setText("7");
  params.Extras.UDWatSelf = 5;
  params.Value(56) = 7;
  box.btnDefault->click();
  EXPECT_EQ(Text(box.eAmtMain), "-128");
  EXPECT_EQ(Text(box.eAmtSecond), "128");
  EXPECT_EQ(params.Extras.UDWatSelf, -128);
  EXPECT_EQ(params.Value(56), 128);
}

TEST_F(Toolbox, UsePeaksSwitchesBetweenPeaksAndWavelength) {
  Select(15);
  const struct {
    const char* label;
    const char* text;
  } expected[] = {{"Peaks", "3"}, {"Wavelength", "32"}, {"Peaks", "3"}};
  EXPECT_EQ(Text(box.lblMain), expected[0].label);
  EXPECT_EQ(Text(box.eAmtMain), expected[0].text);
  for (int i = 1; i < 3; ++i) {
    box.ckbxPeaks->click();
    EXPECT_EQ(Text(box.lblMain), expected[i].label);
    EXPECT_EQ(Text(box.eAmtMain), expected[i].text);
    EXPECT_EQ(Text(box.eAmtSecond), "50");
  }
}

TEST_F(Toolbox, PanelFieldsCarryTextsChecksAndColours) {
  box.eAmtMain->setText("9");
  box.ePenSize->setText("");
  box.ckbxWrap->setChecked(false);
  box.SetPenColor(0x123456);
  const TPanelFields f = box.PanelFields();
  EXPECT_EQ(f.Main, "9");
  EXPECT_EQ(f.PenSize, "");
  EXPECT_FALSE(f.Wrap);
  EXPECT_TRUE(f.UsePeaks);
  EXPECT_EQ(f.PenColor, 0x123456u);
  TPanelFields back = f;
  back.Main = "1";
  box.SetFieldTexts(back);
  EXPECT_EQ(Text(box.eAmtMain), "1");
}

TEST_F(Toolbox, SaturationAtZeroThenOkLogsMinus255) {
  TPixelBuffer original;
  CopyImage(editor.dibWork, original);
  QSignalSpy previewed(&box, &TfToolBox::slidersPreviewed);
  QSignalSpy committed(&box, &TfToolBox::slidersCommitted);
  box.Sliders[2]->setValue(0);
  EXPECT_EQ(previewed.count(), 1);
  EXPECT_TRUE(Shown(box.bGood) && Shown(box.bBad));
  box.bGood->click();
  EXPECT_EQ(log, std::vector<std::string>{
                     "ToolBox Sliders to positions:  Lightness 0, Contrast 0, Saturation -255, Red 0, Green 0, Blue 0"});
  EXPECT_EQ(committed.count(), 1);
  EXPECT_EQ(ring.UndoCount(), 1);
  EXPECT_EQ(box.Sliders[2]->value(), 255);
  EXPECT_FALSE(Shown(box.bGood) || Shown(box.bBad));
  // Saturation 0 skips the pass: the picture is as it was.
  EXPECT_EQ(std::memcmp(editor.dibWork.Bits(), original.Bits(), static_cast<size_t>(original.BytesPerLine()) * 6), 0);
}

TEST_F(Toolbox, PreviewLeavesTheWorkingImageAloneUntilOk) {
  TPixelBuffer original, expected;
  CopyImage(editor.dibWork, original);
  TSliderPositions p;
  p.lightness = 400;
  p.red = 100;
  ApplySliders(expected, original, p);
  const size_t bytes = static_cast<size_t>(original.BytesPerLine()) * 6;

  box.Sliders[0]->setValue(400);
  box.Sliders[3]->setValue(100);
  EXPECT_EQ(std::memcmp(editor.dibWork.Bits(), original.Bits(), bytes), 0);
  EXPECT_EQ(std::memcmp(editor.dibScratch.Bits(), expected.Bits(), bytes), 0);

  QSignalSpy cancelled(&box, &TfToolBox::slidersCancelled);
  box.bBad->click();
  EXPECT_EQ(cancelled.count(), 1);
  EXPECT_EQ(std::memcmp(editor.dibWork.Bits(), original.Bits(), bytes), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(ring.UndoCount(), 0);
  EXPECT_EQ(box.SliderPositions().lightness, 255);

  box.Sliders[0]->setValue(400);
  box.Sliders[3]->setValue(100);
  box.bGood->click();
  EXPECT_EQ(std::memcmp(editor.dibWork.Bits(), expected.Bits(), bytes), 0);
  EXPECT_EQ(log.back(),
            "ToolBox Sliders to positions:  Lightness 145, Contrast 0, Saturation 0, Red -155, Green 0, Blue 0");
}

TEST_F(Toolbox, ColourGroupHeightsAndButtonSignals) {
  QSignalSpy toggled(&box, &TfToolBox::coloursToggled);
  QSignalSpy apply(&box, &TfToolBox::applyRequested);
  QSignalSpy undo(&box, &TfToolBox::undoRequested);
  QSignalSpy tool(&box, &TfToolBox::toolChosen);
  QSignalSpy closed(&box, &TfToolBox::closed);
  box.bCols2->click();
  EXPECT_TRUE(box.ColoursShown());
  EXPECT_EQ(box.height(), 446);
  box.ToggleColours();
  EXPECT_FALSE(box.ColoursShown());
  EXPECT_EQ(box.height(), 270);
  EXPECT_EQ(toggled.count(), 2);
  box.bGo2->click();
  box.bUndo2->click();
  box.bEyeDrop->click();
  EXPECT_EQ(apply.count(), 1);
  EXPECT_EQ(undo.count(), 1);
  ASSERT_EQ(tool.count(), 1);
  EXPECT_EQ(tool.at(0).at(0).toInt(), TfToolBox::ToolEyeDrop);
  EXPECT_EQ(box.ActiveTool(), TfToolBox::ToolEyeDrop);
  box.show();
  box.close();
  EXPECT_EQ(closed.count(), 1);
}

TEST_F(Toolbox, EnterInEveryShownFieldAppliesAndEscapeTakesBackTheTyping) {
  testing::ShowActive(box);
  QSignalSpy apply(&box, &TfToolBox::applyRequested);
  int expectedApplies = 0;
  for (int id : {57, 17, 64, 45, 13}) {  // five, four, three, one field, and Scroll's bars
    Select(id);
    for (int i = 0; i < PanelFieldCount; ++i) {
      QLineEdit* field = box.Field(static_cast<TPanelField>(i));
      if (!Shown(field)) continue;
      SCOPED_TRACE(std::to_string(id) + " field " + std::to_string(i));
      const QString shown = field->text();
      field->setFocus();
      field->selectAll();
      QTest::keyClicks(field, QStringLiteral("77"));
      QTest::keyClick(field, Qt::Key_Escape);
      EXPECT_EQ(field->text(), shown);
      EXPECT_TRUE(box.isVisible());  // Escape does not close the panel either
      QTest::keyClicks(field, QStringLiteral("9"));
      QTest::keyClick(field, Qt::Key_Return);
      EXPECT_EQ(apply.count(), ++expectedApplies);
      EXPECT_EQ(field->text(), "9");  // Enter leaves the typing for Apply to read
      QTest::keyClick(field, Qt::Key_Enter);  // the keypad's
      EXPECT_EQ(apply.count(), ++expectedApplies);
    }
  }
  // After Apply read the fields, Escape goes back to what was applied.
  Select(13);
  box.eAmtMain->setText("4");
  box.SetFieldTexts(box.PanelFields());
  box.eAmtMain->setText("5");
  QTest::keyClick(box.eAmtMain, Qt::Key_Escape);
  EXPECT_EQ(Text(box.eAmtMain), "4");
  box.hide();
}

TEST_F(Toolbox, APendingSliderPreviewHoldsBackThePanelsImageCommands) {
  Select(45);
  QSignalSpy apply(&box, &TfToolBox::applyRequested);
  QSignalSpy undo(&box, &TfToolBox::undoRequested);
  QSignalSpy scrolled(&box, &TfToolBox::scrollMoved);
  box.SetColoursShown(true);
  box.Sliders[0]->setValue(300);
  ASSERT_TRUE(box.Previewing());
  box.bGo2->click();
  box.bUndo2->click();
  QTest::keyClick(box.eAmtMain, Qt::Key_Return);
  box.sbLR->setValue(3);
  box.ToggleColours();  // OK and Cancel stay in sight
  EXPECT_EQ(apply.count() + undo.count() + scrolled.count(), 0);
  EXPECT_TRUE(box.ColoursShown());
  for (QWidget* w : std::initializer_list<QWidget*>{box.bGo2, box.bUndo2, box.bCols2, box.sbLR, box.sbUD})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

  box.bGood->click();
  EXPECT_FALSE(box.Previewing());
  for (QWidget* w : std::initializer_list<QWidget*>{box.bGo2, box.bUndo2, box.bCols2, box.sbLR, box.sbUD})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  box.bGo2->click();
  EXPECT_EQ(apply.count(), 1);

  // Closing the panel with a preview pending drops the preview, so the main
  // window is not left waiting for an OK nobody can press.
  TPixelBuffer committed;
  CopyImage(editor.dibWork, committed);
  QSignalSpy cancelled(&box, &TfToolBox::slidersCancelled);
  box.show();
  box.Sliders[1]->setValue(100);
  box.close();
  EXPECT_EQ(cancelled.count(), 1);
  EXPECT_FALSE(box.Previewing());
  EXPECT_EQ(std::memcmp(editor.dibWork.Bits(), committed.Bits(), static_cast<size_t>(committed.BytesPerLine()) * 6), 0);
}

// ---- TColrBtn -----------------------------------------------------------

QImage Render(const TColrBtn& b) {
  QImage image(b.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter p(&image);
  b.PaintButton(p);
  return image;
}

TEST(ColrBtn, DrawsTheSwatchInsideItsBevel) {
  App();
  TColrBtn b;
  EXPECT_EQ(b.size(), QSize(85, 35));
  EXPECT_EQ(b.Color(), 0xFFFFFFu);
  b.setColor(0x0000FF);  // red, as 0x00BBGGRR
  const QImage img = Render(b);
  const QRgb red = qRgb(255, 0, 0);
  EXPECT_EQ(img.pixel(3, 3), red);
  EXPECT_EQ(img.pixel(81, 31), red);  // width - 4, height - 4: the last swatch pixel
  EXPECT_NE(img.pixel(82, 31), red);
  EXPECT_NE(img.pixel(2, 3), red);
  EXPECT_EQ(img.pixel(1, 1), b.palette().color(QPalette::Button).rgb());
}

TEST(ColrBtn, PressOpensTheChooserAndOnlyOkChangesTheColour) {
  App();
  TColrBtn b;
  QSignalSpy changed(&b, &TColrBtn::changed);
  QSignalSpy clicked(&b, &TColrBtn::clicked);
  std::optional<uint32_t> answer;
  uint32_t offered = 0;
  bool pressedDuringDialog = false;
  b.setChooser([&](uint32_t initial, QWidget*) {
    offered = initial;
    pressedDuringDialog = b.Pressed();
    return answer;
  });
  b.setColor(0x102030);
  EXPECT_EQ(changed.count(), 0);  // from code: no signal
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&b, &press);
  EXPECT_EQ(offered, 0x102030u);
  EXPECT_TRUE(pressedDuringDialog);
  EXPECT_FALSE(b.Pressed());
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(b.Color(), 0x102030u);
  answer = 0x00FF00;
  QApplication::sendEvent(&b, &press);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toUInt(), 0x00FF00u);
  EXPECT_EQ(b.Color(), 0x00FF00u);
  EXPECT_EQ(clicked.count(), 2);
  EXPECT_EQ(TColrBtn::FromQColor(TColrBtn::ToQColor(0x123456)), 0x123456u);
}

TEST(ColrBtn, CaptionIsWhiteOnBlackOnly) {
  App();
  TColrBtn b;
  b.setCaption(QStringLiteral("MMMMMMMM"));
  for (uint32_t colour : {0x000000u, 0x0000FFu}) {
    b.setColor(colour);
    const QImage img = Render(b);
    bool white = false, black = false;
    for (int y = 5; y < 30; ++y)
      for (int x = 5; x < 80; ++x) {
        white = white || img.pixel(x, y) == qRgb(255, 255, 255);
        black = black || img.pixel(x, y) == qRgb(0, 0, 0);
      }
    if (colour == 0) {
      EXPECT_TRUE(white);
    } else {
      EXPECT_TRUE(black);
      EXPECT_FALSE(white);
    }
  }
}

}  // namespace
}  // namespace vell
