// The main window's operation log (File > Log, the viewer and the editor) and
// its settings file (read at creation, written at destruction).
#include "editor/qt/MainLog.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>

#include "dialogs/qt/Filter1.h"
#include "editor/EffectLog.h"
#include "editor/OperationLog.h"
#include "editor/ProgramFolder.h"
#include "editor/qt/Log1.h"
#include "editor/qt/Log2.h"
#include "editor/qt/ToolForm.h"
#include "editor/qt/VellTileMain.h"

namespace vell {

namespace {

std::string& ProgramFolderSetting() {
  static std::string folder;
  return folder;
}

}  // namespace

// --- shared helpers -----------------------------------------------------------

QRect FitToScreen(const QPoint& pos, const QSize& size, const QRect& available, const QSize& minimum) {
  if (!available.isValid()) return QRect(pos, size.expandedTo(minimum));
  const int w = std::min(std::max(size.width(), std::min(minimum.width(), available.width())), available.width());
  const int h = std::min(std::max(size.height(), std::min(minimum.height(), available.height())), available.height());
  // 64-bit so a stored position near the integer limits cannot overflow.
  const auto clampTo = [](int64_t v, int64_t lo, int64_t hi) { return static_cast<int>(std::min(std::max(v, lo), hi)); };
  const int x = clampTo(pos.x(), available.left(), int64_t{available.left()} + available.width() - w);
  const int y = clampTo(pos.y(), available.top(), int64_t{available.top()} + available.height() - h);
  return QRect(x, y, w, h);
}

QRect AvailableScreenArea(const QPoint& point) {
  const QScreen* screen = QGuiApplication::screenAt(point);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

void ApplyToolBoxSettings(TfToolBox& box, const TToolBoxSettings& settings) {
  const QPoint wanted(settings.Left, settings.Top);
  box.move(FitToScreen(wanted, box.size(), AvailableScreenArea(wanted), QSize(1, 1)).topLeft());
  box.SetPenColor(settings.PenColor);
  box.SetBrushColor(settings.BrushColor);
  box.SetPenSizeText(QString::fromLocal8Bit(settings.PenSize.data(), static_cast<qsizetype>(settings.PenSize.size())));
}

TToolBoxSettings ToolBoxSettingsOf(const TfToolBox& box) {
  TToolBoxSettings s;
  s.Left = box.pos().x();
  s.Top = box.pos().y();
  s.PenColor = box.PenColor();
  s.BrushColor = box.BrushColor();
  s.PenSize = box.PenSizeText().toLocal8Bit().toStdString();
  return s;
}

void ApplyFilterSettings(TfFilter& filter, const TFilterSettings& settings) {
  TFilterDesign design;
  for (size_t i = 0; i < design.e.size(); ++i) design.e[i] = settings.Fields[i];
  design.eDiv = settings.Fields[9];
  filter.SetDesign(design);
}

TFilterSettings FilterSettingsOf(const TfFilter& filter) {
  const TFilterDesign design = filter.Design();
  TFilterSettings s;
  for (size_t i = 0; i < design.e.size(); ++i) s.Fields[i] = design.e[i];
  s.Fields[9] = design.eDiv;
  return s;
}

// --- TfVellTile: the operation log ------------------------------------------------

void TfVellTile::SetProgramFolder(const std::string& folder) {
  std::string f = folder;
  if (!f.empty() && f.back() != '/') f += '/';
  ProgramFolderSetting() = f;
}

void TfVellTile::WireLogCommands() {
  const std::string& folder = ProgramFolderSetting();
  log_ = std::make_unique<TOperationLog>(folder.empty() ? ProgramFile(LogFileName) : folder + LogFileName, *ui_);
  log_->OnLoggingChanged = [this](bool logging) { SetLogging(logging); };
  editor_.WriteLog = [this](const std::string& line) { log_->WriteLogLine(line); };

  fLog_ = new TfLog(this);
  fLog_->SetContext(log_.get(), ui_, &editor_);
  connect(fLog_, &TfLog::toolBoxShowRequested, this, [this] { ShowToolBoxAfterLog(); });
  connect(fLog_, &TfLog::saveImageRequested, this, [this](const QString& name) { SaveImageWithLogName(name); });
  fELog_ = new TfELog(this);
  fELog_->SetContext(log_.get(), ui_, &editor_);
  connect(fELog_, &TfELog::toolBoxHideRequested, this, [this] { HideToolBoxForLog(); });
  connect(fELog_, &TfELog::toolBoxShowRequested, this, [this] { ShowToolBoxAfterLog(); });

  const std::pair<const char*, void (TfVellTile::*)()> commands[] = {
      {"StartNewLog1", &TfVellTile::StartNewLog1Click}, {"CloseLog1", &TfVellTile::CloseLog1Click},
      {"AppendtoLog1", &TfVellTile::AppendtoLog1Click}, {"ViewLog1", &TfVellTile::ViewLog1Click},
      {"EditLog1", &TfVellTile::EditLog1Click},
  };
  for (const auto& [name, handler] : commands) {
    QAction* a = findChild<QAction*>(QString::fromLatin1(name));
    if (a == nullptr) continue;
    a->setEnabled(true);
    a->setToolTip(QString());
    connect(a, &QAction::triggered, this, [this, h = handler] { (this->*h)(); });
  }
}

TLogStartInfo TfVellTile::LogStartInfo() const {
  // The gradient dialog's fields as shown; its start values until it exists.
  TGradientFields gradient = dispatcher_ ? dispatcher_->LogContext().Gradient : TGradientFields{};
  if (fGradient_) {
    gradient.Width = fGradient_->WidthText().toStdString();
    gradient.Height = fGradient_->HeightText().toStdString();
    gradient.Style = fGradient_->StyleText().toStdString();
    gradient.FromColor = fGradient_->hGrad->BeginColor();
    gradient.ToColor = fGradient_->hGrad->EndColor();
    gradient.Angle = fGradient_->AngleText().toStdString();
  }
  TLogStartInfo info;
  info.Width = editor_.dibWork.Width();
  info.Height = editor_.dibWork.Height();
  info.GradientStyle = gradient.Style;
  info.FromColorText = ColorText(gradient.FromColor);
  info.ToColorText = ColorText(gradient.ToColor);
  info.Angle = gradient.Angle;
  return info;
}

void TfVellTile::StartNewLog1Click() { log_->StartNewLog(LogStartLine(LogStartInfo())); }
void TfVellTile::CloseLog1Click() { log_->CloseLog(); }
void TfVellTile::AppendtoLog1Click() { log_->AppendToLog(LogStartLine(LogStartInfo())); }

void TfVellTile::ViewLog1Click() {
  if (!log_->ViewLog()) return;
  HideToolBoxForLog();
  fLog_->show();
  fLog_->raise();
  fLog_->activateWindow();
}

void TfVellTile::EditLog1Click() {
  if (!log_->EditLog()) return;
  fELog_->exec();
}

void TfVellTile::HideToolBoxForLog() {
  if (box_) box_->hide();
}

void TfVellTile::ShowToolBoxAfterLog() {
  if (box_) box_->show();
}

void TfVellTile::SaveImageWithLogName(const QString& fileName) {
  // The default directory is already the log's folder; the name waits for the
  // image save dialog.
  imageSaveName_ = fileName;
  SaveAs1Click();
}

void TfVellTile::ShutdownLog() {
  if (!log_) return;
  const bool was = log_->Logging();
  log_->Shutdown();
  if (was) SetLogging(false);
}

// --- TfVellTile: the settings file ----------------------------------------------

void TfVellTile::LoadSettingsFile() {
  const std::string& folder = ProgramFolderSetting();
  editor_.DefaultDirectory = folder.empty() ? ProgramFolder() : folder;
  if (folder.empty()) return;
  settingsPath_ = folder + SettingsFileName;
  settings_ = TSettings{};
  settings_.MainForm.DefaultDirectory = folder;
  TFileResult why;
  settingsRead_ = LoadSettings(settingsPath_, folder, settings_, &why);
  if (!why.ok) ui_->ShowError(why.message);
  if (!settingsRead_) return;

  params_ = settings_.Effects;
  const TMainFormSettings& m = settings_.MainForm;
  editor_.PenModeIndex = m.PenStyle;
  if (QAction* pen = findChild<QAction*>(QStringLiteral("Pen%1").arg(m.PenStyle))) pen->setChecked(true);
  editor_.DefaultDirectory = m.DefaultDirectory;
  editor_.PromptForSave = m.SaveDlg;
  editor_.SaveWithLogName = m.SaveWithLog;
  if (QAction* a = findChild<QAction*>(QStringLiteral("PromptforSave1"))) a->setChecked(m.SaveDlg);
  if (QAction* a = findChild<QAction*>(QStringLiteral("SaveImagewithLogFileName1"))) a->setChecked(m.SaveWithLog);
  editor_.MaxUndo = m.UndoLevels;
}

void TfVellTile::ApplyWindowPlacement() {
  if (!settingsRead_) return;
  const TMainFormSettings& m = settings_.MainForm;
  const QPoint wanted(m.Left, m.Top);
  const QRect fitted = FitToScreen(wanted, QSize(m.Width, m.Height), AvailableScreenArea(wanted));
  move(fitted.topLeft());
  resize(fitted.size());
  if (m.Status == TWindowStatus::Maximized) setWindowState(windowState() | Qt::WindowMaximized);
  if (m.Status == TWindowStatus::Minimized) setWindowState(windowState() | Qt::WindowMinimized);
}

void TfVellTile::LoadCompanionSettings() {
  if (!settingsRead_) return;
  if (box_) ApplyToolBoxSettings(*box_, settings_.ToolBox);
  if (filter_) ApplyFilterSettings(*filter_, settings_.Filter);
}

void TfVellTile::SaveSettingsFile() {
  if (settingsPath_.empty()) return;
  settings_.Effects = params_;
  TMainFormSettings& m = settings_.MainForm;
  // The last checked Pen item wins; none checked counts as "Normal".
  m.PenStyle = 0;
  for (int i = 0; i < 12; ++i)
    if (QAction* pen = findChild<QAction*>(QStringLiteral("Pen%1").arg(i)); pen && pen->isChecked()) m.PenStyle = i;
  m.DefaultDirectory = editor_.DefaultDirectory;
  m.SaveDlg = editor_.PromptForSave;
  m.SaveWithLog = editor_.SaveWithLogName;
  if (isMinimized()) {
    m.Status = TWindowStatus::Minimized;
  } else if (isMaximized()) {
    m.Status = TWindowStatus::Maximized;
  } else {
    m.Status = TWindowStatus::Normal;
    m.Left = pos().x();
    m.Top = pos().y();
    m.Width = width();
    m.Height = height();
  }
  m.UndoLevels = undo_.MaxUndo();
  if (box_) settings_.ToolBox = ToolBoxSettingsOf(*box_);
  if (filter_) settings_.Filter = FilterSettingsOf(*filter_);
  const TFileResult r = SaveSettings(settingsPath_, settings_);
  if (!r.ok) ui_->ShowError(r.message);
}

}  // namespace vell
