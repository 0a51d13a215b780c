#include "Settings.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "IniProfile.h"
#include "Strings.h"

namespace yarb {

namespace {
int IntKey(const std::string& ini, const char* key, int fallback) {
  std::string v;
  if (!ini::Get(ini, "Settings", key, &v)) return fallback;
  // GetPrivateProfileInt: leading digits, an optional sign; nothing numeric gives 0.
  char* end = nullptr;
  const long n = std::strtol(v.c_str(), &end, 10);
  if (end == v.c_str()) return 0;
  return static_cast<int>(std::clamp<long>(n, -1000000, 1000000));
}
int Channel(int v) { return std::clamp(v, 0, 255); }
}  // namespace

void UninstallSettings::LoadIni(const std::string& iniText) {
  ini_ = iniText;
  startColor = {Channel(IntKey(ini_, "Start Red", 0)), Channel(IntKey(ini_, "Start Green", 0)),
                Channel(IntKey(ini_, "Start Blue", 255))};
  endColor = {Channel(IntKey(ini_, "End Red", 0)), Channel(IntKey(ini_, "End Green", 0)),
              Channel(IntKey(ini_, "End Blue", 0))};
  noBackground = IntKey(ini_, "No Background", 1) != 0;
  std::string face;
  textFont = ini::Get(ini_, "Settings", "Text Font", &face) ? face : std::string();
  fontCharSet = IntKey(ini_, "Font Character Set", 0);
  // A size of 0 or less would make no readable font; such a value keeps the default.
  const int size = IntKey(ini_, "Font Character Size", 8);
  fontSize = size >= 1 && size <= 72 ? size : 8;
}

void UninstallSettings::LoadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    LoadIni({});
    return;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  std::string text = ss.str();
  if (text.size() > (1u << 20)) text.resize(1u << 20);
  LoadIni(text);
}

std::string UninstallSettings::LoadText(int id) const {
  std::string v;
  if (!ini::Get(ini_, "Language", "Msg" + std::to_string(id), &v)) return StringTableText(id);
  std::string out;
  out.reserve(v.size() + 8);
  for (char c : v) {
    if (c == '|') out += "\r\n";
    else if (c == '~') out += ' ';
    else out += c;
  }
  return out;
}

std::optional<std::string> UninstallSettings::MifTemplate() const {
  std::string v;
  if (!ini::Get(ini_, "Language", "Msg1000", &v)) return std::nullopt;
  std::string out;
  for (char c : v) {
    if (c == '^') out += "\r\n";
    else out += c;
  }
  return out;
}

std::string SettingsPathFor(const std::string& executable) {
  const size_t slash = executable.find_last_of('/');
  const size_t dot = executable.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
      executable.size() - dot == 4)
    return executable.substr(0, executable.size() - 3) + "INI";
  return executable + ".INI";
}

}  // namespace yarb
