// Text forms of numbers as the editor shows, logs and stores them, and the
// field conversions that read them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vell {

// The general real-to-text conversion: 15 significant digits of the value
// (a single is widened first, so a typed 0.3 comes back as
// "0.300000011920929"), no trailing zeros, no exponent between 1E-5 and
// 10^15; outside that "d.dddE[-]x" (for example "1.5E20", "1E-7").
// Digits are rounded half away from zero.
std::string RealText(double value, char decimalSeparator = '.');
inline std::string RealText(float value, char decimalSeparator = '.') {
  return RealText(static_cast<double>(value), decimalSeparator);
}

// Fixed-point text with `decimals` digits after the separator, as a
// "%1.2f" format gives it (rounded half away from zero): 0.5 -> "0.50".
std::string FixedText(double value, int decimals, char decimalSeparator = '.');

// The toolkit's integer conversion: optional leading spaces, an optional sign,
// decimal digits or "$" and hex digits, nothing after; must fit 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text);

// A real number: optional blanks around, optional sign, digits with at most
// one decimal separator (at least one digit in all), an optional exponent
// "E"/"e" with optional sign and digits. Infinite or not-a-number never parse.
std::optional<double> ParseReal(std::string_view text, char decimalSeparator = '.');

// The conversion error the front end shows in its standard error box.
std::string NotValidIntegerText(std::string_view text);  // "'x' is not a valid integer value"
std::string NotValidRealText(std::string_view text);     // "'x' is not a valid floating point value"

}  // namespace vell
