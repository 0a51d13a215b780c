// The command line: switches, quoted and unquoted log paths, captions.
#include <gtest/gtest.h>

#include "CommandLine.h"

namespace yarb {
namespace {

struct Case {
  const char* line;
  bool automatic, silent, rollback, confirmOnly, noTemp, temp, tempRestart;
  int launch;
  const char* log;
  bool quoted;
  const char* caption;
};

TEST(CommandLine, Table) {
  const Case cases[] = {
      {"", 0, 0, 0, 0, 0, 0, 0, 0, "", 0, ""},
      {"/S C:\\APP\\INSTALL.LOG", 1, 1, 0, 0, 0, 0, 0, 0, "C:\\APP\\INSTALL.LOG", 0, ""},
      {"/s /a /r /u /Z x.log", 1, 1, 1, 1, 1, 0, 0, 0, "x.log", 0, ""},
      {"/A /R \"C:\\Program Files\\Quilo\\INSTALL.LOG\"", 1, 0, 1, 0, 0, 0, 0, 0,
       "C:\\Program Files\\Quilo\\INSTALL.LOG", 1, ""},
      // A quoted path runs to the last quote; what follows (blanks skipped) is the caption.
      {"\"C:\\a b\\INSTALL.LOG\"   Quilo 2 Setup", 0, 0, 0, 0, 0, 0, 0, 0, "C:\\a b\\INSTALL.LOG", 1,
       "Quilo 2 Setup"},
      {"\"C:\\a\\x.log\" \"Cap\"", 0, 0, 0, 0, 0, 0, 0, 0, "C:\\a\\x.log\" \"Cap", 1, ""},
      // An unquoted path ends at the first blank; the caption loses one quote at each end.
      {"C:\\a\\x.log \"My Caption\"", 0, 0, 0, 0, 0, 0, 0, 0, "C:\\a\\x.log", 0, "My Caption"},
      {"C:\\a\\x.log My Caption", 0, 0, 0, 0, 0, 0, 0, 0, "C:\\a\\x.log", 0, "My Caption"},
      // "/W" n: glued or after blanks; the number ends at the next blank.
      {"/W3 x.log", 0, 0, 0, 0, 0, 0, 0, 3, "x.log", 0, ""},
      {"/w 12 /U x.log", 0, 0, 0, 1, 0, 0, 0, 12, "x.log", 0, ""},
      // Only a lower-case z marks the temporary copy; "z1" also asks for the restart.
      {"/z C:\\t\\QZ.EXE a b", 0, 0, 0, 0, 0, 1, 0, 0, "C:\\t\\QZ.EXE", 0, ""},
      {"/z1 C:\\t\\QZ.EXE", 0, 0, 0, 0, 0, 1, 1, 0, "C:\\t\\QZ.EXE", 0, ""},
      {"/Z x.log", 0, 0, 0, 0, 1, 0, 0, 0, "x.log", 0, ""},
      // An unknown letter ends the switches: the rest is the path.
      {"/S /Q x.log", 1, 1, 0, 0, 0, 0, 0, 0, "/Q", 0, "x.log"},
      // A Linux path is no switch even when it begins with a switch letter.
      {"/S /srv/wine/drive_c/INSTALL.LOG", 1, 1, 0, 0, 0, 0, 0, 0, "/srv/wine/drive_c/INSTALL.LOG", 0, ""},
      {"/S \"/home/u/.wine/drive_c/Program Files/Quilo/INSTALL.LOG\"", 1, 1, 0, 0, 0, 0, 0, 0,
       "/home/u/.wine/drive_c/Program Files/Quilo/INSTALL.LOG", 1, ""},
      {"\"unterminated path", 0, 0, 0, 0, 0, 0, 0, 0, "unterminated path", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CommandLine cl = ParseCommandLine(c.line);
    EXPECT_EQ(cl.automatic, c.automatic);
    EXPECT_EQ(cl.silent, c.silent);
    EXPECT_EQ(cl.rollback, c.rollback);
    EXPECT_EQ(cl.confirmOnly, c.confirmOnly);
    EXPECT_EQ(cl.noTempCopy, c.noTemp);
    EXPECT_EQ(cl.tempCopy, c.temp);
    EXPECT_EQ(cl.tempCopyRestart, c.tempRestart);
    EXPECT_EQ(cl.launchIndex, c.launch);
    EXPECT_EQ(cl.logPath, c.log);
    EXPECT_EQ(cl.logQuoted, c.quoted);
    EXPECT_EQ(cl.caption, c.caption);
  }
  EXPECT_EQ(ParseCommandLine("/z C:\\t\\QZ.EXE a b").tempArgs, "a b");
}

TEST(CommandLine, ArgumentsRebuiltForTheParser) {
  struct J {
    std::vector<const char*> argv;
    const char* line;
  };
  const J cases[] = {
      {{"UNYARB32", "/S", "/home/u/.wine/drive_c/Program Files/Quilo/INSTALL.LOG"},
       "/S \"/home/u/.wine/drive_c/Program Files/Quilo/INSTALL.LOG\""},
      {{"UNYARB32", "/W", "2", "/U", "x.log", "My", "Caption"}, "/W 2 /U x.log My Caption"},
      {{"UNYARB32", "/srv/x.log"}, "/srv/x.log"},
      {{"UNYARB32"}, ""},
  };
  for (const J& j : cases) {
    const std::string line = JoinArguments(static_cast<int>(j.argv.size()), j.argv.data());
    EXPECT_EQ(line, j.line);
  }
  const char* argv[] = {"UNYARB32", "/S", "/home/u/a b/INSTALL.LOG", "Quilo"};
  const CommandLine cl = ParseCommandLine(JoinArguments(4, argv));
  EXPECT_TRUE(cl.silent);
  EXPECT_EQ(cl.logPath, "/home/u/a b/INSTALL.LOG");
  EXPECT_EQ(cl.caption, "Quilo");
}

}  // namespace
}  // namespace yarb
