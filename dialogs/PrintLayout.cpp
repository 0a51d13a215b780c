#include "dialogs/PrintLayout.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace vell {

namespace {

// Far beyond any page (over 27 000 inches at 600 dpi), small enough that
// left + width never overflows.
constexpr long double kMaxDots = 1 << 24;

int RoundDots(long double v) {
  if (std::isnan(v)) return 0;
  if (v > kMaxDots) v = kMaxDots;
  if (v < -kMaxDots) v = -kMaxDots;
  // The default rounding mode: nearest, ties to even.
  return static_cast<int>(std::nearbyint(v));
}

}  // namespace

std::optional<TPrintPreset> CDPreset(TPrintSize size) {
  if (size == TPrintSize::CDFront) return kCDFrontInches;
  if (size == TPrintSize::CDBack) return kCDBackInches;
  return std::nullopt;
}

const char* DefaultScaleText(int screenWidth) {
  switch (screenWidth) {
    case 640: return "1.75";
    case 800: return "1.375";
    case 1024: return "1.083";
    case 1152: return "0.979";
    default: return "1.0";
  }
}

int PrintMargin(int dpi) { return RoundDots(static_cast<long double>(dpi) * 0.25L); }

TPrintRect ComputePrintRect(const TPrintRequest& request, const TPrintMetrics& metrics) {
  const float s = request.scale == 0.0f ? 0.1f : request.scale;
  const int mx = PrintMargin(metrics.printerDpiX);
  const int my = PrintMargin(metrics.printerDpiY);
  TPrintRect r;
  switch (request.size) {
    case TPrintSize::MatchScreen: {
      // The products are whole numbers; the divisions are not.
      const long double dotsX = static_cast<long double>(metrics.printerDpiX) * request.imageWidth;
      const long double dotsY = static_cast<long double>(metrics.printerDpiY) * request.imageHeight;
      const long double sx = metrics.screenDpiX > 0 ? metrics.screenDpiX : 96;
      const long double sy = metrics.screenDpiY > 0 ? metrics.screenDpiY : 96;
      r.width = RoundDots(dotsX / sx * static_cast<long double>(s));
      r.height = RoundDots(dotsY / sy * static_cast<long double>(s));
      break;
    }
    case TPrintSize::Specify:
    case TPrintSize::CDFront:
    case TPrintSize::CDBack:
      r.width = RoundDots(static_cast<long double>(metrics.printerDpiX) * request.widthInches);
      r.height = RoundDots(static_cast<long double>(metrics.printerDpiY) * request.heightInches);
      break;
    case TPrintSize::StretchToFit:
      r.width = metrics.pageWidth - 2 * mx;
      r.height = metrics.pageHeight - 2 * my;
      break;
  }
  if (request.align == TPrintAlign::TopLeft) {
    r.left = mx;
    r.top = my;
  } else {
    r.left = (metrics.pageWidth - r.width) / 2;
    r.top = (metrics.pageHeight - r.height) / 2;
  }
  return r;
}

std::optional<double> ParsePrintNumber(std::string_view text, char separator) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  while (n > i && text[n - 1] == ' ') --n;
  std::string plain;  // the number in the C library's spelling
  if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
  int digits = 0;
  bool point = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      plain += c;
      ++digits;
    } else if ((c == separator || c == '.') && !point) {
      plain += '.';
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    int expDigits = 0;
    for (; i < n && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++expDigits) plain += text[i];
    if (expDigits == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  const double v = std::strtod(plain.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::string NotAFloatText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid floating point value";
}

std::optional<std::string> ReadPrintFields(const std::string& scale, const std::string& wide,
                                           const std::string& high, TPrintRequest& request, char separator) {
  const std::optional<double> s = ParsePrintNumber(scale, separator);
  if (!s) return NotAFloatText(scale);
  const std::optional<double> w = ParsePrintNumber(wide, separator);
  if (!w) return NotAFloatText(wide);
  const std::optional<double> h = ParsePrintNumber(high, separator);
  if (!h) return NotAFloatText(high);
  request.scale = static_cast<float>(*s);
  request.widthInches = *w;
  request.heightInches = *h;
  return std::nullopt;
}

std::string TwoDecimals(double value, char separator) {
  if (!std::isfinite(value)) return "0" + std::string(1, separator) + "00";
  const double hundredths = std::round(value * 100.0);  // halves away from zero
  char buf[512];  // room for the largest double in fixed notation
  std::snprintf(buf, sizeof buf, "%.2f", hundredths / 100.0);
  std::string out = buf;
  if (out == "-0.00") out = "0.00";
  for (char& c : out)
    if (c == '.') c = separator;
  return out;
}

std::string InchesText(int pixels, int screenDpi, char separator) {
  if (screenDpi <= 0) screenDpi = 96;
  return TwoDecimals(static_cast<double>(pixels) / screenDpi, separator);
}

std::optional<std::string> RatioText(const std::string& typedText, int otherPixels, int typedPixels, char separator) {
  if (otherPixels <= 0 || typedPixels <= 0) return std::nullopt;
  const std::optional<double> typed = ParsePrintNumber(typedText, separator);
  if (!typed) return std::nullopt;
  const float ratio = static_cast<float>(otherPixels) / static_cast<float>(typedPixels);
  const float other = ratio * static_cast<float>(*typed);
  if (!std::isfinite(other)) return std::nullopt;
  return TwoDecimals(other, separator);
}

}  // namespace vell
