// Hostile settings files: every reader runs, every writer runs, and then
// - nothing we did not write changes (a file left alone is byte-identical;
//   the keys of sections we do not own keep their values),
// - everything we wrote reads back, also after the bytes are parsed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/IniFile.h"
#include "editor/Settings.h"

namespace {

using namespace vell;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool Ours(const std::string& lowerSection) {
  return lowerSection == "effectvals" || lowerSection == "mainform" || lowerSection == "toolbox" ||
         lowerSection == "filter";
}

// Some (section, key) pairs of the input outside our sections, found the
// simple way.
std::vector<std::pair<std::string, std::string>> ForeignKeys(std::string_view bytes) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  bool inSection = false;
  size_t pos = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (pos < bytes.size() && keys.size() < 32) {
    size_t nl = bytes.find('\n', pos);
    std::string_view line = bytes.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
    std::string_view t = Trim(line);
    if (!t.empty() && t[0] == '[') {
      std::string_view rest = t.substr(1);
      size_t close = rest.find(']');
      section = Lower(Trim(close == std::string_view::npos ? rest : rest.substr(0, close)));
      inSection = true;
      continue;
    }
    size_t eq = t.find('=');
    if (!inSection || t.empty() || t[0] == ';' || eq == std::string_view::npos || Ours(section)) continue;
    std::string_view key = Trim(t.substr(0, eq));
    if (!key.empty()) keys.emplace_back(section, std::string(key));
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  TIniFile ini(input);
  if (ini.Bytes() != input) std::abort();

  TSettings s;
  LoadEffectSettings(ini, s.Effects);
  LoadMainFormSettings(ini, "/opt/velltile/", s.MainForm);
  LoadToolBoxSettings(ini, s.ToolBox);
  LoadFilterSettings(ini, s.Filter);
  LoadJpegSettings(ini, s.Jpeg);
  if (s.MainForm.PenStyle < 0 || s.MainForm.PenStyle > 11 || s.MainForm.UndoLevels < 1) std::abort();
  if (s.Effects.Extras.TrColVal > 0xFFFFFFu || s.ToolBox.PenColor > 0xFFFFFFu) std::abort();

  const auto foreign = ForeignKeys(input);
  std::vector<std::optional<std::string>> before;
  for (const auto& [sec, key] : foreign) before.push_back(ini.Find(sec, key));

  // Something read from the file goes back, as at exit.
  s.Effects.EffectValues[6] = 123;
  s.MainForm.DefaultDirectory = "/home/u/tiles";
  SaveEffectSettings(ini, s.Effects);
  SaveMainFormSettings(ini, s.MainForm);
  SaveJpegSettings(ini, s.Jpeg);
  SaveToolBoxSettings(ini, s.ToolBox);
  SaveFilterSettings(ini, s.Filter);

  const std::string out = ini.Bytes();
  TIniFile again(out);
  for (size_t i = 0; i < foreign.size(); ++i) {
    if (again.Find(foreign[i].first, foreign[i].second) != before[i]) std::abort();
  }
  if (again.ReadInteger("EffectVals", "EffectVals6", 0) != 123) std::abort();
  if (again.ReadString("MainForm", "Default Directory", "") != "/home/u/tiles") std::abort();
  if (again.ReadString("MainForm", "JPGComp", "?") != ini.ReadString("MainForm", "JPGComp", "!")) std::abort();
  if (again.ReadString("ToolBox", "Pen Size", "?") != ini.ReadString("ToolBox", "Pen Size", "!")) std::abort();
  if (again.ReadString("Filter", "eDiv", "?") != ini.ReadString("Filter", "eDiv", "!")) std::abort();

  // A second pass changes nothing more.
  TSettings s2;
  LoadEffectSettings(again, s2.Effects);
  LoadMainFormSettings(again, "/opt/velltile/", s2.MainForm);
  LoadToolBoxSettings(again, s2.ToolBox);
  LoadFilterSettings(again, s2.Filter);
  LoadJpegSettings(again, s2.Jpeg);
  SaveEffectSettings(again, s2.Effects);
  SaveMainFormSettings(again, s2.MainForm);
  SaveJpegSettings(again, s2.Jpeg);
  SaveToolBoxSettings(again, s2.ToolBox);
  SaveFilterSettings(again, s2.Filter);
  if (again.Bytes() != out) std::abort();
  return 0;
}
