#include "ShortNames.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "Encoding.h"

namespace yarb {
namespace {

bool IsInvalidDosChar(char16_t c) {
  if (c > 0x7f) return true;
  static const char16_t kInvalid[] = u"*?<>|\"+=,;[] ~.";
  for (const char16_t* p = kInvalid; *p; ++p)
    if (*p == c) return true;
  return c == 0;
}

char16_t Upper(char16_t c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
char16_t Lower(char16_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : FoldCase(c); }

}  // namespace

bool IsLegal83(const std::u16string& name) {
  size_t len = name.size();
  if (len == 0 || len > 12) return false;
  if (name[0] == '.') return len == 1 || (len == 2 && name[1] == '.');
  static const char16_t kInvalid[] = u"*?<>|\"+=,;[] :/\\";
  int dot = -1;
  for (size_t i = 0; i < len; ++i) {
    char16_t c = name[i];
    if (c > 0x7f || c == 0xe5) return false;
    for (const char16_t* p = kInvalid; *p; ++p)
      if (*p == c) return false;
    if (c == '.') {
      if (dot != -1) return false;
      dot = static_cast<int>(i);
    }
  }
  if (dot == -1) return len <= 8;
  if (dot > 8) return false;
  return len - dot > 1 && len - dot < 5;
}

std::u16string WineShortName(const std::u16string& name) {
  if (name.empty() || IsLegal83(name)) return {};
  static const char kHashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
  size_t n = name.size();
  uint16_t hash = 0xbeef;
  for (size_t i = 0; i + 1 < n; ++i)
    hash = static_cast<uint16_t>((hash << 3) ^ (hash >> 5) ^ Lower(name[i]) ^ (Lower(name[i + 1]) << 8));
  hash = static_cast<uint16_t>((hash << 3) ^ (hash >> 5) ^ Lower(name[n - 1]));

  // The extension starts at the last dot that is neither first nor last.
  size_t ext = std::u16string::npos;
  for (size_t i = 1; i + 1 < n; ++i)
    if (name[i] == '.') ext = i;

  std::u16string out;
  int i = 4;
  for (size_t p = 0; i > 0; --i, ++p) {
    if (p == n || p == ext) break;
    out.push_back(IsInvalidDosChar(name[p]) ? u'_' : Upper(name[p]));
  }
  while (i-- >= 0) out.push_back(u'~');
  out.push_back(kHashChars[(hash >> 10) & 0x1f]);
  out.push_back(kHashChars[(hash >> 5) & 0x1f]);
  out.push_back(kHashChars[hash & 0x1f]);
  if (ext != std::u16string::npos) {
    out.push_back(u'.');
    for (size_t p = ext + 1, k = 0; k < 3 && p < n; ++k, ++p)
      out.push_back(IsInvalidDosChar(name[p]) ? u'_' : Upper(name[p]));
  }
  return out;
}

std::vector<std::u16string> WindowsShortNames(const std::vector<std::u16string>& names) {
  std::vector<std::u16string> result(names.size());
  std::vector<size_t> order(names.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const auto& x = names[a];
    const auto& y = names[b];
    size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
      char16_t cx = UpperCase(x[i]), cy = UpperCase(y[i]);
      if (cx != cy) return cx < cy;
    }
    return x.size() < y.size();
  });
  std::map<std::u16string, int> used;
  for (size_t idx : order) {
    const std::u16string& name = names[idx];
    if (name.empty() || IsLegal83(name)) continue;
    size_t dot = name.find_last_of(u'.');
    if (dot == 0) dot = std::u16string::npos;
    std::u16string base, ext;
    for (size_t i = 0; i < (dot == std::u16string::npos ? name.size() : dot); ++i) {
      char16_t c = name[i];
      if (c == ' ' || c == '.') continue;
      base.push_back(c > 0x7f || IsInvalidDosChar(c) ? u'_' : Upper(c));
    }
    if (dot != std::u16string::npos) {
      for (size_t i = dot + 1; i < name.size() && ext.size() < 3; ++i) {
        char16_t c = name[i];
        if (c == ' ') continue;
        ext.push_back(c > 0x7f || IsInvalidDosChar(c) ? u'_' : Upper(c));
      }
    }
    if (base.size() > 6) base.resize(6);
    std::u16string stem = base + u"." + ext;
    int number = ++used[stem];
    std::u16string num;
    for (int v = number; v > 0; v /= 10) num.insert(num.begin(), static_cast<char16_t>('0' + v % 10));
    std::u16string alias = base.substr(0, std::min(base.size(), 7 - num.size())) + u"~" + num;
    if (!ext.empty()) alias += u"." + ext;
    result[idx] = alias;
  }
  return result;
}

namespace {

// Table-driven, so a mask with many stars cannot take exponential time.
bool Match(const std::u16string& m, const std::u16string& s) {
  size_t M = m.size(), N = s.size();
  // ok[i][j]: m[i..] matches s[j..].
  std::vector<std::vector<char>> ok(M + 1, std::vector<char>(N + 1, 0));
  ok[M][N] = 1;
  for (size_t i = M; i-- > 0;) {
    char16_t c = m[i];
    // DOS rule: at the end of the name, "?" and ".*" may match nothing.
    if (c == '*' || c == '?') ok[i][N] = ok[i + 1][N];
    else if (c == '.' && i + 1 < M && m[i + 1] == '*') ok[i][N] = ok[i + 2][N];
    for (size_t j = N; j-- > 0;) {
      if (c == '*') ok[i][j] = ok[i + 1][j] || ok[i][j + 1];
      else if (c == '?') ok[i][j] = ok[i + 1][j + 1];
      else ok[i][j] = FoldCase(c) == FoldCase(s[j]) && ok[i + 1][j + 1];
    }
  }
  return ok[0][0];
}

}  // namespace

bool WildcardMatch(const std::u16string& mask, const std::u16string& name) {
  if (mask == u"*.*" || mask == u"*") return true;
  std::u16string m;
  for (char16_t c : mask)
    if (!(c == '*' && !m.empty() && m.back() == '*')) m.push_back(c);
  return Match(m, name);
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

}  // namespace yarb
