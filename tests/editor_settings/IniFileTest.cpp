#include "editor/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TempDir.h"

namespace vell {
namespace {

using namespace std::string_literals;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

struct FindCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

TEST(IniFile, FindFollowsProfileRules) {
  const std::vector<FindCase> cases = {
      {"exact", "[Sec]\r\nKey=Val\r\n", "Sec", "Key", "Val"},
      {"case of section and key", "[Sec]\r\nKey=Val\r\n", "sEC", "KEY", "Val"},
      {"blanks around names and value", "  [ Sec ]\n\tKey \t=  Val  \n", "Sec", "Key", "Val"},
      {"no final line end", "[MainForm]\r\nTop=5", "MainForm", "Top", "5"},
      {"key before any section", "Top=9\r\n[MainForm]\r\n", "MainForm", "Top", std::nullopt},
      {"comment line", "[S]\r\n;Top=1\r\n", "S", ";Top", std::nullopt},
      {"line without '=' is no key", "[S]\r\nTop\r\nTop=4\r\n", "S", "Top", "4"},
      {"first key wins", "[S]\na=1\na=2\n", "S", "a", "1"},
      {"first section wins", "[S]\na=1\n[s]\nb=3\n", "S", "b", std::nullopt},
      {"'=' inside the value", "[S]\na=b=c\n", "S", "a", "b=c"},
      {"empty value", "[S]\na=\r\n", "S", "a", ""},
      {"binary bytes", "[S]\na=\x01\xff\0x\r\n"s, "S", "a", "\x01\xff\0x"s},
      {"header without ']'", "[S\na=1\n", "S", "a", "1"},
      {"text after ']'", "[S] junk\na=1\n", "S", "a", "1"},
      {"key in a later section", "[A]\nk=1\n[B]\nk=2\n", "b", "K", "2"},
      {"missing section", "[A]\nk=1\n", "B", "k", std::nullopt},
      {"empty file", "", "A", "k", std::nullopt},
      {"byte order mark", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "1"},
  };
  for (const auto& c : cases) {
    TIniFile ini(c.file);
    EXPECT_EQ(ini.Find(c.section, c.key), c.expected) << c.name;
  }
}

struct WriteCase {
  const char* name;
  std::string file;
  std::vector<std::array<const char*, 3>> writes;  // section, key, value
  std::string expected;
};

TEST(IniFile, WritesChangeOnlyTheirValues) {
  const std::vector<WriteCase> cases = {
      {"new file", "", {{"S", "a", "1"}}, "[S]\r\na=1\r\n"},
      {"value replaced, spacing before it kept", "[s]\r\n  A = 1  \r\n", {{"S", "a", "2"}}, "[s]\r\n  A = 2\r\n"},
      {"same value keeps the line", "[s]\r\n  A = 1  \r\n", {{"S", "a", "1"}}, "[s]\r\n  A = 1  \r\n"},
      {"added after a last line without line end", "[S]\r\nx=1", {{"S", "a", "2"}}, "[S]\r\nx=1\r\na=2\r\n"},
      {"edited last line keeps its missing line end", "[S]\r\nx=1", {{"S", "x", "22"}}, "[S]\r\nx=22"},
      {"edit then add on a last line", "[S]\r\nx=1", {{"S", "x", "3"}, {"S", "y", "4"}}, "[S]\r\nx=3\r\ny=4\r\n"},
      {"added before blank lines and the next section", "[S]\r\nx=1\r\n\r\n[T]\r\ny=2\r\n",
       {{"S", "a", "3"}}, "[S]\r\nx=1\r\na=3\r\n\r\n[T]\r\ny=2\r\n"},
      {"LF file keeps its line ends", "[S]\nx=1\n", {{"S", "x", "5"}, {"T", "k", "v"}},
       "[S]\nx=5\n\r\n[T]\r\nk=v\r\n"},
      {"new section after a comment without line end", "; note", {{"T", "k", "v"}}, "; note\r\n\r\n[T]\r\nk=v\r\n"},
      {"new section after a blank line", "[A]\r\nb=1\r\n\r\n", {{"T", "k", "v"}}, "[A]\r\nb=1\r\n\r\n[T]\r\nk=v\r\n"},
      {"lone CR at the end", "[S]\r\nx=1\r", {{"S", "a", "2"}}, "[S]\r\nx=1\r\na=2\r\n"},
      {"header only", "[S]", {{"S", "a", "1"}}, "[S]\r\na=1\r\n"},
      {"duplicate section: first one gets the key", "[S]\r\na=1\r\n[S]\r\nb=2\r\n", {{"S", "b", "3"}},
       "[S]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"},
      {"comment and odd lines stay", "[S]\r\n;c=1\r\nodd line\r\na=1\r\n", {{"S", "c", "2"}, {"S", "a", "9"}},
       "[S]\r\n;c=1\r\nodd line\r\na=9\r\nc=2\r\n"},
      {"empty value filled", "[S]\r\na=\r\n", {{"S", "a", "7"}}, "[S]\r\na=7\r\n"},
      {"value emptied", "[S]\r\na= 7\r\n", {{"S", "a", ""}}, "[S]\r\na= \r\n"},
      {"written twice", "", {{"S", "a", "1"}, {"S", "a", "2"}}, "[S]\r\na=2\r\n"},
      {"byte order mark kept", "\xEF\xBB\xBF[S]\r\na=1\r\n", {{"S", "a", "2"}}, "\xEF\xBB\xBF[S]\r\na=2\r\n"},
  };
  for (const auto& c : cases) {
    TIniFile ini(c.file);
    for (const auto& w : c.writes) EXPECT_TRUE(ini.WriteString(w[0], w[1], w[2])) << c.name;
    EXPECT_EQ(ini.Bytes(), c.expected) << c.name;
    // The last value written to a key reads back, also from the new bytes.
    std::map<std::pair<std::string, std::string>, std::string> last;
    for (const auto& w : c.writes) last[{w[0], w[1]}] = w[2];
    TIniFile again(ini.Bytes());
    for (const auto& [k, v] : last) {
      EXPECT_EQ(ini.ReadString(k.first, k.second, "?"), v) << c.name;
      EXPECT_EQ(again.ReadString(k.first, k.second, "?"), v) << c.name;
    }
  }
}

TEST(IniFile, RefusesWritesThatWouldBreakTheFile) {
  TIniFile ini("[S]\r\na=1\r\n");
  EXPECT_FALSE(ini.WriteString("S", "a", "x\r\n[Evil]"));
  EXPECT_FALSE(ini.WriteString("S", "a", "x\ny"));
  EXPECT_FALSE(ini.WriteString("S", "b=c", "1"));
  EXPECT_FALSE(ini.WriteString("S", ";b", "1"));
  EXPECT_FALSE(ini.WriteString("S", "", "1"));
  EXPECT_FALSE(ini.WriteString("S]", "b", "1"));
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(ini.Bytes(), "[S]\r\na=1\r\n");
}

TEST(IniFile, IntegerConversion) {
  const std::vector<std::pair<const char*, std::optional<int32_t>>> cases = {
      {"12", 12},       {"-7", -7},   {"+7", 7},           {" 5 ", 5},
      {"$FF", 255},     {"0x10", 16}, {"$FFFFFFFF", -1},   {"2147483647", 2147483647},
      {"2147483648", std::nullopt},   {"-2147483648", INT32_MIN}, {"-2147483649", std::nullopt},
      {"12a", std::nullopt},          {"", std::nullopt}, {"1.5", std::nullopt},
      {"-", std::nullopt},            {"+-5", std::nullopt}, {"$", std::nullopt}, {"$1FFFFFFFF", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(IniTextToInt(text), expected) << text;
}

TEST(IniFile, RealConversion) {
  EXPECT_EQ(IniTextToReal("3", true), 3.0);
  EXPECT_EQ(static_cast<float>(*IniTextToReal("0.300000011920929", true)), 0.3f);
  EXPECT_EQ(IniTextToReal("-2.5", true), -2.5);
  EXPECT_EQ(IniTextToReal("1e3", true), 1000.0);
  EXPECT_EQ(IniTextToReal(" .5 ", true), 0.5);
  EXPECT_EQ(IniTextToReal("1e39", false), 1e39);
  for (const char* bad : {"1e39", "inf", "nan", "-inf", "1,5", ".", "", "+-1", "0x1p3", "1e", "abc"})
    EXPECT_EQ(IniTextToReal(bad, true), std::nullopt) << bad;
}

TEST(IniFile, TypedReadsFallBackToTheirDefaults) {
  TIniFile ini("[S]\r\nnum=abc\r\nflag=2\r\noff=0\r\nreal=x\r\nempty=\r\n");
  EXPECT_EQ(ini.ReadInteger("S", "num", 42), 42);
  EXPECT_EQ(ini.ReadInteger("S", "missing", -3), -3);
  EXPECT_TRUE(ini.ReadBool("S", "flag", false));
  EXPECT_FALSE(ini.ReadBool("S", "off", true));
  EXPECT_TRUE(ini.ReadBool("S", "num", true));
  EXPECT_EQ(ini.ReadSingle("S", "real", 0.75f), 0.75f);
  EXPECT_EQ(ini.ReadInteger("S", "empty", 9), 9);
  // A present but empty string is not the default.
  EXPECT_EQ(ini.ReadString("S", "empty", "dflt"), "");
}

TEST(IniFile, LoadReportsMissingAndUnreadableFiles) {
  TempDir dir;
  TIniFile ini;
  TFileResult missing = ini.Load(dir / "none.ini");
  EXPECT_TRUE(missing.ok);
  EXPECT_EQ(missing.error, ENOENT);

  std::filesystem::create_directory(dir / "folder.ini");
  TFileResult folder = ini.Load(dir / "folder.ini");
  EXPECT_FALSE(folder.ok);
  EXPECT_NE(folder.message.find("folder.ini"), std::string::npos);

  std::string bytes;
  WriteAll(dir / "big.ini", std::string(100, 'x'));
  TFileResult big = ReadFileBytes(dir / "big.ini", bytes, 99);
  EXPECT_FALSE(big.ok);
  EXPECT_EQ(big.error, EFBIG);
  EXPECT_TRUE(bytes.empty());
}

TEST(IniFile, SaveReplacesThroughATemporaryFile) {
  TempDir dir;
  const std::string real = dir / "real.ini";
  const std::string link = dir / "link.ini";
  WriteAll(real, "[S]\r\na=1\r\n");
  ::chmod(real.c_str(), 0600);
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);

  TIniFile ini;
  ASSERT_TRUE(ini.Load(link).ok);
  ini.WriteInteger("S", "a", 2);
  ASSERT_TRUE(ini.Save(link).ok);

  // The link still points at the file, which holds the new bytes and its mode.
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(real), "[S]\r\na=2\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  // No temporary file is left behind.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 2);

  // A folder that cannot take the temporary file leaves the old file alone.
  TFileResult r = ReplaceFileContents(dir / "nofolder/x.ini", "data");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, ENOENT);
}

}  // namespace
}  // namespace vell
