#include "editor/EffectLog.h"

#include "editor/EffectTable.h"
#include "editor/RealText.h"

namespace vell {
namespace {

std::string Int(int64_t v) { return std::to_string(v); }

std::string ColorText(uint32_t colour) {
  return "R: " + Int(colour & 0xFF) + " G: " + Int((colour >> 8) & 0xFF) + " B: " + Int((colour >> 16) & 0xFF);
}

std::string GradientFieldsText(const TGradientFields& g) {
  return "Width " + g.Width + ", Height " + g.Height + ", Gradient " + g.Style + ", From Color " +
         ColorText(g.FromColor) + ", To Color " + ColorText(g.ToColor) + ", Angle " + g.Angle;
}

}  // namespace

std::string EffectLogSuffix(int id, const TEffectParams& p, const TLogContext& c) {
  const TEffectDef* def = EffectDef(id);
  if (!def || !def->Suffix) return {};
  return def->Suffix(TLogArgs{id, p, c});
}

std::optional<std::string> EffectLogLine(int id, std::string_view effectName, const TEffectParams& params,
                                         const TLogContext& context) {
  const TEffectDef* def = EffectDef(id);
  if (!def || !def->WritesLine) return std::nullopt;
  return std::string(effectName) + EffectLogSuffix(id, params, context);
}

std::string OpenFileLine(std::string_view fullPath) { return "Open File " + std::string(fullPath); }

std::string LoadBufferLine(std::string_view fullPath) { return "Load Buffer from File " + std::string(fullPath); }

std::string NewImageLine(uint32_t brushColour) { return "New Image, Color " + ColorText(brushColour); }

std::string PasteAsSelectionLine(int left, int top) {
  return "Paste As Selection at Left " + Int(left) + ", Top " + Int(top);
}

std::string ScrollLine(TScrollDirection direction, int amount) {
  static constexpr const char* kWords[] = {"Scroll Right ", "Scroll Left ", "Scroll Down ", "Scroll Up "};
  return kWords[static_cast<int>(direction)] + Int(amount);
}

std::string SlidersLine(const std::array<int, 6>& q) {
  return "ToolBox Sliders to positions:  Lightness " + Int(q[0] - 255) + ", Contrast " + Int(q[1] - 255) +
         ", Saturation " + Int(q[2] - 255) + ", Red " + Int(q[3] - 255) + ", Green " + Int(q[4] - 255) +
         ", Blue " + Int(q[5] - 255);
}

std::string EdgeMergeLine(int divisor) { return "Edge Merge 1/" + Int(divisor); }

std::string EdgeMergeEffectName(int divisor) { return "EdgeMerge" + Int(divisor); }

std::string ResizeLine(bool smooth, int newWidth, int newHeight) {
  return std::string(smooth ? "Resize Smooth" : "Resize Fast") + ", Width " + Int(newWidth) + ", Height " +
         Int(newHeight);
}

std::string DesignFilterLine(const std::array<std::string, 9>& kernel, std::string_view divisor) {
  std::string s = "Design Your Own Filter, Settings: ";
  for (const std::string& k : kernel) s += k + " ";
  return s + ", Divisor " + std::string(divisor);
}

std::string DesignGradientLine(const TGradientFields& gradient) {
  return "Design Gradient, " + GradientFieldsText(gradient);
}

std::string MultiGradientLine(std::string_view width, std::string_view height) {
  return "MultiGradient,  Width " + std::string(width) + ", Height " + std::string(height);
}

}  // namespace vell
