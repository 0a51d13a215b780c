// velltile: makes a tile again from the editor's operation log, runs the same
// recipe over many pictures, and measures how visible a tile's seam is.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "editor/ImageFiles.h"
#include "editor/Replay.h"
#include "imaging/Seam.h"

namespace fs = std::filesystem;

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

constexpr const char kHelp[] =
    "velltile: the operation log of VellTile as a recipe\n"
    "\n"
    "  velltile replay LOG --output FILE [--input FILE] [--skip-unreplayable] [--wrap-drawing]\n"
    "      Replays LOG (a VellLog.txt, or - for standard input) from the black 256 x 256 image,\n"
    "      or from FILE given with --input (it stands in for the log's first \"Open File\" line),\n"
    "      and writes the picture to --output; the format follows the name (.gif, .bmp, .png,\n"
    "      anything else JPEG). Nothing is written when the replay stops.\n"
    "\n"
    "  velltile apply LOG FILE... --output-dir DIR [--format bmp|jpg|gif|png]\n"
    "                [--skip-unreplayable] [--wrap-drawing]\n"
    "      Replays LOG on each FILE in place of the log's own \"Open File\" line and writes\n"
    "      DIR/<name>.<ext> (the input's own extension unless --format says otherwise).\n"
    "      A file that fails is reported and the others go on; an input is never overwritten.\n"
    "\n"
    "  velltile seam FILE...\n"
    "      Prints the seam score of each tile: the mean colour step across the wrap-around\n"
    "      edges divided by the mean step between neighbouring interior pixels (about 1 for\n"
    "      a seamless tile, well above 1 for a visible seam).\n"
    "\n"
    "Options:\n"
    "  --skip-unreplayable  skip lines the log cannot determine (a freehand stroke, a\n"
    "                       clock-seeded pattern, ...) and report each, instead of stopping\n"
    "  --wrap-drawing       the drawing tools wrapped around the edges while the log was written\n"
    "                       (\"Wrap Drawing Around Edges\" in the Pen menu)\n"
    "  -h, --help           this text\n"
    "\n"
    "Exit code: 0 done, 1 a replay stopped or a file failed, 2 bad usage.\n";

int Usage(const std::string& why) {
  std::cerr << "velltile: " << why << "\nTry 'velltile --help'.\n";
  return kUsage;
}

struct TArgs {
  std::string Command;
  std::vector<std::string> Positional;
  std::string Output, Input, OutputDir, Format;
  bool Skip = false, Wrap = false, Help = false;
};

// False with `why` on a malformed command line.
bool ParseArgs(int argc, char** argv, TArgs& a, std::string& why) {
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        why = arg + " needs a value";
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && (arg == "-h" || arg == "--help")) {
      a.Help = true;
    } else if (!optionsDone && arg == "--output") {
      if (!value(a.Output)) return false;
    } else if (!optionsDone && arg == "--input") {
      if (!value(a.Input)) return false;
    } else if (!optionsDone && arg == "--output-dir") {
      if (!value(a.OutputDir)) return false;
    } else if (!optionsDone && arg == "--format") {
      if (!value(a.Format)) return false;
    } else if (!optionsDone && arg == "--skip-unreplayable") {
      a.Skip = true;
    } else if (!optionsDone && arg == "--wrap-drawing") {
      a.Wrap = true;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      why = "unknown option " + arg;
      return false;
    } else if (a.Command.empty()) {
      a.Command = arg;
    } else {
      a.Positional.push_back(arg);
    }
  }
  return true;
}

vell::TReplayOptions Options(const TArgs& a, const std::string& input) {
  vell::TReplayOptions o;
  o.InputFile = input;
  o.SkipUnreplayable = a.Skip;
  o.WrapDrawing = a.Wrap;
  o.OnSkipped = [](size_t line, const std::string& text, const std::string& why) {
    std::cerr << "line " << line << " skipped: " << text << ": " << why << "\n";
  };
  return o;
}

bool Save(const std::string& path, const vell::TPixelBuffer& picture, std::string& error) {
  vell::TSaveOptions options;
  const vell::TSaveResult r = vell::SaveImageFile(path, picture, options);
  if (r.Outcome == vell::TSaveOutcome::Saved) return true;
  error = r.Error.empty() ? "Cannot save " + path : r.Error;
  return false;
}

int Replay(const TArgs& a) {
  if (a.Positional.size() != 1) return Usage("replay takes one LOG");
  if (a.Output.empty()) return Usage("replay needs --output FILE");
  if (!a.OutputDir.empty() || !a.Format.empty()) return Usage("--output-dir and --format belong to apply");
  const std::string& log = a.Positional[0];
  vell::TPixelBuffer picture;
  vell::TReplayOptions options = Options(a, a.Input);
  vell::TReplayResult r;
  if (log == "-") {
    r = vell::ReplayLog(std::cin, options, picture);
  } else {
    r = vell::ReplayLogFile(log, options, picture);
  }
  if (!r.Ok) {
    std::cerr << "velltile: " << log << ": " << r.Message << "\n";
    return kFailed;
  }
  std::string error;
  if (!Save(a.Output, picture, error)) {
    std::cerr << "velltile: " << error << "\n";
    return kFailed;
  }
  return kOk;
}

// The same file, also through another name.
bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

int Apply(const TArgs& a) {
  if (a.Positional.size() < 2) return Usage("apply takes a LOG and at least one FILE");
  if (a.OutputDir.empty()) return Usage("apply needs --output-dir DIR");
  if (!a.Output.empty() || !a.Input.empty()) return Usage("--output and --input belong to replay");
  std::string ext;
  if (!a.Format.empty()) {
    if (a.Format != "bmp" && a.Format != "jpg" && a.Format != "gif" && a.Format != "png")
      return Usage("--format is bmp, jpg, gif or png, not " + a.Format);
    ext = "." + a.Format;
  }
  const std::string& log = a.Positional[0];
  if (log == "-") return Usage("apply reads the log once per file; give it as a file");
  std::error_code ec;
  fs::create_directories(a.OutputDir, ec);
  if (!fs::is_directory(a.OutputDir)) {
    std::cerr << "velltile: cannot make the folder " << a.OutputDir << (ec ? ": " + ec.message() : "") << "\n";
    return kFailed;
  }
  const std::vector<std::string> files(a.Positional.begin() + 1, a.Positional.end());
  std::set<std::string> written;
  size_t done = 0, failed = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const fs::path in = files[i];
    const std::string own = in.extension().string();
    const fs::path out = fs::path(a.OutputDir) / (in.stem().string() + (ext.empty() ? (own.empty() ? ".jpg" : own) : ext));
    std::cerr << "[" << (i + 1) << "/" << files.size() << "] " << in.string() << " -> " << out.string() << "\n";
    std::string why;
    for (const std::string& other : files)
      if (SameFile(other, out)) why = "the output would overwrite the input " + other;
    if (why.empty() && !written.insert(fs::weakly_canonical(out, ec).string()).second)
      why = "an earlier file of this run was already written to " + out.string();
    vell::TPixelBuffer picture;
    if (why.empty()) {
      const vell::TReplayResult r = vell::ReplayLogFile(log, Options(a, in.string()), picture);
      if (!r.Ok) why = r.Message;
    }
    if (why.empty()) Save(out.string(), picture, why);
    if (why.empty()) {
      ++done;
    } else {
      ++failed;
      std::cerr << "  failed: " << in.string() << ": " << why << "\n";
    }
  }
  std::cerr << done << " done, " << failed << " failed\n";
  return failed == 0 ? kOk : kFailed;
}

int Seam(const TArgs& a) {
  if (a.Positional.empty()) return Usage("seam takes at least one FILE");
  if (!a.Output.empty() || !a.Input.empty() || !a.OutputDir.empty() || !a.Format.empty() || a.Skip || a.Wrap)
    return Usage("seam takes only files");
  int status = kOk;
  for (const std::string& file : a.Positional) {
    vell::TPixelBuffer tile;
    const vell::TImageResult r = vell::ReadImageFile(file, tile);
    if (!r) {
      std::cerr << "velltile: " << file << ": " << r.error << "\n";
      status = kFailed;
      continue;
    }
    const vell::TSeamMeasure m = vell::MeasureSeam(tile);
    std::printf("%s: %.3f (edge step %.3f, interior step %.3f) %s\n", file.c_str(), m.Score, m.EdgeStep,
                m.InteriorStep, vell::SeamScoreText(m).c_str());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  TArgs a;
  std::string why;
  if (!ParseArgs(argc, argv, a, why)) return Usage(why);
  if (a.Help || a.Command == "help") {
    std::cout << kHelp;
    return kOk;
  }
  if (a.Command.empty()) return Usage("no command given (replay, apply or seam)");
  if (a.Command == "replay") return Replay(a);
  if (a.Command == "apply") return Apply(a);
  if (a.Command == "seam") return Seam(a);
  return Usage("unknown command " + a.Command);
}
