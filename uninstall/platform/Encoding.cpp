#include "Encoding.h"

#include <cstdint>

#include "Platform.h"

namespace yarb {
namespace {

const uint16_t kCp437High[128] = {
    0xc7, 0xfc, 0xe9, 0xe2, 0xe4, 0xe0, 0xe5, 0xe7, 0xea, 0xeb, 0xe8, 0xef, 0xee, 0xec, 0xc4,
    0xc5, 0xc9, 0xe6, 0xc6, 0xf4, 0xf6, 0xf2, 0xfb, 0xf9, 0xff, 0xd6, 0xdc, 0xa2, 0xa3, 0xa5,
    0x20a7, 0x192, 0xe1, 0xed, 0xf3, 0xfa, 0xf1, 0xd1, 0xaa, 0xba, 0xbf, 0x2310, 0xac, 0xbd,
    0xbc, 0xa1, 0xab, 0xbb, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255d, 0x255c, 0x255b, 0x2510, 0x2514, 0x2534, 0x252c,
    0x251c, 0x2500, 0x253c, 0x255e, 0x255f, 0x255a, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256c, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256b, 0x256a,
    0x2518, 0x250c, 0x2588, 0x2584, 0x258c, 0x2590, 0x2580, 0x3b1, 0xdf, 0x393, 0x3c0, 0x3a3,
    0x3c3, 0xb5, 0x3c4, 0x3a6, 0x398, 0x3a9, 0x3b4, 0x221e, 0x3c6, 0x3b5, 0x2229, 0x2261, 0xb1,
    0x2265, 0x2264, 0x2320, 0x2321, 0xf7, 0x2248, 0xb0, 0x2219, 0xb7, 0x221a, 0x207f, 0xb2,
    0x25a0, 0xa0};

// 0x80-0x9F of Windows-1252; the five unassigned bytes map to the same C1 code point.
const uint16_t kCp1252C1[32] = {
    0x20ac, 0x81, 0x201a, 0x192, 0x201e, 0x2026, 0x2020, 0x2021, 0x2c6, 0x2030, 0x160,
    0x2039, 0x152, 0x8d, 0x17d, 0x8f, 0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x2dc, 0x2122, 0x161, 0x203a, 0x153, 0x9d, 0x17e, 0x178};

// Best-fit replacements Windows uses for the OEM line-drawing and Greek characters.
char BestFit(char16_t c) {
  if (c >= 0x2500 && c <= 0x257f) {
    if (c == 0x2500 || c == 0x2550) return '-';
    if (c == 0x2502 || c == 0x2551) return '|';
    return '+';
  }
  switch (c) {
    case 0x2591: case 0x2592: case 0x2593: case 0x2588: case 0x2584: case 0x258c:
    case 0x2590: case 0x2580: case 0x25a0: return '?';
    case 0x3b1: return 'a';
    case 0x393: return 'G';
    case 0x3c0: return 'p';
    case 0x3a3: return 'S';
    case 0x3c3: return 's';
    case 0x3c4: return 't';
    case 0x3a6: return 'F';
    case 0x398: return 'T';
    case 0x3a9: return 'O';
    case 0x3b4: return 'd';
    case 0x3c6: return 'f';
    case 0x3b5: return 'e';
    case 0x2261: return '=';
    case 0x2265: return '>';
    case 0x2264: return '<';
    case 0x2248: return '~';
    case 0x2219: return '\xb7';
    case 0x207f: return 'n';
    default: return '?';
  }
}

bool ToAnsiChar(char16_t c, char* out) {
  if (c < 0x80 || (c >= 0xa0 && c <= 0xff)) {
    *out = static_cast<char>(c);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kCp1252C1[i] == c) {
      *out = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

}  // namespace

std::u16string AnsiToUtf16(const std::string& ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (unsigned char b : ansi) {
    if (b >= 0x80 && b < 0xa0) out.push_back(kCp1252C1[b - 0x80]);
    else out.push_back(b);
  }
  return out;
}

std::string Utf16ToAnsi(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c;
    if (ToAnsiChar(text[i], &c)) {
      out.push_back(c);
    } else {
      // A surrogate pair stands for one character.
      if (text[i] >= 0xd800 && text[i] < 0xdc00 && i + 1 < text.size() && text[i + 1] >= 0xdc00 &&
          text[i + 1] < 0xe000)
        ++i;
      out.push_back('?');
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  size_t i = 0, n = utf8.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(utf8[k]); };
  while (i < n) {
    unsigned char b = byte(i);
    uint32_t cp;
    int len;
    if (b < 0x80) { cp = b; len = 1; }
    else if ((b & 0xe0) == 0xc0) { cp = b & 0x1f; len = 2; }
    else if ((b & 0xf0) == 0xe0) { cp = b & 0x0f; len = 3; }
    else if ((b & 0xf8) == 0xf0) { cp = b & 0x07; len = 4; }
    else { out.push_back(0xfffd); ++i; continue; }
    bool ok = i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      if ((byte(i + k) & 0xc0) != 0x80) ok = false;
      else cp = (cp << 6) | (byte(i + k) & 0x3f);
    }
    static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10ffff || (cp >= 0xd800 && cp < 0xe000)) {
      out.push_back(0xfffd);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xd800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xdc00 + (cp & 0x3ff)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xd800 && cp < 0xdc00 && i + 1 < text.size() && text[i + 1] >= 0xdc00 &&
        text[i + 1] < 0xe000) {
      cp = 0x10000 + ((cp - 0xd800) << 10) + (text[i + 1] - 0xdc00);
      ++i;
    } else if (cp >= 0xd800 && cp < 0xe000) {
      cp = 0xfffd;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xc0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xe0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    } else {
      out.push_back(static_cast<char>(0xf0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    }
  }
  return out;
}

char16_t FoldCase(char16_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xc0 && c <= 0xde && c != 0xd7) return c + 32;
  return c;
}

char16_t UpperCase(char16_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xe0 && c <= 0xfe && c != 0xf7) return c - 32;
  return c;
}

bool EqualNoCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

bool EqualNoCaseAnsi(const std::string& a, const std::string& b) {
  return EqualNoCase(AnsiToUtf16(a), AnsiToUtf16(b));
}

std::string OemToAnsi(const std::string& oem) {
  std::string out;
  out.reserve(oem.size());
  for (unsigned char b : oem) {
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      continue;
    }
    char16_t u = kCp437High[b - 0x80];
    char c;
    out.push_back(ToAnsiChar(u, &c) ? c : BestFit(u));
  }
  return out;
}

std::string AnsiToUtf8(const std::string& ansi) { return Utf16ToUtf8(AnsiToUtf16(ansi)); }
std::string Utf8ToAnsi(const std::string& utf8) { return Utf16ToAnsi(Utf8ToUtf16(utf8)); }

}  // namespace yarb
