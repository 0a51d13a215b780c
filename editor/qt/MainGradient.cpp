// The main window's gradients: the Gradient menu (the two-colour designer,
// Paste To Image, Merge With Image, the multi-colour designer), the paste
// button and the thumbnail, the gradient drawn at start-up, and the image's
// "Color Wheel" and "Rainbow".
#include <QAction>
#include <QApplication>

#include "dialogs/MultiGradient.h"
#include "dialogs/qt/Lbl3D.h"
#include "editor/EffectLog.h"
#include "editor/ImageCommands.h"
#include "editor/qt/VellTileMain.h"

namespace vell {

namespace {

const char kEmptyGradient[] = "The gradient has no pixels; the image was not changed.";
const char kEmptyMultiGradient[] = "The picture has no pixels; the image was not changed.";

}  // namespace

void TfVellTile::CreateGradientWindows() {
  fGradient_ = std::make_unique<TfGradient>(this);
  fMultGrad_ = std::make_unique<TfMultGrad>(this);
  fGradient_->SetErrorHook([this](const QString& text) { ui_->ShowError(text.toStdString()); });
  fGradient_->SetColorChooser([this](uint32_t initial) { return ui_->ChooseColor(initial); });
  fMultGrad_->SetErrorHook([this](const QString& text) { ui_->ShowError(text.toStdString()); });
  fMultGrad_->SetColorChooser([this](uint32_t initial) { return ui_->ChooseColor(initial); });
  // Paste runs at once; the designer stays open over the changed image.
  connect(fGradient_.get(), &TfGradient::pasteRequested, this, [this] { PasteToImage1Click(); });
  connect(fGradient_.get(), &TfGradient::fieldsChanged, this, [this] { SyncGradientFields(); });

  TApplyHooks& hooks = dispatcher_->Hooks();
  hooks.Gradient = [this]() -> TGradientPicture* { return fGradient_ ? &fGradient_->hGrad->Gradient() : nullptr; };
  hooks.DrawGradient = [this] {
    drawingGradient_ = true;
    DesignGradient();
    const bool pasted = PasteGradient();  // also after Cancel
    drawingGradient_ = false;
    SyncGradientFields();
    return pasted ? TApplyResult::Ran : TApplyResult::Refused;
  };

  auto wire = [this](const char* name, void (TfVellTile::*handler)(), bool enable) {
    QAction* a = findChild<QAction*>(QString::fromLatin1(name));
    if (a == nullptr) return;
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    if (!enable) return;
    a->setEnabled(true);
    a->setToolTip(a->property("hint").toString().trimmed());
  };
  wire("TwoColor1", &TfVellTile::Design1Click, true);
  wire("MultiColor1", &TfVellTile::MultiGradient1Click, true);
  wire("MultiGradient1", &TfVellTile::MultiGradient1Click, true);
  wire("ColorWheel1", &TfVellTile::ColorWheel1Click, true);
  wire("Rainbow1", &TfVellTile::Rainbow1Click, true);
  // These wait for the first gradient.
  wire("PasteToImage1", &TfVellTile::PasteToImage1Click, false);
  wire("bPstGrad", &TfVellTile::PasteToImage1Click, false);
  wire("MergeWithImage1", &TfVellTile::MergeWithImage1Click, false);
  SyncGradientFields();
}

void TfVellTile::StartupGradient() {
  if (!fGradient_) return;
  // The picture renders on demand, so the dialog need not flash on screen for it.
  fGradient_->SetImageSize(editor_.dibWork.Width(), editor_.dibWork.Height());
  SyncGradientFields();
  TakeGradient();
}

void TfVellTile::SyncGradientFields() {
  if (!fGradient_ || !dispatcher_) return;
  TGradientFields& g = dispatcher_->LogContext().Gradient;
  g.Width = fGradient_->WidthText().toStdString();
  g.Height = fGradient_->HeightText().toStdString();
  g.Style = fGradient_->StyleText().toStdString();
  g.FromColor = fGradient_->hGrad->BeginColor();
  g.ToColor = fGradient_->hGrad->EndColor();
  g.Angle = fGradient_->AngleText().toStdString();
}

void TfVellTile::WriteLine(const std::string& line) {
  if (editor_.Logging && editor_.WriteLog) editor_.WriteLog(line);
}

// The designer's picture becomes the gradient image; the commands that use it come alive.
void TfVellTile::TakeGradient() {
  CopyImage(fGradient_->hGrad->Bitmap(), dibGradient_);
  imGrad_->SetBuffer(&dibGradient_);
  imGrad_->setVisible(true);
  editor_.GradientExists = true;
  for (const char* name : {"PasteToImage1", "MergeWithImage1", "bPstGrad"}) {
    if (QAction* a = findChild<QAction*>(QString::fromLatin1(name))) {
      a->setEnabled(true);
      a->setToolTip(a->property("hint").toString().trimmed());
    }
  }
  if (lblGrad_->aTextStyle() == TTextStyle::tsInset) lblGrad_->setATextStyle(TTextStyle::tsRaised);
}

bool TfVellTile::DesignGradient() {
  if (!fGradient_) return false;
  fGradient_->SetImageSize(editor_.dibWork.Width(), editor_.dibWork.Height());
  SyncGradientFields();
  const bool ok = fGradient_->Execute();
  SyncGradientFields();
  if (!ok) return false;
  imGrad_->setToolTip(fGradient_->ThumbHint());
  TakeGradient();
  if (!drawingGradient_) WriteLine(DesignGradientLine(dispatcher_->LogContext().Gradient));
  return true;
}

void TfVellTile::Design1Click() { DesignGradient(); }

void TfVellTile::PasteToImage1Click() { PasteGradient(); }

bool TfVellTile::PasteGradient() {
  if (!fGradient_) return false;
  // The preview as it stands, also while the designer is open.
  const TPixelBuffer& gradient = fGradient_->hGrad->Bitmap();
  if (gradient.Empty()) {
    ui_->ShowMessage(kEmptyGradient);
    return false;
  }
  PasteGradientPicture(*dispatcher_, editor_, gradient);
  if (!drawingGradient_) WriteLine(std::string(LogPasteGradientToImage));
  return true;
}

void TfVellTile::MergeWithImage1Click() {
  QAction* paste = findChild<QAction*>(QStringLiteral("PasteToImage1"));
  if (paste == nullptr || !paste->isEnabled() || !box_) return;
  dispatcher_->ApplyFromMenu(49, box_->PanelFields());
  SetStatusText(4, QString::fromStdString(editor_.EffectName));
}

void TfVellTile::MultiGradient1Click() {
  if (!fMultGrad_) return;
  fMultGrad_->SetImageSize(editor_.dibWork.Width(), editor_.dibWork.Height());
  if (!fMultGrad_->Execute()) return;
  const TPixelBuffer& picture = fMultGrad_->Picture();
  if (picture.Empty()) {
    ui_->ShowMessage(kEmptyMultiGradient);
    return;
  }
  BeginEffect();
  CopyImage(picture, editor_.dibWork);
  EndEffect();
  WriteLine(MultiGradientLine(fMultGrad_->WidthText().toStdString(), fMultGrad_->HeightText().toStdString()));
}

void TfVellTile::ColorWheel1Click() {
  ColorWheelToImage(*dispatcher_, editor_);
  WriteLine(std::string(LogColorWheel));
}

void TfVellTile::Rainbow1Click() {
  RainbowOnImage(*dispatcher_, editor_);
  WriteLine(std::string(LogRainbow));
}

}  // namespace vell
