#include "editor/Apply.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "editor/EffectCatalogue.h"
#include "editor/EffectTable.h"
#include "editor/RealText.h"
#include "imaging/Tiling.h"

namespace vell {

std::string NotAvailableMessage(int id) {
  const std::string_view name = EffectTreeName(id);
  if (name.empty()) return "This effect is not available yet; the image was not changed.";
  return std::string(name) + " is not available yet; the image was not changed.";
}

void UseEditorUi(TApplyHooks& hooks, EditorUi& ui) {
  hooks.ShowMessage = [&ui](const std::string& text) { ui.ShowMessage(text); };
  hooks.ShowError = [&ui](const std::string& text) { ui.ShowError(text); };
  hooks.AskTintColour = [&ui](uint32_t initial) { return ui.ChooseColor(initial); };
  hooks.AskOkCancel = [&ui](const std::string& question) {
    return ui.MessageBox(question, TMsgButtons::OkCancel, TMsgKind::Confirmation) == TMsgResult::Ok;
  };
}

TApplyDispatcher::TApplyDispatcher(TEditor& editor, TEffectParams& params, TUndoRing& ring, TApplyHooks hooks)
    : editor_(editor), params_(params), ring_(ring), hooks_(std::move(hooks)) {}

TApplyResult TApplyDispatcher::bGoClick(TPanelFields& fields) {
  const int id = editor_.EffectType;
  if (id < 0) {
    Message(std::string(MsgFirstSelectEffect));
    return TApplyResult::NoEffect;
  }
  // Before the fields are read, so nothing stored changes either.
  if (!EffectAvailable(id)) {
    Message(NotAvailableMessage(id));
    return TApplyResult::NotAvailable;
  }
  switch (CheckApply(id, fields, DecimalSeparator)) {
    case TApplyCheck::Ok: break;
    case TApplyCheck::NoEffect:
      Message(std::string(MsgFirstSelectEffect));
      return TApplyResult::NoEffect;
    case TApplyCheck::EmptyAmount:
      Message(std::string(MsgAmountsZeroLength));
      return TApplyResult::EmptyAmount;
    case TApplyCheck::NotNumeric:
      Message(std::string(MsgAmountsNotNumeric));
      return TApplyResult::NotNumeric;
  }
  const TReadOutcome read = ReadEffectFields(id, fields, params_, DecimalSeparator);
  if (!read.Ok) {
    Error(read.Error);
    return TApplyResult::ConversionError;
  }
  const TApplyResult result = RunEffect(id, fields);
  // The line is written whatever the effect did, unless a conversion stopped it.
  if (result != TApplyResult::ConversionError) WriteEffectLog(fields);
  return result;
}

TApplyResult TApplyDispatcher::ApplyFromMenu(int id, const TPanelFields& fields) {
  if (!EffectAvailable(id)) {
    Message(NotAvailableMessage(id));
    return TApplyResult::NotAvailable;
  }
  const TEffectEntry* entry = EffectEntry(id);
  const TApplyResult result = RunEffect(id, fields);
  if (entry && !entry->MenuKeepsSelection) {
    MenuSelection(id, editor_.EffectType, editor_.EffectName);
    if (hooks_.RefreshPanel) hooks_.RefreshPanel();
  }
  if (MenuWritesEffectLog(id) && result != TApplyResult::ConversionError) WriteEffectLog(fields);
  return result;
}

TApplyResult TApplyDispatcher::RunEffect(int id, const TPanelFields& fields) {
  PrepareEffectRun(id, params_);
  return Run(id, fields);
}

void TApplyDispatcher::WriteEffectLog(const TPanelFields& fields) {
  if (!editor_.Logging || !editor_.WriteLog) return;
  TLogContext context = log_;
  context.UsePeaks = fields.UsePeaks;
  context.Wrap = fields.Wrap;
  context.PenColor = fields.PenColor;
  context.BrushColor = fields.BrushColor;
  context.DecimalSeparator = DecimalSeparator;
  // The seamless commands leave their own name in EffectName; a later Apply
  // of the selected effect is logged under that effect's name, not theirs.
  std::string name = editor_.EffectName;
  if (name.starts_with("EdgeMerge")) name = std::string(EffectTreeName(editor_.EffectType));
  if (std::optional<std::string> line = EffectLogLine(editor_.EffectType, name, params_, context)) Log(*line);
}

TApplyResult TApplyDispatcher::EdgeMergeClick(int divisor) {
  if (divisor <= 0) return TApplyResult::Refused;
  Bracketed([divisor](TPixelBuffer& image) { EdgeMerge(image, divisor); });
  editor_.EffectName = EdgeMergeEffectName(divisor);
  Log(EdgeMergeLine(divisor));
  return TApplyResult::Ran;
}

TApplyResult TApplyDispatcher::FourWayFlipClick() {
  Bracketed([](TPixelBuffer& image) { FourWayFlip(image); });
  Log(std::string(LogFourWayFlip));
  return TApplyResult::Ran;
}

TApplyResult TApplyDispatcher::ScrollBarMoved(bool horizontal, int position, const std::string& mainText) {
  // The bar has moved whatever the field holds: remember where it is, or the
  // next movement would be judged against a stale position (and could go the
  // wrong way, or nowhere).
  const std::optional<TScrollDirection> direction =
      ScrollBarMove(horizontal, position, horizontal ? lastLR_ : lastUD_);
  const std::optional<int32_t> amount = ParseInteger(mainText);
  if (!amount) {
    Error(NotValidIntegerText(mainText));
    return TApplyResult::ConversionError;
  }
  params_.Value(45) = *amount;
  if (!direction) return TApplyResult::Selected;
  return ScrollBy(*direction, *amount);
}

TApplyResult TApplyDispatcher::ScrollBy(TScrollDirection direction, int amount) {
  const bool horizontal = direction == TScrollDirection::Right || direction == TScrollDirection::Left;
  int32_t dx = 0, dy = 0;
  ScrollShift(direction, amount, dx, dy);
  if (horizontal) {
    Bracketed([dx](TPixelBuffer& image) { ScrollHorizontal(image, dx); });
  } else {
    // Vertical scrolling snapshots without the hourglass.
    Snapshot();
    editor_.dibWork.ScrollWrap(0, dy);
    if (hooks_.Redisplay) hooks_.Redisplay();
  }
  Log(ScrollLine(direction, amount));
  return TApplyResult::Ran;
}

bool TApplyDispatcher::Undo() {
  if (!ring_.CanUndo()) {
    if (hooks_.Redisplay) hooks_.Redisplay();
    return false;
  }
  if (hooks_.BusyBegin) hooks_.BusyBegin();
  const bool restored = ring_.PopUndo(editor_.dibWork);
  if (restored && (editor_.dibScratch.Width() != editor_.dibWork.Width() ||
                   editor_.dibScratch.Height() != editor_.dibWork.Height()))
    editor_.dibScratch.Allocate(editor_.dibWork.Width(), editor_.dibWork.Height(), 0, 24);
  if (hooks_.Redisplay) hooks_.Redisplay();
  if (hooks_.BusyEnd) hooks_.BusyEnd();
  if (hooks_.UndoChanged) hooks_.UndoChanged(ring_.CanUndo());
  if (restored) Log(std::string(LogUndo));
  return restored;
}

// ---- running one effect -------------------------------------------------

TApplyResult TApplyDispatcher::Run(int id, const TPanelFields& fields) {
  const TEffectDef* def = EffectDef(id);
  if (!def || !def->Run) {
    Message(NotAvailableMessage(id));
    return TApplyResult::NotAvailable;
  }
  TEffectCall call(*this, id, fields);
  return def->Run(call);
}

// ---- the bracket ----------------------------------------------------------

TApplyResult TApplyDispatcher::Bracketed(const std::function<void(TPixelBuffer&)>& operation) {
  BeginEffect();
  operation(editor_.dibWork);
  EndEffect();
  return TApplyResult::Ran;
}

void TApplyDispatcher::BeginEffect() {
  if (hooks_.BusyBegin) hooks_.BusyBegin();
  Snapshot();
}

void TApplyDispatcher::EndEffect() {
  // Effects that change the size leave the scratch image behind; it follows.
  TPixelBuffer& work = editor_.dibWork;
  if (editor_.dibScratch.Width() != work.Width() || editor_.dibScratch.Height() != work.Height())
    editor_.dibScratch.Allocate(work.Width(), work.Height(), 0, 24);
  if (hooks_.Redisplay) hooks_.Redisplay();
  if (hooks_.BusyEnd) hooks_.BusyEnd();
}

void TApplyDispatcher::Snapshot() {
  if (editor_.PushUndo)
    editor_.PushUndo();
  else
    ring_.PushUndo(editor_.dibWork);
  if (hooks_.UndoChanged) hooks_.UndoChanged(ring_.CanUndo());
}

void TApplyDispatcher::Log(const std::string& line) {
  if (editor_.Logging && editor_.WriteLog) editor_.WriteLog(line);
}

void TApplyDispatcher::Message(const std::string& text) {
  if (hooks_.ShowMessage) hooks_.ShowMessage(text);
}

void TApplyDispatcher::Error(const std::string& text) {
  if (hooks_.ShowError)
    hooks_.ShowError(text);
  else
    Message(text);
}

}  // namespace vell
