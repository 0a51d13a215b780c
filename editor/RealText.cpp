#include "editor/RealText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "dialogs/FilterDesign.h"

namespace vell {
namespace {

// Exact decimal expansion of |value| > 0: digits (no leading zero) and the
// exponent such that |value| = 0.d1d2d3... x 10^exponent.
struct TDecimal {
  std::string digits;
  int exponent = 0;
};

TDecimal ExactDecimal(double value) {
  // glibc prints the exact binary value when asked for enough digits; 800 is
  // more than any double's expansion needs.
  std::vector<char> buffer(1100);
  std::snprintf(buffer.data(), buffer.size(), "%.800e", std::fabs(value));
  TDecimal d;
  const char* p = buffer.data();
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  }
  int e = (*p == 'e') ? std::atoi(p + 1) : 0;
  d.exponent = e + 1;
  return d;
}

// Keep `count` digits (count may be <= 0), rounding half away from zero;
// the exponent grows when the rounding carries out of the first digit.
void RoundDigits(TDecimal& d, int count) {
  if (count < 0) {
    d.digits.clear();
    return;
  }
  if (static_cast<size_t>(count) >= d.digits.size()) return;
  bool up = d.digits[static_cast<size_t>(count)] >= '5';
  d.digits.resize(static_cast<size_t>(count));
  if (!up) return;
  int i = count - 1;
  while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
    d.digits[static_cast<size_t>(i)] = '0';
    --i;
  }
  if (i >= 0) {
    ++d.digits[static_cast<size_t>(i)];
  } else {
    d.digits.insert(d.digits.begin(), '1');
    ++d.exponent;
    d.digits.pop_back();
    if (count == 0) d.digits = "1";
  }
}

void StripTrailingZeros(std::string& digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string RealText(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  TDecimal d = ExactDecimal(value);
  RoundDigits(d, 15);
  StripTrailingZeros(d.digits);
  std::string out = value < 0 ? "-" : "";
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent > 15 || d.exponent < -4) {
    out += d.digits[0];
    if (n > 1) {
      out += decimalSeparator;
      out.append(d.digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(d.exponent - 1);
    return out;
  }
  if (d.exponent <= 0) {
    out += '0';
    out += decimalSeparator;
    out.append(static_cast<size_t>(-d.exponent), '0');
    out += d.digits;
  } else if (n <= d.exponent) {
    out += d.digits;
    out.append(static_cast<size_t>(d.exponent - n), '0');
  } else {
    out.append(d.digits, 0, static_cast<size_t>(d.exponent));
    out += decimalSeparator;
    out.append(d.digits, static_cast<size_t>(d.exponent), std::string::npos);
  }
  return out;
}

std::string FixedText(double value, int decimals, char decimalSeparator) {
  if (!std::isfinite(value)) return RealText(value, decimalSeparator);
  if (decimals < 0) decimals = 0;
  std::string intPart = "0";
  std::string fraction(static_cast<size_t>(decimals), '0');
  bool negative = false;
  if (value != 0) {
    TDecimal d = ExactDecimal(value);
    RoundDigits(d, d.exponent + decimals);
    if (!d.digits.empty() && d.digits.find_first_not_of('0') != std::string::npos) {
      negative = value < 0;
      // Lay the kept digits out at their place value.
      std::string all;
      if (d.exponent > 0) {
        all = d.digits;
        if (static_cast<int>(all.size()) < d.exponent + decimals)
          all.append(static_cast<size_t>(d.exponent + decimals) - all.size(), '0');
        intPart = all.substr(0, static_cast<size_t>(d.exponent));
        fraction = all.substr(static_cast<size_t>(d.exponent));
      } else {
        all = std::string(static_cast<size_t>(-d.exponent), '0') + d.digits;
        if (static_cast<int>(all.size()) < decimals) all.append(static_cast<size_t>(decimals) - all.size(), '0');
        fraction = all.substr(0, static_cast<size_t>(decimals));
      }
    }
  }
  std::string out = negative ? "-" : "";
  out += intPart;
  if (decimals > 0) {
    out += decimalSeparator;
    out += fraction;
  }
  return out;
}

std::optional<int32_t> ParseInteger(std::string_view text) {
  // One integer conversion for every field: the designed-filter dialog's.
  int value = 0;
  if (!StrToIntChecked(std::string(text), value)) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(std::string_view text, char decimalSeparator) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::string_view t = text.substr(b, e - b);
  std::string plain;  // the same number in the C locale's spelling
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
  int digits = 0;
  bool separator = false;
  for (; i < t.size(); ++i) {
    char c = t[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      ++digits;
    } else if (c == decimalSeparator && !separator) {
      plain += '.';
      separator = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size()) {
    if (t[i] != 'e' && t[i] != 'E') return std::nullopt;
    plain += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
    int expDigits = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, ++expDigits) plain += t[i];
    if (expDigits == 0 || i != t.size()) return std::nullopt;
  }
  // from_chars ignores the process locale, which the GUI toolkit may set.
  const char* first = plain.c_str();
  if (*first == '+') ++first;
  double v = 0;
  auto [end, ec] = std::from_chars(first, plain.c_str() + plain.size(), v);
  if (ec != std::errc() || end != plain.c_str() + plain.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string NotValidIntegerText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::string NotValidRealText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid floating point value";
}

}  // namespace vell
