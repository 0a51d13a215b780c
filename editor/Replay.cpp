#include "editor/Replay.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <utility>

#include "dialogs/FilterDesign.h"
#include "dialogs/Texture.h"
#include "dialogs/VellGradient.h"
#include "editor/Apply.h"
#include "editor/CanvasTools.h"
#include "editor/Editor.h"
#include "editor/ImageCommands.h"
#include "editor/ImageFiles.h"
#include "editor/LogParse.h"
#include "editor/UndoRing.h"

namespace vell {

namespace {

// Far more than the editor keeps (at most what fits a quarter of the memory,
// like the editor's): an UnDo the editor could do finds its snapshot here too.
constexpr int kReplayUndo = 4096;

// Effects with a dialog of their own: the dialog's line (Resize, the filter
// line) did the work; the effect line the tree's Apply adds after it changes
// nothing more, and alone it is a dialog that was cancelled.
bool DialogTrailer(int id) { return id == 14 || id == 38 || id == 39; }

bool ClockSeeded(int id) { return id == 29 || id == 52 || id == 57; }
// Color Noise and Spray draw on from where the sequence stands.
bool DrawsRandom(int id) { return id == 25 || id == 26; }
// Merge Buffer, StretchBlur with Buffer, Water with Buffer.
bool ReadsBuffer(int id) { return id == 50 || id == 53 || id == 55; }

constexpr int kCircularId = 20;
constexpr int kExchangeColorId = 37;
constexpr int kMapTextureId = 28;

// The words a stop names the line by: its text up to the first comma.
std::string LineLabel(const std::string& text) {
  std::string label = text.substr(0, text.find(','));
  while (!label.empty() && label.back() == ' ') label.pop_back();
  if (label.size() > 60) label = label.substr(0, 57) + "...";
  return label;
}

bool Relative(const std::string& path) { return !path.empty() && path.front() != '/'; }

// The reader's message, naming the file once.
std::string ReadError(const std::string& path, const std::string& error) {
  return error.find(path) == std::string::npos ? path + ": " + error : error;
}

// An outcome of one line: go on, skip it (the log does not determine it) or stop.
struct TStep {
  enum Kind { Done, Unreplayable, Failed } What = Done;
  std::string Why;
  static TStep Ok() { return {}; }
  static TStep Cannot(std::string why) { return {Unreplayable, std::move(why)}; }
  static TStep Fail(std::string why) { return {Failed, std::move(why)}; }
};

class TReplaySession {
 public:
  TReplaySession(const TReplayOptions& options, bool keepSnapshots)
      : options_(options), ring_(kReplayUndo), apply_(editor_, params_, ring_) {
    editor_.CreateImages();
    // Every replay starts from the sequence a freshly started editor has.
    SetRandomState(0);
    if (keepSnapshots)
      editor_.PushUndo = [this] { ring_.PushUndo(editor_.dibWork); };
    else
      editor_.PushUndo = [] {};  // no UnDo in the whole log: nothing will read them
    BuiltInTexture(texture_);
    // The gradient the editor renders at start, at the image's size.
    TGradientFields start;
    start.Width = std::to_string(editor_.dibWork.Width());
    start.Height = std::to_string(editor_.dibWork.Height());
    gradient_.SetGradientStyle(TGradientStyle::gsVertCenter);
    ApplyGradientFields(gradient_, start);
    apply_.LogContext().Gradient = start;
    WireHooks();
  }

  // The starting picture from the input file; false with the reader's message.
  bool Start(std::string& error) {
    if (options_.InputFile.empty()) return true;
    TPixelBuffer picture;
    const TImageResult r = ReadImageFile(options_.InputFile, picture);
    if (!r) {
      error = ReadError(options_.InputFile, r.error);
      return false;
    }
    editor_.InstallLoadedImage(std::move(picture));
    return true;
  }

  TStep Line(const TLogLine& line, size_t number);

  // A skipped line that changed the picture in the editor took a snapshot
  // there; one of the picture as it stands here keeps a later UnDo in step
  // (it then takes back what was skipped, which is nothing here).
  void Skipped(const TLogLine& line) {
    using K = TLogLineKind;
    switch (line.Kind) {
      case K::UnDo: case K::CopyBufferToClipboard: case K::PasteClipboardToBuffer: case K::Start:
      case K::AppendMarker: case K::Empty: case K::DesignGradient: case K::LoadBuffer:
      case K::CopyImageToClipboard: case K::CopyImageToBuffer:
        return;
      default:
        editor_.PushUndo();
    }
  }

  TPixelBuffer& Work() { return editor_.dibWork; }
  TEffectParams& Params() { return params_; }
  TLogContext& Context() { return apply_.LogContext(); }

 private:
  void WireHooks();
  TStep Effect(const TLogLine& line, size_t number);
  TStep Tool(int tool, bool fill, const TLogLine& line);
  TStep Select(const TLogLine& line);
  TStep ReadFile(const std::string& path, TPixelBuffer& picture);
  TStep NeedClipboard() const {
    if (clipboardFilled_) return TStep::Ok();
    return TStep::Cannot("the clipboard's picture was not put there by an earlier line of the log");
  }
  TStep NeedBuffer() const {
    if (editor_.BufferFilled) return TStep::Ok();
    return TStep::Cannot("the buffer was filled before the log began");
  }
  std::string Resolve(const std::string& path) const {
    if (Relative(path) && !options_.BaseFolder.empty()) {
      std::string folder = options_.BaseFolder;
      if (folder.back() != '/') folder += '/';
      return folder + path;
    }
    return path;
  }
  TPanelFields Fields() {
    TPanelFields f;
    const TLogContext& c = apply_.LogContext();
    f.UsePeaks = c.UsePeaks;
    f.Wrap = c.Wrap;
    f.PenColor = c.PenColor;
    f.BrushColor = c.BrushColor;
    return f;
  }

  const TReplayOptions& options_;
  TEditor editor_;
  TEffectParams params_;
  TUndoRing ring_;
  TApplyDispatcher apply_;
  TCanvasTools tools_;
  TGradientPicture gradient_;
  TPixelBuffer clipboard_;
  bool clipboardFilled_ = false;
  TPixelBuffer texture_;  // Map Texture's current texture, in grey
  bool inputUsed_ = false;
  // A clock-seeded line was skipped: where the sequence stands is unknown.
  size_t randomLostAt_ = 0;
  // A start line named a picture the replay does not hold.
  bool startUnknown_ = false;
  std::string startSize_;

  // What the dialogs answer for the line being replayed.
  std::optional<TNewSize> size_;
  std::optional<TFilterDesign> design_;
};

void TReplaySession::WireHooks() {
  TApplyHooks& h = apply_.Hooks();
  // The colour the line names is already the dispatcher's.
  h.AskTintColour = [](uint32_t initial) -> std::optional<uint32_t> { return initial; };
  h.AskNewSize = [this](int, int, bool) { return size_; };
  h.AskFilterDesign = [this]() { return design_; };
  h.AskOkCancel = [](const std::string&) { return true; };  // only asked where the line settles it
  h.AskTexture = [this]() -> std::optional<std::pair<const TPixelBuffer*, std::string>> {
    return std::make_pair(&texture_, apply_.LogContext().TextureSource);
  };
  h.Gradient = [this]() { return &gradient_; };
  // The designer opens at the image's size, takes the logged fields, and its
  // picture is pasted whatever the answer (neither writes a line of its own).
  h.DrawGradient = [this] {
    gradient_.SetSize(editor_.dibWork.Width(), editor_.dibWork.Height());
    ApplyGradientFields(gradient_, apply_.LogContext().Gradient);
    return PasteGradientPicture(apply_, editor_, gradient_.Picture()) ? TApplyResult::Ran : TApplyResult::Refused;
  };
}

TStep TReplaySession::ReadFile(const std::string& path, TPixelBuffer& picture) {
  const std::string full = Resolve(path);
  const TImageResult r = ReadImageFile(full, picture);
  if (!r) return TStep::Fail(ReadError(full, r.error));
  return TStep::Ok();
}

TStep TReplaySession::Effect(const TLogLine& line, size_t number) {
  const int id = line.Id;
  if (DialogTrailer(id)) return TStep::Ok();
  if (ClockSeeded(id)) {
    // Skipped, it leaves the sequence where the editor's clock put it.
    randomLostAt_ = number;
    return TStep::Cannot("it draws from a clock-seeded random generator");
  }
  if (DrawsRandom(id) && randomLostAt_ != 0)
    return TStep::Cannot("it draws on from the random sequence that the clock-seeded line " +
                         std::to_string(randomLostAt_) + " left unknown");
  // Its line names the two colours but not the tolerance it ran with.
  if (id == kExchangeColorId) return TStep::Cannot("its Tolerance Amt is not in the log");
  if (id == kCircularId && (editor_.dibWork.Width() != 256 || editor_.dibWork.Height() != 256))
    return TStep::Cannot("on a picture other than 256 x 256 the editor asked whether to go on, and the answer is "
                         "not in the log");
  if (ReadsBuffer(id))
    if (TStep need = NeedBuffer(); need.What != TStep::Done) return need;
  if (id == kMapTextureId) {
    const std::string& source = apply_.LogContext().TextureSource;
    if (source == "Use Buffer") {
      if (TStep need = NeedBuffer(); need.What != TStep::Done) return need;
      CopyImage(editor_.dibBuffer, texture_);
      TextureToGrey(texture_);
    } else if (source.starts_with("Use File ")) {
      TPixelBuffer picture;
      if (TStep read = ReadFile(source.substr(9), picture); read.What != TStep::Done) return read;
      CopyImage(picture, texture_);
      TextureToGrey(texture_);
    }
  }
  editor_.SelectEffect(id, line.Name);
  apply_.RunEffect(id, Fields());
  return TStep::Ok();
}

TStep TReplaySession::Tool(int tool, bool fill, const TLogLine& line) {
  tools_.SetTool(fill, false, tool);
  TToolInputs in;
  in.PenSize = line.PenSize.empty() ? "1" : line.PenSize;
  in.PenColor = line.Pen;
  in.BrushColor = line.Brush;
  in.FillShape = line.Filled;
  in.PenModeIndex = line.PenMode;
  in.Wrap = options_.WrapDrawing;
  const TPoint from = tool == ToolFill || tool == ToolEyedropper ? line.At : line.From;
  const TPressResult press =
      tools_.Press(editor_.dibWork, TMouseButton::Left, from.x, from.y, in, [this] { editor_.PushUndo(); });
  if (press.Outcome == TPressOutcome::PenSizeRejected) return TStep::Fail(press.Message);
  if (press.Outcome != TPressOutcome::Drawing) return TStep::Ok();
  // The rubber band is drawn and taken out with XOR: only the release leaves pixels.
  tools_.Release(editor_.dibWork, TMouseButton::Left, line.To.x, line.To.y);
  return TStep::Ok();
}

TStep TReplaySession::Select(const TLogLine& line) {
  tools_.SetTool(false, false, ToolSelect);
  TToolInputs in;
  in.Wrap = options_.WrapDrawing;
  tools_.Press(editor_.dibWork, TMouseButton::Left, line.From.x, line.From.y, in, [this] { editor_.PushUndo(); });
  const TReleaseResult release = tools_.Release(editor_.dibWork, TMouseButton::Left, line.To.x, line.To.y);
  if (release.Outcome != TReleaseOutcome::AskSelection)
    return TStep::Fail("the area is empty on this picture, so there is nothing to select");
  TPixelBuffer transfer;
  tools_.FinishSelection(editor_.dibWork, line.Action, transfer, nullptr);
  switch (line.Action) {
    case TSelectAction::CopyToClipboard:
      CopyImage(transfer, clipboard_);
      clipboardFilled_ = true;
      break;
    case TSelectAction::CopyToBuffer:
      PictureToBuffer(editor_, transfer);
      break;
    case TSelectAction::Crop:
      CropToPicture(editor_, transfer);
      break;
    case TSelectAction::Cancel:
      break;
  }
  return TStep::Ok();
}

TStep TReplaySession::Line(const TLogLine& line, size_t number) {
  using K = TLogLineKind;
  // A log begun on a picture the replay does not hold: the first line that
  // works on the picture cannot be made again.
  if (startUnknown_) {
    switch (line.Kind) {
      case K::Empty: case K::Start: case K::AppendMarker: case K::OpenFile: case K::DesignGradient:
      case K::LoadBuffer: case K::PasteGradient: case K::ColorWheel:
        break;
      default:
        startUnknown_ = false;
        return TStep::Cannot("the log began on a " + startSize_ +
                             " picture that is not in it (give that picture as the input)");
    }
  }
  switch (line.Kind) {
    case K::Empty:
    case K::AppendMarker:
      return TStep::Ok();
    case K::Start: {
      apply_.LogContext().Gradient = line.Gradient;
      ApplyGradientFields(gradient_, line.Gradient);
      const bool same = line.Width == editor_.dibWork.Width() && line.Height == editor_.dibWork.Height();
      if (!same && options_.InputFile.empty()) {
        startUnknown_ = true;
        startSize_ = std::to_string(line.Width) + " x " + std::to_string(line.Height);
      }
      return TStep::Ok();
    }
    case K::Effect:
      return Effect(line, number);
    case K::UnDo:
      if (!apply_.Undo())
        return TStep::Cannot("there is nothing to undo here: it reaches back before the log began (or past the " +
                             std::to_string(kReplayUndo) + " snapshots a replay keeps)");
      return TStep::Ok();
    case K::OpenFile: {
      startUnknown_ = false;
      TPixelBuffer picture;
      // The input stands in for the file the log opened first (read again
      // rather than kept: it may be large).
      const bool input = !options_.InputFile.empty() && !inputUsed_;
      inputUsed_ = inputUsed_ || input;
      if (input) {
        // Named on the command line: relative to where the program runs, not to the log.
        const TImageResult r = ReadImageFile(options_.InputFile, picture);
        if (!r) return TStep::Fail(ReadError(options_.InputFile, r.error));
      } else if (TStep read = ReadFile(line.Path, picture); read.What != TStep::Done) {
        return read;
      }
      OpenPicture(editor_, std::move(picture));
      return TStep::Ok();
    }
    case K::NewImage:
      editor_.New(line.Colour);
      return TStep::Ok();
    case K::ImageReset:
      editor_.Reset();
      return TStep::Ok();
    case K::CopyImageToClipboard:
      CopyImage(editor_.dibWork, clipboard_);
      clipboardFilled_ = true;
      return TStep::Ok();
    case K::PasteClipboardToImage:
      if (TStep need = NeedClipboard(); need.What != TStep::Done) return need;
      PictureToImage(editor_, clipboard_);
      return TStep::Ok();
    case K::PasteTransparent:
      return TStep::Cannot("the colour left out and the size chosen in its dialog are not in the log");
    case K::PasteAsSelection:
      if (TStep need = NeedClipboard(); need.What != TStep::Done) return need;
      PasteSelectionAt(editor_, clipboard_, line.At.x, line.At.y, options_.WrapDrawing);
      return TStep::Ok();
    case K::CopyImageToBuffer:
      PictureToBuffer(editor_, editor_.dibWork);
      return TStep::Ok();
    case K::PasteBufferToImage:
      if (TStep need = NeedBuffer(); need.What != TStep::Done) return need;
      PictureToImage(editor_, editor_.dibBuffer);
      return TStep::Ok();
    case K::CopyBufferToClipboard:
      if (TStep need = NeedBuffer(); need.What != TStep::Done) return need;
      CopyImage(editor_.dibBuffer, clipboard_);
      clipboardFilled_ = true;
      return TStep::Ok();
    case K::PasteClipboardToBuffer:
      if (TStep need = NeedClipboard(); need.What != TStep::Done) return need;
      PictureToBuffer(editor_, clipboard_);
      return TStep::Ok();
    case K::LoadBuffer: {
      TPixelBuffer picture;
      if (TStep read = ReadFile(line.Path, picture); read.What != TStep::Done) return read;
      PictureToBuffer(editor_, picture);
      return TStep::Ok();
    }
    case K::Sliders:
      CommitSliderPositions(editor_, SliderPositionsOf(line.Sliders));
      return TStep::Ok();
    case K::Scroll:
      params_.Value(45) = line.Amount;
      apply_.ScrollBy(line.Direction, line.Amount);
      return TStep::Ok();
    case K::DesignFilter: {
      TFilterDesign design;
      design.e = line.Kernel;
      design.eDiv = line.KernelDivisor;
      design_ = design;
      apply_.RunEffect(14, Fields());
      design_.reset();
      return TStep::Ok();
    }
    case K::EdgeMerge:
      apply_.EdgeMergeClick(line.Divisor);
      return TStep::Ok();
    case K::FourWayFlip:
      apply_.FourWayFlipClick();
      return TStep::Ok();
    case K::Resize:
      // A hand-edited size would otherwise take gigabytes; no reader makes a larger picture either.
      if (static_cast<uint64_t>(std::max(line.Width, 1)) * static_cast<uint64_t>(std::max(line.Height, 1)) >
          kImageMaxPixels)
        return TStep::Fail("a picture of " + std::to_string(line.Width) + " x " + std::to_string(line.Height) +
                           " is larger than the largest this program makes (" + std::to_string(kImageMaxPixels) +
                           " pixels)");
      size_ = TNewSize{line.Width, line.Height};
      apply_.RunEffect(line.Smooth ? 39 : 38, Fields());
      size_.reset();
      return TStep::Ok();
    case K::DesignGradient:
      // The designer opens at the image's size; the fields are as the user left them.
      gradient_.SetSize(editor_.dibWork.Width(), editor_.dibWork.Height());
      ApplyGradientFields(gradient_, line.Gradient);
      apply_.LogContext().Gradient = line.Gradient;
      return TStep::Ok();
    case K::PasteGradient:
      startUnknown_ = false;
      PasteGradientPicture(apply_, editor_, gradient_.Picture());
      return TStep::Ok();
    case K::ColorWheel:
      startUnknown_ = false;
      ColorWheelToImage(apply_, editor_);
      return TStep::Ok();
    case K::Rainbow:
      RainbowOnImage(apply_, editor_);
      return TStep::Ok();
    case K::MultiGradient:
      return TStep::Cannot("the colours of its markers are not in the log");
    case K::Freehand:
      return TStep::Cannot("a freehand stroke's path is not in the log");
    case K::Text:
      return TStep::Cannot("text is drawn with the window system's fonts, which this program does not use");
    case K::Shape:
      return Tool(line.Ellipse ? ToolEllipse : ToolRectangle, false, line);
    case K::Line:
      return Tool(ToolLine, false, line);
    case K::FloodFill:
      return Tool(ToolFill, true, line);
    case K::Eyedropper:
      return Tool(ToolEyedropper, false, line);
    case K::Select:
      return Select(line);
  }
  return TStep::Ok();
}

// Whether the log holds a line that could be an UnDo; only such a log needs
// the snapshots.
bool MayUndo(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return true;
  TLogLineReader reader(in);
  std::string text;
  while (reader.Next(text))
    if (text.find("UnDo") != std::string::npos) return true;
  return !reader.Error().empty() || in.bad();
}

// The text tool writes its text as typed, line breaks and all, so one text
// line of the editor's can span several lines of the file. A "Text Tool" line
// that does not read alone takes the following lines until the whole reads;
// the text itself is never replayed, only skipped or reported as one line.
bool JoinTextToolLines(TLogLineReader& reader, std::string& text, TReplaySession& session, TLogLine& line) {
  if (!text.starts_with("Text Tool, Font ")) return false;
  std::string joined = text, next;
  for (int more = 0; more < 1000 && joined.size() <= kMaxLogLineLength && reader.Next(next); ++more) {
    joined += '\n';
    joined += next;
    if (!ParseLogLine(joined, session.Params(), session.Context(), line)) {
      text = std::move(joined);
      return true;
    }
  }
  return false;
}

TReplayResult Replay(std::istream& log, const TReplayOptions& options, TPixelBuffer& image, bool keepSnapshots) {
  TReplayResult result;
  auto session = std::make_unique<TReplaySession>(options, keepSnapshots);
  if (std::string error; !session->Start(error)) {
    result.Message = error;
    return result;
  }
  TLogLineReader reader(log);
  std::string text;
  while (reader.Next(text)) {
    const size_t number = reader.LineNumber();
    result.Lines = number;
    TLogLine line;
    std::optional<std::string> error = ParseLogLine(text, session->Params(), session->Context(), line);
    if (error && JoinTextToolLines(reader, text, *session, line)) error.reset();
    if (error) {
      result.Line = number;
      result.Message = "line " + std::to_string(number) + ": " + *error;
      return result;
    }
    const TStep step = session->Line(line, number);
    if (step.What == TStep::Done) continue;
    if (step.What == TStep::Unreplayable) {
      if (options.SkipUnreplayable) {
        session->Skipped(line);
        ++result.Skipped;
        if (options.OnSkipped) options.OnSkipped(number, text, step.Why);
        continue;
      }
      result.Line = number;
      result.Message = "line " + std::to_string(number) + ": " + LineLabel(text) + ": " + step.Why;
      return result;
    }
    result.Line = number;
    result.Message = "line " + std::to_string(number) + ": " + step.Why;
    return result;
  }
  if (!reader.Error().empty()) {
    result.Line = reader.LineNumber();
    result.Message = "line " + std::to_string(reader.LineNumber()) + ": " + reader.Error();
    return result;
  }
  if (log.bad()) {
    result.Message = "the log could not be read to its end";
    return result;
  }
  image = std::move(session->Work());  // the session ends here; its picture need not be copied
  result.Ok = true;
  return result;
}

}  // namespace

TReplayResult ReplayLog(std::istream& log, const TReplayOptions& options, TPixelBuffer& image) {
  // A stream is read once: without knowing what comes, every snapshot is kept.
  return Replay(log, options, image, true);
}

TReplayResult ReplayLogFile(const std::string& logPath, const TReplayOptions& options, TPixelBuffer& image) {
  std::ifstream in(logPath, std::ios::binary);
  if (!in) {
    TReplayResult result;
    result.Message = logPath + ": the log cannot be opened";
    return result;
  }
  TReplayOptions withBase = options;
  if (withBase.BaseFolder.empty()) withBase.BaseFolder = FolderOf(logPath);
  return Replay(in, withBase, image, MayUndo(logPath));
}

}  // namespace vell
