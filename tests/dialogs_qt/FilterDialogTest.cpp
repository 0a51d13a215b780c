#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "tests/support/QtTestApp.h"
#include "dialogs/qt/Filter1.h"

namespace vell {
namespace {

QStringList Texts(const TfFilter& dialog) {
  QStringList texts;
  for (const QLineEdit* field : dialog.e) texts << field->text();
  texts << dialog.eDiv->text();
  return texts;
}

TEST(FilterDialog, CaptionLabelsAndDefaults) {
  TfFilter dialog;
  EXPECT_EQ(dialog.windowTitle(), "Create-A-Filter");
  EXPECT_EQ(dialog.lblHelp->text(),
            "3 x 3 Convolution filter.  Each box represents a pixel, except the one on the right, which is used as "
            "a divisor.  Each pixels color value is multiplied by the specified value, summed, then divided by the "
            "divisor. (Don't use 0)");
  EXPECT_EQ(dialog.lblHint->text(), "Negative numbers are allowed, but not real numbers.");
  EXPECT_EQ(Texts(dialog), QStringList({"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1", "1"}));
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(dialog.e[i]->objectName(), QStringLiteral("e%1").arg(i + 1));
  // The divisor sits right of the middle row.
  testing::ShowActive(dialog);
  const QPoint div = dialog.eDiv->mapTo(&dialog, dialog.eDiv->rect().center());
  const QPoint e5 = dialog.e[4]->mapTo(&dialog, dialog.e[4]->rect().center());
  const QPoint e6 = dialog.e[5]->mapTo(&dialog, dialog.e[5]->rect().center());
  EXPECT_GT(div.x(), e6.x());
  EXPECT_EQ(div.y(), e5.y());
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

TEST(FilterDialog, DivisorZeroIsRefusedAndTheDialogStays) {
  struct Case {
    const char* divisor;
    bool refused;
  };
  // The engine takes the divisor as an unsigned 16-bit number; text that is
  // no integer at all is the caller's conversion error.
  const Case cases[] = {{"0", true},   {"-0", true},  {" 0", true},  {"65536", true}, {"$10000", true},
                        {"1", false},  {"-1", false}, {"65537", false}, {"abc", false}, {"", false}};
  for (const Case& c : cases) {
    TfFilter dialog;
    QStringList messages;
    dialog.SetMessageHook([&](const QString& text) { messages << text; });
    testing::ShowActive(dialog);
    dialog.eDiv->setText(c.divisor);
    const QStringList before = Texts(dialog);
    dialog.btnOK->click();
    EXPECT_EQ(dialog.isVisible(), c.refused) << c.divisor;
    EXPECT_EQ(Texts(dialog), before);
    if (c.refused) {
      ASSERT_EQ(messages.size(), 1) << c.divisor;
      EXPECT_EQ(messages[0], kDivisorZeroMessage);
      EXPECT_EQ(QApplication::focusWidget(), dialog.eDiv);
    } else {
      EXPECT_TRUE(messages.isEmpty()) << c.divisor;
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
  }
}

TEST(FilterDialog, ExecuteReturnsTheFieldsAsTyped) {
  TfFilter dialog;
  const char* typed[] = {"0", "-1", " 2", "+3", "$A", "5", "x", "7", "8", "9"};
  QTimer::singleShot(0, &dialog, [&] {
    for (int i = 0; i < 10; ++i) {
      QLineEdit* field = i < 9 ? dialog.e[static_cast<size_t>(i)] : dialog.eDiv;
      field->selectAll();
      QTest::keyClicks(field, QString::fromLatin1(typed[i]));
    }
    dialog.btnOK->click();
  });
  const std::optional<TFilterDesign> design = dialog.Execute();
  ASSERT_TRUE(design);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(design->e[i], typed[i]);
  EXPECT_EQ(design->eDiv, "9");

  // Cancel hands back nothing; the fields keep what was typed for the next time.
  QTimer::singleShot(0, &dialog, [&] {
    dialog.e[0]->setText("42");
    dialog.btnCancel->click();
  });
  EXPECT_EQ(dialog.Execute(), std::nullopt);
  EXPECT_EQ(dialog.Design().e[0], "42");

  TFilterDesign stored;
  stored.e = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
  stored.eDiv = "45";
  dialog.SetDesign(stored);
  EXPECT_EQ(Texts(dialog), QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "45"}));
}

}  // namespace
}  // namespace vell
