#include "RegistryHive.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "Encoding.h"

namespace yarb::reg {
namespace {

constexpr uint64_t kTicksPerSecond = 10000000ull;
constexpr uint64_t kTicks1601To1970 = 86400ull * (369 * 365 + 89) * kTicksPerSecond;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// Decodes one UTF-8 sequence at text[pos]; invalid bytes give U+FFFD.
size_t DecodeUtf8(const std::string& text, size_t pos, std::u16string* out) {
  size_t n = text.size();
  unsigned char b = static_cast<unsigned char>(text[pos]);
  int len = (b & 0xe0) == 0xc0 ? 2 : (b & 0xf0) == 0xe0 ? 3 : (b & 0xf8) == 0xf0 ? 4 : 0;
  if (len == 0 || pos + len > n) {
    out->push_back(0xfffd);
    return pos + 1;
  }
  std::u16string part = Utf8ToUtf16(text.substr(pos, len));
  if (part.size() == 1 && part[0] == 0xfffd) {
    out->push_back(0xfffd);
    return pos + 1;
  }
  *out += part;
  return pos + len;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    size_t end = nl == std::string::npos ? text.size() : nl + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// The content of a line as Wine's reader sees it: no line end, cut at a NUL byte.
std::string Content(const std::string& line) {
  std::string s = line;
  if (!s.empty() && s.back() == '\n') s.pop_back();
  if (!s.empty() && s.back() == '\r') s.pop_back();
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

bool EndsWithBlankLine(const std::string& out) {
  if (out.empty()) return true;
  if (out.back() != '\n') return false;
  size_t n = out.size();
  if (n >= 2 && out[n - 2] == '\n') return true;
  return n >= 3 && out[n - 2] == '\r' && out[n - 3] == '\n';
}

struct ParseState {
  const std::vector<std::string>& lines;
  size_t index = 0;
};

// Hex bytes as Wine's reader takes them; continues over lines that end in "\".
bool ParseHexData(ParseState& st, std::string buffer, size_t pos, std::vector<uint8_t>* out) {
  for (;;) {
    while (pos < buffer.size() && IsHexDigit(buffer[pos])) {
      uint64_t val = 0;
      size_t start = pos;
      while (pos < buffer.size() && IsHexDigit(buffer[pos])) {
        val = (val << 4) | HexValue(buffer[pos]);
        if (val > 0xff) val = 0x100;
        ++pos;
      }
      if (pos == start || val > 0xff) return false;
      out->push_back(static_cast<uint8_t>(val));
      while (pos < buffer.size() && IsSpace(buffer[pos])) ++pos;
      if (pos < buffer.size() && buffer[pos] == ',') ++pos;
      while (pos < buffer.size() && IsSpace(buffer[pos])) ++pos;
    }
    while (pos < buffer.size() && IsSpace(buffer[pos])) ++pos;
    if (pos >= buffer.size()) return true;
    if (buffer[pos] != '\\') return false;
    if (st.index + 1 >= st.lines.size()) return false;
    ++st.index;
    buffer = Content(st.lines[st.index]);
    pos = 0;
    while (pos < buffer.size() && IsSpace(buffer[pos])) ++pos;
  }
}

std::vector<uint8_t> Utf16Bytes(const std::u16string& s) {
  std::vector<uint8_t> out;
  out.reserve(s.size() * 2);
  for (char16_t c : s) {
    out.push_back(static_cast<uint8_t>(c & 0xff));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

// One value line; the value is created even when its data is malformed (as Wine does).
void LoadValue(Key* key, ParseState& st, const std::string& buffer) {
  std::u16string name;
  size_t pos;
  if (buffer[0] == '@') {
    pos = 1;
  } else {
    pos = UnescapeString(buffer, 1, '"', &name);
    if (pos == std::string::npos) return;
  }
  while (pos < buffer.size() && IsSpace(buffer[pos])) ++pos;
  if (pos >= buffer.size() || buffer[pos] != '=') return;
  ++pos;
  while (pos < buffer.size() && IsSpace(buffer[pos])) ++pos;
  if (name.size() > 16383) return;

  std::string rest = buffer.substr(pos);
  uint32_t type = 0;
  int parse = 0;  // 1 string, 2 dword, 3 hex
  size_t skip = 0;
  auto starts = [&](const char* tag) { return rest.compare(0, std::char_traits<char>::length(tag), tag) == 0; };
  if (starts("\"")) { type = 1; parse = 1; skip = 1; }
  else if (starts("str:\"")) { type = 1; parse = 1; skip = 5; }
  else if (starts("str(2):\"")) { type = 2; parse = 1; skip = 8; }
  else if (starts("str(7):\"")) { type = 7; parse = 1; skip = 8; }
  else if (starts("hex:")) { type = 3; parse = 3; skip = 4; }
  else if (starts("dword:")) { type = 4; parse = 2; skip = 6; }
  else if (starts("hex(")) {
    size_t p = 4;
    uint64_t t = 0;
    while (p < rest.size() && IsHexDigit(rest[p])) {
      t = (t << 4) | HexValue(rest[p]);
      if (t > 0xffffffffull) t = 0xffffffffull;
      ++p;
    }
    if (p > 4 && rest.compare(p, 2, "):") == 0) {
      type = static_cast<uint32_t>(t);
      parse = 3;
      skip = p + 2;
    }
  }

  std::vector<uint8_t> data;
  bool ok = parse != 0;
  if (parse == 1) {
    std::u16string text;
    ok = UnescapeString(rest, skip, '"', &text) != std::string::npos;
    if (ok) {
      text.push_back(0);
      data = Utf16Bytes(text);
    }
  } else if (parse == 2) {
    uint64_t v = 0;
    size_t p = skip;
    while (p < rest.size() && IsSpace(rest[p])) ++p;
    while (p < rest.size() && IsHexDigit(rest[p])) {
      v = v > (UINT64_MAX >> 4) ? UINT64_MAX : (v << 4) | HexValue(rest[p]);
      ++p;
    }
    uint32_t dw = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(dw >> (8 * i)));
  } else if (parse == 3) {
    ok = ParseHexData(st, rest, skip, &data);
  }
  if (!ok) {
    type = 0;
    data.clear();
  }
  bool wasChanged = key->changed;
  key->SetValue(name, type, std::move(data), key->modif);
  key->changed = wasChanged;  // read, not changed
}

void SetTimeIfUnknown(Key* key, uint64_t time) {
  while (key && key->modif == 0) {
    key->modif = time;
    key = key->parent;
  }
}

}  // namespace

uint64_t CurrentFileTime() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  auto ticks = std::chrono::duration_cast<std::chrono::microseconds>(now).count() * 10;
  return kTicks1601To1970 + static_cast<uint64_t>(ticks);
}

int CompareNames(const std::u16string& a, const std::u16string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Key* Key::FindSubkey(const std::u16string& n) const {
  auto it = std::lower_bound(subkeys.begin(), subkeys.end(), n,
                             [](const std::unique_ptr<Key>& k, const std::u16string& s) {
                               return CompareNames(k->name, s) < 0;
                             });
  if (it != subkeys.end() && CompareNames((*it)->name, n) == 0) return it->get();
  return nullptr;
}

Value* Key::FindValue(const std::u16string& n) {
  auto it = std::lower_bound(values.begin(), values.end(), n,
                             [](const Value& v, const std::u16string& s) {
                               return CompareNames(v.name, s) < 0;
                             });
  if (it != values.end() && CompareNames(it->name, n) == 0) return &*it;
  return nullptr;
}

const Value* Key::FindValue(const std::u16string& n) const {
  return const_cast<Key*>(this)->FindValue(n);
}

Key* Key::AddSubkey(const std::u16string& n, uint64_t time) {
  auto it = std::lower_bound(subkeys.begin(), subkeys.end(), n,
                             [](const std::unique_ptr<Key>& k, const std::u16string& s) {
                               return CompareNames(k->name, s) < 0;
                             });
  if (it != subkeys.end() && CompareNames((*it)->name, n) == 0) return it->get();
  auto k = std::make_unique<Key>();
  k->name = n;
  k->parent = this;
  k->modif = time;
  Key* raw = k.get();
  subkeys.insert(it, std::move(k));
  return raw;
}

bool Key::RemoveSubkey(const Key* k) {
  for (auto it = subkeys.begin(); it != subkeys.end(); ++it) {
    if (it->get() == k) {
      subkeys.erase(it);
      return true;
    }
  }
  return false;
}

void Key::SetValue(const std::u16string& n, uint32_t type, std::vector<uint8_t> data,
                   uint64_t time) {
  auto it = std::lower_bound(values.begin(), values.end(), n,
                             [](const Value& v, const std::u16string& s) {
                               return CompareNames(v.name, s) < 0;
                             });
  if (it != values.end() && CompareNames(it->name, n) == 0) {
    it->type = type;
    it->data = std::move(data);
  } else {
    Value v;
    v.name = n;
    v.type = type;
    v.data = std::move(data);
    values.insert(it, std::move(v));
  }
  Touch(time);
}

bool Key::RemoveValue(const std::u16string& n, uint64_t time) {
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (CompareNames(it->name, n) == 0) {
      values.erase(it);
      Touch(time);
      return true;
    }
  }
  return false;
}

void Key::Touch(uint64_t time) {
  if (time) modif = time;
  changed = true;
}

std::string EscapeString(const std::u16string& s, const char quote[2]) {
  static const char kEscapes[33] = ".......abtnvfr.............e....";
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    char buf[16];
    if (c > 127) {
      bool nextHex = i + 1 < s.size() && s[i + 1] < 128 && IsHexDigit(static_cast<char>(s[i + 1]));
      std::snprintf(buf, sizeof buf, nextHex ? "\\x%04x" : "\\x%x", static_cast<unsigned>(c));
      out += buf;
      continue;
    }
    if (c < 32) {
      if (kEscapes[c] != '.') {
        out.push_back('\\');
        out.push_back(kEscapes[c]);
      } else {
        bool nextOctal = i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7';
        std::snprintf(buf, sizeof buf, nextOctal ? "\\%03o" : "\\%o", static_cast<unsigned>(c));
        out += buf;
      }
      continue;
    }
    if (c == '\\' || c == quote[0] || c == quote[1]) out.push_back('\\');
    out.push_back(static_cast<char>(c));
  }
  return out;
}

size_t UnescapeString(const std::string& text, size_t pos, char end, std::u16string* out) {
  size_t n = text.size();
  while (pos < n && text[pos] != end) {
    char c = text[pos];
    if (c != '\\') {
      if (static_cast<unsigned char>(c) < 0x80) {
        out->push_back(static_cast<unsigned char>(c));
        ++pos;
      } else {
        pos = DecodeUtf8(text, pos, out);
      }
      continue;
    }
    ++pos;
    if (pos >= n) return std::string::npos;
    c = text[pos];
    switch (c) {
      case 'a': out->push_back('\a'); ++pos; break;
      case 'b': out->push_back('\b'); ++pos; break;
      case 'e': out->push_back(0x1b); ++pos; break;
      case 'f': out->push_back('\f'); ++pos; break;
      case 'n': out->push_back('\n'); ++pos; break;
      case 'r': out->push_back('\r'); ++pos; break;
      case 't': out->push_back('\t'); ++pos; break;
      case 'v': out->push_back('\v'); ++pos; break;
      case 'x': {
        ++pos;
        unsigned v = 0;
        for (int i = 0; i < 4 && pos < n && IsHexDigit(text[pos]); ++i, ++pos) v = v * 16 + HexValue(text[pos]);
        out->push_back(static_cast<char16_t>(v));
        break;
      }
      case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
        unsigned v = 0;
        for (int i = 0; i < 3 && pos < n && text[pos] >= '0' && text[pos] <= '7'; ++i, ++pos)
          v = v * 8 + (text[pos] - '0');
        out->push_back(static_cast<char16_t>(v));
        break;
      }
      default:
        if (static_cast<unsigned char>(c) < 0x80) {
          out->push_back(static_cast<unsigned char>(c));
          ++pos;
        } else {
          pos = DecodeUtf8(text, pos, out);
        }
        break;
    }
  }
  if (pos >= n) return std::string::npos;
  return pos + 1;
}

std::string FormatValue(const Value& v) {
  std::string out;
  int count;
  if (!v.name.empty()) {
    std::string name = EscapeString(v.name, "\"\"");
    out = "\"" + name + "\"=";
    count = static_cast<int>(name.size()) + 3;
  } else {
    out = "@=";
    count = 2;
  }
  const auto& d = v.data;
  if (v.type == 1 || v.type == 2 || v.type == 7) {
    if (d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0 && d[d.size() - 2] == 0) {
      std::u16string text;
      for (size_t i = 0; i + 2 < d.size(); i += 2) text.push_back(static_cast<char16_t>(d[i] | (d[i + 1] << 8)));
      if (v.type != 1) out += "str(" + std::to_string(v.type) + "):";
      return out + "\"" + EscapeString(text, "\"\"") + "\"\n";
    }
  } else if (v.type == 4 && d.size() == 4) {
    char buf[32];
    uint32_t dw = d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24);
    std::snprintf(buf, sizeof buf, "dword:%08x\n", dw);
    return out + buf;
  }
  char buf[32];
  if (v.type == 3) std::snprintf(buf, sizeof buf, "hex:");
  else std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
  out += buf;
  count += static_cast<int>(std::char_traits<char>::length(buf));
  for (size_t i = 0; i < d.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", d[i]);
    out += buf;
    count += 2;
    if (i + 1 < d.size()) {
      out.push_back(',');
      if (++count > 76) {
        out += "\\\n  ";
        count = 2;
      }
    }
  }
  out.push_back('\n');
  return out;
}

namespace {

std::string KeyPath(const Key& k) {
  std::vector<const Key*> chain;
  for (const Key* p = &k; p->parent; p = p->parent) chain.push_back(p);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += "\\\\";
    path += EscapeString((*it)->name, "[]");
  }
  return path;
}

}  // namespace

std::string FormatKeyHeader(const Key& k) {
  char buf[64];
  std::string out = "[" + KeyPath(k) + "]";
  uint64_t m = k.modif ? k.modif : CurrentFileTime();
  std::snprintf(buf, sizeof buf, " %u\n", static_cast<unsigned>((m - std::min(m, kTicks1601To1970)) / kTicksPerSecond));
  out += buf;
  std::snprintf(buf, sizeof buf, "#time=%x%08x\n", static_cast<unsigned>(m >> 32), static_cast<unsigned>(m));
  out += buf;
  if (k.hasClass) out += "#class=\"" + EscapeString(k.keyClass, "\"\"") + "\"\n";
  if (k.link) out += "#link\n";
  return out;
}

bool Hive::Parse(const std::string& text, std::string* error) {
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty() || Content(lines[0]) != "WINE REGISTRY Version 2") {
    if (error) *error = "not a Wine registry file (the first line is not \"WINE REGISTRY Version 2\")";
    return false;
  }
  root_ = Key();
  header_.clear();
  relativeTo_.clear();
  win64_ = false;
  modified_ = false;

  ParseState st{lines};
  Key* current = nullptr;       // key that takes values (null after a bad key line)
  Key* blockOwner = nullptr;    // key whose block collects the lines
  uint64_t lineTime = 0;
  bool inHeader = true;

  auto finishKey = [&]() {
    if (current) SetTimeIfUnknown(current, lineTime ? lineTime : CurrentFileTime());
  };

  for (st.index = 0; st.index < lines.size(); ++st.index) {
    size_t first = st.index;
    std::string content = Content(lines[st.index]);
    size_t p = 0;
    while (p < content.size() && IsSpace(content[p])) ++p;
    std::string body = content.substr(p);
    char c = body.empty() ? 0 : body[0];

    if (c == '[') {
      finishKey();
      current = nullptr;
      std::u16string path;
      size_t after = UnescapeString(body, 1, ']', &path);
      bool ok = after != std::string::npos;
      lineTime = 0;
      if (ok) {
        size_t q = after;
        while (q < body.size() && IsSpace(body[q])) ++q;
        uint64_t secs = 0;
        bool any = false;
        while (q < body.size() && body[q] >= '0' && body[q] <= '9' && secs < 0xffffffffull) {
          secs = secs * 10 + (body[q] - '0');
          any = true;
          ++q;
        }
        if (any && secs <= 0xffffffffull) lineTime = secs * kTicksPerSecond + kTicks1601To1970;
      }
      // Split the path the way Wine does: runs of backslashes separate names.
      std::vector<std::u16string> names;
      if (ok) {
        if (!path.empty() && path[0] == u'\\') ok = false;
        size_t i = 0;
        while (ok && i < path.size()) {
          size_t j = path.find(u'\\', i);
          if (j == std::u16string::npos) j = path.size();
          if (j > i) names.push_back(path.substr(i, j - i));
          if (j - i > kMaxNameLength) ok = false;
          i = j;
          while (i < path.size() && path[i] == u'\\') ++i;
        }
        if (names.size() > kMaxKeyDepth) ok = false;
      }
      if (ok) {
        Key* k = &root_;
        for (const auto& n : names) {
          Key* sub = k->FindSubkey(n);
          if (!sub) sub = k->AddSubkey(n, 0);
          k = sub;
        }
        current = k;
        blockOwner = k;
        inHeader = false;
        k->hasOriginal = true;
      }
    } else if (c == '@' || c == '"') {
      if (current) LoadValue(current, st, body);
    } else if (c == '#') {
      if (current) {
        if (body.compare(0, 6, "#time=") == 0) {
          uint64_t t = 0;
          for (size_t q = 6; q < body.size() && IsHexDigit(body[q]); ++q) t = (t << 4) | HexValue(body[q]);
          SetTimeIfUnknown(current, t);
        } else if (body.compare(0, 8, "#class=\"") == 0) {
          std::u16string cls;
          if (UnescapeString(body, 8, '"', &cls) != std::string::npos) {
            current->hasClass = true;
            current->keyClass = cls;
          }
        } else if (body.compare(0, 5, "#link") == 0) {
          current->link = true;
        }
      } else if (inHeader && body.compare(0, 6, "#arch=") == 0) {
        win64_ = body.substr(6) == "win64";
      }
    } else if (inHeader && body.compare(0, 24, ";; All keys relative to ") == 0) {
      std::u16string rel;
      std::string r = body.substr(24);
      // Written with doubled backslashes between names.
      std::u16string raw = Utf8ToUtf16(r);
      for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'\\' && i + 1 < raw.size() && raw[i + 1] == u'\\') ++i;
        rel.push_back(raw[i]);
      }
      relativeTo_ = rel;
    }

    // Keep the raw text of every line read in this step.
    for (size_t i = first; i <= st.index && i < lines.size(); ++i) {
      if (inHeader) header_ += lines[i];
      else blockOwner->original += lines[i];
    }
  }
  finishKey();
  return true;
}

std::string Hive::Serialize() const {
  std::string out = header_;
  auto emit = [&](const std::string& block) {
    if (!EndsWithBlankLine(out)) {
      if (out.back() != '\n') out.push_back('\n');
      out.push_back('\n');
    }
    out += block;
  };
  // Pre-order walk with an explicit stack; subkeys in their sorted order.
  std::vector<const Key*> stack{&root_};
  while (!stack.empty()) {
    const Key* k = stack.back();
    stack.pop_back();
    if (!k->volatileKey) {
      bool needsLine = !k->values.empty() || k->subkeys.empty() || k->hasClass || k->link;
      if (k->hasOriginal && !k->changed) {
        emit(k->original);
      } else if (needsLine) {
        std::string block = FormatKeyHeader(*k);
        for (const Value& v : k->values) block += FormatValue(v);
        emit(block);
      }
      for (auto it = k->subkeys.rbegin(); it != k->subkeys.rend(); ++it) stack.push_back(it->get());
    }
  }
  return out;
}

void Hive::MarkSaved() {
  modified_ = false;
}

}  // namespace yarb::reg
