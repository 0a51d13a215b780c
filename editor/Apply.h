// TApplyDispatcher: the road from the parameter panel (or the Effects menu)
// to a changed working image.
//
// Apply validates the panel's fields, reads the ones that belong to the
// selected effect into the stored parameters, runs the effect between an undo
// snapshot and a redisplay, and writes the effect's log line. The dispatcher
// never opens a window: everything it needs from the user or the screen comes
// through TApplyHooks, so the whole road runs in tests without a display.
//
// Snapshots go through TEditor::PushUndo when the main window has set it (it
// then also keeps its undo button in step), otherwise straight onto the ring.
// Log lines go through TEditor::WriteLog, and only while TEditor::Logging.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "dialogs/FilterDesign.h"
#include "dialogs/VellGradient.h"
#include "editor/ApplyRules.h"
#include "editor/Editor.h"
#include "editor/EffectLog.h"
#include "editor/EffectParams.h"
#include "editor/UndoRing.h"

namespace vell {

struct TNewSize {
  int Width = 0;
  int Height = 0;
};

enum class TApplyResult : uint8_t;  // below

// What the dispatcher needs from the windows around it. Every member may be
// left empty: messages are then dropped, questions count as cancelled, and
// the screen is simply not told.
struct TApplyHooks {
  // A plain notice ("First Select an Effect", "Image must be square. ...").
  std::function<void(const std::string& text)> ShowMessage;
  // The standard error box ("'2.5' is not a valid integer value"); falls back
  // to ShowMessage when empty.
  std::function<void(const std::string& text)> ShowError;
  // Tint's colour dialog, preset to the colour last chosen (0x00BBGGRR).
  std::function<std::optional<uint32_t>(uint32_t initial)> AskTintColour;
  // The resize dialog ("Set Size") for the current size; none on Cancel.
  std::function<std::optional<TNewSize>(int width, int height, bool smooth)> AskNewSize;
  // The designed-filter dialog; the fields as entered, none on Cancel.
  std::function<std::optional<TFilterDesign>()> AskFilterDesign;
  // A question with OK and Cancel ("Circular only works correctly ..."); true on OK.
  std::function<bool(const std::string& question)> AskOkCancel;
  // Hourglass on and off around a running effect.
  std::function<void()> BusyBegin;
  std::function<void()> BusyEnd;
  // Show the working image again (and its size in the status bar).
  std::function<void()> Redisplay;
  // ConfigurePanel(EffectType, EffectName) and status panel 4 (menu road).
  std::function<void()> RefreshPanel;
  // The ring gained or lost a snapshot; the argument is "something to undo".
  std::function<void(bool canUndo)> UndoChanged;
  // Map Texture's dialog: on OK the texture picture (any size) and the source text
  // ("Use Current Texture", "Use Buffer" or "Use File " + name); none on Cancel.
  std::function<std::optional<std::pair<const TPixelBuffer*, std::string>>()> AskTexture;
  // The two-colour gradient dialog's control: its colours (Gradient Bars) and
  // its picture (Merge Gradient); null while there is none.
  std::function<TGradientPicture*()> Gradient;
  // Draw Gradient: the gradient dialog, then Paste To Image whatever the
  // dialog's answer, neither writing its own log line. The dialog's fields
  // are in LogContext().Gradient when it returns.
  std::function<TApplyResult()> DrawGradient;
};

// Messages, errors, questions and Tint's colour dialog through the editor's
// EditorUi (which must outlive the hooks).
void UseEditorUi(TApplyHooks& hooks, EditorUi& ui);

// How one Apply (or menu item, or panel command) ended.
// The effect table (editor/EffectTable.h) names this type before it is complete.
enum class TApplyResult : uint8_t {
  Ran,              // the effect changed the working image
  Selected,         // nothing to run (Scroll): values read, nothing changed
  Cancelled,        // its own dialog was cancelled
  Refused,          // the effect refused the image (Rotate Seamless on a non-square image...)
  NoEffect,         // "First Select an Effect"
  EmptyAmount,      // "Amounts cannot be zero-length"
  NotNumeric,       // "Amounts must be numeric"
  ConversionError,  // "'x' is not a valid integer value": nothing ran, nothing logged
  NotAvailable,     // the effect's engine is not in this build yet
};

// "<name> is not available yet." (the plain message for an effect whose
// engine is not in this build; nothing changes).
std::string NotAvailableMessage(int id);

class TEffectCall;

class TApplyDispatcher {
 public:
  // All four must outlive the dispatcher.
  TApplyDispatcher(TEditor& editor, TEffectParams& params, TUndoRing& ring, TApplyHooks hooks = {});

  TApplyHooks& Hooks() { return hooks_; }

  // Apply (bGoClick). `fields` are the panel's texts, check boxes and
  // colours; a field the dispatcher rewrites (Gaussian Blur above 5 becomes
  // "1") changes in `fields`, which the caller writes back to the panel.
  TApplyResult bGoClick(TPanelFields& fields);

  // An Effects-menu item: runs the effect with the stored values (the field
  // texts are not read; the check boxes and colours are), then selects it
  // under its menu name, refreshes the panel and writes the log line, with
  // the exceptions of the two resizes, Scroll and Design Your Own.
  TApplyResult ApplyFromMenu(int id, const TPanelFields& fields);

  // The run both roads share once the stored values are in place: the
  // adjustments before the run, then the effect (bracket, dialogs through the
  // hooks). Neither the selection nor the effect line changes.
  TApplyResult RunEffect(int id, const TPanelFields& fields);

  // The effect line for EffectType under EffectName, when logging.
  void WriteEffectLog(const TPanelFields& fields);

  // The Image menu's seamless commands. Edge Merge takes 16, 8 or 4 and puts
  // "EdgeMerge16" ... into EffectName (EffectType stays).
  TApplyResult EdgeMergeClick(int divisor);
  TApplyResult FourWayFlipClick();

  // Scroll's bars: a move of bar `horizontal` to `position`. The main field
  // (`mainText`) is the amount; each bar remembers its own last position.
  TApplyResult ScrollBarMoved(bool horizontal, int position, const std::string& mainText);
  // The scroll itself: the picture moves round by `amount` pixels and the
  // line is logged. Scroll's amount (the stored value) is the caller's.
  TApplyResult ScrollBy(TScrollDirection direction, int amount);
  // Both bars back at 0 (their ranges were set anew).
  void ResetScrollPositions() { lastLR_ = lastUD_ = 0; }
  int LastScrollPosition(bool horizontal) const { return horizontal ? lastLR_ : lastUD_; }

  // UnDo: restores the newest snapshot, redisplays, logs "UnDo" when one was
  // restored. Returns whether one was. The window's UnDo commands come here.
  bool Undo();

  // The bracket around every change of the working image: hourglass and a
  // snapshot; then the redisplay (the scratch image follows a new size) and
  // the normal cursor.
  void BeginEffect();
  void EndEffect();
  // BeginEffect, the operation on the working image, EndEffect.
  TApplyResult Bracketed(const std::function<void(TPixelBuffer&)>& operation);

  // Tint's colour, last chosen (0x00BBGGRR).
  uint32_t TintColour() const { return log_.TintColor; }
  void SetTintColour(uint32_t colour) { log_.TintColor = colour; }
  // What the log lines name beyond the parameters: the texture source and the
  // gradient dialog's fields (the check boxes and colours come from the fields).
  TLogContext& LogContext() { return log_; }

  char DecimalSeparator = '.';

 private:
  friend class TEffectCall;
  TApplyResult Run(int id, const TPanelFields& fields);
  void Snapshot();
  void Log(const std::string& line);
  void Message(const std::string& text);
  void Error(const std::string& text);

  TEditor& editor_;
  TEffectParams& params_;
  TUndoRing& ring_;
  TApplyHooks hooks_;
  TLogContext log_;
  int lastLR_ = 0, lastUD_ = 0;
};

// What an effect's engine call is handed by the dispatcher: the editor's
// images and stored values (already read from the panel), the panel's check
// boxes and colours, and the dispatcher's bracket, hooks and log.
class TEffectCall {
 public:
  TEffectCall(TApplyDispatcher& apply, int id, const TPanelFields& fields) : Id(id), Fields(fields), apply_(apply) {}

  const int Id;
  const TPanelFields& Fields;

  TEditor& Editor() const { return apply_.editor_; }
  TPixelBuffer& Work() const { return apply_.editor_.dibWork; }
  TEffectParams& Params() const { return apply_.params_; }
  TEffectExtras& X() const { return apply_.params_.Extras; }
  int32_t Value() const { return apply_.params_.Value(Id); }
  TApplyHooks& Hooks() const { return apply_.hooks_; }
  TLogContext& LogContext() const { return apply_.log_; }

  TApplyResult Bracketed(const std::function<void(TPixelBuffer&)>& operation) const {
    return apply_.Bracketed(operation);
  }
  void Message(const std::string& text) const { apply_.Message(text); }
  void Error(const std::string& text) const { apply_.Error(text); }
  // False without a hook: a question nobody answers counts as cancelled.
  bool AskOkCancel(const std::string& question) const {
    return apply_.hooks_.AskOkCancel && apply_.hooks_.AskOkCancel(question);
  }
  // A line of its own (the resize line, the filter line), while logging.
  void WriteLine(const std::string& line) const { apply_.Log(line); }

 private:
  TApplyDispatcher& apply_;
};

}  // namespace vell
