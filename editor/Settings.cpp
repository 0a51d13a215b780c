#include "editor/Settings.h"

#include <cerrno>
#include <cmath>
#include <cstdint>

#include "editor/RealText.h"

namespace vell {

namespace {

constexpr const char* kEffectVals = "EffectVals";
constexpr const char* kMainForm = "MainForm";
constexpr const char* kToolBox = "ToolBox";
constexpr const char* kFilter = "Filter";
constexpr const char* kFilterKeys[10] = {"e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8", "e9", "eDiv"};

// Colours are 0x00BBGGRR; anything above the low 24 bits is not a colour.
uint32_t ColourFrom(int32_t stored) { return static_cast<uint32_t>(stored) & 0x00FFFFFFu; }

}  // namespace

std::string EffectValueKey(int id) { return "EffectVals" + std::to_string(id); }

bool SettingsPresent(const TIniFile& ini) { return ini.ReadInteger(kEffectVals, "EffectVals6", 0) != 0; }

bool LoadEffectSettings(const TIniFile& ini, TEffectParams& out) {
  if (!SettingsPresent(ini)) return false;
  for (int id = 0; id < EffectCount; ++id)
    out.EffectValues[id] = ini.ReadInteger(kEffectVals, EffectValueKey(id), out.EffectDefaults[id]);
  for (const TExtraInfo& k : ExtraParamTable()) {
    double v = k.ReadDefault;
    switch (k.Type) {
      case TExtraType::Single:
        v = ini.ReadSingle(kEffectVals, k.Key, static_cast<float>(k.ReadDefault));
        break;
      case TExtraType::Integer:
      case TExtraType::Double:  // stored as a whole number
        v = ini.ReadInteger(kEffectVals, k.Key, static_cast<int32_t>(k.ReadDefault));
        break;
      case TExtraType::Flag:
        v = ini.ReadBool(kEffectVals, k.Key, k.ReadDefault != 0) ? 1 : 0;
        break;
      case TExtraType::Colour:
        v = ColourFrom(ini.ReadInteger(kEffectVals, k.Key, static_cast<int32_t>(k.ReadDefault)));
        break;
    }
    SetExtra(out.Extras, k.Param, v);
  }
  return true;
}

bool LoadMainFormSettings(const TIniFile& ini, const std::string& programFolder, TMainFormSettings& out) {
  if (!SettingsPresent(ini)) return false;
  out.Top = ini.ReadInteger(kMainForm, "Top", 1);
  out.Left = ini.ReadInteger(kMainForm, "Left", 195);
  out.Width = ini.ReadInteger(kMainForm, "Width", 541);
  out.Height = ini.ReadInteger(kMainForm, "Height", 446);
  // A pen mode outside the menu leaves "Normal" checked, and the mode with it.
  int32_t pen = ini.ReadInteger(kMainForm, "PenStyle", 0);
  out.PenStyle = (pen >= 0 && pen <= 11) ? pen : 0;
  out.DefaultDirectory = ini.ReadString(kMainForm, "Default Directory", programFolder);
  out.SaveDlg = ini.ReadInteger(kMainForm, "SaveDlg", 1) == 1;
  out.SaveWithLog = ini.ReadInteger(kMainForm, "SaveWithLog", 0) != 0;
  int32_t status = ini.ReadInteger(kMainForm, "Status", 1);
  out.Status = status == 2 ? TWindowStatus::Minimized
               : status == 3 ? TWindowStatus::Maximized
                             : TWindowStatus::Normal;
  // The undo ring needs at least one slot.
  int32_t undo = ini.ReadInteger(kMainForm, "UndoLevels", 15);
  out.UndoLevels = undo < 1 ? 1 : undo;
  out.WrapDrawing = ini.ReadInteger(kMainForm, "WrapDrawing", 0) != 0;
  return true;
}

bool LoadToolBoxSettings(const TIniFile& ini, TToolBoxSettings& out) {
  if (!SettingsPresent(ini)) return false;
  out.Top = ini.ReadInteger(kToolBox, "Top", 1);
  out.Left = ini.ReadInteger(kToolBox, "Left", 3);
  out.PenColor = ColourFrom(ini.ReadInteger(kToolBox, "Pen Color", 0));
  out.BrushColor = ColourFrom(ini.ReadInteger(kToolBox, "Brush Color", 16777215));
  out.PenSize = ini.ReadString(kToolBox, "Pen Size", "2");
  return true;
}

bool LoadFilterSettings(const TIniFile& ini, TFilterSettings& out) {
  if (!SettingsPresent(ini)) return false;
  const TFilterSettings defaults;
  for (int i = 0; i < 10; ++i) out.Fields[i] = ini.ReadString(kFilter, kFilterKeys[i], defaults.Fields[i]);
  return true;
}

bool LoadJpegSettings(const TIniFile& ini, TJpegSettings& out) {
  if (!SettingsPresent(ini)) return false;
  out.JPGComp = ini.ReadString(kMainForm, "JPGComp", "90");
  return true;
}

void SaveEffectSettings(TIniFile& ini, const TEffectParams& in) {
  for (int id = 0; id < EffectCount; ++id) ini.WriteInteger(kEffectVals, EffectValueKey(id), in.EffectValues[id]);
  for (const TExtraInfo& k : ExtraParamTable()) {
    const double v = GetExtra(in.Extras, k.Param);
    switch (k.Type) {
      case TExtraType::Single:
        ini.WriteString(kEffectVals, k.Key, RealText(static_cast<float>(v)));
        break;
      case TExtraType::Integer:
      case TExtraType::Colour:
        ini.WriteInteger(kEffectVals, k.Key, static_cast<int64_t>(v));
        break;
      case TExtraType::Flag:
        ini.WriteInteger(kEffectVals, k.Key, v != 0 ? 1 : 0);
        break;
      case TExtraType::Double: {
        double r = std::nearbyint(v);
        // Out of the integer range it would not read back; keep the default.
        if (!(r >= INT32_MIN && r <= INT32_MAX)) r = k.ReadDefault;
        ini.WriteInteger(kEffectVals, k.Key, static_cast<int64_t>(r));
        break;
      }
    }
  }
}

void SaveMainFormSettings(TIniFile& ini, const TMainFormSettings& in) {
  ini.WriteInteger(kMainForm, "SaveDlg", in.SaveDlg ? 1 : 0);
  ini.WriteInteger(kMainForm, "SaveWithLog", in.SaveWithLog ? 1 : 0);
  ini.WriteInteger(kMainForm, "PenStyle", in.PenStyle);
  // Written once it was ever on, so files of runs that never used it stay as they were.
  if (in.WrapDrawing || !ini.ReadString(kMainForm, "WrapDrawing", "").empty())
    ini.WriteInteger(kMainForm, "WrapDrawing", in.WrapDrawing ? 1 : 0);
  ini.WriteString(kMainForm, "Default Directory", in.DefaultDirectory);
  switch (in.Status) {
    case TWindowStatus::Minimized:
      ini.WriteInteger(kMainForm, "Status", 2);
      break;
    case TWindowStatus::Maximized:
      ini.WriteInteger(kMainForm, "Status", 3);
      break;
    default:
      ini.WriteInteger(kMainForm, "Top", in.Top);
      ini.WriteInteger(kMainForm, "Left", in.Left);
      ini.WriteInteger(kMainForm, "Width", in.Width);
      ini.WriteInteger(kMainForm, "Height", in.Height);
      ini.WriteInteger(kMainForm, "Status", 1);
      break;
  }
  ini.WriteInteger(kMainForm, "UndoLevels", in.UndoLevels);
}

void SaveToolBoxSettings(TIniFile& ini, const TToolBoxSettings& in) {
  ini.WriteInteger(kToolBox, "Top", in.Top);
  ini.WriteInteger(kToolBox, "Left", in.Left);
  ini.WriteInteger(kToolBox, "Pen Color", in.PenColor);
  ini.WriteInteger(kToolBox, "Brush Color", in.BrushColor);
  ini.WriteString(kToolBox, "Pen Size", in.PenSize);
}

void SaveFilterSettings(TIniFile& ini, const TFilterSettings& in) {
  for (int i = 0; i < 10; ++i) ini.WriteString(kFilter, kFilterKeys[i], in.Fields[i]);
}

void SaveJpegSettings(TIniFile& ini, const TJpegSettings& in) { ini.WriteString(kMainForm, "JPGComp", in.JPGComp); }

bool LoadSettings(const std::string& path, const std::string& programFolder, TSettings& settings,
                  TFileResult* result) {
  TIniFile ini;
  TFileResult r = ini.Load(path);
  if (result) *result = r;
  if (!r.ok || !SettingsPresent(ini)) return false;
  LoadEffectSettings(ini, settings.Effects);
  LoadMainFormSettings(ini, programFolder, settings.MainForm);
  LoadToolBoxSettings(ini, settings.ToolBox);
  LoadFilterSettings(ini, settings.Filter);
  LoadJpegSettings(ini, settings.Jpeg);
  return true;
}

TFileResult SaveSettings(const std::string& path, const TSettings& settings) {
  TIniFile ini;
  TFileResult r = ini.Load(path);
  if (!r.ok) return r;  // never overwrite a file we could not read
  SaveEffectSettings(ini, settings.Effects);
  SaveMainFormSettings(ini, settings.MainForm);
  SaveJpegSettings(ini, settings.Jpeg);
  SaveToolBoxSettings(ini, settings.ToolBox);
  SaveFilterSettings(ini, settings.Filter);
  if (r.error != ENOENT && !ini.Modified()) return {};
  return ini.Save(path);
}

}  // namespace vell
