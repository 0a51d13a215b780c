// The text composer's rules that need no window: its size list, the typing
// rules of the name and size fields, the sample's bevel limit and text box,
// and the hand-over form of the text.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vell {

// lbSize, in order.
inline constexpr std::array<int, 54> kTextSizes = {
    2,  4,  6,  8,  9,  10, 11, 12, 14, 16, 18, 20, 22, 24, 26,  28,  30,  32,  34,  36,  38,  40,  42,  44,  46,  48,  50,
    52, 54, 56, 58, 60, 62, 64, 68, 70, 72, 74, 76, 78, 80, 82, 86, 90, 96, 100, 110, 120, 132, 144, 156, 168, 180, 220};
inline constexpr int kDefaultTextSizeIndex = 3;  // "8"

// lbStyle, in the style index's order.
inline constexpr std::array<const char*, 4> kTextStyleNames = {"Regular", "Bold", "Italic", "Bold Italic"};

inline constexpr char kDefaultTextFamily[] = "MS Sans Serif";
inline constexpr char kDefaultSampleText[] = "Your Text Here";

// Typing in the size field: none when the text is not an integer (nothing
// happens); otherwise the list row to select (0 when the size is not listed)
// and the size itself in `size`.
std::optional<int> SizeRowForTyped(const std::string& text, int& size);

// Typing in the name field: the first row whose first n characters equal the
// n typed ones, letter case ignored; -1 when none does.
int FirstPrefixMatch(const std::vector<std::string>& names, const std::string& typed);

// The sample accepts a bevel no wider than (width div 2) - 5 and (height div 2) - 5.
bool BevelWidthAllowed(int width, int height, int bevel);

// The sample's text box for a control of width x height whose letter "W" is
// letterHeight high: one pixel shorter than the text, 2 pixels in from the sides.
struct TTextBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};
TTextBox SampleTextBox(int width, int height, int letterHeight);

// The text up to its first line break (the sample shows one line).
std::string FirstLine(const std::string& text);
// Every line break (CR, LF or CR LF) as CR LF: the text handed to the text tool.
std::string WithCrLf(const std::string& text);

}  // namespace vell
