#include "dialogs/TextLayout.h"

#include "dialogs/FilterDesign.h"

namespace vell {

std::optional<int> SizeRowForTyped(const std::string& text, int& size) {
  int v = 0;
  if (!StrToIntChecked(text, v)) return std::nullopt;
  size = v;
  for (size_t i = 0; i < kTextSizes.size(); ++i)
    if (kTextSizes[i] == v) return static_cast<int>(i);
  return 0;
}

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int FirstPrefixMatch(const std::vector<std::string>& names, const std::string& typed) {
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& n = names[i];
    if (n.size() < typed.size()) continue;
    bool same = true;
    for (size_t k = 0; k < typed.size() && same; ++k) same = Lower(n[k]) == Lower(typed[k]);
    if (same) return static_cast<int>(i);
  }
  return -1;
}

bool BevelWidthAllowed(int width, int height, int bevel) {
  return bevel >= 0 && bevel <= width / 2 - 5 && bevel <= height / 2 - 5;
}

TTextBox SampleTextBox(int width, int height, int letterHeight) {
  const int t = (height - letterHeight) / 2;
  // Laid out as (1, t - 1, width - 3, t + h - 2), then moved one pixel right and down.
  TTextBox box{1, t - 1, width - 3, t + letterHeight - 2};
  return {box.left + 1, box.top + 1, box.right + 1, box.bottom + 1};
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace vell
