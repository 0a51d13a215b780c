// "Create-A-Filter": the ten fields of the designed 3 x 3 kernel, their
// conversion, and the refusal of a divisor that would divide by zero.
#pragma once

#include <array>
#include <string>

#include "imaging/Filters.h"
#include "imaging/PixelBuffer.h"

namespace vell {

inline constexpr const char kFilterDesignCaption[] = "Create-A-Filter";
inline constexpr const char kFilterDesignHelp[] =
    "3 x 3 Convolution filter.  Each box represents a pixel, except the one on the right, which is used as a "
    "divisor.  Each pixels color value is multiplied by the specified value, summed, then divided by the divisor. "
    "(Don't use 0)";
inline constexpr const char kFilterDesignHint[] = "Negative numbers are allowed, but not real numbers.";
inline constexpr const char kDivisorZeroMessage[] = "The divisor cannot be 0.  Change it and try again.";

// The fields as text, e1 ... e9 in reading order and eDiv, with the form's defaults.
struct TFilterDesign {
  std::array<std::string, 9> e = {"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1"};
  std::string eDiv = "1";
};

enum class TFilterDesignStatus { Done, NotInteger, DivisorZero };

struct TFilterDesignOutcome {
  TFilterDesignStatus status = TFilterDesignStatus::Done;
  std::string message;  // empty when done
};

// The toolkit's integer conversion: optional leading blanks, a sign, decimal
// digits or $ and hex digits, within 32 bits; nothing after.
bool StrToIntChecked(const std::string& text, int& value);
// "'<text>' is not a valid integer value"
std::string NotAnIntegerMessage(const std::string& text);

// Converts the fields and convolves the image with them. A field that is not
// an integer, or a divisor that comes to 0 as an unsigned 16-bit number,
// changes nothing and returns the message to show.
TFilterDesignOutcome ApplyFilterDesign(TPixelBuffer& image, const TFilterDesign& design);

}  // namespace vell
