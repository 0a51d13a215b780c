// UNYARB32.INI beside the executable: the look of the uninstaller ("Settings") and the
// replacements of its texts ("Language"). The file is optional; every key has a default.
#pragma once

#include <optional>
#include <string>

namespace yarb {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

class UninstallSettings {
 public:
  Rgb startColor{0, 0, 255};
  Rgb endColor{0, 0, 0};
  bool noBackground = true;
  std::string textFont;  // empty: the toolkit's dialog font
  int fontCharSet = 0;
  int fontSize = 8;

  // Reads the settings from INI text (as the file holds it, Windows-1252).
  void LoadIni(const std::string& iniText);
  // Reads the file at a Linux path; a missing file leaves the defaults.
  void LoadFile(const std::string& path);

  // String `id`: the "Language" override "Msg<id>" with every "|" made CR LF and every "~"
  // a blank, else the built-in text unchanged.
  std::string LoadText(int id) const;
  // The status MIF template ("Msg1000", each "^" made CR LF); empty when none is set.
  std::optional<std::string> MifTemplate() const;

 private:
  std::string ini_;
};

// The settings file of an executable: its path with the last three characters made "INI"
// when it ends in a three-letter extension, else with ".INI" appended.
std::string SettingsPathFor(const std::string& executable);

}  // namespace yarb
