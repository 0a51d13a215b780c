#include "IniProfile.h"

#include <vector>

#include "Encoding.h"

namespace yarb::ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (IsBlank(s[a]) || s[a] == '\r' || s[a] == '\n')) ++a;
  while (b > a && (IsBlank(s[b - 1]) || s[b - 1] == '\r' || s[b - 1] == '\n')) --b;
  return s.substr(a, b - a);
}

struct Line {
  std::string text;
  enum Kind { Other, Section, Key } kind = Other;
  std::string name;   // section or key name, trimmed
  bool hasValue = false;
  std::string value;  // trimmed
};

std::vector<Line> Split(const std::string& text) {
  std::vector<Line> lines;
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t j = i;
    while (j < n && text[j] != '\r' && text[j] != '\n') ++j;
    Line l;
    l.text = text.substr(i, j - i);
    if (j < n && text[j] == '\r') ++j;
    if (j < n && text[j] == '\n') ++j;
    i = j;
    std::string t = Trim(l.text);
    if (!t.empty() && t[0] == '[') {
      size_t close = t.rfind(']');
      l.kind = Line::Section;
      l.name = Trim(close == std::string::npos ? t.substr(1) : t.substr(1, close - 1));
    } else if (!t.empty()) {
      l.kind = Line::Key;
      size_t eq = t.find('=');
      if (eq == std::string::npos) {
        l.name = t;
      } else {
        l.name = Trim(t.substr(0, eq));
        l.value = Trim(t.substr(eq + 1));
        l.hasValue = true;
      }
    }
    lines.push_back(std::move(l));
  }
  return lines;
}

std::string Join(const std::vector<Line>& lines) {
  std::string out;
  for (const Line& l : lines) out += l.text + "\r\n";
  return out;
}

// Index of the first header of `section`, or lines.size().
size_t FindSection(const std::vector<Line>& lines, const std::string& section) {
  std::string want = Trim(section);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Line::Section && EqualNoCaseAnsi(lines[i].name, want)) return i;
  return lines.size();
}

size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != Line::Section) ++i;
  return i;
}

size_t FindKey(const std::vector<Line>& lines, size_t header, size_t end, const std::string& key) {
  std::string want = Trim(key);
  for (size_t i = header + 1; i < end; ++i)
    if (lines[i].kind == Line::Key && EqualNoCaseAnsi(lines[i].name, want)) return i;
  return end;
}

}  // namespace

bool Get(const std::string& text, const std::string& section, const std::string& key,
         std::string* value) {
  std::vector<Line> lines = Split(text);
  size_t h = FindSection(lines, section);
  if (h == lines.size()) return false;
  size_t end = SectionEnd(lines, h);
  size_t k = FindKey(lines, h, end, key);
  if (k == end || !lines[k].hasValue) return false;
  std::string v = lines[k].value;
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  *value = v;
  return true;
}

std::string Set(const std::string& text, const std::string& section, const std::string& key,
                const std::string& value) {
  std::vector<Line> lines = Split(text);
  Line entry;
  entry.kind = Line::Key;
  entry.name = Trim(key);
  entry.text = entry.name + "=" + value;
  size_t h = FindSection(lines, section);
  if (h == lines.size()) {
    Line head;
    head.kind = Line::Section;
    head.name = Trim(section);
    head.text = "[" + head.name + "]";
    lines.push_back(head);
    lines.push_back(entry);
    return Join(lines);
  }
  size_t end = SectionEnd(lines, h);
  size_t k = FindKey(lines, h, end, key);
  if (k != end) {
    lines[k].text = lines[k].name + "=" + value;
    return Join(lines);
  }
  // After the section's last non-blank line.
  size_t at = end;
  while (at > h + 1 && lines[at - 1].kind == Line::Other && Trim(lines[at - 1].text).empty()) --at;
  lines.insert(lines.begin() + at, entry);
  return Join(lines);
}

std::string DeleteKey(const std::string& text, const std::string& section, const std::string& key,
                      bool* changed) {
  std::vector<Line> lines = Split(text);
  *changed = false;
  size_t h = FindSection(lines, section);
  if (h == lines.size()) return text;
  size_t end = SectionEnd(lines, h);
  size_t k = FindKey(lines, h, end, key);
  if (k == end) return text;
  lines.erase(lines.begin() + k);
  *changed = true;
  return Join(lines);
}

std::string DeleteSection(const std::string& text, const std::string& section, bool* changed) {
  std::vector<Line> lines = Split(text);
  *changed = false;
  size_t h = FindSection(lines, section);
  if (h == lines.size()) return text;
  size_t end = SectionEnd(lines, h);
  lines.erase(lines.begin() + h, lines.begin() + end);
  *changed = true;
  return Join(lines);
}

}  // namespace yarb::ini
