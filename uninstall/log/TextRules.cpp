#include "TextRules.h"

#include <algorithm>

namespace yarb {

unsigned char FoldChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;  // S caron
    case 0x8C: return 0x9C;  // OE
    case 0x8E: return 0x9E;  // Z caron
    case 0x9F: return 0xFF;  // Y diaeresis
    default: return c;
  }
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = FoldChar(static_cast<unsigned char>(a[i]));
    const int cb = FoldChar(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         CompareNoCase(text.substr(text.size() - suffix.size()), suffix) == 0;
}

int CompareNoCaseFromEnd(std::string_view a, std::string_view b) {
  size_t i = a.size(), j = b.size();
  while (i > 0 && j > 0) {
    --i;
    --j;
    const int ca = FoldChar(static_cast<unsigned char>(a[i]));
    const int cb = FoldChar(static_cast<unsigned char>(b[j]));
    if (ca != cb) return ca - cb;
  }
  if (i == 0 && j == 0) return 0;
  return i == 0 ? -1 : 1;
}

std::string CutToField(std::string_view text, size_t maxChars) {
  return std::string(text.substr(0, std::min(text.size(), maxChars)));
}

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

}  // namespace yarb
