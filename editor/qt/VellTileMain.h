// TfVellTile: the editor's main window and the owner of its image state.
#pragma once

#include <QFrame>
#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "dialogs/qt/Filter1.h"
#include "dialogs/qt/Grad1.h"
#include "dialogs/qt/MultGrad.h"
#include "dialogs/qt/Size1.h"
#include "dialogs/qt/Tester1.h"
#include "editor/Apply.h"
#include "editor/Editor.h"
#include "editor/EditorUi.h"
#include "editor/EffectParams.h"
#include "editor/OperationLog.h"
#include "editor/Settings.h"
#include "editor/UndoRing.h"
#include "editor/qt/ToolForm.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vell {

class TLbl3D;
class QtEditorUi;
class TfLog;
class TfELog;

// A widget that shows a TPixelBuffer through a QImage over the buffer's own memory.
class TImageView : public QWidget {
  Q_OBJECT

 public:
  explicit TImageView(QWidget* parent = nullptr);
  // Shows `buffer`, kept by pointer and re-wrapped whenever its memory moves;
  // it must outlive its display (or be replaced first).
  void SetBuffer(const TPixelBuffer* buffer);
  // The picture as drawn: Format_BGR888 over the buffer's bytes.
  const QImage& Picture();
  // Stretch to the widget's size (thumbnails) or show 1:1.
  void SetStretched(bool stretched) { stretched_ = stretched; }

 signals:
  void doubleClicked();
  void mouseMovedTo(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Wrap();

  const TPixelBuffer* buffer_ = nullptr;
  const uint8_t* wrappedBits_ = nullptr;
  int wrappedWidth_ = 0, wrappedHeight_ = 0, wrappedStride_ = 0;
  QImage picture_;
  bool stretched_ = false;
};

// Status panel 5: "Logging" with its icon, or "Not Logging".
class TLogPanel : public QFrame {
  Q_OBJECT

 public:
  explicit TLogPanel(QWidget* parent = nullptr);
  void SetLogging(bool logging);
  bool Logging() const { return logging_; }
  QString Text() const { return logging_ ? QStringLiteral("Logging") : QStringLiteral("Not Logging"); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool logging_ = false;
  QPixmap icon_;
};

class TfVellTile : public QMainWindow {
  Q_OBJECT

 public:
  // `ui` answers the window's questions; null means real Qt dialogs.
  explicit TfVellTile(EditorUi* ui = nullptr, QWidget* parent = nullptr);
  ~TfVellTile() override;

  TEditor& Editor() { return editor_; }
  TUndoRing& Undo() { return undo_; }
  EditorUi& Ui() { return *ui_; }

  // The bracket around every change of the working image.
  void DisplayImage(const TPixelBuffer& buffer);
  void BeginEffect();
  void EndEffect();
  static void CopyImage(const TPixelBuffer& source, TPixelBuffer& destination) { vell::CopyImage(source, destination); }
  // Copies a buffer into a 24-bit QImage of its size.
  static void ImageToBitmap(QImage& bitmap, const TPixelBuffer& buffer);

  // Loads the command-line file as the working image (no snapshot, no log).
  // A file that cannot be read shows the error and leaves the image as it was.
  bool LoadStartupFile(const QString& path);
  // The file given on the command line, loaded when the window is first shown.
  void SetStartupFile(const QString& path) { startupFile_ = path; }

  // Status panel texts, 0 ... 5.
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);
  void SetLogging(bool logging);

  // Parts exposed to the window tests.
  QTreeWidget* TreeView1() const { return TreeView1_; }
  QPushButton* bExpand() const { return bExpand_; }
  QMenu* PopMenu() const { return PopMenu_; }
  QToolBar* ToolBar1() const { return ToolBar1_; }
  TImageView* imSine() const { return imSine_; }
  TLbl3D* GradientCaption() const { return lblGrad_; }
  TLbl3D* BufferCaption() const { return lblBuffer_; }
  const QCursor* ToolCursor(int id) const;

  // The effect tree's handlers.
  void TreeView1Change(QTreeWidgetItem* node);
  void TreeView1DblClick(QTreeWidgetItem* node);
  void bExpandClick();

  // ---- effects, the tool box and the companion windows (MainEffects.cpp) ----
  // Creates the windows that follow the main window at start-up (the tool
  // box, the filter, size and tile-tester dialogs) and wires the effect
  // commands to them. Until then those commands stay disabled.
  void CreateCompanions();
  TfToolBox* ToolBox() const { return box_.get(); }
  TfFilter* FilterDialog() const { return filter_.get(); }
  TfrmSizer* SizerDialog() const { return sizer_.get(); }
  TfTester* Tester() const { return tester_.get(); }
  TEffectParams& Params() { return params_; }
  TApplyDispatcher* Dispatcher() const { return dispatcher_.get(); }
  // Apply (bGo, the panel's bGo2, Enter in the tree).
  void bGoClick();
  void TestTiles1Click();
  void PrintShortcutKeyList1Click();

  // ---- the operation log and the settings file (MainLog.cpp) ----
  // The folder of VellTile.ini and VellLog.txt for windows created from now
  // on; main() gives the program folder. Left empty (window tests), no
  // settings file is read or written and the log is the program folder's.
  static void SetProgramFolder(const std::string& folder);
  // The tool box's and the filter dialog's sections, once they exist.
  void LoadCompanionSettings();
  TOperationLog& OperationLog() { return *log_; }
  TfLog* LogViewer() const { return fLog_; }
  TfELog* LogEditor() const { return fELog_; }
  const TSettings& Settings() const { return settings_; }
  // The start line's values: the working image's size, the gradient dialog's fields.
  TLogStartInfo LogStartInfo() const;
  // The name the image save dialog offers after a log was saved with
  // "Save Image with Log File Name".
  QString ImageSaveFileName() const { return imageSaveName_; }
  void StartNewLog1Click();
  void CloseLog1Click();
  void AppendtoLog1Click();
  void ViewLog1Click();
  void EditLog1Click();

  // ---- gradients (MainGradient.cpp) ----
  TfGradient* GradientDialog() const { return fGradient_.get(); }
  TfMultGrad* MultiGradientDialog() const { return fMultGrad_.get(); }
  TImageView* imGrad() const { return imGrad_; }
  // The gradient image: the copy of the designer's picture the thumbnail shows.
  const TPixelBuffer& GradientImage() const { return dibGradient_; }
  void Design1Click();
  void PasteToImage1Click();
  void MergeWithImage1Click();
  void MultiGradient1Click();
  void ColorWheel1Click();
  void Rainbow1Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void FormCreate();
  void BuildMenus();
  void BuildToolBar();
  void BuildTree();
  void BuildStatusBar();
  void BuildCentre();
  void RegisterCursors();
  void StartupMessage();
  void NotYet(QAction* action, const QString& what);

  QAction* AddAction(QMenu* menu, const QString& name, const QString& caption, const QString& shortcut = {});

  void PushUndo();
  void UnDo1Click();
  void ChangeUndoQuantity1Click();
  void UpdateUndoButtons();
  void New1Click();
  void Reset1Click();
  void Exit1Click();
  void Contents1Click();
  void PenModeClick(int index);
  void SaveAsStandIn();

  TEditor editor_;
  TUndoRing undo_;
  std::unique_ptr<QtEditorUi> ownUi_;
  EditorUi* ui_ = nullptr;
  QImage bmpTransfer;  // staging between pictures, the clipboard and the buffers

  QScrollArea* ScrollBox1_ = nullptr;
  QWidget* pnlSine_ = nullptr;
  TImageView* imSine_ = nullptr;
  TImageView* imGrad_ = nullptr;
  TImageView* imBuffer_ = nullptr;
  TLbl3D* lblGrad_ = nullptr;
  TLbl3D* lblBuffer_ = nullptr;
  QTreeWidget* TreeView1_ = nullptr;
  QPushButton* bExpand_ = nullptr;
  QMenu* PopMenu_ = nullptr;
  QToolBar* ToolBar1_ = nullptr;
  QLabel* panels_[5] = {};
  TLogPanel* logPanel_ = nullptr;
  QActionGroup* penGroup_ = nullptr;
  QMap<int, QCursor> cursors_;
  QString startupFile_;
  bool shownOnce_ = false;
  bool startupDone_ = false;

  // MainEffects.cpp
  TApplyHooks EffectHooks();
  void WireEffectCommands();
  void RefreshPanel();
  void TreeDoubleClickApply(QTreeWidgetItem* node);
  void bToolsClick();
  void EnableCommand(const char* name, const std::function<void()>& handler);

  TEffectParams params_;
  // Top-level windows of their own: a disabled main window must not disable them.
  std::unique_ptr<TfToolBox> box_;
  std::unique_ptr<TfFilter> filter_;
  std::unique_ptr<TfrmSizer> sizer_;
  std::unique_ptr<TfTester> tester_;
  std::unique_ptr<TApplyDispatcher> dispatcher_;

  // MainGradient.cpp
  void CreateGradientWindows();
  void StartupGradient();
  bool DesignGradient();
  bool PasteGradient();  // false: no pixels to paste, nothing changed
  void TakeGradient();
  void SyncGradientFields();
  void WriteLine(const std::string& line);

  std::unique_ptr<TfGradient> fGradient_;
  std::unique_ptr<TfMultGrad> fMultGrad_;
  TPixelBuffer dibGradient_;
  bool drawingGradient_ = false;  // Draw Gradient: Design and Paste write no lines

  // MainLog.cpp
  void WireLogCommands();
  void LoadSettingsFile();
  void ApplyWindowPlacement();
  void SaveSettingsFile();
  void ShutdownLog();
  void HideToolBoxForLog();
  void ShowToolBoxAfterLog();
  void SaveImageWithLogName(const QString& fileName);

  std::unique_ptr<TOperationLog> log_;
  TfLog* fLog_ = nullptr;
  TfELog* fELog_ = nullptr;
  TSettings settings_;
  std::string settingsPath_;  // empty: no settings file this run
  bool settingsRead_ = false;
  QString imageSaveName_;
};

}  // namespace vell
