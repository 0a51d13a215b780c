#include "editor/EffectLog.h"

#include <cmath>

#include "editor/RealText.h"

namespace vell {
namespace {

std::string Int(int64_t v) { return std::to_string(v); }

std::string ColorText(uint32_t colour) {
  return "R: " + Int(colour & 0xFF) + " G: " + Int((colour >> 8) & 0xFF) + " B: " + Int((colour >> 16) & 0xFF);
}

std::string_view BoolText(bool flag) { return flag ? "True" : "False"; }

std::string PenBrush(const TLogContext& c) {
  return "Pen " + ColorText(c.PenColor) + ", Brush " + ColorText(c.BrushColor);
}

std::string GradientFieldsText(const TGradientFields& g) {
  return "Width " + g.Width + ", Height " + g.Height + ", Gradient " + g.Style + ", From Color " +
         ColorText(g.FromColor) + ", To Color " + ColorText(g.ToColor) + ", Angle " + g.Angle;
}

// SineWave U/D (15) and L/R (16) share one shape.
std::string SineSuffix(int id, float peaks, float wavelength, const TEffectParams& p, const TLogContext& c) {
  std::string s = c.UsePeaks ? ", Peaks " + RealText(peaks, c.DecimalSeparator)
                             : ", WaveLength " + RealText(wavelength, c.DecimalSeparator);
  s += ", Height " + Int(p.Value(id));
  s += c.Wrap ? ", Wrap = True" : ", Wrap = False";
  return s;
}

}  // namespace

std::string EffectLogSuffix(int id, const TEffectParams& p, const TLogContext& c) {
  const TEffectExtras& x = p.Extras;
  const char sep = c.DecimalSeparator;
  auto v = [&](int i) { return Int(i >= 0 && i < EffectCount ? p.Value(i) : 0); };
  switch (id) {
    case 6: return ", Lightness " + v(6);
    case 13: return ", Blurriness " + v(13);
    case 15: return SineSuffix(15, x.UDPeakVal, x.UDWavVal, p, c);
    case 16: return SineSuffix(16, x.LRPeakVal, x.LRWavVal, p, c);
    case 17:
      return ", U/D Peaks " + RealText(x.UDPeakVal, sep) + ", U/D Height " + v(15) + ", L/R Peaks " +
             RealText(x.LRPeakVal, sep) + ", L/R Height " + v(16);
    case 18: return ", Looseness " + v(18);
    case 19: return ", Magnification " + FixedText(x.FishVal, 2, sep);
    case 21: return ", Thickness " + v(21);
    case 22: return ", Size Difference " + v(22);
    case 23:
    case 46: return ", Size of Cell " + v(id);
    case 24: return ", Size of Circle " + v(24);
    case 25: return ", Noisiness " + v(25);
    case 26: return ", Scatterosity " + v(26);
    case 27: return ", SwizzleWidth " + v(27);
    case 28: return ", Brightness " + v(28) + ", " + c.TextureSource;
    case 29:
      return ", Graininess " + v(29) + ", Scale " + RealText(x.ScaleVal, sep) + ", Turbulence " + Int(x.TurbVal);
    case 30: return ", Bits " + v(30);
    case 34: return ", Color " + ColorText(c.TintColor);
    case 37: return ", " + PenBrush(c);
    case 43: return ", Angle " + v(43);
    case 47: return ", Number of Bars " + v(47);
    case 48: return ", " + GradientFieldsText(c.Gradient);
    case 49: return ", % of Gradient " + v(49);
    case 50: return ", % of Buffer " + v(50);
    case 51: return ", Edge Size " + v(51) + ", " + PenBrush(c);
    case 52: return ", Graininess " + v(52);
    case 53:
      return ", Left/Right " + v(53) + ", Up/Down " + Int(x.UDSBlurBuf) + ", Repetitions " + Int(x.SBlurReps);
    case 54:
      return ", Left/Right " + v(54) + ", Up/Down " + Int(x.UDSBlurSelf) + ", Repetitions " + Int(x.SBlurReps);
    case 55: return ", Left/Right " + v(55) + ", Up/Down " + Int(x.UDWatBuf);
    case 56: return ", Left/Right " + v(56) + ", Up/Down " + Int(x.UDWatSelf);
    case 57:
      return ", Colors: " + ColorText(c.PenColor) + ", Radius " + v(57) + ", Spokes " + Int(x.NovaSpok) + ", Hue " +
             Int(x.NovaHue) + ", X Pos: " + Int(x.NovaX) + ", Y Pos: " + Int(x.NovaY);
    case 58:
      return ", Azimuth " + v(58) + ", Elevation " + Int(x.HytEl) + ", Depth " + Int(x.HytDp) + ", BumpMap " +
             std::string(BoolText(x.HytBm));
    case 59:
    case 60:
    case 62:
    case 63: return ", Amount " + v(id);
    case 61: return ", Intensity " + v(61) + ", Color: " + ColorText(x.TrUseVal ? c.PenColor : 0);
    case 64: {
      const double phase = std::isfinite(x.WvPhsVal) ? std::nearbyint(x.WvPhsVal) : 0.0;
      return ", Amplitude " + v(64) + ", Wave Length " + Int(x.WvLenVal) + ", Phase " +
             Int(static_cast<int64_t>(std::fmax(std::fmin(phase, 9.2e18), -9.2e18))) + ", Reflective " +
             std::string(BoolText(x.WvRflVal));
    }
    case 65:
      return ", Angle " + v(65) + ", Pinch " + FixedText(x.WhPchVal, 2, sep) + ", Radius " +
             FixedText(x.WhRadVal, 2, sep);
    default: return {};
  }
}

std::optional<std::string> EffectLogLine(int id, std::string_view effectName, const TEffectParams& params,
                                         const TLogContext& context) {
  if (id < 0 || id >= EffectCount || id == 45) return std::nullopt;
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
