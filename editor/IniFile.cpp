#include "editor/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vell {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string LowerTrimmed(std::string_view s) {
  s = Trim(s);
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

TFileResult Failure(const char* what, const std::string& path, int err) {
  TFileResult r;
  r.ok = false;
  r.error = err;
  r.message = std::string(what) + " " + path + ": " + std::strerror(err);
  return r;
}

// The line end to put after `out` so that something can follow on a new line.
void EndLine(std::string& out) {
  if (out.empty() || out.back() == '\n') return;
  out += out.back() == '\r' ? "\n" : "\r\n";
}

bool LastLineBlank(const std::string& out) {
  // `out` ends with '\n' here; look at the line that '\n' ends.
  std::string_view body(out.data(), out.size() - 1);
  size_t nl = body.rfind('\n');
  std::string_view line = nl == std::string_view::npos ? body : body.substr(nl + 1);
  return Trim(line).empty();
}

}  // namespace

TFileResult ReadFileBytes(const std::string& path, std::string& out, size_t maxSize) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failure("Cannot read", path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    return Failure("Cannot read", path, err);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Failure("Cannot read", path, EISDIR);
  }
  if (st.st_size > 0 && static_cast<uint64_t>(st.st_size) > maxSize) {
    ::close(fd);
    return Failure("Cannot read", path, EFBIG);
  }
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      out.clear();
      return Failure("Cannot read", path, err);
    }
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > maxSize) {
      ::close(fd);
      out.clear();
      return Failure("Cannot read", path, EFBIG);
    }
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return {};
}

TFileResult ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::string_view pieces[1] = {bytes};
  return ReplaceFileContents(path, std::span<const std::string_view>(pieces));
}

TFileResult ReplaceFileContents(const std::string& path, std::span<const std::string_view> pieces) {
  // Replace the target of a link, not the link itself.
  std::string target = path;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  mode_t mode = 0;
  bool existed = false;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    existed = true;
    mode = st.st_mode & 07777;
  }
  std::string temp = target + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return Failure("Cannot write", path, errno);
  if (!existed) {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  // Up to IOV_MAX pieces per call; a short write resumes inside its piece.
  size_t piece = 0, offset = 0;
  while (piece < pieces.size()) {
    iovec iov[IOV_MAX];
    int count = 0;
    for (size_t i = piece; i < pieces.size() && count < IOV_MAX; ++i) {
      const size_t skip = i == piece ? offset : 0;
      if (pieces[i].size() == skip) continue;
      iov[count].iov_base = const_cast<char*>(pieces[i].data() + skip);
      iov[count].iov_len = pieces[i].size() - skip;
      ++count;
    }
    if (count == 0) break;
    ssize_t n = ::writev(fd, iov, count);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      int err = n < 0 ? errno : EIO;
      ::close(fd);
      ::unlink(temp.c_str());
      return Failure("Cannot write", path, err);
    }
    size_t left = static_cast<size_t>(n);
    while (piece < pieces.size() && left >= pieces[piece].size() - offset) {
      left -= pieces[piece].size() - offset;
      ++piece;
      offset = 0;
    }
    offset += left;
  }
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    return Failure("Cannot write", path, err);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return Failure("Cannot write", path, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return Failure("Cannot write", path, err);
  }
  return {};
}

std::optional<int32_t> IniTextToInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text[0] == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  if (base == 16) {
    // A hex number is a bit pattern.
    if (value > UINT32_MAX) return std::nullopt;
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }
  if (negative) {
    if (value > static_cast<uint64_t>(INT32_MAX) + 1) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(value));
  }
  if (value > static_cast<uint64_t>(INT32_MAX)) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<double> IniTextToReal(std::string_view text, bool single) {
  text = Trim(text);
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  // Only digits, one '.', a sign and an exponent: no "inf", "nan" or hex.
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return std::nullopt;
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::general);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  if (single && std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
  return value;
}

void TIniFile::Parse(std::string bytes) {
  bytes_ = std::move(bytes);
  lower_ = bytes_;
  for (char& c : lower_) c = Lower(c);
  sections_.clear();
  sectionIndex_.clear();
  edits_.clear();
  added_.clear();

  const size_t n = bytes_.size();
  // A UTF-8 byte order mark (an editor's doing) stays but is no part of the first line.
  size_t pos = bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (pos < n) {
    size_t nl = bytes_.find('\n', pos);
    size_t next = nl == std::string::npos ? n : nl + 1;
    size_t contentEnd = nl == std::string::npos ? n : (nl > pos && bytes_[nl - 1] == '\r' ? nl - 1 : nl);
    std::string_view line(lower_.data() + pos, contentEnd - pos);
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first < line.size() && line[first] == '[') {
      if (!sections_.empty()) sections_.back().end = pos;
      std::string_view rest = line.substr(first + 1);
      size_t close = rest.find(']');
      TSection s;
      s.name = Trim(close == std::string_view::npos ? rest : rest.substr(0, close));
      s.bodyBegin = next;
      s.end = n;
      s.insertAt = next;
      sections_.push_back(s);
    } else if (first < line.size() && !sections_.empty()) {
      sections_.back().insertAt = next;
    }
    pos = next;
  }
  sectionIndex_.reserve(sections_.size());
  for (size_t i = 0; i < sections_.size(); ++i) sectionIndex_.emplace_back(sections_[i].name, i);
  std::stable_sort(sectionIndex_.begin(), sectionIndex_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

TFileResult TIniFile::Load(const std::string& path) {
  std::string bytes;
  TFileResult r = ReadFileBytes(path, bytes, IniMaxFileSize);
  if (!r.ok && r.error == ENOENT) {
    Parse({});
    r.ok = true;
    return r;
  }
  Parse(r.ok ? std::move(bytes) : std::string());
  return r;
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view lowerName) const {
  auto it = std::lower_bound(sectionIndex_.begin(), sectionIndex_.end(), lowerName,
                             [](const auto& e, std::string_view v) { return e.first < v; });
  if (it == sectionIndex_.end() || it->first != lowerName) return nullptr;
  return &sections_[it->second];
}

void TIniFile::IndexSection(const TSection& s) const {
  s.indexed = true;
  size_t pos = s.bodyBegin;
  while (pos < s.end) {
    size_t nl = lower_.find('\n', pos);
    size_t next = (nl == std::string::npos || nl >= s.end) ? s.end : nl + 1;
    size_t contentEnd = next;
    if (contentEnd > pos && lower_[contentEnd - 1] == '\n') --contentEnd;
    if (contentEnd > pos && lower_[contentEnd - 1] == '\r' && contentEnd < next) --contentEnd;
    std::string_view line(lower_.data() + pos, contentEnd - pos);
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    size_t eq = line.find('=');
    if (first < line.size() && line[first] != ';' && eq != std::string_view::npos) {
      std::string_view key = Trim(line.substr(0, eq));
      if (!key.empty()) {
        size_t vb = pos + eq + 1;
        size_t ve = contentEnd;
        while (vb < ve && IsBlank(bytes_[vb])) ++vb;
        size_t trimmedEnd = ve;
        while (trimmedEnd > vb && IsBlank(bytes_[trimmedEnd - 1])) --trimmedEnd;
        s.keys.push_back(TKeySpan{key, vb, trimmedEnd});
      }
    }
    pos = next;
  }
  std::stable_sort(s.keys.begin(), s.keys.end(),
                   [](const TKeySpan& a, const TKeySpan& b) { return a.key < b.key; });
}

const TIniFile::TKeySpan* TIniFile::FindKey(const TSection& s, std::string_view lowerKey) const {
  if (!s.indexed) IndexSection(s);
  auto it = std::lower_bound(s.keys.begin(), s.keys.end(), lowerKey,
                             [](const TKeySpan& e, std::string_view v) { return e.key < v; });
  if (it == s.keys.end() || it->key != lowerKey) return nullptr;
  return &*it;
}

TIniFile::TAddedSection* TIniFile::FindAdded(std::string_view lowerName) {
  for (auto& a : added_)
    if (a.lower == lowerName) return &a;
  return nullptr;
}

const TIniFile::TAddedSection* TIniFile::FindAdded(std::string_view lowerName) const {
  for (const auto& a : added_)
    if (a.lower == lowerName) return &a;
  return nullptr;
}

std::optional<std::string> TIniFile::Find(std::string_view section, std::string_view key) const {
  const std::string sec = LowerTrimmed(section);
  const std::string k = LowerTrimmed(key);
  if (const TSection* s = FindSection(sec)) {
    if (const TKeySpan* span = FindKey(*s, k)) {
      auto e = edits_.find(span->valueBegin);
      if (e != edits_.end()) return e->second;
      return bytes_.substr(span->valueBegin, span->valueEnd - span->valueBegin);
    }
  }
  if (const TAddedSection* a = FindAdded(sec))
    for (const auto& ak : a->keys)
      if (ak.lower == k) return ak.value;
  return std::nullopt;
}

bool TIniFile::SectionExists(std::string_view section) const {
  const std::string sec = LowerTrimmed(section);
  return FindSection(sec) != nullptr || FindAdded(sec) != nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = Find(section, key);
  return v ? *v : std::string(def);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  auto v = Find(section, key);
  if (!v) return def;
  return IniTextToInt(*v).value_or(def);
}

float TIniFile::ReadSingle(std::string_view section, std::string_view key, float def) const {
  auto v = Find(section, key);
  if (!v) return def;
  auto r = IniTextToReal(*v, true);
  return r ? static_cast<float>(*r) : def;
}

double TIniFile::ReadDouble(std::string_view section, std::string_view key, double def) const {
  auto v = Find(section, key);
  if (!v) return def;
  return IniTextToReal(*v, false).value_or(def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) return false;
  std::string_view tk = Trim(key), ts = Trim(section);
  if (tk.empty() || ts.empty()) return false;
  if (tk.find_first_of("=\r\n") != std::string_view::npos || tk[0] == ';' || tk[0] == '[') return false;
  if (ts.find_first_of("]\r\n") != std::string_view::npos) return false;
  // Blanks around a value do not survive a read; store what a read returns.
  std::string_view tv = Trim(value);

  const std::string sec = LowerTrimmed(section);
  const std::string k = LowerTrimmed(key);
  const TSection* s = FindSection(sec);
  if (s) {
    if (const TKeySpan* span = FindKey(*s, k)) {
      std::string_view original(bytes_.data() + span->valueBegin, span->valueEnd - span->valueBegin);
      // An unchanged value keeps its line byte for byte.
      if (original == tv)
        edits_.erase(span->valueBegin);
      else
        edits_[span->valueBegin] = std::string(tv);
      return true;
    }
  }
  TAddedSection* a = FindAdded(sec);
  if (!a) {
    TAddedSection fresh;
    fresh.name = std::string(ts);
    fresh.lower = sec;
    if (s) fresh.existing = static_cast<size_t>(s - sections_.data());
    added_.push_back(std::move(fresh));
    a = &added_.back();
  }
  for (auto& ak : a->keys)
    if (ak.lower == k) {
      ak.value = std::string(tv);
      return true;
    }
  a->keys.push_back(TAddedKey{std::string(tk), k, std::string(tv)});
  return true;
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Bytes() const {
  if (!Modified()) return bytes_;
  // Insertions into existing sections, by offset; a section's new keys come
  // after any value edit at the same offset (a last line without line end).
  std::vector<std::pair<size_t, const TAddedSection*>> inserts;
  for (const auto& a : added_)
    if (a.existing) inserts.emplace_back(sections_[*a.existing].insertAt, &a);
  std::stable_sort(inserts.begin(), inserts.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });

  std::string out;
  out.reserve(bytes_.size() + 4096);
  size_t pos = 0;
  auto edit = edits_.begin();
  auto ins = inserts.begin();
  while (edit != edits_.end() || ins != inserts.end()) {
    bool takeEdit = edit != edits_.end() && (ins == inserts.end() || edit->first <= ins->first);
    if (takeEdit) {
      // Replace the trimmed value through the end of the line's content.
      size_t lineEnd = edit->first;
      while (lineEnd < bytes_.size() && bytes_[lineEnd] != '\n') ++lineEnd;
      if (lineEnd > edit->first && lineEnd < bytes_.size() && bytes_[lineEnd - 1] == '\r') --lineEnd;
      out.append(bytes_, pos, edit->first - pos);
      out += edit->second;
      pos = lineEnd;
      ++edit;
    } else {
      out.append(bytes_, pos, ins->first - pos);
      pos = ins->first;
      EndLine(out);
      for (const auto& k : ins->second->keys) out += k.key + "=" + k.value + "\r\n";
      ++ins;
    }
  }
  out.append(bytes_, pos, std::string::npos);
  for (const auto& a : added_) {
    if (a.existing) continue;
    if (!out.empty()) {
      EndLine(out);
      if (!LastLineBlank(out)) out += "\r\n";
    }
    out += "[" + a.name + "]\r\n";
    for (const auto& k : a.keys) out += k.key + "=" + k.value + "\r\n";
  }
  return out;
}

TFileResult TIniFile::Save(const std::string& path) const { return ReplaceFileContents(path, Bytes()); }

}  // namespace vell
