// TfToolBox: the parameter panel ("Tool Box"), a stay-on-top tool window.
//
// It shows the selected effect's parameters in five reusable fields whose
// labels, hint and texts change with the effect, the "D" reset, the pen and
// brush colours, pen size, "Fill Shape", the eight drawing tools, and the six
// colour sliders with their OK / Cancel.
//
// The panel reads and resets the stored parameters itself and runs the slider
// preview and commit on the editor's images; everything that belongs to the
// main window (applying, undoing, showing an image, enabling itself, the
// status bar) leaves through signals.
#pragma once

#include <QScrollBar>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "editor/ApplyRules.h"
#include "editor/Editor.h"
#include "editor/EffectParams.h"
#include "imaging/Colour.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace vell {

class TColrBtn;
class TLbl3D;

// Told when a command that changes the image is asked for while the sliders
// preview a change.
inline constexpr const char kSlidersPendingText[] =
    "The color sliders are previewing a change. Press OK on the Tool Box to keep it, or Cancel to drop it, first.";

// Scroll's bars: a press on an arrow or the track is one movement, however
// long the button is held (each movement snapshots and logs the picture, so
// a repeating press would shift it on and on); dragging the thumb moves as
// the thumb does.
class TStepScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  TStepScrollBar(Qt::Orientation orientation, QWidget* parent);
  bool Repeats() const { return repeatAction() != SliderNoAction; }
};

class TfToolBox : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMinHeight = 270;
  static constexpr int kHeightWithSliders = 446;
  static constexpr int kPanelWidth = 292;

  // Tool ids in ActiveTool's numbering.
  enum TTool { ToolFree = 0, ToolEllipse = 1, ToolRect = 2, ToolLine = 3, ToolText = 4, ToolSelect = 5,
               ToolFill = 6, ToolEyeDrop = 7 };

  explicit TfToolBox(QWidget* parent = nullptr);

  // The editor state the panel shows and changes; both must outlive the panel.
  void SetState(TEditor* editor, TEffectParams* params);

  // ---- the parameter fields -------------------------------------------
  void ConfigurePanel(int id, const std::string& name);
  void HidePanelControls();
  // ConfigurePanel(EffectType, EffectName).
  void RefreshPanel();
  // "D": the selected effect's values back to their defaults.
  void btnDefaultClick();

  // The fields as Apply reads them, and writing back what it rewrote.
  TPanelFields PanelFields() const;
  void SetFieldTexts(const TPanelFields& fields);

  uint32_t PenColor() const;    // 0x00BBGGRR
  uint32_t BrushColor() const;
  void SetPenColor(uint32_t colour);    // from code (the eyedropper): no signal
  void SetBrushColor(uint32_t colour);
  int ActiveTool() const;
  void SetActiveTool(int tool);
  bool FillShape() const;
  QString PenSizeText() const;
  void SetPenSizeText(const QString& text);  // the pen size check writes "1"

  // ---- the colour sliders ---------------------------------------------
  bool ColoursShown() const;
  void SetColoursShown(bool shown);
  TSliderPositions SliderPositions() const;
  // Runs on every slider move: the adjusted picture goes into the scratch
  // image and slidersPreviewed() asks the main window to show it.
  void PreviewSliders(bool endOfScroll);
  void bGoodClick();  // OK: snapshot, commit, log, sliders back to 255
  void bBadClick();   // Cancel: sliders back to 255
  // A slider preview waits for OK or Cancel: until then the panel's own
  // commands that change the image (Apply, UnDo, Scroll's bars, Enter in a
  // field) are held back, and the slider group stays shown.
  bool Previewing() const { return previewing_; }

  // ---- controls, for the main window and the tests --------------------
  TLbl3D* lblEffect = nullptr;
  QLabel* lblHelp = nullptr;
  QLabel* lblMain = nullptr;
  QLabel* lblSecond = nullptr;
  QLabel* lblPeaks2 = nullptr;
  QLabel* lblHeight2 = nullptr;
  QLabel* lYPos = nullptr;
  QLabel* lblBtn = nullptr;
  QLineEdit* eAmtMain = nullptr;
  QLineEdit* eAmtSecond = nullptr;
  QLineEdit* ePeaks2 = nullptr;
  QLineEdit* eHeight2 = nullptr;
  QLineEdit* eYPos = nullptr;
  QLineEdit* ePenSize = nullptr;
  QCheckBox* ckbxPeaks = nullptr;
  QCheckBox* ckbxWrap = nullptr;
  QCheckBox* cbBump = nullptr;
  QCheckBox* cFill = nullptr;
  TStepScrollBar* sbLR = nullptr;
  TStepScrollBar* sbUD = nullptr;
  QPushButton* btnDefault = nullptr;
  QPushButton* bGo2 = nullptr;
  QPushButton* bUndo2 = nullptr;
  QPushButton* bCols2 = nullptr;
  QPushButton* bGood = nullptr;
  QPushButton* bBad = nullptr;
  TColrBtn* bPen = nullptr;
  TColrBtn* bBrush = nullptr;
  QToolButton* bFree = nullptr;
  QToolButton* bEllip = nullptr;
  QToolButton* bRect = nullptr;
  QToolButton* bLine = nullptr;
  QToolButton* bFill = nullptr;
  QToolButton* bText = nullptr;
  QToolButton* bSelect = nullptr;
  QToolButton* bEyeDrop = nullptr;
  QWidget* pnlColors = nullptr;
  // Lightness, Contrast, Saturation, Red, Green, Blue.
  std::array<QScrollBar*, 6> Sliders{};

  QLineEdit* Field(TPanelField field) const { return fields_[static_cast<size_t>(field)]; }
  QLabel* FieldLabel(TPanelField field) const { return labels_[static_cast<size_t>(field)]; }

 public slots:
  // bCols2 and the main toolbar's bColor: show or hide the slider group.
  void ToggleColours();

 signals:
  void applyRequested();    // bGo2
  void undoRequested();     // the undo button
  void slidersPreviewed();  // show the scratch image; disable the main window
  void slidersCommitted();  // show the working image; enable and focus the main window
  void slidersCancelled();  // the same after Cancel
  void scrollMoved(bool horizontal, int position);  // sbLR / sbUD (Scroll)
  void scrollBarsReset();                           // both bars back at 0
  void coloursToggled(bool shown);
  void closed();            // the close box: clears ToolboxShown
  void activityChanged(const QString& text);  // status panel 4
  void penColorChanged(uint32_t colour);      // chosen in the pen button's dialog
  void brushColorChanged(uint32_t colour);
  void toolChosen(int tool);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetPreviewing(bool previewing);
  void BuildFields();
  void BuildTools();
  void BuildSliders();
  void ResetSliders();
  void SliderMoved();

  TEditor* editor_ = nullptr;
  TEffectParams* params_ = nullptr;
  std::array<QLineEdit*, PanelFieldCount> fields_{};
  std::array<QLabel*, PanelFieldCount> labels_{};
  QButtonGroup* tools_ = nullptr;
  bool previewing_ = false;
  // Each field's text as the panel last set it or Apply last read it: what
  // Escape brings back.
  std::array<QString, PanelFieldCount> shownTexts_{};
};

}  // namespace vell
