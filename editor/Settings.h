// The settings file VellTile.ini: what each window keeps between runs.
//
// Four sections: "EffectVals" (effect parameters), "MainForm" (main window
// geometry, pen mode, folder, options, undo depth, JPEG quality text),
// "ToolBox" (parameter panel position, pen, brush, pen size) and "Filter"
// (the designed-filter kernel texts). Every reader first reads the marker
// `EffectVals6` (the stored Classic Emboss value); when it reads 0 (no file,
// no key, or a stored 0) nothing else is read and the built-in values stay.
//
// Reading never fails: a key that is missing or does not convert yields its
// default. Writing is read-modify-write of the whole file through a temporary
// file and a rename, so keys and sections we do not own are kept.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/EffectParams.h"
#include "editor/IniFile.h"

namespace vell {

inline constexpr const char* SettingsFileName = "VellTile.ini";

// "EffectVals" + id in decimal.
std::string EffectValueKey(int id);

enum class TWindowStatus : int32_t { Normal = 1, Minimized = 2, Maximized = 3 };

struct TMainFormSettings {
  // Normal-state geometry; kept as read while the window is minimized or
  // maximized, so those states leave the stored position alone.
  int32_t Top = 1, Left = 195, Width = 541, Height = 446;
  int32_t PenStyle = 0;          // checked Pen menu item, 0 ... 11
  std::string DefaultDirectory;  // dialogs' folder; the caller starts it as the program folder
  bool SaveDlg = true;           // "&Prompt for Save At Termination"
  bool SaveWithLog = false;      // "Save Image with Log File Name"
  TWindowStatus Status = TWindowStatus::Normal;
  int32_t UndoLevels = 15;       // MaxUndo
  bool WrapDrawing = false;      // "Wrap &Drawing Around Edges" (key WrapDrawing)
};

struct TToolBoxSettings {
  int32_t Top = 1, Left = 3;
  uint32_t PenColor = 0x000000;    // 0x00BBGGRR
  uint32_t BrushColor = 0xFFFFFF;
  std::string PenSize = "2";
};

struct TFilterSettings {
  // e1 ... e9 (the kernel row by row), then eDiv.
  std::array<std::string, 10> Fields{"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1", "1"};
};

struct TJpegSettings {
  std::string JPGComp = "90";
};

// Everything at once, for the usual run: read at start, written at exit.
struct TSettings {
  TEffectParams Effects;  // main values of every id and the 26 extras
  TMainFormSettings MainForm;
  TToolBoxSettings ToolBox;
  TFilterSettings Filter;
  TJpegSettings Jpeg;
};

// The marker: EffectVals6 as an integer, 0 when missing or not a number.
bool SettingsPresent(const TIniFile& ini);

// Per-window readers. Each returns false and leaves its struct untouched when
// the marker reads 0. A missing effect key reads as the id's EffectDefaults,
// a missing extra as its read default (0 for the SineWave peaks and
// wavelengths, ScaleVal and TurbVal). `programFolder` is the default
// directory when none is stored.
bool LoadEffectSettings(const TIniFile& ini, TEffectParams& out);
bool LoadMainFormSettings(const TIniFile& ini, const std::string& programFolder, TMainFormSettings& out);
bool LoadToolBoxSettings(const TIniFile& ini, TToolBoxSettings& out);
bool LoadFilterSettings(const TIniFile& ini, TFilterSettings& out);
bool LoadJpegSettings(const TIniFile& ini, TJpegSettings& out);

// Per-window writers (always write every key they own).
void SaveEffectSettings(TIniFile& ini, const TEffectParams& in);
void SaveMainFormSettings(TIniFile& ini, const TMainFormSettings& in);
void SaveToolBoxSettings(TIniFile& ini, const TToolBoxSettings& in);
void SaveFilterSettings(TIniFile& ini, const TFilterSettings& in);
void SaveJpegSettings(TIniFile& ini, const TJpegSettings& in);

// Reads `path` into `settings` (which holds the built-in values on entry).
// Returns whether the file's values were taken; `result` says why not when
// the file exists but cannot be read.
bool LoadSettings(const std::string& path, const std::string& programFolder, TSettings& settings,
                  TFileResult* result = nullptr);

// Writes every key into `path`, keeping everything else in the file. A file
// that exists but cannot be read is left alone (nothing of it is lost); the
// result then says why nothing was written.
TFileResult SaveSettings(const std::string& path, const TSettings& settings);

}  // namespace vell
