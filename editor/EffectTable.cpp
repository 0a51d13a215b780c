#include "editor/EffectTable.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "dialogs/FilterDesign.h"
#include "editor/Apply.h"
#include "editor/ApplyRules.h"
#include "editor/Editor.h"
#include "editor/RealText.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/GBlur.h"
#include "imaging/Geometry.h"
#include "imaging/Patterns.h"
#include "imaging/Relief.h"
#include "imaging/Tiling.h"
#include "imaging/Warps.h"

namespace vell {

std::string TLogArgs::Real(double v) const { return RealText(v, Context.DecimalSeparator); }
std::string TLogArgs::Fixed2(double v) const { return FixedText(v, 2, Context.DecimalSeparator); }
std::string TLogArgs::Colour(uint32_t colour) { return ColorText(colour); }
std::string TLogArgs::PenBrush() const {
  return "Pen " + ColorText(Context.PenColor) + ", Brush " + ColorText(Context.BrushColor);
}

namespace {

using C = TEffectCategory;
using P = TExtraParam;
using R = TApplyResult;
using F = TFieldFormat;

// ---- panel fields ---------------------------------------------------------

// Stands for "the main value of the effect this row belongs to" until the
// record is built.
constexpr int kOwnValue = -2;

constexpr TFieldDef Own(const char* label) { return {label, kOwnValue, P::UDPeakVal, F::Integer}; }
constexpr TFieldDef ValueOf(const char* label, int id) { return {label, id, P::UDPeakVal, F::Integer}; }
constexpr TFieldDef Int(const char* label, P extra) { return {label, -1, extra, F::Integer}; }
constexpr TFieldDef Real(const char* label, P extra) { return {label, -1, extra, F::Real}; }
constexpr TFieldDef Fix2(const char* label, P extra) { return {label, -1, extra, F::Fixed2}; }
constexpr TFieldDef Whole(const char* label, P extra) { return {label, -1, extra, F::Rounded}; }

using TFields = std::array<TFieldDef, PanelFieldCount>;

// One record, built by chaining: the catalogue row first, then what the
// effect has.
struct E {
  TEffectDef d;

  constexpr E(int id, const char* tree, C category, const char* caption, const char* shortcut,
              const char* menuName = nullptr) {
    d.Entry = {id, tree, category, caption, shortcut, menuName, false};
  }
  // The main value's default, the hint line and the fields.
  constexpr E Params(int32_t value, const char* hint, TFields fields) const {
    E e = *this;
    e.d.Default = value;
    for (TFieldDef& f : fields)
      if (f.ValueId == kOwnValue) f.ValueId = d.Entry.Id;
    e.d.Panel.Id = d.Entry.Id;
    e.d.Panel.Hint = hint;
    e.d.Panel.Fields = fields;
    return e;
  }
  // "Use Peaks" and "Wrap" shown; with "Use Peaks" cleared the main field is `wave`.
  constexpr E PeaksAndWrap(TFieldDef wave) const {
    E e = *this;
    e.d.Panel.PeaksAndWrap = true;
    e.d.Panel.WaveField = wave;
    return e;
  }
  constexpr E Bump(const char* caption, P extra) const {
    E e = *this;
    e.d.Panel.BumpCaption = caption;
    e.d.Panel.BumpExtra = extra;
    return e;
  }
  constexpr E ScrollBars() const {
    E e = *this;
    e.d.Panel.ScrollBars = true;
    return e;
  }
  constexpr E Note() const {
    E e = *this;
    e.d.Panel.NoteLabel = true;
    return e;
  }
  constexpr E SecondFirst() const {
    E e = *this;
    e.d.SecondFirst = true;
    return e;
  }
  constexpr E PenInto(P extra) const {
    E e = *this;
    e.d.ReadsPen = true;
    e.d.PenExtra = extra;
    return e;
  }
  constexpr E AfterRead(TAfterReadFn fn) const {
    E e = *this;
    e.d.AfterRead = fn;
    return e;
  }
  constexpr E Prepare(TPrepareFn fn) const {
    E e = *this;
    e.d.Prepare = fn;
    return e;
  }
  constexpr E KeepsSelection() const {
    E e = *this;
    e.d.Entry.MenuKeepsSelection = true;
    return e;
  }
  constexpr E NoLine() const {
    E e = *this;
    e.d.WritesLine = false;
    e.d.MenuWritesLog = false;
    return e;
  }
  constexpr E NoMenuLog() const {
    E e = *this;
    e.d.MenuWritesLog = false;
    return e;
  }
  constexpr E Runs(TRunFn fn) const {
    E e = *this;
    e.d.Run = fn;
    return e;
  }
  constexpr E Logs(TSuffixFn fn) const {
    E e = *this;
    e.d.Suffix = fn;
    return e;
  }
  // The inverse of Logs: reads the suffix back into the parameters.
  constexpr E Reads(TReadFn fn) const {
    E e = *this;
    e.d.Read = fn;
    return e;
  }
  constexpr operator TEffectDef() const { return d; }
};

// ---- engine calls ---------------------------------------------------------

// An operation on the working image alone, bracketed.
template <auto Operation>
R Plain(TEffectCall& c) {
  return c.Bracketed([](TPixelBuffer& image) { Operation(image); });
}

// An operation taking the effect's main value.
template <auto Operation>
R WithValue(TEffectCall& c) {
  const int32_t value = c.Value();
  return c.Bracketed([value](TPixelBuffer& image) { Operation(image, value); });
}

R Kernel(TEffectCall& c) {
  const int id = c.Id;
  return c.Bracketed([id](TPixelBuffer& image) { ApplyNamedKernel(image, id); });
}

R FilterDesign(TEffectCall& c) {
  std::optional<TFilterDesign> design;
  if (c.Hooks().AskFilterDesign) design = c.Hooks().AskFilterDesign();
  if (!design) return R::Cancelled;
  // Convert every field before the snapshot, so a typing error leaves no trace.
  int number = 0;
  for (const std::string& text : design->e) {
    if (!StrToIntChecked(text, number)) {
      c.Error(NotAnIntegerMessage(text));
      return R::ConversionError;
    }
  }
  if (!StrToIntChecked(design->eDiv, number)) {
    c.Error(NotAnIntegerMessage(design->eDiv));
    return R::ConversionError;
  }
  if (static_cast<uint16_t>(number) == 0) {
    c.Message(kDivisorZeroMessage);
    return R::Refused;
  }
  TFilterDesignOutcome outcome;
  c.Bracketed([&](TPixelBuffer& image) { outcome = ApplyFilterDesign(image, *design); });
  if (outcome.status != TFilterDesignStatus::Done) {
    c.Message(outcome.message);
    return R::Refused;
  }
  c.WriteLine(DesignFilterLine(design->e, design->eDiv));
  return R::Ran;
}

template <bool Smooth>
R Resize(TEffectCall& c) {
  std::optional<TNewSize> size;
  if (c.Hooks().AskNewSize) size = c.Hooks().AskNewSize(c.Work().Width(), c.Work().Height(), Smooth);
  if (!size) return R::Cancelled;
  // The resizes take a size below 1 as 1; the log names the size made.
  const int width = std::max(1, size->Width), height = std::max(1, size->Height);
  c.Bracketed([=](TPixelBuffer& image) {
    if (Smooth)
      ResizeSmooth(image, width, height, false);
    else
      ResizeFast(image, width, height);
  });
  c.WriteLine(ResizeLine(Smooth, width, height));
  return R::Ran;
}

R TintRun(TEffectCall& c) {
  std::optional<uint32_t> colour;
  TLogContext& log = c.LogContext();
  if (c.Hooks().AskTintColour) colour = c.Hooks().AskTintColour(log.TintColor);
  if (!colour) return R::Cancelled;
  log.TintColor = *colour & 0xFFFFFF;
  const uint32_t tint = log.TintColor;
  return c.Bracketed([tint](TPixelBuffer& image) { Tint(image, tint); });
}

R ExchangeRun(TEffectCall& c) {
  const uint32_t pen = c.Fields.PenColor, brush = c.Fields.BrushColor;
  const int tolerance = ExchangeTolerance(c.Value());
  return c.Bracketed([=](TPixelBuffer& image) { ExchangeColour(image, pen, brush, tolerance); });
}

R RotateSeamlessRun(TEffectCall& c) {
  if (c.Work().Width() != c.Work().Height()) {
    c.Message(kImageMustBeSquare);
    return R::Refused;
  }
  return c.Bracketed([](TPixelBuffer& image) { RotateSeamless(image); });
}

// ---- distortions --------------------------------------------------------------

inline constexpr char kCircularQuestion[] = "Circular only works correctly with a 256 x 256 image. OK?";

// SineWave U/D (15) and L/R (16): the height is the main value, the amount
// the peaks or the wavelength as "Use Peaks" stands.
template <bool UpDown>
R SineWave(TEffectCall& c) {
  const bool usePeaks = c.Fields.UsePeaks, wrap = c.Fields.Wrap;
  const TEffectExtras& x = c.X();
  const double amount = UpDown ? (usePeaks ? x.UDPeakVal : x.UDWavVal) : (usePeaks ? x.LRPeakVal : x.LRWavVal);
  const int height = c.Value();
  return c.Bracketed([=](TPixelBuffer& image) {
    if (UpDown)
      SineWaveUpDown(image, height, wrap, usePeaks, amount);
    else
      SineWaveLeftRight(image, height, wrap, usePeaks, amount);
  });
}

R SineBoth(TEffectCall& c) {
  const int heightUD = c.Params().Value(15), heightLR = c.Params().Value(16);
  const double peaksLR = c.X().LRPeakVal, peaksUD = c.X().UDPeakVal;
  return c.Bracketed(
      [=](TPixelBuffer& image) { SineWaveBoth(image, heightUD, heightLR, peaksLR, peaksUD); });
}

// Twist and FishEye read an untouched copy in the scratch image.
R TwistRun(TEffectCall& c) {
  const int looseness = c.Value();
  TPixelBuffer& scratch = c.Editor().dibScratch;
  return c.Bracketed([&scratch, looseness](TPixelBuffer& image) {
    CopyImage(image, scratch);
    Twist(scratch, image, looseness);
  });
}

R FishEyeRun(TEffectCall& c) {
  const double magnification = c.X().FishVal;
  TPixelBuffer& scratch = c.Editor().dibScratch;
  return c.Bracketed([&scratch, magnification](TPixelBuffer& image) {
    CopyImage(image, scratch);
    FishEye(scratch, image, magnification);
  });
}

// Circular is made for 256 x 256; any other size asks first.
R CircularRun(TEffectCall& c) {
  if ((c.Work().Width() != 256 || c.Work().Height() != 256) && !c.AskOkCancel(kCircularQuestion))
    return R::Cancelled;
  return c.Bracketed([](TPixelBuffer& image) { Circular(image); });
}

R WavesRun(TEffectCall& c) {
  const int amplitude = c.Value(), waveLength = c.X().WvLenVal;
  const bool reflective = c.X().WvRflVal;
  const double phase = c.X().WvPhsVal;
  return c.Bracketed([=](TPixelBuffer& image) { Waves(image, amplitude, waveLength, reflective, phase); });
}

R WhirlPinchRun(TEffectCall& c) {
  const double radius = c.X().WhRadVal, pinch = c.X().WhPchVal;
  const int angle = c.Value();
  return c.Bracketed([=](TPixelBuffer& image) { WhirlPinch(image, radius, pinch, angle); });
}

// ---- displacement and relief ----------------------------------------------------

// The texture dialog gives the picture and the source text the line names.
R MapTextureRun(TEffectCall& c) {
  TLogContext& log = c.LogContext();
  log.TextureSource = "Use Current Texture";
  std::optional<std::pair<const TPixelBuffer*, std::string>> texture;
  if (c.Hooks().AskTexture) texture = c.Hooks().AskTexture();
  if (!texture || texture->first == nullptr) return R::Cancelled;
  log.TextureSource = texture->second;
  const TPixelBuffer& picture = *texture->first;
  const double k = MapTextureBrightness(c.Value());
  return c.Bracketed([&picture, k](TPixelBuffer& image) { MapTexture(image, picture, k); });
}

// StretchBlur (53 buffer, 54 self): no shift at all is no change and no snapshot.
template <bool WithBuffer>
R StretchBlurRun(TEffectCall& c) {
  const int ud = WithBuffer ? c.X().UDSBlurBuf : c.X().UDSBlurSelf, lr = c.Value();
  const int repetitions = c.X().SBlurReps;
  const TPixelBuffer& mask = WithBuffer ? c.Editor().dibBuffer : c.Work();
  if ((ud == 0 && lr == 0) || mask.Empty()) return R::Refused;
  return c.Bracketed([&mask, ud, lr, repetitions](TPixelBuffer& image) { StretchBlur(image, ud, lr, mask, repetitions); });
}

// Water (55 buffer, 56 self): the control picture steers the working image.
template <bool WithBuffer>
R WaterRun(TEffectCall& c) {
  const int ud = WithBuffer ? c.X().UDWatBuf : c.X().UDWatSelf, lr = c.Value();
  const TPixelBuffer& control = WithBuffer ? c.Editor().dibBuffer : c.Work();
  return c.Bracketed([&control, ud, lr](TPixelBuffer& image) { Water(ud, lr, control, image); });
}

R HeightMapRun(TEffectCall& c) {
  const int depth = c.X().HytDp, elevation = c.X().HytEl, azimuth = c.Value();
  const bool bumpMap = c.X().HytBm;
  return c.Bracketed([=](TPixelBuffer& image) { HeightMap(image, depth, bumpMap, elevation, azimuth); });
}

// ---- patterns -------------------------------------------------------------------

R MarbleRun(TEffectCall& c) {
  const int graininess = c.Value(), turbulence = c.X().TurbVal;
  const double scale = c.X().ScaleVal;
  if (turbulence == 0) {
    c.Message(kTurbulenceCannotBeZero);
    return R::Refused;
  }
  return c.Bracketed([=](TPixelBuffer& image) { Marble(image, graininess, turbulence, scale); });
}

// ---- the two-colour gradient ------------------------------------------------------

inline constexpr char kNoGradient[] = "There is no gradient yet; the image was not changed.";

TGradientPicture* GradientOf(TEffectCall& c) { return c.Hooks().Gradient ? c.Hooks().Gradient() : nullptr; }

R GradientBarsRun(TEffectCall& c) {
  const TGradientPicture* gradient = GradientOf(c);
  if (gradient == nullptr) {
    c.Message(kNoGradient);
    return R::Refused;
  }
  const uint32_t begin = gradient->BeginColor(), end = gradient->EndColor();
  const int bars = c.Value();
  return c.Bracketed([=](TPixelBuffer& image) { GradientBars(image, bars, begin, end); });
}

// Design, then Paste To Image: the window does both and takes the snapshot.
R DrawGradientRun(TEffectCall& c) {
  if (!c.Hooks().DrawGradient) {
    c.Message(kNoGradient);
    return R::Refused;
  }
  return c.Hooks().DrawGradient();
}

R MergeGradientRun(TEffectCall& c) {
  TGradientPicture* gradient = GradientOf(c);
  const TPixelBuffer* picture = gradient ? &gradient->Picture() : nullptr;
  if (picture == nullptr || picture->Empty()) {
    c.Message(kNoGradient);
    return R::Refused;
  }
  const int percent = c.Value();
  return c.Bracketed([picture, percent](TPixelBuffer& image) { MergeGradient(image, percent, *picture); });
}

R MergeBufferRun(TEffectCall& c) {
  const TPixelBuffer& buffer = c.Editor().dibBuffer;
  if (buffer.Empty()) return R::Refused;
  const int percent = c.Value();
  return c.Bracketed([&buffer, percent](TPixelBuffer& image) { MergeBuffer(image, percent, buffer); });
}

R ButtonizeRun(TEffectCall& c) {
  const uint32_t pen = c.Fields.PenColor, brush = c.Fields.BrushColor;
  const int edge = c.Value();
  return c.Bracketed([=](TPixelBuffer& image) { Buttonize(image, pen, brush, edge); });
}

R SuperNovaRun(TEffectCall& c) {
  const uint32_t pen = c.Fields.PenColor;
  const int radius = c.Value();
  const TEffectExtras& x = c.X();
  const int spokes = x.NovaSpok, hue = x.NovaHue, xPos = x.NovaX, yPos = x.NovaY;
  return c.Bracketed([=](TPixelBuffer& image) { SuperNova(image, pen, radius, spokes, hue, xPos, yPos); });
}

// Trace draws in the stored pen colour with "Use Pen Color", else in black.
R TraceRun(TEffectCall& c) {
  const int intensity = c.Value();
  const uint32_t colour = c.X().TrUseVal ? c.X().TrColVal : 0;
  return c.Bracketed([=](TPixelBuffer& image) { Trace(image, intensity, colour); });
}

// ---- field adjustments ------------------------------------------------------

// Gaussian Blur above 5 runs with 1, and the field says so.
void GaussianAboveFive(TPanelFields& f, TEffectParams& p) {
  if (p.Value(13) > 5) {
    p.Value(13) = 1;
    f.Main = "1";
  }
}

// Astroid's thickness is odd and at most 9; the field keeps what was typed.
void OddThickness(TPanelFields&, TEffectParams& p) {
  int32_t& v = p.Value(21);
  if (v % 2 == 0) v += 1;
  if (v > 9) v = 9;
}

// Whirl/Pinch keeps pinch in -1 ... 1 and the radius at least 0.
void ClampWhirl(TEffectParams& p) {
  TEffectExtras& x = p.Extras;
  if (x.WhPchVal > 1) x.WhPchVal = 1;
  if (!(x.WhPchVal >= -1)) x.WhPchVal = -1;
  if (!(x.WhRadVal >= 0)) x.WhRadVal = 0;
}

// ---- log suffixes shared by several effects ---------------------------------

// SineWave U/D (15) and L/R (16).
std::string SineSuffix(const TLogArgs& a, float peaks, float wavelength) {
  std::string s = a.Context.UsePeaks ? ", Peaks " + a.Real(peaks) : ", WaveLength " + a.Real(wavelength);
  return s + ", Height " + a.Value() + (a.Context.Wrap ? ", Wrap = True" : ", Wrap = False");
}

// Waves' phase is a real that always holds a whole number; it is written rounded.
std::string PhaseText(double phase) {
  const double whole = std::isfinite(phase) ? std::nearbyint(phase) : 0.0;
  return std::to_string(static_cast<int64_t>(std::fmax(std::fmin(whole, 9.2e18), -9.2e18)));
}

std::string AmountSuffix(const TLogArgs& a) { return ", Amount " + a.Value(); }
std::string CellSuffix(const TLogArgs& a) { return ", Size of Cell " + a.Value(); }

// ---- reading the suffixes back ------------------------------------------------

template <bool UpDown>
bool SineRead(TLogRead& r) {
  TEffectExtras& x = r.X();
  if (r.Rest().starts_with(", WaveLength ")) {
    r.Context.UsePeaks = false;
    if (!r.Real(", WaveLength ", UpDown ? x.UDWavVal : x.LRWavVal)) return false;
  } else {
    r.Context.UsePeaks = true;
    if (!r.Real(", Peaks ", UpDown ? x.UDPeakVal : x.LRPeakVal)) return false;
  }
  return r.Value(", Height ") && r.Flag(", Wrap = ", r.Context.Wrap);
}

bool AmountRead(TLogRead& r) { return r.Value(", Amount "); }
bool CellRead(TLogRead& r) { return r.Value(", Size of Cell "); }

// Map Texture's source: the current texture, the buffer or a named file.
bool TextureRead(TLogRead& r) {
  std::string source;
  if (!r.Value(", Brightness ") || !r.TextToEnd(", ", source)) return false;
  const bool named = source.starts_with("Use File ") && source.size() > 9;
  if (source != "Use Current Texture" && source != "Use Buffer" && !named)
    return r.Fail("the texture source is not Use Current Texture, Use Buffer or Use File and a file name");
  r.Context.TextureSource = source;
  return true;
}

// The colour is the pen's when "Use Pen Color" was checked, else black; a
// black line reads as the box cleared (the picture is the same either way).
bool TraceRead(TLogRead& r) {
  uint32_t colour = 0;
  if (!r.Value(", Intensity ") || !r.Colour(", Color: ", colour)) return false;
  r.X().TrUseVal = colour != 0;
  if (colour != 0) {
    r.X().TrColVal = colour;
    r.Context.PenColor = colour;
  }
  return true;
}

// ---- the table ----------------------------------------------------------------
//
// Grouped by category (Color, Distortions, Draw, Filters, Size/Aspect), ids
// ascending inside a group. The first line of each record is its catalogue
// row: id, tree name, category, Effects menu item, key, and the name the menu
// item puts into EffectName where it differs from the tree name.

constexpr TEffectDef kEffects[] = {
    // ---- Color ----
    E(30, "Color Rotate", C::Color, "Color Rotate", "Ctrl+O")
        .Params(8, "Range: 1 - 8", {Own("Bits to Rotate")})
        .Runs(WithValue<RotateColourBits>)
        .Logs([](const TLogArgs& a) { return ", Bits " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Bits "); }),
    E(31, "Negative", C::Color, "Negative", "Ctrl+N").Runs(Plain<Negate>),
    E(32, "Brighten", C::Color, "Brighten", "Ctrl+B").Runs(Plain<Brighten>),
    E(33, "Lighten", C::Color, "Lighten", "Ctrl+Alt+T").Runs(Plain<Lighten>),
    E(34, "Tint", C::Color, "Tint", "Ctrl+Alt+U")
        .Runs(TintRun)
        .Logs([](const TLogArgs& a) { return ", Color " + a.Colour(a.Context.TintColor); })
        .Reads([](TLogRead& r) { return r.Colour(", Color ", r.Context.TintColor); }),
    E(35, "Gray Scale", C::Color, "Gray Scale", "Ctrl+Alt+V", "GrayScale").Runs(Plain<ToGrayScale>),
    E(36, "Erase to Black", C::Color, "Erase to Black", "Ctrl+K").Runs(Plain<EraseToBlack>),
    E(37, "Exchange Color", C::Color, "Exchange Color", "Ctrl+Alt+Z")
        .Params(25, "Exchg Pen < Brush", {Own("Tolerance Amt")})
        .Runs(ExchangeRun)
        .Logs([](const TLogArgs& a) { return ", " + a.PenBrush(); })
        .Reads([](TLogRead& r) { return r.Lit(", ") && r.PenBrush(); }),

    // ---- Distortions ----
    E(15, "SineWave U/D", C::Distortions, "SineWave U/D", "Ctrl+D", "SineWave Up/Down")
        .Params(50, "Range: 1 - Height", {Real("Peaks", P::UDPeakVal), Own("Height")})
        .PeaksAndWrap(Real("Wavelength", P::UDWavVal))
        .SecondFirst()
        .Runs(SineWave<true>)
        .Logs([](const TLogArgs& a) { return SineSuffix(a, a.X().UDPeakVal, a.X().UDWavVal); })
        .Reads(SineRead<true>),
    E(16, "SineWave L/R", C::Distortions, "SineWave L/R", "Ctrl+E", "SineWave Left/Right")
        .Params(64, "Range: 1 - Width", {Real("Peaks", P::LRPeakVal), Own("Height")})
        .PeaksAndWrap(Real("Wavelength", P::LRWavVal))
        .SecondFirst()
        .Runs(SineWave<false>)
        .Logs([](const TLogArgs& a) { return SineSuffix(a, a.X().LRPeakVal, a.X().LRWavVal); })
        .Reads(SineRead<false>),
    E(17, "SineWave Both", C::Distortions, "SineWave Both", "Ctrl+X")
        .Params(0, "",
                {Real("Peaks U/D", P::UDPeakVal), ValueOf("Height", 15), Real("Peaks L/R", P::LRPeakVal),
                 ValueOf("Height", 16)})
        .Runs(SineBoth)
        .Logs([](const TLogArgs& a) {
          return ", U/D Peaks " + a.Real(a.X().UDPeakVal) + ", U/D Height " + a.ValueOf(15) + ", L/R Peaks " +
                 a.Real(a.X().LRPeakVal) + ", L/R Height " + a.ValueOf(16);
        })
        .Reads([](TLogRead& r) {
          return r.Real(", U/D Peaks ", r.X().UDPeakVal) && r.ValueOf(", U/D Height ", 15) &&
                 r.Real(", L/R Peaks ", r.X().LRPeakVal) && r.ValueOf(", L/R Height ", 16);
        }),
    E(18, "Twist", C::Distortions, "Twist", "Ctrl+T")
        .Params(100, "Range: 1 - 500", {Own("Looseness")})
        .Runs(TwistRun)
        .Logs([](const TLogArgs& a) { return ", Looseness " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Looseness "); }),
    E(19, "Fisheye", C::Distortions, "FishEye", "Ctrl+F", "FishEye")
        .Params(0, "Range: 0.01 - 5.00", {Fix2("Magnification", P::FishVal)})
        .Runs(FishEyeRun)
        .Logs([](const TLogArgs& a) { return ", Magnification " + a.Fixed2(a.X().FishVal); })
        .Reads([](TLogRead& r) { return r.Real(", Magnification ", r.X().FishVal); }),
    E(20, "Circular", C::Distortions, "Circular", "Ctrl+W").Runs(CircularRun),
    E(21, "Astroid", C::Distortions, "Astroid", "Ctrl+A")
        .Params(5, "Range: 1 - 9 (Odd)", {Own("Thickness")})
        .AfterRead(OddThickness)
        .Runs(WithValue<Astroid>)
        .Logs([](const TLogArgs& a) { return ", Thickness " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Thickness "); }),
    E(22, "Concentric Rects", C::Distortions, "Concentric Rects", "Ctrl+Alt+O")
        .Params(25, "Range: 1 - 100", {Own("Size Difference")})
        .Runs(WithValue<ConcentricRects>)
        .Logs([](const TLogArgs& a) { return ", Size Difference " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Size Difference "); }),
    E(23, "Mosaic", C::Distortions, "Mosaic", "Ctrl+Alt+M")
        .Params(3, "Range: 2 - 30", {Own("Size of Cell")})
        .Runs(WithValue<Mosaic>)
        .Logs(CellSuffix)
        .Reads(CellRead),
    E(24, "Circle Mosaic", C::Distortions, "Circle Mosaic", "Ctrl+Alt+N")
        .Params(6, "Range: 4 - 40", {Own("Size of Circle")})
        .Runs(WithValue<CircleMosaic>)
        .Logs([](const TLogArgs& a) { return ", Size of Circle " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Size of Circle "); }),
    E(25, "Color Noise", C::Distortions, "Color Noise", "Ctrl+Alt+P")
        .Params(50, "Range: 1 - 500", {Own("Noisiness")})
        .Runs([](TEffectCall& c) {
          const int32_t value = c.Value();
          return c.Bracketed([value](TPixelBuffer& image) { AddNoise(image, value, false); });
        })
        .Logs([](const TLogArgs& a) { return ", Noisiness " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Noisiness "); }),
    E(26, "Spray", C::Distortions, "Spray", "Ctrl+Alt+Q")
        .Params(15, "Range: 1 - 250", {Own("Scatterosity")})
        .Runs(WithValue<Spray>)
        .Logs([](const TLogArgs& a) { return ", Scatterosity " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Scatterosity "); }),
    E(27, "VellSwizzle", C::Distortions, "VellSwizzle", "Ctrl+H")
        .Params(64, "Range: 1 - 200", {Own("SwizzleWidth")})
        .Runs(WithValue<Swizzle>)
        .Logs([](const TLogArgs& a) { return ", SwizzleWidth " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", SwizzleWidth "); }),
    E(28, "Map Texture", C::Distortions, "Map Texture", "Ctrl+F2")
        .Params(18, "Range: 10 - 30", {Own("Brightness")})
        .Runs(MapTextureRun)
        .Logs([](const TLogArgs& a) { return ", Brightness " + a.Value() + ", " + a.Context.TextureSource; })
        .Reads(TextureRead),
    E(29, "Marble", C::Distortions, "Marble", "Ctrl+F3")
        .Params(700, "Marble Ctls", {Own("Graininess"), Real("Scale", P::ScaleVal), Int("Turbulence", P::TurbVal)})
        .Runs(MarbleRun)
        .Logs([](const TLogArgs& a) {
          return ", Graininess " + a.Value() + ", Scale " + a.Real(a.X().ScaleVal) + ", Turbulence " +
                 a.Int(a.X().TurbVal);
        })
        .Reads([](TLogRead& r) {
          return r.Value(", Graininess ") && r.Real(", Scale ", r.X().ScaleVal) && r.Int(", Turbulence ", r.X().TurbVal);
        }),
    E(53, "StretchBlur with Buffer", C::Distortions, "StretchBlur with Buffer", "Ctrl+F6")
        .Params(1, "-Width/Hgt to Width/Hgt",
                {Int("U/D Amount", P::UDSBlurBuf), Own("L/R Amount"), Int("Repetitions", P::SBlurReps)})
        .SecondFirst()
        .Runs(StretchBlurRun<true>)
        .Logs([](const TLogArgs& a) {
          return ", Left/Right " + a.Value() + ", Up/Down " + a.Int(a.X().UDSBlurBuf) + ", Repetitions " +
                 a.Int(a.X().SBlurReps);
        })
        .Reads([](TLogRead& r) {
          return r.Value(", Left/Right ") && r.Int(", Up/Down ", r.X().UDSBlurBuf) &&
                 r.Int(", Repetitions ", r.X().SBlurReps);
        }),
    E(54, "StretchBlur with Self", C::Distortions, "StretchBlur with Self", "Ctrl+F7")
        .Params(-1, "-Width/Hgt to Width/Hgt",
                {Int("U/D Amount", P::UDSBlurSelf), Own("L/R Amount"), Int("Repetitions", P::SBlurReps)})
        .SecondFirst()
        .Runs(StretchBlurRun<false>)
        .Logs([](const TLogArgs& a) {
          return ", Left/Right " + a.Value() + ", Up/Down " + a.Int(a.X().UDSBlurSelf) + ", Repetitions " +
                 a.Int(a.X().SBlurReps);
        })
        .Reads([](TLogRead& r) {
          return r.Value(", Left/Right ") && r.Int(", Up/Down ", r.X().UDSBlurSelf) &&
                 r.Int(", Repetitions ", r.X().SBlurReps);
        }),
    E(55, "Water with Buffer", C::Distortions, "Water with Buffer", "Ctrl+F8")
        .Params(64, "-Width/Hgt to Width/Hgt", {Int("U/D Amount", P::UDWatBuf), Own("L/R Amount")})
        .SecondFirst()
        .Runs(WaterRun<true>)
        .Logs([](const TLogArgs& a) { return ", Left/Right " + a.Value() + ", Up/Down " + a.Int(a.X().UDWatBuf); })
        .Reads([](TLogRead& r) { return r.Value(", Left/Right ") && r.Int(", Up/Down ", r.X().UDWatBuf); }),
    E(56, "Water with Self", C::Distortions, "Water with Self", "Ctrl+F9")
        .Params(128, "-Width/Hgt to Width/Hgt", {Int("U/D Amount", P::UDWatSelf), Own("L/R Amount")})
        .SecondFirst()
        .Runs(WaterRun<false>)
        .Logs([](const TLogArgs& a) { return ", Left/Right " + a.Value() + ", Up/Down " + a.Int(a.X().UDWatSelf); })
        .Reads([](TLogRead& r) { return r.Value(", Left/Right ") && r.Int(", Up/Down ", r.X().UDWatSelf); }),
    E(58, "HeightMap", C::Distortions, "HeightMap", "Ctrl+F11")
        .Params(32, "Azimuth is Angle", {Own("Azimuth"), Int("Elevation", P::HytEl), Int("Depth", P::HytDp)})
        .Bump("Bump Map", P::HytBm)
        .Runs(HeightMapRun)
        .Logs([](const TLogArgs& a) {
          return ", Azimuth " + a.Value() + ", Elevation " + a.Int(a.X().HytEl) + ", Depth " + a.Int(a.X().HytDp) +
                 ", BumpMap " + a.Bool(a.X().HytBm);
        })
        .Reads([](TLogRead& r) {
          return r.Value(", Azimuth ") && r.Int(", Elevation ", r.X().HytEl) && r.Int(", Depth ", r.X().HytDp) &&
                 r.Flag(", BumpMap ", r.X().HytBm);
        }),
    E(61, "Trace", C::Distortions, "Trace", "Shift+F1")
        .Params(1, "Default is Black", {Own("Intensity")})
        .Bump("Use Pen Color", P::TrUseVal)
        .PenInto(P::TrColVal)
        .Runs(TraceRun)
        .Logs([](const TLogArgs& a) {
          return ", Intensity " + a.Value() + ", Color: " + a.Colour(a.X().TrUseVal ? a.Context.PenColor : 0);
        })
        .Reads(TraceRead),
    E(62, "RippleTooth", C::Distortions, "RippleTooth", "Shift+F2")
        .Params(16, "Width of Ripple", {Own("Amount")})
        .Runs(WithValue<RippleTooth>)
        .Logs(AmountSuffix)
        .Reads(AmountRead),
    E(63, "Seamless Edge", C::Distortions, "Seamless Edge", "Shift+F3")
        .Params(16, "Width of Seam", {Own("Amount")})
        .Runs(WithValue<SeamlessEdge>)
        .Logs(AmountSuffix)
        .Reads(AmountRead),
    E(64, "Waves", C::Distortions, "Waves", "Shift+F4")
        .Params(24, "Phase is Shift Point",
                {Own("Amplitude"), Int("Wave Length", P::WvLenVal), Whole("Phase", P::WvPhsVal)})
        .Bump("Reflective", P::WvRflVal)
        .Runs(WavesRun)
        .Logs([](const TLogArgs& a) {
          return ", Amplitude " + a.Value() + ", Wave Length " + a.Int(a.X().WvLenVal) + ", Phase " +
                 PhaseText(a.X().WvPhsVal) + ", Reflective " + a.Bool(a.X().WvRflVal);
        })
        .Reads([](TLogRead& r) {
          return r.Value(", Amplitude ") && r.Int(", Wave Length ", r.X().WvLenVal) &&
                 r.Whole(", Phase ", r.X().WvPhsVal) && r.Flag(", Reflective ", r.X().WvRflVal);
        }),
    E(65, "Whirl/Pinch", C::Distortions, "Whirl/Pinch", "Shift+F5")
        .Params(270, "Angle is Amount of Effect",
                {Own("Angle"), Fix2("Pinch (-1 to 1)", P::WhPchVal), Fix2("Radius (0 to 2)", P::WhRadVal)})
        .Prepare(ClampWhirl)
        .Runs(WhirlPinchRun)
        .Logs([](const TLogArgs& a) {
          return ", Angle " + a.Value() + ", Pinch " + a.Fixed2(a.X().WhPchVal) + ", Radius " +
                 a.Fixed2(a.X().WhRadVal);
        })
        .Reads([](TLogRead& r) {
          return r.Value(", Angle ") && r.Real(", Pinch ", r.X().WhPchVal) && r.Real(", Radius ", r.X().WhRadVal);
        }),

    // ---- Draw ----
    E(46, "Cycloid Mosaic", C::Draw, "Cycloid Mosaic", "Ctrl+Alt+L")
        .Params(3, "Range: 3 - 30", {Own("Size of Cell")})
        .Runs(WithValue<CycloidMosaic>)
        .Logs(CellSuffix)
        .Reads(CellRead),
    E(47, "Gradient Bars", C::Draw, "Gradient Bars", "Ctrl+Alt+W")
        .Params(3, "Range: 1 - 50", {Own("Number of Bars")})
        .Runs(GradientBarsRun)
        .Logs([](const TLogArgs& a) { return ", Number of Bars " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Number of Bars "); }),
    E(48, "Gradient", C::Draw, "Gradient", "Ctrl+J", "Draw Gradient")
        .Runs(DrawGradientRun)
        .Logs([](const TLogArgs& a) {
          const TGradientFields& g = a.Context.Gradient;
          return ", Width " + g.Width + ", Height " + g.Height + ", Gradient " + g.Style + ", From Color " +
                 a.Colour(g.FromColor) + ", To Color " + a.Colour(g.ToColor) + ", Angle " + g.Angle;
        })
        .Reads([](TLogRead& r) { return r.Lit(", ") && r.Gradient(r.Context.Gradient); }),
    E(49, "Merge Gradient", C::Draw, "Merge Gradient", "Ctrl+Alt+I")
        .Params(50, "Range: 1 - 99", {Own("% of Gradient")})
        .Runs(MergeGradientRun)
        .Logs([](const TLogArgs& a) { return ", % of Gradient " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", % of Gradient "); }),
    E(50, "Merge Buffer", C::Draw, "Merge Buffer", "Ctrl+Alt+J")
        .Params(50, "Range: 1 - 99", {Own("% of Buffer")})
        .Runs(MergeBufferRun)
        .Logs([](const TLogArgs& a) { return ", % of Buffer " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", % of Buffer "); }),
    E(51, "Buttonize", C::Draw, "Buttonize", "Ctrl+U")
        .Params(20, "Range: 1 - 45", {Own("Edge Size")})
        .Note()
        .Runs(ButtonizeRun)
        .Logs([](const TLogArgs& a) { return ", Edge Size " + a.Value() + ", " + a.PenBrush(); })
        .Reads([](TLogRead& r) { return r.Value(", Edge Size ") && r.Lit(", ") && r.PenBrush(); }),
    E(52, "Plasma Cloud", C::Draw, "Plasma Cloud", "Ctrl+F4")
        .Params(700, "Lower = Smoother", {Own("Graininess")})
        .Runs(WithValue<PlasmaCloud>)
        .Logs([](const TLogArgs& a) { return ", Graininess " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Graininess "); }),
    E(57, "SuperNova", C::Draw, "SuperNova", "Ctrl+F10")
        .Params(32, "Hue 0 - 360",
                {Own("Radius"), Int("Spokes", P::NovaSpok), Int("Random Hue", P::NovaHue), Int("X Pos", P::NovaX),
                 Int("Y Pos", P::NovaY)})
        .Runs(SuperNovaRun)
        .Logs([](const TLogArgs& a) {
          return ", Colors: " + a.Colour(a.Context.PenColor) + ", Radius " + a.Value() + ", Spokes " +
                 a.Int(a.X().NovaSpok) + ", Hue " + a.Int(a.X().NovaHue) + ", X Pos: " + a.Int(a.X().NovaX) +
                 ", Y Pos: " + a.Int(a.X().NovaY);
        })
        .Reads([](TLogRead& r) {
          return r.Colour(", Colors: ", r.Context.PenColor) && r.Value(", Radius ") &&
                 r.Int(", Spokes ", r.X().NovaSpok) && r.Int(", Hue ", r.X().NovaHue) &&
                 r.Int(", X Pos: ", r.X().NovaX) && r.Int(", Y Pos: ", r.X().NovaY);
        }),

    // ---- Filters ----
    E(0, "Soften More", C::Filters, "Soften More", "Ctrl+Alt+Y").Runs(Kernel),
    E(1, "Soften Less", C::Filters, "Soften Less", "Ctrl+Y").Runs(Kernel),
    E(2, "Edge Enhance More", C::Filters, "Edge Enhance More", "Ctrl+Alt+A").Runs(Kernel),
    E(3, "Edge Enhance Less", C::Filters, "Edge Enhance Less", "Ctrl+Alt+B").Runs(Kernel),
    E(4, "Edge Emboss More", C::Filters, "Edge Emboss More", "Ctrl+Alt+C").Runs(Kernel),
    E(5, "Edge Emboss Less", C::Filters, "Edge Emboss Less", "Ctrl+Alt+D").Runs(Kernel),
    E(6, "Classic Emboss", C::Filters, "Classic Emboss", "Ctrl+Alt+E")
        .Params(250, "Range: 1 - 510", {Own("Lightness")})
        .Runs(WithValue<ClassicEmboss>)
        .Logs([](const TLogArgs& a) { return ", Lightness " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Lightness "); }),
    E(7, "Hi Pass", C::Filters, "HiPass", "Ctrl+I", "HiPass").Runs(Kernel),
    E(8, "Sharpen", C::Filters, "Sharpen", "Ctrl+S").Runs(Kernel),
    E(9, "Laplace", C::Filters, "Laplace", "Ctrl+P").Runs(Kernel),
    E(10, "Blur", C::Filters, "Blur", "Ctrl+Alt+H").Runs(Kernel),
    E(11, "Find Edges", C::Filters, "Find Edges", "Ctrl+Alt+F").Runs(Kernel),
    E(12, "Gaussian Soft", C::Filters, "Gaussian Soft", "Ctrl+Alt+G").Runs(Kernel),
    E(13, "Gaussian Blur", C::Filters, "Gaussian Blur", "Ctrl+G")
        .Params(2, "Range: 1 - 5", {Own("Blurriness")})
        .AfterRead(GaussianAboveFive)
        .Runs(WithValue<GaussianBlur>)
        .Logs([](const TLogArgs& a) { return ", Blurriness " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Blurriness "); }),
    // The menu item opens the filter dialog without selecting the effect and
    // writes only the filter line.
    E(14, "Design Your Own", C::Filters, "Design Your Own", "Ctrl+F5").KeepsSelection().NoMenuLog().Runs(FilterDesign),
    E(59, "Split Blur", C::Filters, "Split Blur", "Ctrl+F12")
        .Params(4, "Split offset", {Own("Split Amount")})
        .Runs(WithValue<SplitBlur>)
        .Logs(AmountSuffix)
        .Reads(AmountRead),
    E(60, "Split Gauss", C::Filters, "Split Gauss", "Ctrl+Shift+F12")
        .Params(3, "Bluriness", {Own("Blur Amount")})
        .Runs(WithValue<SplitGauss>)
        .Logs(AmountSuffix)
        .Reads(AmountRead),

    // ---- Size/Aspect ----
    // The resizes write their own line after the size dialog; the menu adds none.
    E(38, "ReSize Fast", C::SizeAspect, "ReSize Fast", "Ctrl+Q").NoMenuLog().Runs(Resize<false>),
    E(39, "ReSize Smooth", C::SizeAspect, "ReSize Smooth", "Ctrl+R").NoMenuLog().Runs(Resize<true>),
    E(40, "Rotate 90 Clockwise", C::SizeAspect, "Rotate 90", "Ctrl+Alt+X", "Rotate 90").Runs(Plain<RotateQuarter>),
    E(41, "Mirror L/R", C::SizeAspect, "Mirror L/R", "Ctrl+L")
        .Runs([](TEffectCall& c) { return c.Bracketed([](TPixelBuffer& image) { image.MirrorColumns(); }); }),
    E(42, "Mirror U/D", C::SizeAspect, "Mirror U/D", "Ctrl+M")
        .Runs([](TEffectCall& c) { return c.Bracketed([](TPixelBuffer& image) { image.FlipRows(); }); }),
    E(43, "Rotate Angle", C::SizeAspect, "Rotate Angle", "Ctrl+Alt+R")
        .Params(45, "Range: 1 - 359", {Own("Angle")})
        .Runs(WithValue<RotateAngle>)
        .Logs([](const TLogArgs& a) { return ", Angle " + a.Value(); })
        .Reads([](TLogRead& r) { return r.Value(", Angle "); }),
    E(44, "Rotate Seamless", C::SizeAspect, "Rotate Seamless", "Ctrl+Alt+S").Runs(RotateSeamlessRun),
    // Apply only stores the amount: the panel's scroll bars do the scrolling,
    // and the effect writes no line of its own.
    E(45, "Scroll", C::SizeAspect, "Scroll", "Ctrl+Alt+K")
        .Params(64, "Range: 1 - Width", {Own("Scroll Amt")})
        .ScrollBars()
        .NoLine()
        .Runs([](TEffectCall&) { return R::Selected; }),
};
static_assert(std::size(kEffects) == EffectCount);

// A suffix written is a suffix that can be read back.
constexpr bool EverySuffixReads() {
  for (const TEffectDef& d : kEffects)
    if ((d.Suffix == nullptr) != (d.Read == nullptr)) return false;
  return true;
}
static_assert(EverySuffixReads(), "every record with a log suffix needs its reader");

// The tables other parts read, derived from the records once.
constexpr int CountPanels() {
  int n = 0;
  for (const TEffectDef& d : kEffects) n += d.HasPanel() ? 1 : 0;
  return n;
}
constexpr int kPanelCount = CountPanels();

struct TDerived {
  std::array<int, EffectCount> index{};
  std::array<TEffectEntry, EffectCount> entries{};
  std::array<TParamRow, kPanelCount> rows{};
  std::array<int, EffectCount> rowOf{};
  std::array<int32_t, EffectCount> defaults{};
  constexpr TDerived() {
    for (int& r : index) r = -1;
    for (int& r : rowOf) r = -1;
    int row = 0;
    for (int i = 0; i < EffectCount; ++i) {
      const TEffectDef& d = kEffects[i];
      const auto id = static_cast<size_t>(d.Entry.Id);
      index[id] = i;
      entries[static_cast<size_t>(i)] = d.Entry;
      defaults[id] = d.Default;
      if (d.HasPanel()) {
        rows[static_cast<size_t>(row)] = d.Panel;
        rowOf[id] = row++;
      }
    }
  }
};
constexpr TDerived kDerived;

constexpr bool EveryIdOnce() {
  for (int i : kDerived.index)
    if (i < 0) return false;
  return true;
}
static_assert(EveryIdOnce(), "every effect id 0 ... 65 needs exactly one record");

}  // namespace

std::span<const TEffectDef> EffectDefs() { return kEffects; }

const TEffectDef* EffectDef(int id) {
  if (id < 0 || id >= EffectCount) return nullptr;
  return &kEffects[kDerived.index[static_cast<size_t>(id)]];
}

// ---- the views declared elsewhere -------------------------------------------

std::span<const TEffectEntry> EffectCatalogue() { return kDerived.entries; }

const TEffectEntry* EffectEntry(int id) {
  if (id < 0 || id >= EffectCount) return nullptr;
  return &kDerived.entries[static_cast<size_t>(kDerived.index[static_cast<size_t>(id)])];
}

const TParamRow* ParamRow(int id) {
  if (id < 0 || id >= EffectCount) return nullptr;
  const int r = kDerived.rowOf[static_cast<size_t>(id)];
  return r < 0 ? nullptr : &kDerived.rows[static_cast<size_t>(r)];
}

std::span<const TParamRow> ParamRows() { return kDerived.rows; }

const std::array<int32_t, EffectCount>& BuiltInEffectDefaults() { return kDerived.defaults; }

bool EffectAvailable(int id) {
  const TEffectDef* d = EffectDef(id);
  return d != nullptr && d->Run != nullptr;
}

}  // namespace vell
