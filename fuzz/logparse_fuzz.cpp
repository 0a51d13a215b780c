// Hostile operation logs: the bytes go through the line reader and every
// line through the parser with a running state, and then
// - a refused line leaves the state as it was and says why,
// - an accepted effect line is exactly what the editor writes for the state
//   it left behind.
// Half the inputs instead edit a line the editor writes, byte by byte, so the
// fuzzer reaches deep into every form without a corpus.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "editor/CanvasTools.h"
#include "editor/EffectCatalogue.h"
#include "editor/EffectLog.h"
#include "editor/LogParse.h"
#include "editor/OperationLog.h"

namespace {

using namespace vell;

const std::vector<std::string>& Seeds() {
  static const std::vector<std::string> seeds = [] {
    std::vector<std::string> s;
    const TEffectParams params;
    const TLogContext context;
    for (int id = 0; id < EffectCount; ++id) {
      for (std::string_view name : {EffectTreeName(id), EffectMenuName(id)})
        if (auto line = EffectLogLine(id, name, params, context)) s.push_back(*line);
    }
    s.push_back(LogStartLine({256, 256, "VertCenter", "R: 0 G: 0 B: 128", "R: 0 G: 255 B: 255", "0"}));
    s.push_back(OpenFileLine("/tmp/a.bmp"));
    s.push_back(NewImageLine(0xFFFFFF));
    s.push_back(PasteAsSelectionLine(3, 4));
    s.push_back(SlidersLine({255, 255, 0, 255, 255, 510}));
    s.push_back(ScrollLine(TScrollDirection::Down, 64));
    s.push_back(DesignFilterLine({"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1"}, "1"));
    s.push_back(EdgeMergeLine(8));
    s.push_back(ResizeLine(true, 512, 512));
    s.push_back(DesignGradientLine(TGradientFields{}));
    s.push_back(MultiGradientLine("256", "256"));
    s.push_back(FreehandLogLine("2", 0));
    s.push_back(ShapeLogLine(true, {1, 2}, {3, 4}, "2", 0, 0xFFFFFF, true));
    s.push_back(LineLogLine({1, 2}, {3, 4}, "2", 0, 11));
    s.push_back(FloodFillLogLine(5, 6, 0xFF));
    s.push_back(EyedropperLogLine(7, 8));
    s.push_back(SelectLogLine({0, 0}, {9, 9}, TSelectAction::Crop));
    s.push_back(TextToolLogLine("Serif", 8, 0, true, false, "a \"b\", c", 1, 2));
    s.push_back(std::string(LogRainbow));
    return s;
  }();
  return seeds;
}

void ParseOne(const std::string& text, TEffectParams& params, TLogContext& context) {
  const TEffectParams paramsBefore = params;
  const TLogContext contextBefore = context;
  TLogLine out;
  const std::optional<std::string> error = ParseLogLine(text, params, context, out);
  if (error) {
    if (error->empty()) std::abort();
    if (params.EffectValues != paramsBefore.EffectValues || !(params.Extras == paramsBefore.Extras)) std::abort();
    if (context.TextureSource != contextBefore.TextureSource || context.PenColor != contextBefore.PenColor ||
        context.UsePeaks != contextBefore.UsePeaks || context.Gradient.Angle != contextBefore.Gradient.Angle)
      std::abort();
    return;
  }
  if (out.Kind == TLogLineKind::Effect && EffectLogLine(out.Id, out.Name, params, context) != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TEffectParams params;
  TLogContext context;
  if (size >= 2 && (data[0] & 1)) {
    std::string line = Seeds()[data[1] % Seeds().size()];
    for (size_t i = 2; i + 1 < size; i += 2) {
      const uint8_t at = data[i], what = data[i + 1];
      const size_t pos = line.empty() ? 0 : at % (line.size() + 1);
      if (what < 0x10 && !line.empty() && pos < line.size())
        line.erase(pos, 1);
      else if (what < 0x20)
        line.insert(pos, 1, static_cast<char>('0' + what % 10));
      else if (pos < line.size())
        line[pos] = static_cast<char>(what);
      else
        line.push_back(static_cast<char>(what));
    }
    ParseOne(line, params, context);
    return 0;
  }
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  TLogLineReader reader(in);
  std::string line;
  size_t lines = 0;
  while (reader.Next(line)) {
    if (line.size() > kMaxLogLineLength) std::abort();
    if (++lines != reader.LineNumber()) std::abort();
    ParseOne(line, params, context);
  }
  return 0;
}
