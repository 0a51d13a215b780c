#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "editor/ScriptedUi.h"
#include "editor/qt/VellTileMain.h"
#include "imaging/Seam.h"
#include "imaging/Tiling.h"

namespace vell {
namespace {

class CheckSeam : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<TfVellTile>(&ui);
    window->show();
    QApplication::processEvents();
  }
  QAction* Item() { return window->findChild<QAction*>(QStringLiteral("CheckSeam1")); }

  ScriptedUi ui;
  std::unique_ptr<TfVellTile> window;
};

TEST_F(CheckSeam, IsAnImageMenuItemThatSaysWhatItDoes) {
  QAction* item = Item();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "Check &Seam");
  EXPECT_TRUE(item->isEnabled());
  EXPECT_TRUE(item->statusTip().contains("seam"));
  QMenu* image = window->findChild<QMenu*>(QStringLiteral("Image1"));
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->actions().contains(item));
}

// The status panel follows the picture as it is now, not as it was.
TEST_F(CheckSeam, PutsTheWorkingImagesScoreInTheActivityPanel) {
  TPixelBuffer& work = window->Editor().dibWork;
  Item()->trigger();
  EXPECT_EQ(window->StatusText(4), "Seam score 1.00 (seamless)");  // the black start image

  for (int y = 0; y < work.Height(); ++y)
    for (int x = 0; x < work.Width(); ++x) work.Row24(y)[x] = TRGB24{uint8_t(x), uint8_t(y), 0};
  Item()->trigger();
  const std::string ramp = SeamScoreText(MeasureSeam(work));
  EXPECT_NE(ramp.find("(visible seam)"), std::string::npos) << ramp;
  EXPECT_EQ(window->StatusText(4).toStdString(), ramp);

  EdgeMerge(work, 8);
  Item()->trigger();
  EXPECT_EQ(window->StatusText(4), "Seam score 0.00 (seamless)");
  EXPECT_TRUE(ui.Asked().empty());
}

}  // namespace
}  // namespace vell
