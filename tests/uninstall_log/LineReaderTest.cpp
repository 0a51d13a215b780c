#include "LineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DupIndex.h"
#include "InstallLog.h"
#include "TextRules.h"

namespace yarb {
namespace {

using Lines = std::vector<std::pair<std::string, uint64_t>>;

Lines ReadAll(std::string_view bytes, std::vector<uint64_t>* blocks = nullptr) {
  LineReader reader(bytes, [blocks](uint64_t offset) {
    if (blocks) blocks->push_back(offset);
  });
  Lines lines;
  LogLine line;
  while (reader.Next(&line)) lines.emplace_back(line.text, line.offset);
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  Lines expected;
};

TEST(InstallLogLines, SplitsLinesAndKeepsOffsets) {
  const std::vector<LineCase> cases = {
      {"crlf", "*** a\r\nB\r\n", {{"*** a", 0}, {"B", 7}}},
      {"cr only", "*** a\rB\r", {{"*** a", 0}, {"B", 6}}},
      {"lf inside a line is dropped", "A\nB\rC", {{"AB", 0}, {"C", 4}}},
      {"lf only never ends a line", "A\nB\n", {{"AB", 0}}},
      {"blank lines skipped", "\r\n\r\n\rA\r\n\r\n", {{"A", 5}}},
      {"last line without cr", "A\r\nB", {{"A", 0}, {"B", 3}}},
      {"offset is the first character, after an lf", "A\r\n\nB", {{"A", 0}, {"B", 4}}},
      {"nul ends the text", std::string("A\0B\rC", 5), {{"A", 0}, {"C", 4}}},
      {"line of only a nul is empty", std::string("\0\rC", 3), {{"C", 2}}},
      {"empty input", "", {}},
  };
  for (const LineCase& c : cases) EXPECT_EQ(ReadAll(c.bytes), c.expected) << c.name;
}

TEST(InstallLogLines, CutsLongLinesAt2047Characters) {
  const std::string bytes = std::string(3000, 'x') + "\r\nY";
  const Lines lines = ReadAll(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].first, std::string(2047, 'x'));
  EXPECT_EQ(lines[1], (std::pair<std::string, uint64_t>("Y", 3002)));
}

TEST(InstallLogLines, ReadsInBlocksOf16384AcrossLineBoundaries) {
  // A line that straddles the first block boundary comes out whole.
  std::string bytes = std::string(16380, 'a') + "\r\n" + "straddle\r\n" + std::string(3000, 'b');
  std::vector<uint64_t> blocks;
  const Lines lines = ReadAll(bytes, &blocks);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], (std::pair<std::string, uint64_t>("straddle", 16382)));
  EXPECT_EQ(lines[2].first, std::string(2047, 'b'));
  EXPECT_EQ(blocks, (std::vector<uint64_t>{16384, bytes.size()}));
}

TEST(InstallLogDupKeys, PathsCompareFromTheLastCharacterWithoutCase) {
  struct Case {
    DupKey a, b;
    int sign;
  };
  const std::vector<Case> cases = {
      {{"C:\\APP\\A.DLL", "", ""}, {"c:\\app\\a.dll", "", ""}, 0},
      // From the end: "A.DLL" == "a.dll", then "\" == "\", then 'P' vs 'X'.
      {{"C:\\APP\\A.DLL", "", ""}, {"C:\\APX\\A.DLL", "", ""}, -1},
      // The first difference from the end decides, not from the front.
      {{"Z:\\A", "", ""}, {"A:\\B", "", ""}, -1},
      // A path that is a tail of the other is the lesser.
      {{"B.DLL", "", ""}, {"C:\\B.DLL", "", ""}, -1},
      {{"C:\\B.DLL", "", ""}, {"B.DLL", "", ""}, 1},
      // Then value name and root text (or section and item), from the front.
      {{"K", "name", "2"}, {"k", "NAME", "2"}, 0},
      {{"K", "a", "9"}, {"K", "b", "0"}, -1},
      {{"K", "n", "1"}, {"K", "n", "2"}, -1},
      {{"K", "ab", ""}, {"K", "a", ""}, 1},
      // Windows-1252 capitals fold too: E acute.
      {{"C:\\\xC9T\xC9", "", ""}, {"c:\\\xE9t\xE9", "", ""}, 0},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const int c = CompareDupKeys(cases[i].a, cases[i].b);
    EXPECT_EQ((c > 0) - (c < 0), cases[i].sign) << "case " << i;
  }
}

TEST(InstallLogDupKeys, IndexFindsByKeyWithoutCase) {
  DupIndex index;
  index.Add({"C:\\A\\X.DLL", "", ""}, 0);
  index.Add({"C:\\B\\X.DLL", "", ""}, 1);
  index.Add({"C:\\A\\X.DLL", "v", "2"}, 2);
  EXPECT_EQ(index.Find({"c:\\b\\x.dll", "", ""}), 1);
  EXPECT_EQ(index.Find({"C:\\A\\X.DLL", "V", "2"}), 2);
  EXPECT_EQ(index.Find({"C:\\A\\X.DLL", "V", "02"}), -1);
  EXPECT_EQ(index.Find({"C:\\C\\X.DLL", "", ""}), -1);
}

TEST(InstallLogTitle, DropsInstallationThenInstall) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Quilo INSTALLATION", "Quilo"},
      {"Quilo installation", "Quilo"},
      {"Quilo Install", "Quilo"},
      {"Quilo INSTALL INSTALLATION", "Quilo"},
      {"Quilo INSTALLATION INSTALL", "Quilo INSTALLATION"},
      {"QuiloINSTALL", "QuiloINSTALL"},
      {" INSTALL", ""},
      {"Quilo", "Quilo"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(TrimTitle(in), out) << in;
}

TEST(InstallLogText, CutToFieldNeverExceedsTheField) {
  EXPECT_EQ(CutToField(std::string(300, 'p'), 259).size(), 259u);
  EXPECT_EQ(CutToField("short", 259), "short");
  EXPECT_EQ(FolderOf("C:\\A\\B.TXT"), "C:\\A");
  EXPECT_EQ(FolderOf("B.TXT"), "");
}

}  // namespace
}  // namespace yarb
