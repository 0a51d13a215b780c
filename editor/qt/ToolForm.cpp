#include "editor/qt/ToolForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>

#include "dialogs/qt/ColrBtn.h"
#include "dialogs/qt/Lbl3D.h"
#include "editor/EffectCatalogue.h"
#include "editor/EffectLog.h"
#include "editor/ImageCommands.h"

namespace vell {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

constexpr int kFieldTop = 46;
constexpr int kFieldStep = 21;
constexpr int kToolsTop = 176;
constexpr int kColoursTop = 270;

constexpr std::array<const char*, 6> kSliderNames = {"Lightness", "Contrast", "Saturation", "Red", "Green", "Blue"};

}  // namespace

TStepScrollBar::TStepScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
    if (action != SliderMove) setRepeatAction(SliderNoAction);
  });
}

TfToolBox::TfToolBox(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("ToolBox"));
  setWindowTitle(QStringLiteral("Tool Box"));
  setMinimumSize(kPanelWidth, kMinHeight);
  resize(kPanelWidth, kMinHeight);

  lblEffect = new TLbl3D(QString(), this);
  lblEffect->setObjectName(QStringLiteral("lblEffect"));
  QFont bold = lblEffect->font();
  bold.setBold(true);
  lblEffect->setFont(bold);
  lblEffect->setToolTip(QStringLiteral("Currently selected effect"));
  lblEffect->setGeometry(4, 2, kPanelWidth - 8, 22);

  lblHelp = new QLabel(Q(HintChooseEffect), this);
  lblHelp->setObjectName(QStringLiteral("lblHelp"));
  lblHelp->setGeometry(4, 26, 222, 16);

  btnDefault = new QPushButton(QStringLiteral("D"), this);
  btnDefault->setObjectName(QStringLiteral("btnDefault"));
  btnDefault->setToolTip(QStringLiteral("Reset to Default"));
  btnDefault->setGeometry(kPanelWidth - 30, 23, 26, 21);
  connect(btnDefault, &QPushButton::clicked, this, [this] { btnDefaultClick(); });

  BuildFields();
  BuildTools();
  BuildSliders();
  HidePanelControls();
}

void TfToolBox::BuildFields() {
  static constexpr std::array<const char*, PanelFieldCount> kEdits = {"eAmtMain", "eAmtSecond", "ePeaks2",
                                                                      "eHeight2", "eYPos"};
  static constexpr std::array<const char*, PanelFieldCount> kLabels = {"lblMain", "lblSecond", "lblPeaks2",
                                                                       "lblHeight2", "lYPos"};
  for (int i = 0; i < PanelFieldCount; ++i) {
    const int y = kFieldTop + i * kFieldStep;
    auto* label = new QLabel(Q(FormFieldLabels[static_cast<size_t>(i)]), this);
    label->setObjectName(QString::fromLatin1(kLabels[static_cast<size_t>(i)]));
    label->setGeometry(4, y + 2, 116, 18);
    auto* edit = new QLineEdit(Q(FormFieldTexts[static_cast<size_t>(i)]), this);
    edit->setObjectName(QString::fromLatin1(kEdits[static_cast<size_t>(i)]));
    edit->setGeometry(122, y, 70, 20);
    labels_[static_cast<size_t>(i)] = label;
    fields_[static_cast<size_t>(i)] = edit;
    shownTexts_[static_cast<size_t>(i)] = edit->text();
    // Enter is Apply, Escape takes back what was typed.
    edit->installEventFilter(this);
  }
  lblMain = labels_[0];
  lblSecond = labels_[1];
  lblPeaks2 = labels_[2];
  lblHeight2 = labels_[3];
  lYPos = labels_[4];
  eAmtMain = fields_[0];
  eAmtSecond = fields_[1];
  ePeaks2 = fields_[2];
  eHeight2 = fields_[3];
  eYPos = fields_[4];

  const int below = kFieldTop + PanelFieldCount * kFieldStep + 2;
  ckbxPeaks = new QCheckBox(Q(CaptionUsePeaks), this);
  ckbxPeaks->setObjectName(QStringLiteral("ckbxPeaks"));
  ckbxPeaks->setChecked(true);
  ckbxPeaks->setGeometry(4, below, 90, 18);
  connect(ckbxPeaks, &QCheckBox::clicked, this, [this] { RefreshPanel(); });
  ckbxWrap = new QCheckBox(Q(CaptionWrap), this);
  ckbxWrap->setObjectName(QStringLiteral("ckbxWrap"));
  ckbxWrap->setChecked(true);
  ckbxWrap->setGeometry(100, below, 70, 18);
  cbBump = new QCheckBox(this);
  cbBump->setObjectName(QStringLiteral("cbBump"));
  cbBump->setChecked(true);
  cbBump->setGeometry(4, below, 160, 18);

  // Scroll's bars: the horizontal one under the fields, the vertical one beside them.
  sbLR = new TStepScrollBar(Qt::Horizontal, this);
  sbLR->setObjectName(QStringLiteral("sbLR"));
  sbLR->setGeometry(4, below, 220, 16);
  sbUD = new TStepScrollBar(Qt::Vertical, this);
  sbUD->setObjectName(QStringLiteral("sbUD"));
  sbUD->setGeometry(kPanelWidth - 22, kFieldTop, 16, PanelFieldCount * kFieldStep);
  for (QScrollBar* bar : {sbLR, sbUD}) {
    bar->setPageStep(16);
    bar->setRange(0, 0);
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int position) {
      if (previewing_) return;
      emit scrollMoved(bar == sbLR, position);
    });
  }

  lblBtn = new QLabel(Q(NoteButtonize), this);
  lblBtn->setObjectName(QStringLiteral("lblBtn"));
  lblBtn->setWordWrap(true);
  lblBtn->setGeometry(4, kFieldTop + 2 * kFieldStep, kPanelWidth - 8, 40);
}

void TfToolBox::BuildTools() {
  struct TToolDef {
    QToolButton** button;
    const char* name;
    const char* caption;
    const char* hint;
    int tool;
  };
  const TToolDef defs[] = {
      {&bFree, "bFree", "Free", "Freehand draw", ToolFree},
      {&bEllip, "bEllip", "Ellip", "Draw Ellipse", ToolEllipse},
      {&bRect, "bRect", "Rect", "Draw Rectangle", ToolRect},
      {&bLine, "bLine", "Line", "Draw a Line using current Pen Mode", ToolLine},
      {&bFill, "bFill", "Fill", "Flood Fill an area with Brush Color", ToolFill},
      {&bText, "bText", "Text", "Invoke Text Designer...", ToolText},
      {&bSelect, "bSelect", "Sel", "Select an area of the Image...", ToolSelect},
      {&bEyeDrop, "bEyeDrop", "Eye", "Set Pen Color to color under cursor", ToolEyeDrop},
  };
  tools_ = new QButtonGroup(this);
  tools_->setExclusive(true);
  constexpr int kToolStep = (kPanelWidth - 8) / 8;
  int x = 4;
  for (const TToolDef& d : defs) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(d.name));
    b->setText(QString::fromLatin1(d.caption));
    b->setToolTip(QString::fromLatin1(d.hint));
    b->setStatusTip(QString::fromLatin1(d.hint));
    b->setCheckable(true);
    b->setGeometry(x, kToolsTop, kToolStep - 2, 26);
    x += kToolStep;
    tools_->addButton(b, d.tool);
    *d.button = b;
  }
  bFree->setChecked(true);
  connect(tools_, &QButtonGroup::idClicked, this, [this](int tool) { emit toolChosen(tool); });

  const int colourTop = kToolsTop + 30;
  bPen = new TColrBtn(this);
  bPen->setObjectName(QStringLiteral("bPen"));
  bPen->setCaption(QStringLiteral("Pen Color"));
  bPen->setColor(0x000000);
  bPen->setGeometry(4, colourTop, 76, 30);
  connect(bPen, &TColrBtn::changed, this, [this](uint32_t c) { emit penColorChanged(c); });
  bBrush = new TColrBtn(this);
  bBrush->setObjectName(QStringLiteral("bBrush"));
  bBrush->setCaption(QStringLiteral("Brush Color"));
  bBrush->setColor(0xFFFFFF);
  bBrush->setGeometry(84, colourTop, 76, 30);
  connect(bBrush, &TColrBtn::changed, this, [this](uint32_t c) { emit brushColorChanged(c); });

  auto* lblPenSize = new QLabel(QStringLiteral("Size"), this);
  lblPenSize->setObjectName(QStringLiteral("lblPenSize"));
  lblPenSize->setGeometry(166, colourTop, 30, 14);
  ePenSize = new QLineEdit(QStringLiteral("2"), this);
  ePenSize->setObjectName(QStringLiteral("ePenSize"));
  ePenSize->setToolTip(QStringLiteral("Pen Size"));
  ePenSize->setGeometry(166, colourTop + 12, 30, 20);
  cFill = new QCheckBox(QStringLiteral("Fill Shape"), this);
  cFill->setObjectName(QStringLiteral("cFill"));
  cFill->setChecked(true);
  cFill->setGeometry(200, colourTop + 6, kPanelWidth - 204, 18);

  const int buttonsTop = colourTop + 36;
  bGo2 = new QPushButton(QStringLiteral("Apply"), this);
  bGo2->setObjectName(QStringLiteral("bGo2"));
  bGo2->setToolTip(QStringLiteral("Apply Current effect"));
  bGo2->setGeometry(4, buttonsTop, 80, 24);
  connect(bGo2, &QPushButton::clicked, this, [this] {
    if (!previewing_) emit applyRequested();
  });
  bUndo2 = new QPushButton(QStringLiteral("UnDo"), this);
  bUndo2->setObjectName(QStringLiteral("bUndo2"));
  bUndo2->setToolTip(QStringLiteral("UnDo"));
  bUndo2->setGeometry(88, buttonsTop, 70, 24);
  connect(bUndo2, &QPushButton::clicked, this, [this] {
    if (!previewing_) emit undoRequested();
  });
  bCols2 = new QPushButton(QStringLiteral("Colors"), this);
  bCols2->setObjectName(QStringLiteral("bCols2"));
  bCols2->setToolTip(QStringLiteral("Show/Hide Color Sliders"));
  bCols2->setGeometry(162, buttonsTop, kPanelWidth - 166, 24);
  connect(bCols2, &QPushButton::clicked, this, [this] { ToggleColours(); });
}

void TfToolBox::BuildSliders() {
  pnlColors = new QWidget(this);
  pnlColors->setObjectName(QStringLiteral("pnlColors"));
  pnlColors->setGeometry(0, kColoursTop, kPanelWidth, kHeightWithSliders - kColoursTop);
  for (size_t i = 0; i < Sliders.size(); ++i) {
    const int y = 4 + static_cast<int>(i) * 23;
    auto* label = new QLabel(QString::fromLatin1(kSliderNames[i]), pnlColors);
    label->setGeometry(4, y, 70, 18);
    auto* bar = new QScrollBar(Qt::Horizontal, pnlColors);
    bar->setObjectName(QStringLiteral("sb") + QString::fromLatin1(kSliderNames[i]));
    bar->setRange(0, 510);
    bar->setValue(255);
    bar->setPageStep(20);
    bar->setGeometry(76, y + 1, kPanelWidth - 82, 16);
    connect(bar, &QScrollBar::valueChanged, this, [this] { SliderMoved(); });
    connect(bar, &QScrollBar::sliderReleased, this, [this] { PreviewSliders(true); });
    Sliders[i] = bar;
  }
  const int y = 4 + 6 * 23 + 4;
  bGood = new QPushButton(QStringLiteral("OK"), pnlColors);
  bGood->setObjectName(QStringLiteral("bGood"));
  bGood->setGeometry(40, y, 80, 24);
  connect(bGood, &QPushButton::clicked, this, [this] { bGoodClick(); });
  bBad = new QPushButton(QStringLiteral("Cancel"), pnlColors);
  bBad->setObjectName(QStringLiteral("bBad"));
  bBad->setGeometry(140, y, 80, 24);
  connect(bBad, &QPushButton::clicked, this, [this] { bBadClick(); });
  bGood->hide();
  bBad->hide();
  pnlColors->hide();
}

void TfToolBox::SetState(TEditor* editor, TEffectParams* params) {
  editor_ = editor;
  params_ = params;
}

// ---- the parameter fields -------------------------------------------------

void TfToolBox::HidePanelControls() {
  for (int i = 0; i < PanelFieldCount; ++i) {
    fields_[static_cast<size_t>(i)]->hide();
    labels_[static_cast<size_t>(i)]->hide();
  }
  for (QWidget* w : std::initializer_list<QWidget*>{ckbxPeaks, ckbxWrap, cbBump, sbLR, sbUD, lblBtn, btnDefault})
    w->hide();
  lblHelp->show();
}

void TfToolBox::ConfigurePanel(int id, const std::string& name) {
  if (!params_) return;
  const TPanelConfig config = vell::ConfigurePanel(id, name, *params_, ckbxPeaks->isChecked());
  HidePanelControls();
  lblHelp->setText(Q(config.Hint));
  for (int i = 0; i < PanelFieldCount; ++i) {
    const TPanelConfig::Field& f = config.Fields[static_cast<size_t>(i)];
    if (!f.Visible) continue;
    labels_[static_cast<size_t>(i)]->setText(Q(f.Label));
    fields_[static_cast<size_t>(i)]->setText(Q(f.Text));
    shownTexts_[static_cast<size_t>(i)] = Q(f.Text);
    labels_[static_cast<size_t>(i)]->show();
    fields_[static_cast<size_t>(i)]->show();
  }
  if (config.PeaksAndWrapVisible) {
    ckbxPeaks->show();
    ckbxWrap->show();
  }
  if (config.BumpVisible) {
    cbBump->setText(Q(config.BumpCaption));
    cbBump->setChecked(config.BumpChecked);
    cbBump->show();
  }
  if (config.ScrollBarsVisible) {
    // Ranges follow the picture; setting them must not scroll it.
    const int w = editor_ ? editor_->dibWork.Width() : 0;
    const int h = editor_ ? editor_->dibWork.Height() : 0;
    {
      const QSignalBlocker blockLR(sbLR), blockUD(sbUD);
      sbLR->setRange(-w, w);
      sbUD->setRange(-h, h);
      // Both start again from the middle, as the main window's remembered
      // positions do (a narrower range would move them unseen).
      sbLR->setValue(0);
      sbUD->setValue(0);
    }
    emit scrollBarsReset();
    sbLR->show();
    sbUD->show();
  }
  lblBtn->setVisible(config.NoteVisible);
  btnDefault->setVisible(config.DefaultButtonVisible);
  lblEffect->setCaption(Q(config.EffectCaption));
  emit activityChanged(Q(config.Status));
}

void TfToolBox::RefreshPanel() {
  if (!editor_) return;
  ConfigurePanel(editor_->EffectType, editor_->EffectName);
}

void TfToolBox::btnDefaultClick() {
  if (!editor_ || !params_ || editor_->EffectType < 0 || editor_->EffectType >= EffectCount) return;
  params_->ResetEffect(editor_->EffectType);
  ConfigurePanel(editor_->EffectType, std::string(EffectTreeName(editor_->EffectType)));
}

TPanelFields TfToolBox::PanelFields() const {
  TPanelFields f;
  f.Main = S(eAmtMain->text());
  f.Second = S(eAmtSecond->text());
  f.Third = S(ePeaks2->text());
  f.Fourth = S(eHeight2->text());
  f.Fifth = S(eYPos->text());
  f.PenSize = S(ePenSize->text());
  f.UsePeaks = ckbxPeaks->isChecked();
  f.Wrap = ckbxWrap->isChecked();
  f.Bump = cbBump->isChecked();
  f.PenColor = PenColor();
  f.BrushColor = BrushColor();
  return f;
}

void TfToolBox::SetFieldTexts(const TPanelFields& f) {
  auto set = [](QLineEdit* edit, const std::string& text) {
    const QString q = QString::fromStdString(text);
    if (edit->text() != q) edit->setText(q);
  };
  set(eAmtMain, f.Main);
  set(eAmtSecond, f.Second);
  set(ePeaks2, f.Third);
  set(eHeight2, f.Fourth);
  set(eYPos, f.Fifth);
  set(ePenSize, f.PenSize);
  // What Apply read is what the fields now stand for.
  for (int i = 0; i < PanelFieldCount; ++i) shownTexts_[static_cast<size_t>(i)] = fields_[static_cast<size_t>(i)]->text();
}

bool TfToolBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  for (int i = 0; i < PanelFieldCount; ++i) {
    QLineEdit* edit = fields_[static_cast<size_t>(i)];
    if (watched != edit) continue;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (!previewing_) emit applyRequested();
      return true;
    }
    if (key == Qt::Key_Escape) {
      edit->setText(shownTexts_[static_cast<size_t>(i)]);
      edit->selectAll();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

uint32_t TfToolBox::PenColor() const { return bPen->Color(); }
uint32_t TfToolBox::BrushColor() const { return bBrush->Color(); }
void TfToolBox::SetPenColor(uint32_t colour) { bPen->setColor(colour); }
void TfToolBox::SetBrushColor(uint32_t colour) { bBrush->setColor(colour); }
int TfToolBox::ActiveTool() const { return tools_->checkedId(); }
bool TfToolBox::FillShape() const { return cFill->isChecked(); }
QString TfToolBox::PenSizeText() const { return ePenSize->text(); }
void TfToolBox::SetPenSizeText(const QString& text) { ePenSize->setText(text); }

void TfToolBox::SetActiveTool(int tool) {
  if (QAbstractButton* b = tools_->button(tool)) b->setChecked(true);
}

// ---- the colour sliders ---------------------------------------------------

bool TfToolBox::ColoursShown() const { return !pnlColors->isHidden(); }

void TfToolBox::SetColoursShown(bool shown) {
  pnlColors->setVisible(shown);
  resize(width(), shown ? kHeightWithSliders : kMinHeight);
}

void TfToolBox::ToggleColours() {
  // A pending preview keeps its OK and Cancel in sight.
  if (previewing_ && ColoursShown()) return;
  SetColoursShown(!ColoursShown());
  emit coloursToggled(ColoursShown());
}

TSliderPositions TfToolBox::SliderPositions() const {
  TSliderPositions p;
  p.lightness = Sliders[0]->value();
  p.contrast = Sliders[1]->value();
  p.saturation = Sliders[2]->value();
  p.red = Sliders[3]->value();
  p.green = Sliders[4]->value();
  p.blue = Sliders[5]->value();
  return p;
}

void TfToolBox::SliderMoved() {
  // A drag previews as it goes; a click or key press is a whole scroll.
  bool dragging = false;
  for (QScrollBar* bar : Sliders) dragging = dragging || bar->isSliderDown();
  PreviewSliders(!dragging);
}

void TfToolBox::PreviewSliders(bool endOfScroll) {
  if (editor_) ApplySliders(editor_->dibScratch, editor_->dibWork, SliderPositions());
  SetPreviewing(true);
  bGood->show();
  bBad->show();
  emit slidersPreviewed();
  if (endOfScroll) bGood->setFocus();
}

void TfToolBox::ResetSliders() {
  for (QScrollBar* bar : Sliders) {
    const QSignalBlocker block(bar);
    bar->setValue(255);
  }
  bGood->hide();
  bBad->hide();
  SetPreviewing(false);
}

void TfToolBox::SetPreviewing(bool previewing) {
  previewing_ = previewing;
  for (QWidget* w : std::initializer_list<QWidget*>{bGo2, bUndo2, bCols2, sbLR, sbUD}) w->setEnabled(!previewing);
}

void TfToolBox::bGoodClick() {
  if (!previewing_) return;
  const TSliderPositions p = SliderPositions();
  if (editor_) {
    CommitSliderPositions(*editor_, p);
    if (editor_->Logging && editor_->WriteLog)
      editor_->WriteLog(SlidersLine({p.lightness, p.contrast, p.saturation, p.red, p.green, p.blue}));
  }
  ResetSliders();
  emit slidersCommitted();
}

void TfToolBox::bBadClick() {
  ResetSliders();
  emit slidersCancelled();
}

// ---- the window -----------------------------------------------------------

void TfToolBox::closeEvent(QCloseEvent* event) {
  // Closing with a preview pending drops it, or the main window would wait
  // for an OK nobody can press.
  if (previewing_) bBadClick();
  event->accept();
  emit closed();
}

void TfToolBox::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
}

}  // namespace vell
