// "Add Text" and its sample.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

#include "dialogs/qt/Text1.h"
#include "dialogs/qt/TextPanel.h"
#include "tests/support/QtTestApp.h"

namespace vell {
namespace {

const QStringList kFamilies = {"Courier New", "Arial", "MS Sans Serif", "Times New Roman", "Arial Black"};

class TextDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    dialog = std::make_unique<TfText>(nullptr, kFamilies);
    dialog->ShowError = [this](const std::string& m) { errors.push_back(m); };
  }
  // As typing does it: the field changes, then its handler runs.
  void Type(QLineEdit* field, const char* text) {
    field->setText(QString::fromLatin1(text));
    if (field == dialog->eSize) dialog->eSizeChange(field->text());
    if (field == dialog->eFontName) dialog->eFontNameChange(field->text());
  }
  QString Selected(QListWidget* list) { return list->currentItem() ? list->currentItem()->text() : QString(); }
  std::unique_ptr<TfText> dialog;
  std::vector<std::string> errors;
};

TEST_F(TextDialog, StartsAsTheComposerDoes) {
  EXPECT_EQ(dialog->windowTitle(), "Add Text");
  EXPECT_EQ(dialog->lbSize->count(), 54);
  EXPECT_EQ(dialog->lbSize->currentRow(), 3);
  EXPECT_EQ(dialog->eSize->text(), "8");
  EXPECT_EQ(dialog->eStyle->text(), "Regular");
  EXPECT_EQ(dialog->StyleIndex(), 0);
  EXPECT_EQ(Selected(dialog->lbFonts), "MS Sans Serif");
  EXPECT_EQ(dialog->lbFonts->item(0)->text(), "Arial");  // sorted
  EXPECT_EQ(dialog->Memo1->toPlainText(), "Your Text Here");
  EXPECT_EQ(dialog->tPnl1->Text(), "Your Text Here");
  EXPECT_EQ(dialog->tPnl1->size(), QSize(321, 57));
  EXPECT_EQ(dialog->AlignmentIndex(), 0);
  EXPECT_EQ(dialog->SampleFont().family(), "MS Sans Serif");
  EXPECT_EQ(dialog->SampleFont().pointSize(), 8);
  EXPECT_TRUE(dialog->FallbackFamily().isEmpty());
  EXPECT_TRUE(errors.empty());
}

TEST_F(TextDialog, WithoutTheDefaultFamilyTheDesktopFontIsShown) {
  TfText other(nullptr, {"Courier New", "DejaVu Sans"});
  ASSERT_FALSE(other.FallbackFamily().isEmpty());
  EXPECT_NE(other.FallbackFamily(), "MS Sans Serif");
  EXPECT_EQ(other.eFontName->text(), other.FallbackFamily());
  EXPECT_EQ(other.SampleFont().family(), other.FallbackFamily());
  EXPECT_TRUE(other.lblFallback->text().contains(other.FallbackFamily()));
}

TEST_F(TextDialog, TypingANameSelectsTheFirstMatchWithoutApplying) {
  dialog->eFontNameChange(QStringLiteral("ari"));
  EXPECT_EQ(Selected(dialog->lbFonts), "Arial");
  dialog->eFontNameChange(QStringLiteral("ARIAL b"));
  EXPECT_EQ(Selected(dialog->lbFonts), "Arial Black");
  dialog->eFontNameChange(QStringLiteral("zzz"));
  EXPECT_EQ(Selected(dialog->lbFonts), "Arial Black");  // no match: unchanged
  EXPECT_EQ(dialog->SampleFont().family(), "MS Sans Serif");
  dialog->lbFontsClick(dialog->lbFonts->currentRow());
  EXPECT_EQ(dialog->eFontName->text(), "Arial Black");
  EXPECT_EQ(dialog->SampleFont().family(), "Arial Black");
}

TEST_F(TextDialog, TypingASizeSelectsItsRowOrTheFirst) {
  Type(dialog->eSize, "13");
  EXPECT_EQ(dialog->lbSize->currentRow(), 0);
  EXPECT_EQ(Selected(dialog->lbSize), "2");
  EXPECT_EQ(dialog->SampleFont().pointSize(), 13);
  Type(dialog->eSize, "72");
  EXPECT_EQ(Selected(dialog->lbSize), "72");
  EXPECT_EQ(dialog->SampleFont().pointSize(), 72);
  Type(dialog->eSize, "7x");  // not a number: nothing
  EXPECT_EQ(Selected(dialog->lbSize), "72");
  EXPECT_TRUE(errors.empty());
}

TEST_F(TextDialog, ASizeThatIsNotANumberIsReportedAtTheNextApply) {
  dialog->lbStyleClick(1);
  dialog->eSize->setText(QStringLiteral("big"));
  dialog->lbFontsClick(1);  // "Arial Black"
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "'big' is not a valid integer value");
  EXPECT_EQ(dialog->SampleFont().family(), "Arial Black");
  EXPECT_EQ(dialog->SampleFont().pointSize(), 8);
  dialog->lbStyleClick(3);
  EXPECT_FALSE(dialog->SampleFont().italic());  // the style waits for a size too
  EXPECT_EQ(dialog->StyleIndex(), 3);
}

TEST_F(TextDialog, StylesAndTheHandOver) {
  const char* names[4] = {"Regular", "Bold", "Italic", "Bold Italic"};
  for (int i = 0; i < 4; ++i) {
    dialog->lbStyleClick(i);
    EXPECT_EQ(dialog->eStyle->text(), names[i]);
    EXPECT_EQ(dialog->SampleFont().bold(), i == 1 || i == 3);
    EXPECT_EQ(dialog->SampleFont().italic(), i >= 2);
  }
  dialog->Memo1->setPlainText(QStringLiteral("one\ntwo\nthree"));
  EXPECT_EQ(dialog->tPnl1->ShownText(), "one");
  EXPECT_EQ(dialog->Text(), "one\r\ntwo\r\nthree");
  dialog->lbSizeClick(53);
  EXPECT_EQ(dialog->eSize->text(), "220");
  EXPECT_EQ(dialog->SampleFont().pointSize(), 220);
}

TEST_F(TextDialog, RightAlignmentMovesTheMemoNotTheSample) {
  dialog->RadioGroup1->button(2)->click();
  EXPECT_EQ(dialog->AlignmentIndex(), 2);
  EXPECT_EQ(dialog->Memo1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_EQ(dialog->tPnl1->Alignment(), Qt::AlignHCenter);
  dialog->RadioGroup1->button(1)->click();
  EXPECT_EQ(dialog->AlignmentIndex(), 1);
}

TEST_F(TextDialog, SampleBevelAndPainting) {
  TTextPanel& panel = *dialog->tPnl1;
  panel.setBevelWidth(30);
  EXPECT_EQ(panel.BevelWidth(), 1);
  panel.setBevelWidth(23);
  EXPECT_EQ(panel.BevelWidth(), 23);
  panel.setBevelWidth(1);
  panel.setColor(QColor(200, 200, 200));
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPointSize(20);
  panel.setTextFont(f);
  panel.setFontColor(0x0000FF);
  panel.setText(QStringLiteral("WWW&W\tx\nsecond line"));
  const QImage image = panel.Render();
  const QRect box = panel.TextBox();
  int red = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 60) {
        ++red;
        ASSERT_TRUE(box.contains(x, y)) << x << "," << y;
      }
    }
  EXPECT_GT(red, 50);
  EXPECT_EQ(image.pixel(0, 0), panel.palette().color(QPalette::Dark).rgb());
  EXPECT_EQ(image.pixel(320, 56), panel.palette().color(QPalette::Light).rgb());
  EXPECT_EQ(image.pixel(5, 5), QColor(200, 200, 200).rgb());
}

// The real font list: "ari" lands on Arial when it is installed.
TEST(TextDialogFonts, TypedPrefixOnTheInstalledFamilies) {
  testing::App();
  TfText dialog;
  ASSERT_GT(dialog.lbFonts->count(), 0);
  const QStringList families = QFontDatabase::families();
  if (families.contains(QStringLiteral("Arial"))) {
    dialog.eFontNameChange(QStringLiteral("ari"));
    EXPECT_TRUE(dialog.lbFonts->currentItem()->text().startsWith(QStringLiteral("Ari"), Qt::CaseInsensitive));
  }
  if (!families.contains(QStringLiteral("MS Sans Serif"))) {
    EXPECT_FALSE(dialog.FallbackFamily().isEmpty());
    EXPECT_EQ(dialog.lbFonts->currentItem()->text(), dialog.FallbackFamily());
  }
  const QString first = dialog.lbFonts->item(0)->text();
  dialog.eFontNameChange(first.left(3).toLower());
  EXPECT_TRUE(dialog.lbFonts->currentItem()->text().startsWith(first.left(3), Qt::CaseInsensitive));
}

}  // namespace
}  // namespace vell
