// Where the printed tile goes on the page, and the texts of the "Print
// Options" fields, without widgets.
//
// Example: a 256 x 256 tile at screen size (96 dpi screen, factor 1.375) on a
// 600 dpi printer is round(600 * 256 / 96 * 1.375) = 2200 dots each way;
// aligned top left it starts a quarter inch in, at (150, 150).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vell {

// Entries of the "Size" group, in order.
enum class TPrintSize { MatchScreen = 0, Specify = 1, StretchToFit = 2, CDFront = 3, CDBack = 4 };
enum class TPrintAlign { TopLeft = 0, Center = 1 };

inline constexpr std::array<const char*, 5> kPrintSizeItems = {
    "Match Screen Size", "Specify Size", "Stretch to Fit Page", "CD Cover Front", "CD Cover Back"};

// A CD cover's size in inches, as the fields show it.
struct TPrintPreset {
  const char* width;
  const char* height;
};
inline constexpr TPrintPreset kCDFrontInches = {"9.5", "4.75"};
inline constexpr TPrintPreset kCDBackInches = {"5.875", "4.625"};
// The preset of a CD size choice; none for the other choices.
std::optional<TPrintPreset> CDPreset(TPrintSize size);
inline bool IsCDCover(TPrintSize size) { return size == TPrintSize::CDFront || size == TPrintSize::CDBack; }

// The scaling factor that makes "Match Screen Size" come out close to the
// screen's size on a screen this many pixels wide: "1.75", "1.375", "1.083",
// "0.979", else "1.0".
const char* DefaultScaleText(int screenWidth);

// What the page and the screen measure; dots per inch and printable dots.
struct TPrintMetrics {
  int printerDpiX = 0, printerDpiY = 0;
  int screenDpiX = 96, screenDpiY = 96;
  int pageWidth = 0, pageHeight = 0;  // printable area, in printer dots
};

// The choices of the dialog with its numbers already read.
struct TPrintRequest {
  TPrintSize size = TPrintSize::MatchScreen;
  TPrintAlign align = TPrintAlign::TopLeft;
  float scale = 1.375f;       // single precision, as the field is read
  double widthInches = 3.5;   // "Specify Size" and the CD covers
  double heightInches = 3.5;
  int imageWidth = 256, imageHeight = 256;
};

// The rectangle in printer dots, from (left, top) to (left + width, top + height).
struct TPrintRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const TPrintRect&) const = default;
};

// A quarter inch, rounded.
int PrintMargin(int dpi);
// The printed rectangle. A scale of exactly 0 counts as 0.1. Sizes beyond what
// a page could hold are capped so that no coordinate overflows.
TPrintRect ComputePrintRect(const TPrintRequest& request, const TPrintMetrics& metrics);

// ---- the fields' texts ----

// A real number as the fields take it: blanks around, optional sign, digits
// with at most one decimal separator ('.' or `separator`), optional exponent.
// Infinite or not-a-number results never convert.
std::optional<double> ParsePrintNumber(std::string_view text, char separator = '.');
// The conversion error shown for a field that holds no number.
std::string NotAFloatText(std::string_view text);  // "'x' is not a valid floating point value"

// Reads the three fields into `request` (scale in single precision). On a
// text that does not convert, the conversion error and `request` untouched.
std::optional<std::string> ReadPrintFields(const std::string& scale, const std::string& wide,
                                           const std::string& high, TPrintRequest& request,
                                           char separator = '.');

// Two decimals, halves rounded away from zero: 2.666 -> "2.67".
std::string TwoDecimals(double value, char separator = '.');
// The inch fields on a show: pixels / screen dpi.
std::string InchesText(int pixels, int screenDpi, char separator = '.');
// "Maintain Ratio": the other side for a typed side, in single precision.
// `typedSide` is the width when `otherSide` is the height, and so on:
// RatioText(typed width, image height, image width). None when the typed
// text does not convert or the image has no size.
std::optional<std::string> RatioText(const std::string& typedText, int otherPixels, int typedPixels,
                                     char separator = '.');

}  // namespace vell
