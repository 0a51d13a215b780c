#include "dialogs/FilterDesign.h"

#include <cctype>
#include <cstdint>

namespace vell {

bool StrToIntChecked(const std::string& text, int& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(text[i]);
    int digit;
    if (std::isdigit(ch)) {
      digit = ch - '0';
    } else if (base == 16 && std::isxdigit(ch)) {
      digit = std::tolower(ch) - 'a' + 10;
    } else {
      return false;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > 2147483648LL) return false;
  }
  const int64_t v = negative ? -magnitude : magnitude;
  if (v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

std::string NotAnIntegerMessage(const std::string& text) { return "'" + text + "' is not a valid integer value"; }

TFilterDesignOutcome ApplyFilterDesign(TPixelBuffer& image, const TFilterDesign& design) {
  TKernel3x3 kernel{};
  for (size_t i = 0; i < kernel.size(); ++i) {
    int v = 0;
    if (!StrToIntChecked(design.e[i], v)) return {TFilterDesignStatus::NotInteger, NotAnIntegerMessage(design.e[i])};
    kernel[i] = v;
  }
  int divisor = 0;
  if (!StrToIntChecked(design.eDiv, divisor))
    return {TFilterDesignStatus::NotInteger, NotAnIntegerMessage(design.eDiv)};
  if (Convolve3x3(image, kernel, divisor) == TFilterResult::DivisorZero)
    return {TFilterDesignStatus::DivisorZero, kDivisorZeroMessage};
  return {};
}

}  // namespace vell
