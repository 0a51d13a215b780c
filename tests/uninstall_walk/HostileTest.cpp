// A hostile INSTALL.LOG changes nothing outside the prefix and nothing of its protected
// folders, and every refusal is in the run's report.
#include "WalkFixture.h"

namespace yarb {
namespace {

using test::ReadText;
using test::Walk;
using test::WriteText;

// The Windows folder in a hundred spellings: letter case, separators, dots, aliases, the
// 64- and 32-bit system folders, another drive leading to the same place.
std::vector<std::string> WindowsSpellings(const std::string& viaZ) {
  std::vector<std::string> out;
  const char* const bases[] = {"C:\\windows",         "C:\\WINDOWS",          "c:\\Windows",
                               "C:/windows",          "C:\\windows\\.",       "C:\\windows.",
                               "C:\\windows \\",      "C:\\users\\..\\windows", "\\\\?\\C:\\windows",
                               "C:\\windows\\system32\\..", "C:\\windows\\\\"};
  const char* const subs[] = {"", "\\system32", "\\SYSTEM32", "\\syswow64", "\\sysnative",
                              "\\System32\\", "\\system32\\."};
  for (const char* b : bases)
    for (const char* s : subs) out.push_back(std::string(b) + s);
  out.push_back(viaZ);
  out.push_back(viaZ + "\\system32");
  out.push_back("C:\\Program Files");
  out.push_back("C:\\PROGRA~1");
  out.push_back("C:\\Program Files (x86)");
  out.push_back("C:\\");
  out.push_back("C:\\users");
  return out;
}

TEST(HostileLog, NothingOutsideAndNothingProtected) {
  Walk w;
  // Outside the prefix: a file and a folder reached through z: and through a link.
  const std::string outside = w.pfx.Outside();
  ::mkdir((outside + "/dir").c_str(), 0755);
  WriteText(outside + "/victim.txt", "keep");
  WriteText(outside + "/dir/victim2.txt", "keep");
  ASSERT_EQ(::symlink((outside + "/dir").c_str(), w.C("APP/link").c_str()), 0);
  // Protected folders with files of their own.
  w.pfx.Dir("Program Files/Other");
  w.pfx.Dir("Program Files (x86)");
  for (const char* f : {"windows/keep.dll", "windows/system32/keep.dll", "windows/syswow64/keep.dll",
                        "Program Files/keep.txt", "Program Files/Other/keep.txt", "root.txt"})
    w.pfx.File(f, "keep");
  w.SetValue(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "x", RegValue::Sz("1"));
  char real[PATH_MAX];
  ASSERT_NE(::realpath(w.pfx.dir().c_str(), real), nullptr);
  std::string zPrefix = std::string("Z:") + real + "/drive_c/windows";
  std::string zOutside = "Z:" + outside;
  for (std::string* s : {&zPrefix, &zOutside})
    for (char& c : *s) c = c == '/' ? '\\' : c;
  std::vector<std::string> lines{"***  Installation Started ***", "Title: Hostile",
                                 "Delete in-use files: On"};
  for (const std::string& p : WindowsSpellings(zPrefix)) {
    lines.push_back("File Tree: " + p);
    lines.push_back("Made Dir: " + p);
    lines.push_back("File Copy: " + p + "\\*.*");
    lines.push_back("File Copy: " + p + "\\*.dll");
  }
  for (const std::string& p : {zOutside + "\\victim.txt", std::string("C:\\APP\\link\\victim2.txt"),
                               std::string("C:\\APP\\..\\..\\..\\..\\root.txt")})
    lines.push_back("File Copy: " + p);
  lines.push_back("File Tree: " + zOutside);
  lines.push_back("File Tree: C:\\APP\\link");
  lines.push_back("File Tree: C:\\APP\\link\\*.*");
  lines.push_back("File Copy: Z:\\*.*");
  lines.push_back("File Copy: C:\\*.txt");
  lines.push_back("Made Dir: Z:\\tmp");
  lines.push_back("RegDB Tree: Software");
  lines.push_back("RegDB Root: 2");
  lines.push_back("RegDB Tree: Software\\Microsoft\\Windows");
  lines.push_back("RegDB Root: 2");
  w.Parse(lines);
  for (auto* list : {&w.log.systemFiles, &w.log.privateFiles})
    for (FileEntry& f : *list) f.selected = true;  // as a Custom run could
  for (DirEntry& d : w.log.directories) d.selected = true;
  w.Run(UninstallMode::Custom);

  if (std::getenv("WALK_DUMP"))
    std::fprintf(stderr, "%s", w.Report().Text("dump").c_str());
  EXPECT_EQ(ReadText(outside + "/victim.txt"), "keep");
  EXPECT_EQ(ReadText(outside + "/dir/victim2.txt"), "keep");
  for (const char* f : {"windows/keep.dll", "windows/system32/keep.dll", "windows/syswow64/keep.dll",
                        "Program Files/keep.txt", "Program Files/Other/keep.txt"})
    EXPECT_TRUE(w.Exists(f)) << f;
  EXPECT_TRUE(w.Exists("Program Files (x86)"));
  EXPECT_TRUE(w.platform->RegKeyExists(RegRoot::LocalMachine, "Software\\Microsoft\\Windows"));
  EXPECT_TRUE(w.platform->PendingRenames().empty());
  EXPECT_FALSE(w.engine->restartNeeded);

  // Every refusal is in the report: the z: file, the linked folder, the protected folders.
  const RunReport& r = w.Report();
  bool zRefused = false;
  for (const ReportLine& l : r.Lines())
    zRefused = zRefused || (l.kind == ReportKind::Refused && l.reason.find("victim.txt") != std::string::npos);
  EXPECT_TRUE(zRefused);
  EXPECT_TRUE(r.Has(ReportKind::Refused, "C:\\windows"));
  EXPECT_GE(r.Count(ReportKind::Refused), 20);
  EXPECT_EQ(r.Count(ReportKind::Scheduled), 0);
}

}  // namespace
}  // namespace yarb
