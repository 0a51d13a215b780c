// The gradient effects (47 Gradient Bars, 48 Draw Gradient, 49 Merge Gradient)
// on the dispatcher's roads.
#include "imaging/Patterns.h"
#include "tests/editor_apply/DispatcherFixture.h"

namespace vell {
namespace {

TEST_F(Dispatcher, GradientEffectsWithoutAGradientRefuseAndChangeNothing) {
  apply.Hooks().Gradient = [] { return static_cast<TGradientPicture*>(nullptr); };
  apply.Hooks().DrawGradient = nullptr;
  for (int id : {47, 48, 49}) {
    SCOPED_TRACE(id);
    messages.clear();
    EXPECT_EQ(apply.ApplyFromMenu(id, fields), TApplyResult::Refused);
    EXPECT_EQ(messages, std::vector<std::string>{"There is no gradient yet; the image was not changed."});
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(ring.UndoCount(), 0);
  }
  // A gradient of no pixels cannot be merged either.
  apply.Hooks().Gradient = [this] { return &gradient; };
  gradient.SetSize(0, 10);
  EXPECT_EQ(apply.ApplyFromMenu(49, fields), TApplyResult::Refused);
  EXPECT_TRUE(Unchanged());
}

TEST_F(Dispatcher, GradientEffectsReadTheGradientAndLogTheirLines) {
  gradient.SetSize(16, 16);
  gradient.SetBeginColor(0x000000);
  gradient.SetEndColor(0xFFFFFF);
  fields.Main = "2";
  EXPECT_EQ(Apply(47), TApplyResult::Ran);
  TPixelBuffer bars;
  CopyImage(before, bars);
  GradientBars(bars, 2, 0x000000, 0xFFFFFF);
  EXPECT_TRUE(SamePixels(editor.dibWork, bars));

  CopyImage(before, editor.dibWork);
  fields.Main = "50";
  EXPECT_EQ(Apply(49), TApplyResult::Ran);
  TPixelBuffer merged;
  CopyImage(before, merged);
  MergeGradient(merged, 50, gradient.Picture());
  EXPECT_TRUE(SamePixels(editor.dibWork, merged));

  apply.LogContext().Gradient.Style = "Elliptic";
  EXPECT_EQ(apply.ApplyFromMenu(48, fields), TApplyResult::Ran);
  EXPECT_EQ(drawGradients, 1);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "Gradient Bars, Number of Bars 2", "Merge Gradient, % of Gradient 50",
                     "Draw Gradient, Width 256, Height 256, Gradient Elliptic, From Color R: 0 G: 0 B: 128, To Color "
                     "R: 0 G: 255 B: 255, Angle 0"}));
  EXPECT_EQ(ring.UndoCount(), 3);
}

}  // namespace
}  // namespace vell
