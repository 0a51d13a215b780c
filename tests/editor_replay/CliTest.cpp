// The velltile program end to end: run as a user would, files on disk.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "imaging/Seam.h"
#include "tests/editor_replay/ReplayRoad.h"

#ifdef VELLTILE_PROGRAM

namespace vell {
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Code = -1;
  std::string Out, Err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TRun Velltile(const std::string& arguments) {
  const std::string out = TempPath("cli.out"), err = TempPath("cli.err");
  const std::string command = std::string(VELLTILE_PROGRAM) + " " + arguments + " >" + out + " 2>" + err;
  const int status = std::system(command.c_str());
  TRun r;
  r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.Out = Slurp(out);
  r.Err = Slurp(err);
  return r;
}

std::string WriteLog(const std::string& name, const std::string& text) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(Velltile, ReplayWritesTheRoadsPictureInTheFormatOfTheName) {
  TRoad road;
  road.StartLine();
  road.Open(PatternFile("cli_start.bmp", 32, 24));
  road.Tree(13, [] {
    TPanelFields f;
    f.Main = "2";
    return f;
  }());
  road.apply.FourWayFlipClick();
  const std::string log = WriteLog("cli_log.txt", road.Text());
  for (const char* ext : {".bmp", ".png"}) {
    const std::string out = TempPath(std::string("cli_out") + ext);
    fs::remove(out);
    const TRun r = Velltile("replay " + log + " --output " + out);
    ASSERT_EQ(r.Code, 0) << r.Err;
    TPixelBuffer picture;
    ASSERT_TRUE(ReadImageFile(out, picture).ok);
    EXPECT_TRUE(SamePixels(picture, road.editor.dibWork)) << ext;
  }
  const std::string out = TempPath("cli_out.gif");
  ASSERT_EQ(Velltile("replay " + log + " --output " + out).Code, 0);
  const std::string bytes = Slurp(out);
  EXPECT_TRUE(bytes.starts_with("GIF8")) << "the name says GIF";
}

TEST(Velltile, AStoppedReplayWritesNothingAndSaysWhy) {
  const std::string log = WriteLog("cli_free.txt", "Negative\r\n" + FreehandLogLine("2", 0) + "\r\n");
  const std::string out = TempPath("cli_never.bmp");
  fs::remove(out);
  const TRun r = Velltile("replay " + log + " --output " + out);
  EXPECT_EQ(r.Code, 1);
  EXPECT_NE(r.Err.find("line 2: FreeHand Drawing: "), std::string::npos) << r.Err;
  EXPECT_FALSE(fs::exists(out));
  const TRun skipped = Velltile("replay " + log + " --output " + out + " --skip-unreplayable");
  EXPECT_EQ(skipped.Code, 0) << skipped.Err;
  EXPECT_NE(skipped.Err.find("line 2 skipped"), std::string::npos) << skipped.Err;
  EXPECT_TRUE(fs::exists(out));
}

TEST(Velltile, ApplyGoesOnPastABadFileAndNeverOverwritesAnInput) {
  const std::string dir = TempPath("cli_dir");
  fs::remove_all(dir);
  const std::string good1 = PatternFile("cli_a.bmp", 20, 10, 1), good2 = PatternFile("cli_b.png", 12, 14, 2);
  const std::string bad = WriteLog("cli_bad.bmp", "not a picture");
  const std::string log = WriteLog("cli_recipe.txt", "Open File /somewhere/else.bmp\r\nMirror L/R\r\nNegative\r\n");
  const TRun r = Velltile("apply " + log + " " + good1 + " " + bad + " " + good2 + " --output-dir " + dir);
  EXPECT_EQ(r.Code, 1) << r.Err;
  EXPECT_NE(r.Err.find("[1/3] " + good1 + " -> " + dir + "/" + fs::path(good1).filename().string()), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("[3/3]"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("2 done, 1 failed"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find(bad), std::string::npos);
  for (const auto& [input, name] : {std::pair{good1, fs::path(good1).filename().string()},
                                      std::pair{good2, fs::path(good2).filename().string()}}) {
    TPixelBuffer expected, got;
    ASSERT_TRUE(ReadImageFile(input, expected).ok);
    expected.MirrorColumns();
    ASSERT_TRUE(ReadImageFile(dir + "/" + name, got).ok) << name;
    for (int y = 0; y < expected.Height(); ++y)
      for (int x = 0; x < expected.Width(); ++x) {
        TRGB24& p = expected.Row24(y)[x];
        p = {static_cast<uint8_t>(255 - p.b), static_cast<uint8_t>(255 - p.g), static_cast<uint8_t>(255 - p.r)};
      }
    EXPECT_TRUE(SamePixels(got, expected)) << name;
  }
  // The inputs' own folder as the output: nothing is overwritten.
  const std::string before = Slurp(good1);
  const TRun same = Velltile("apply " + log + " " + good1 + " --output-dir " + fs::path(good1).parent_path().string());
  EXPECT_EQ(same.Code, 1);
  EXPECT_NE(same.Err.find("overwrite"), std::string::npos) << same.Err;
  EXPECT_EQ(Slurp(good1), before);
  // --format picks the output's format.
  const TRun gif = Velltile("apply " + log + " " + good1 + " --output-dir " + dir + " --format gif");
  EXPECT_EQ(gif.Code, 0) << gif.Err;
  EXPECT_TRUE(Slurp(dir + "/" + fs::path(good1).stem().string() + ".gif").starts_with("GIF8"));
}

TEST(Velltile, SeamPrintsTheScoreOfEachFile) {
  const std::string file = PatternFile("cli_seam.bmp", 16, 16);
  TPixelBuffer tile;
  ASSERT_TRUE(ReadImageFile(file, tile).ok);
  const TRun r = Velltile("seam " + file);
  ASSERT_EQ(r.Code, 0) << r.Err;
  char score[32];
  std::snprintf(score, sizeof score, "%.3f", MeasureSeam(tile).Score);
  EXPECT_NE(r.Out.find(file + ": " + score), std::string::npos) << r.Out;
  EXPECT_EQ(Velltile("seam /nowhere/tile.bmp").Code, 1);
}

TEST(Velltile, BadUsageExitsWithTwo) {
  const std::string log = WriteLog("cli_usage.txt", "Negative\r\n");
  const char* cases[] = {"", "paint", "replay", "replay LOG", "apply LOG", "apply LOG a.bmp",
                         "seam", "replay LOG --output", "apply LOG a.bmp --output-dir d --format tif",
                         "replay LOG --output x.bmp --bogus"};
  for (const char* args : cases) {
    std::string a = args;
    if (const size_t at = a.find("LOG"); at != std::string::npos) a.replace(at, 3, log);
    const TRun r = Velltile(a);
    EXPECT_EQ(r.Code, 2) << args << "\n" << r.Err;
    EXPECT_NE(r.Err.find("velltile: "), std::string::npos) << args;
  }
  const TRun help = Velltile("--help");
  EXPECT_EQ(help.Code, 0);
  EXPECT_NE(help.Out.find("velltile apply LOG FILE..."), std::string::npos);
}

}  // namespace
}  // namespace vell

#endif
