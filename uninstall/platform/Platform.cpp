#include "Platform.h"

#include <sys/stat.h>

#include <cstdlib>

namespace yarb {

RegValue RegValue::Sz(const std::string& text) {
  RegValue v;
  v.type = kRegSz;
  v.data.assign(text.begin(), text.end());
  v.data.push_back(0);
  return v;
}

RegValue RegValue::ExpandSz(const std::string& text) {
  RegValue v = Sz(text);
  v.type = kRegExpandSz;
  return v;
}

RegValue RegValue::MultiSz(const std::vector<std::string>& strings) {
  RegValue v;
  v.type = kRegMultiSz;
  for (const std::string& s : strings) {
    v.data.insert(v.data.end(), s.begin(), s.end());
    v.data.push_back(0);
  }
  v.data.push_back(0);
  return v;
}

RegValue RegValue::Dword(uint32_t value) {
  RegValue v;
  v.type = kRegDword;
  for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return v;
}

RegValue RegValue::Binary(const std::vector<uint8_t>& bytes) {
  RegValue v;
  v.type = kRegBinary;
  v.data = bytes;
  return v;
}

std::string RegValue::AsString() const {
  std::string s;
  for (uint8_t b : data) {
    if (b == 0) break;
    s.push_back(static_cast<char>(b));
  }
  return s;
}

std::vector<std::string> RegValue::AsMultiSz() const {
  std::vector<std::string> out;
  std::string cur;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != 0) {
      cur.push_back(static_cast<char>(data[i]));
      continue;
    }
    if (cur.empty()) break;
    out.push_back(cur);
    cur.clear();
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

bool RegValue::AsDword(uint32_t* value) const {
  if (data.size() != 4) return false;
  *value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
  return true;
}

bool Platform::SameLocation(const std::string& a, const std::string& b) {
  auto form = [this](const std::string& p) {
    std::string s = ToLongPath(p);
    while (s.size() > 3 && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    for (char& c : s) {
      if (c == '/') c = '\\';
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
  };
  return form(a) == form(b);
}

namespace {

bool IsDir(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsPrefix(const std::string& dir) {
  return IsDir(dir + "/drive_c") && IsFile(dir + "/system.reg");
}

}  // namespace

std::string FindWinePrefix(const std::string& logUnixPath) {
  std::string dir = logUnixPath;
  while (!dir.empty()) {
    size_t slash = dir.find_last_of('/');
    if (slash == std::string::npos) break;
    dir.resize(slash);
    std::string candidate = dir.empty() ? "/" : dir;
    if (IsPrefix(candidate)) return candidate;
  }
  if (const char* env = std::getenv("WINEPREFIX"); env && *env && IsPrefix(env)) return env;
  if (const char* home = std::getenv("HOME"); home && *home) {
    std::string def = std::string(home) + "/.wine";
    if (IsPrefix(def)) return def;
  }
  return {};
}

}  // namespace yarb
