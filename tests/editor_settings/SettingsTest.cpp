#include "editor/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"

namespace vell {
namespace {

using test::Crlf;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

const std::array<int32_t, EffectCount>& Defaults() { return BuiltInEffectDefaults(); }

TSettings BuiltIn() {
  TSettings s;
  s.MainForm.DefaultDirectory = "/opt/velltile/";
  return s;
}

std::string EffectLines(const std::array<int32_t, EffectCount>& values) {
  std::string out;
  for (int id = 0; id < EffectCount; ++id)
    out += "EffectVals" + std::to_string(id) + "=" + std::to_string(values[id]) + "\n";
  return out;
}

const char* const kExtrasBuiltIn =
    "UDPeakVal=3\nUDWavVal=32\nLRPeakVal=2\nLRWavVal=17\nFishVal=0.75\nScaleVal=2\nTurbVal=120\n"
    "UDSBlurBuf=1\nUDSBlurSelf=1\nSBlurReps=32\nUDWatBuf=100\nUDWatSelf=-128\nNovaSpok=64\nNovaHue=32\n"
    "NovaX=24\nNovaY=36\nHytEl=20\nHytDp=16\nHytBm=1\nTrColVal=0\nTrUseVal=0\nWvLenVal=10\nWvPhsVal=8\n"
    "WvRflVal=0\nWhPchVal=0.5\nWhRadVal=1\n";

const char* const kOtherSectionsBuiltIn =
    "\n"
    "[MainForm]\n"
    "SaveDlg=1\nSaveWithLog=0\nPenStyle=0\nDefault Directory=/opt/velltile/\n"
    "Top=1\nLeft=195\nWidth=541\nHeight=446\nStatus=1\nUndoLevels=15\nJPGComp=90\n"
    "\n"
    "[ToolBox]\n"
    "Top=1\nLeft=3\nPen Color=0\nBrush Color=16777215\nPen Size=2\n"
    "\n"
    "[Filter]\n"
    "e1=2\ne2=1\ne3=1\ne4=1\ne5=-3\ne6=-1\ne7=1\ne8=-1\ne9=-1\neDiv=1\n";

TEST(Settings, FirstExitWritesEverySection) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  TSettings s = BuiltIn();
  EXPECT_FALSE(LoadSettings(path, "/opt/velltile/", s));
  ASSERT_TRUE(SaveSettings(path, s).ok);
  const std::string expected =
      Crlf("[EffectVals]\n" + EffectLines(Defaults()) + kExtrasBuiltIn + kOtherSectionsBuiltIn);
  EXPECT_EQ(ReadAll(path), expected);
  EXPECT_NE(expected.find("\r\nEffectVals6=250\r\n"), std::string::npos);

  // A second exit with nothing changed leaves the file as it is.
  ASSERT_TRUE(SaveSettings(path, s).ok);
  EXPECT_EQ(ReadAll(path), expected);
}

TEST(Settings, ValuesSurviveARun) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  TSettings s = BuiltIn();
  s.Effects.EffectValues[6] = 17;
  s.Effects.EffectValues[56] = -5;
  s.Effects.Extras.UDPeakVal = 0.3f;
  s.Effects.Extras.FishVal = 1.25f;
  s.Effects.Extras.TurbVal = -9;
  s.Effects.Extras.HytBm = false;
  s.Effects.Extras.TrUseVal = true;
  s.Effects.Extras.TrColVal = 0x00123456;
  s.Effects.Extras.WvPhsVal = 2.5;  // stored rounded, ties to even
  s.MainForm = {10, 20, 640, 480, 7, "/home/u/tiles/", false, true, TWindowStatus::Normal, 3};
  s.ToolBox = {5, 6, 0x0000FF, 0x00FF00, "7"};
  s.Filter.Fields[4] = "8";
  s.Jpeg.JPGComp = "75";
  ASSERT_TRUE(SaveSettings(path, s).ok);
  const std::string bytes = ReadAll(path);
  EXPECT_NE(bytes.find("\r\nUDPeakVal=0.300000011920929\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nWvPhsVal=2\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nTrColVal=1193046\r\n"), std::string::npos);

  TSettings r = BuiltIn();
  ASSERT_TRUE(LoadSettings(path, "/opt/velltile/", r));
  EXPECT_EQ(r.Effects.EffectValues, s.Effects.EffectValues);
  EXPECT_EQ(r.Effects.Extras.UDPeakVal, 0.3f);
  EXPECT_EQ(r.Effects.Extras.FishVal, 1.25f);
  EXPECT_EQ(r.Effects.Extras.TurbVal, -9);
  EXPECT_FALSE(r.Effects.Extras.HytBm);
  EXPECT_TRUE(r.Effects.Extras.TrUseVal);
  EXPECT_EQ(r.Effects.Extras.TrColVal, 0x00123456u);
  EXPECT_EQ(r.Effects.Extras.WvPhsVal, 2.0);
  EXPECT_EQ(r.MainForm.Top, 10);
  EXPECT_EQ(r.MainForm.Height, 480);
  EXPECT_EQ(r.MainForm.PenStyle, 7);
  EXPECT_EQ(r.MainForm.DefaultDirectory, "/home/u/tiles/");
  EXPECT_FALSE(r.MainForm.SaveDlg);
  EXPECT_TRUE(r.MainForm.SaveWithLog);
  EXPECT_EQ(r.MainForm.UndoLevels, 3);
  EXPECT_EQ(r.ToolBox.PenColor, 0x0000FFu);
  EXPECT_EQ(r.ToolBox.BrushColor, 0x00FF00u);
  EXPECT_EQ(r.ToolBox.PenSize, "7");
  EXPECT_EQ(r.Filter.Fields[4], "8");
  EXPECT_EQ(r.Jpeg.JPGComp, "75");
}

TEST(Settings, ClassicEmbossZeroMakesTheNextRunIgnoreTheFile) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  TSettings s = BuiltIn();
  s.Effects.EffectValues[6] = 0;
  s.Effects.EffectValues[13] = 5;
  s.MainForm.Top = 99;
  s.ToolBox.PenSize = "9";
  ASSERT_TRUE(SaveSettings(path, s).ok);
  EXPECT_NE(ReadAll(path).find("\r\nEffectVals6=0\r\n"), std::string::npos);

  TSettings r = BuiltIn();
  EXPECT_FALSE(LoadSettings(path, "/opt/velltile/", r));
  EXPECT_EQ(r.Effects.EffectValues, Defaults());
  EXPECT_EQ(r.MainForm.Top, 1);
  EXPECT_EQ(r.ToolBox.PenSize, "2");
  TIniFile ini;
  ini.Load(path);
  TToolBoxSettings tb;
  tb.PenSize = "unchanged";
  EXPECT_FALSE(LoadToolBoxSettings(ini, tb));
  EXPECT_EQ(tb.PenSize, "unchanged");
}

TEST(Settings, MarkerAloneGivesTheReadDefaults) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  WriteAll(path, Crlf("[EffectVals]\nEffectVals6=250\n"));
  TSettings r = BuiltIn();
  r.MainForm.DefaultDirectory = "";
  ASSERT_TRUE(LoadSettings(path, "/opt/velltile/", r));
  EXPECT_EQ(r.Effects.EffectValues, Defaults());
  EXPECT_EQ(r.Effects.Extras.UDPeakVal, 0.0f);
  EXPECT_EQ(r.Effects.Extras.UDWavVal, 0.0f);
  EXPECT_EQ(r.Effects.Extras.LRPeakVal, 0.0f);
  EXPECT_EQ(r.Effects.Extras.LRWavVal, 0.0f);
  EXPECT_EQ(r.Effects.Extras.ScaleVal, 0.0f);
  EXPECT_EQ(r.Effects.Extras.TurbVal, 0);
  EXPECT_EQ(r.Effects.Extras.FishVal, 0.75f);
  EXPECT_EQ(r.Effects.Extras.UDWatSelf, -128);
  EXPECT_TRUE(r.Effects.Extras.HytBm);
  EXPECT_EQ(r.Effects.Extras.WvPhsVal, 8.0);
  EXPECT_EQ(r.Effects.Extras.WhPchVal, 0.5f);
  EXPECT_EQ(r.MainForm.DefaultDirectory, "/opt/velltile/");
  EXPECT_EQ(r.MainForm.Width, 541);
  EXPECT_TRUE(r.MainForm.SaveDlg);
  EXPECT_EQ(r.MainForm.Status, TWindowStatus::Normal);
  EXPECT_EQ(r.ToolBox.BrushColor, 0xFFFFFFu);
  EXPECT_EQ(r.Filter.Fields[9], "1");
  EXPECT_EQ(r.Jpeg.JPGComp, "90");
}

TEST(Settings, OnlyPeaksWavelengthsScaleAndTurbulenceReadAsZero) {
  std::vector<std::string> zeros;
  for (const TExtraInfo& k : ExtraParamTable()) {
    if (k.ReadDefault == 0 && k.BuiltIn != 0) zeros.push_back(k.Key);
    if (k.ReadDefault != 0) {
      EXPECT_EQ(k.ReadDefault, k.BuiltIn) << k.Key;
    }
  }
  EXPECT_EQ(zeros, (std::vector<std::string>{"UDPeakVal", "UDWavVal", "LRPeakVal", "LRWavVal", "ScaleVal", "TurbVal"}));
}

TEST(Settings, MaximisedOrMinimisedExitKeepsThePosition) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  TSettings s = BuiltIn();
  s.MainForm.Top = 40;
  s.MainForm.Left = 50;
  s.MainForm.Width = 600;
  s.MainForm.Height = 500;
  ASSERT_TRUE(SaveSettings(path, s).ok);
  const std::string normal = ReadAll(path);

  for (auto [status, text] : {std::pair{TWindowStatus::Maximized, "Status=3"}, {TWindowStatus::Minimized, "Status=2"}}) {
    TSettings m = s;
    m.MainForm.Status = status;
    m.MainForm.Top = 0;
    m.MainForm.Left = 0;
    m.MainForm.Width = 1920;
    m.MainForm.Height = 1080;
    ASSERT_TRUE(SaveSettings(path, m).ok);
    std::string expected = normal;
    expected.replace(expected.find("Status=1"), 8, text);
    EXPECT_EQ(ReadAll(path), expected);

    TSettings r = BuiltIn();
    ASSERT_TRUE(LoadSettings(path, "", r));
    EXPECT_EQ(r.MainForm.Status, status);
    EXPECT_EQ(r.MainForm.Top, 40);
    EXPECT_EQ(r.MainForm.Width, 600);
    WriteAll(path, normal);
  }
}

TEST(Settings, HandEditedFileKeepsEverythingButOurValues) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  const std::string original =
      "; my settings, edited by hand\r\n"
      "[effectvals]\r\n"
      "  effectVALS6 =  120   \r\n"
      "udpeakval=4.5\r\n"
      "MyOwnKey=keep me\r\n"
      "a line without equals\r\n"
      "\r\n"
      "[Unknown Section]\n"
      "Top=777\n"
      "\n"
      "[MAINFORM]\r\n"
      "\tTop\t= 12\r\n"
      "JPGComp=60\r\n"
      "; trailing comment";
  WriteAll(path, original);
  TSettings s = BuiltIn();
  ASSERT_TRUE(LoadSettings(path, "/opt/velltile/", s));
  EXPECT_EQ(s.Effects.EffectValues[6], 120);
  EXPECT_EQ(s.Effects.Extras.UDPeakVal, 4.5f);
  EXPECT_EQ(s.MainForm.Top, 12);
  EXPECT_EQ(s.Jpeg.JPGComp, "60");
  ASSERT_TRUE(SaveSettings(path, s).ok);

  // Our existing keys keep their lines; the new ones follow the last line of
  // their section; unknown lines, sections and line ends are untouched.
  std::string effectLines;
  for (int id = 0; id < EffectCount; ++id)
    if (id != 6) effectLines += "EffectVals" + std::to_string(id) + "=" + std::to_string(s.Effects.EffectValues[id]) + "\r\n";
  // The file is present, so the missing peaks, wavelengths, scale and
  // turbulence were read as 0 and go back as such.
  const std::string extras = Crlf(
      "UDWavVal=0\nLRPeakVal=0\nLRWavVal=0\nFishVal=0.75\nScaleVal=0\nTurbVal=0\n"
      "UDSBlurBuf=1\nUDSBlurSelf=1\nSBlurReps=32\nUDWatBuf=100\nUDWatSelf=-128\nNovaSpok=64\nNovaHue=32\n"
      "NovaX=24\nNovaY=36\nHytEl=20\nHytDp=16\nHytBm=1\nTrColVal=0\nTrUseVal=0\nWvLenVal=10\nWvPhsVal=8\n"
      "WvRflVal=0\nWhPchVal=0.5\nWhRadVal=1\n");
  const std::string expected =
      "; my settings, edited by hand\r\n"
      "[effectvals]\r\n"
      "  effectVALS6 =  120   \r\n"
      "udpeakval=4.5\r\n"
      "MyOwnKey=keep me\r\n"
      "a line without equals\r\n" +
      effectLines + extras +
      "\r\n"
      "[Unknown Section]\n"
      "Top=777\n"
      "\n"
      "[MAINFORM]\r\n"
      "\tTop\t= 12\r\n"
      "JPGComp=60\r\n"
      "; trailing comment\r\n"
      "SaveDlg=1\r\nSaveWithLog=0\r\nPenStyle=0\r\nDefault Directory=/opt/velltile/\r\n"
      "Left=195\r\nWidth=541\r\nHeight=446\r\nStatus=1\r\nUndoLevels=15\r\n"
      "\r\n"
      "[ToolBox]\r\nTop=1\r\nLeft=3\r\nPen Color=0\r\nBrush Color=16777215\r\nPen Size=2\r\n"
      "\r\n"
      "[Filter]\r\ne1=2\r\ne2=1\r\ne3=1\r\ne4=1\r\ne5=-3\r\ne6=-1\r\ne7=1\r\ne8=-1\r\ne9=-1\r\neDiv=1\r\n";
  EXPECT_EQ(ReadAll(path), expected);
}

TEST(Settings, OddValuesReadAsTheirDefaults) {
  TIniFile ini(Crlf(
      "[EffectVals]\nEffectVals6=250\nEffectVals13=many\nTurbVal=12.5\nFishVal=big\nHytBm=2\nWvRflVal=x\n"
      "TrColVal=-1\nWvPhsVal=3.7\n"
      "[MainForm]\nPenStyle=12\nStatus=9\nUndoLevels=0\nSaveDlg=2\nSaveWithLog=5\n"
      "[ToolBox]\nPen Color=16777216\nBrush Color=blue\n"));
  TEffectParams e;
  ASSERT_TRUE(LoadEffectSettings(ini, e));
  EXPECT_EQ(e.EffectValues[13], 2);
  EXPECT_EQ(e.Extras.TurbVal, 0);
  EXPECT_EQ(e.Extras.FishVal, 0.75f);
  EXPECT_TRUE(e.Extras.HytBm);
  EXPECT_FALSE(e.Extras.WvRflVal);
  EXPECT_EQ(e.Extras.TrColVal, 0xFFFFFFu);
  EXPECT_EQ(e.Extras.WvPhsVal, 8.0);
  TMainFormSettings m;
  m.PenStyle = 5;
  ASSERT_TRUE(LoadMainFormSettings(ini, "/p/", m));
  EXPECT_EQ(m.PenStyle, 0);
  EXPECT_EQ(m.Status, TWindowStatus::Normal);
  EXPECT_EQ(m.UndoLevels, 1);
  EXPECT_FALSE(m.SaveDlg);  // checked only when exactly 1
  EXPECT_TRUE(m.SaveWithLog);
  TToolBoxSettings t;
  ASSERT_TRUE(LoadToolBoxSettings(ini, t));
  EXPECT_EQ(t.PenColor, 0u);
  EXPECT_EQ(t.BrushColor, 0xFFFFFFu);
}

TEST(Settings, HostileFileIsReadAndItsOtherKeysKept) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  // 10 MB of the user's own section: binary bytes, NULs, lines without '=',
  // stray CRs and brackets; then our section without a final line end.
  std::string junk;
  junk.reserve(10u << 20);
  uint32_t x = 12345;
  while (junk.size() < (10u << 20)) {
    x = x * 1103515245u + 12345u;
    char c = static_cast<char>(x >> 24);
    if (c == '[' || c == '=') c = '#';
    junk += c;
    if ((x & 0x3F) == 0) junk += "\r\n";
    if ((x & 0x3FF) == 1) junk += "\nMyKey" + std::to_string(junk.size()) + "=value\n";
  }
  const std::string head = "[User Stuff]\r\nFirst=1\r\n" + junk + "\r\nLast=2\r\n";
  const std::string original = head + "[EffectVals]\r\nEffectVals6=123";
  WriteAll(path, original);

  TSettings s = BuiltIn();
  ASSERT_TRUE(LoadSettings(path, "/opt/velltile/", s));
  EXPECT_EQ(s.Effects.EffectValues[6], 123);
  EXPECT_EQ(s.Effects.Extras.UDPeakVal, 0.0f);
  ASSERT_TRUE(SaveSettings(path, s).ok);

  const std::string after = ReadAll(path);
  ASSERT_GT(after.size(), original.size());
  EXPECT_EQ(after.compare(0, original.size(), original), 0);
  EXPECT_EQ(after.compare(original.size(), 14, "\r\nEffectVals0="), 0);
  TIniFile ini;
  ASSERT_TRUE(ini.Load(path).ok);
  EXPECT_EQ(ini.ReadString("User Stuff", "First", ""), "1");
  EXPECT_EQ(ini.ReadString("user stuff", "LAST", ""), "2");
  EXPECT_EQ(ini.ReadString("MainForm", "Status", ""), "1");
}

TEST(Settings, UnreadableFileIsNeitherReadNorOverwritten) {
  TempDir dir;
  const std::string path = dir / SettingsFileName;
  std::filesystem::create_directory(path);
  TSettings s = BuiltIn();
  TFileResult why;
  EXPECT_FALSE(LoadSettings(path, "", s, &why));
  EXPECT_FALSE(why.ok);
  TFileResult saved = SaveSettings(path, s);
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.message.find(SettingsFileName), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(Settings, ADirectoryWithALineBreakIsNotWritten) {
  TIniFile ini("[EffectVals]\r\nEffectVals6=250\r\n[MainForm]\r\nDefault Directory=/old/\r\n");
  TMainFormSettings m;
  m.DefaultDirectory = "/tmp/a\n[EffectVals]\nEffectVals6=0";
  SaveMainFormSettings(ini, m);
  EXPECT_EQ(ini.ReadString("MainForm", "Default Directory", ""), "/old/");
  EXPECT_TRUE(SettingsPresent(TIniFile(ini.Bytes())));
}

}  // namespace
}  // namespace vell
