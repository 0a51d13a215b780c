#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QtTest/QTest>

#include "tests/support/QtTestApp.h"
#include "dialogs/qt/Size1.h"

namespace vell {
namespace {

// A dialog shown for a working image of w x h, with messages collected.
struct TSizerFixture {
  TfrmSizer sizer;
  QStringList messages;

  TSizerFixture(int w, int h) {
    sizer.SetMessageHook([this](const QString& text) { messages << text; });
    Show(w, h);
  }
  void Show(int w, int h) {
    sizer.SetCurrentSize(w, h);
    testing::ShowActive(sizer);
  }
  // Click into the field, replace its text by typing, and stay in it.
  void Retype(QLineEdit* field, const char* text) {
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, QString::fromLatin1(text));
  }
  void Tab() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QApplication::processEvents();
  }
  QString Fields() const {
    return sizer.meWidth->text() + "x" + sizer.meHeight->text() + " " + sizer.mePctWidth->text() + "%x" +
           sizer.mePctHeight->text() + "%";
  }
  QSize Chosen() const { return {sizer.ChosenWidth(), sizer.ChosenHeight()}; }
  int Item() const {
    for (size_t i = 0; i < sizer.rgSizerItems.size(); ++i)
      if (sizer.rgSizerItems[i]->isChecked()) return static_cast<int>(i);
    return -1;
  }
  bool PercentShown() const {
    return sizer.rbPct->isChecked() && !sizer.rbPix->isChecked() && sizer.mePctWidth->isEnabled() &&
           sizer.mePctHeight->isEnabled();
  }
  bool PixelsShown() const {
    return sizer.rbPix->isChecked() && !sizer.rbPct->isChecked() && !sizer.mePctWidth->isEnabled() &&
           !sizer.mePctHeight->isEnabled();
  }
};

TEST(SizerDialog, LooksAsMadeAndFirstShowLoadsTheCurrentSize) {
  TSizerFixture f(320, 200);
  EXPECT_EQ(f.sizer.windowTitle(), "Set Size");
  EXPECT_EQ(f.sizer.rgSizer->title(), "Select Size");
  EXPECT_EQ(f.sizer.Label4->text(), "Width 320  Height 200");
  EXPECT_EQ(f.Item(), 3);
  EXPECT_TRUE(f.PixelsShown());
  EXPECT_EQ(f.Fields(), "320x200 50%x50%");
  EXPECT_EQ(f.Chosen(), QSize(320, 200));
  // A fixed border.
  EXPECT_EQ(f.sizer.minimumSize(), f.sizer.maximumSize());

  // Typed values survive a later show: "Custom..." is still selected, so no click reloads the fields.
  f.Retype(f.sizer.meWidth, "640");
  f.Tab();
  EXPECT_EQ(f.Chosen(), QSize(640, 200));
  f.sizer.btnCancel->click();
  f.Show(500, 400);
  EXPECT_EQ(f.sizer.Label4->text(), "Width 500  Height 400");
  EXPECT_EQ(f.Fields(), "640x200 50%x50%");
  EXPECT_EQ(f.Chosen(), QSize(640, 200));
}

TEST(SizerDialog, FixedSizesThenPercentAndBack) {
  TSizerFixture f(257, 255);
  QTest::mouseClick(f.sizer.rgSizerItems[2], Qt::LeftButton);
  EXPECT_EQ(f.Fields(), "1024x768 50%x50%");
  EXPECT_TRUE(f.PixelsShown());
  // Percent of the current size, truncated: 50% of 257 x 255.
  QTest::mouseClick(f.sizer.rgSizerItems[1], Qt::LeftButton);
  QTest::mouseClick(f.sizer.rbPct, Qt::LeftButton);
  EXPECT_EQ(f.Item(), 3);
  EXPECT_TRUE(f.PercentShown());
  EXPECT_EQ(f.Fields(), "128x127 50%x50%");
  EXPECT_EQ(f.Chosen(), QSize(128, 127));
  // Typing a percent rewrites the pixel field at once.
  f.Retype(f.sizer.mePctWidth, "200");
  EXPECT_EQ(f.Fields(), "514x127 200%x50%");
  f.Retype(f.sizer.mePctHeight, "0");
  EXPECT_EQ(f.Chosen(), QSize(514, 0));
  // A fixed size switches back to pixels.
  QTest::mouseClick(f.sizer.rgSizerItems[2], Qt::LeftButton);
  EXPECT_TRUE(f.PixelsShown());
  EXPECT_EQ(f.Chosen(), QSize(1024, 768));
  // Entering a field selects "Custom...", which loads the current size.
  QTest::mouseClick(f.sizer.meHeight, Qt::LeftButton);
  EXPECT_EQ(f.Item(), 3);
  EXPECT_EQ(f.Fields(), "257x255 200%x0%");
  EXPECT_EQ(f.Chosen(), QSize(257, 255));
}

TEST(SizerDialog, PresetsFromTheContextMenu) {
  const QList<QAction*> actions = TfrmSizer().pmPresets->actions();
  ASSERT_EQ(actions.size(), 3);
  const struct {
    const char* caption;
    QSize size;
  } presets[] = {{"CD Front 912 x 456", {912, 456}}, {"CD Back 564 x 444", {564, 444}}, {"CD Front 1/2", {456, 456}}};
  for (int i = 0; i < 3; ++i) {
    TSizerFixture f(100, 80);
    QTest::mouseClick(f.sizer.rgSizerItems[0], Qt::LeftButton);
    QTest::mouseClick(f.sizer.rbPct, Qt::LeftButton);
    QAction* action = f.sizer.pmPresets->actions().at(i);
    EXPECT_EQ(action->text(), presets[i].caption);
    action->trigger();
    EXPECT_EQ(f.Item(), 3) << i;
    EXPECT_TRUE(f.PixelsShown()) << i;
    EXPECT_EQ(f.Chosen(), presets[i].size) << i;
    EXPECT_EQ(f.Fields(), QStringLiteral("%1x%2 50%x50%").arg(presets[i].size.width()).arg(presets[i].size.height()));
  }
}

TEST(SizerDialog, FieldsHoldDigitsUpToTheirLength) {
  struct Case {
    int field;  // 0 width, 1 height, 2 and 3 percent
    const char* typed;
    const char* kept;
  };
  const Case cases[] = {{0, "12345", "1234"}, {0, "9999", "9999"}, {1, "1000", "100"}, {1, "a9b9", "99"},
                        {0, "_1 2", "12"},    {2, "1234", "123"},   {3, "-75", "75"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    TSizerFixture f(64, 64);
    if (c.field >= 2) QTest::mouseClick(f.sizer.rbPct, Qt::LeftButton);
    QLineEdit* fields[] = {f.sizer.meWidth, f.sizer.meHeight, f.sizer.mePctWidth, f.sizer.mePctHeight};
    f.Retype(fields[c.field], c.typed);
    EXPECT_EQ(fields[c.field]->text(), c.kept);
  }
  TSizerFixture f(64, 64);
  f.Retype(f.sizer.meHeight, "1000");
  f.Tab();
  EXPECT_EQ(f.Chosen(), QSize(64, 100));
}

TEST(SizerDialog, FieldsShowNoPlaceholdersAndFitTheirLargestValue) {
  TSizerFixture f(64, 64);
  struct Case {
    QLineEdit* field;
    int digits;
  };
  const Case cases[] = {{f.sizer.meWidth, 4}, {f.sizer.meHeight, 3}, {f.sizer.mePctWidth, 3}, {f.sizer.mePctHeight, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field->objectName().toStdString());
    EXPECT_TRUE(c.field->inputMask().isEmpty());
    EXPECT_EQ(c.field->maxLength(), c.digits);
    c.field->setText(QString());
    EXPECT_TRUE(c.field->text().isEmpty());  // nothing like "____" when empty
    const int frame = c.field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, c.field);
    // The largest value, the cursor after it, the frame and the edit's margins.
    EXPECT_GE(c.field->width(), c.field->fontMetrics().horizontalAdvance(QString(c.digits, QLatin1Char('9'))) +
                                    2 * frame + 4 + 2);
  }
}

TEST(SizerDialog, PixelFieldsAreReadOnlyInPercentMode) {
  TSizerFixture f(200, 100);
  EXPECT_FALSE(f.sizer.meWidth->isReadOnly());
  QTest::mouseClick(f.sizer.rbPct, Qt::LeftButton);
  ASSERT_TRUE(f.PercentShown());
  EXPECT_TRUE(f.sizer.meWidth->isReadOnly());
  EXPECT_TRUE(f.sizer.meHeight->isReadOnly());
  f.Retype(f.sizer.meWidth, "7");
  EXPECT_EQ(f.Fields(), "100x50 50%x50%");  // typing there changes nothing
  f.Retype(f.sizer.mePctWidth, "25");
  EXPECT_EQ(f.Fields(), "50x50 25%x50%");  // but the percents still write it
  QTest::mouseClick(f.sizer.rbPix, Qt::LeftButton);
  EXPECT_FALSE(f.sizer.meWidth->isReadOnly());
  EXPECT_FALSE(f.sizer.meHeight->isReadOnly());
}

TEST(SizerDialog, LeavingAnEmptyFieldIsRefusedAndKeepsTheSize) {
  TSizerFixture f(64, 48);
  f.Retype(f.sizer.meWidth, "");
  f.sizer.meWidth->clear();
  f.Tab();
  ASSERT_EQ(f.messages.size(), 1);
  EXPECT_EQ(f.messages[0], kSizerFieldIncomplete);
  EXPECT_EQ(QApplication::focusWidget(), f.sizer.meWidth);
  EXPECT_EQ(f.Chosen(), QSize(64, 48));
  // OK is refused the same way, once; Cancel needs no number.
  QTest::mouseClick(f.sizer.btnOK, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(f.messages.size(), 2);
  EXPECT_EQ(QApplication::focusWidget(), f.sizer.meWidth);
  EXPECT_TRUE(f.sizer.isVisible());
  f.sizer.btnCancel->click();
  EXPECT_FALSE(f.sizer.isVisible());
  EXPECT_EQ(f.sizer.result(), QDialog::Rejected);
}

TEST(SizerDialog, EnterClosesWithTheSizeBeingTyped) {
  TSizerFixture f(64, 48);
  f.Retype(f.sizer.meWidth, "300");
  QTest::keyClick(f.sizer.meWidth, Qt::Key_Return);
  EXPECT_FALSE(f.sizer.isVisible());
  EXPECT_EQ(f.sizer.result(), QDialog::Accepted);
  EXPECT_EQ(f.Chosen(), QSize(300, 48));
}

TEST(SizerDialog, ExecuteReturnsTheChosenSizeOnlyOnOK) {
  TfrmSizer sizer;
  QTimer::singleShot(0, &sizer, [&] {
    sizer.PresetClick(1);
    sizer.btnOK->click();
  });
  EXPECT_EQ(sizer.Execute(10, 20), QSize(564, 444));
  QTimer::singleShot(0, &sizer, [&] { sizer.btnCancel->click(); });
  EXPECT_EQ(sizer.Execute(10, 20), std::nullopt);
}

}  // namespace
}  // namespace vell
