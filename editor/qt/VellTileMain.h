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
#include <optional>
#include <string>
#include <utility>

#include "dialogs/qt/About1.h"
#include "dialogs/qt/Filter1.h"
#include "dialogs/qt/Print1.h"
#include "dialogs/qt/Gif1.h"
#include "dialogs/qt/JpgCval1.h"
#include "dialogs/qt/Grad1.h"
#include "dialogs/qt/MultGrad.h"
#include "dialogs/qt/Size1.h"
#include "dialogs/qt/Tester1.h"
#include "dialogs/qt/Texture1.h"
#include "dialogs/qt/Trans1.h"
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
class QPrinter;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vell {

class TLbl3D;
class TCanvasTools;
class TfSelect;
class TfText;
class QtEditorUi;
class TfLog;
class TfELog;
class TfHelp;

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
  void mousePressedAt(Qt::MouseButton button, int x, int y);
  void mouseReleasedAt(Qt::MouseButton button, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

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
  // The width it asks of the bar.
  void SetNominalWidth(int width);
  QSize sizeHint() const override { return {width_, QFrame::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int width_ = 50;
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
  // The help window "&Contents" opened (none until then, or with a browser).
  TfHelp* HelpWindow() const { return help_.get(); }
  // Apply (bGo, the panel's bGo2, Enter in the tree).
  void bGoClick();
  // An Effects-menu item (or its shortcut): applies, then shows its node in the tree.
  void EffectMenuClick(int id);
  // True, after telling the user, while the colour sliders wait for OK or
  // Cancel: commands that change the image wait for them.
  bool SlidersPending();
  void TestTiles1Click();
  // Image > Check Seam: the working image's seam score in status panel 4.
  void CheckSeam1Click();
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

  // ---- printing and the about box (MainPrint.cpp) ----
  TfPrint* PrintDialog() const { return print_.get(); }
  TfAbout* AboutBox() const { return about_.get(); }
  void Print1Click();
  void About1Click();

  // ---- the drawing tools (MainCanvas.cpp) ----
  // The tool buttons: flags, cursor id (-1: text insertion) and ActiveTool.
  void SetTool(bool fill, bool text, int cursor, int tool);
  TCanvasTools& CanvasTools();
  // Mouse handlers; coordinates are the image's (imSine's) own.
  void imSineMouseDown(Qt::MouseButton button, int x, int y);
  void imSineMouseMove(int x, int y);
  void imSineMouseUp(Qt::MouseButton button, int x, int y);
  // The floating text (coordinates inside imText) and the floating paste (inside imPaste).
  void imTextMouseMove(int x, int y);
  void imTextMouseDown(int x, int y);
  void imPasteMouseDown(int x, int y);
  void imPasteMouseMove(int x, int y);
  void imPasteMouseUp(int x, int y);
  void Timer1Timer();
  void AsSelection1Click();  // Edit > Paste > As Selection
  bool WrapDrawing() const;
  void SetWrapDrawing(bool on);  // the Pen menu's check item
  QWidget* imText() const;
  QWidget* pPaste() const;
  QWidget* imPaste() const;
  QTimer* Timer1() const;
  QScrollArea* ScrollBox1() const { return ScrollBox1_; }
  TfText* TextDialog();     // created at its first use, kept
  TfSelect* SelectDialog();

  // ---- image files, clipboard, buffer and wallpaper (MainFiles.cpp) ----
  void Open1Click();
  // Save As; true when the file was written. The dialog offers `presetName`
  // when given, else the name last chosen (or offered by the log viewer).
  bool SaveAs1Click();
  // Opens a file as the working image as Open does (snapshot, log line,
  // default directory); false, with the error shown, when it cannot be read.
  bool OpenImageFile(const QString& path);
  void Copy1Click();
  void ReplaceImage1Click();
  void Transparent1Click();
  void CopyImagetoBuffer1Click();
  void PasteBuffertoImage1Click();
  void LoadBufferfromFile1Click();
  void CopyBuffertoClipboard1Click();
  void PasteClipboardtoBuffer1Click();
  void SetAsWallpaper1Click();
  void SetJPGCompression1Click();
  // The buffer image := picture (24-bit), shown in its thumbnail, and the
  // three buffer items enabled; for any command that fills the buffer.
  void SetBufferImage(const TPixelBuffer& picture);
  // Enables "&Paste Buffer to Image", "&Merge Buffer With Image..." and
  // "Cop&y Buffer to Clipboard" and marks the buffer filled.
  void EnableBufferItems();
  // Map Texture's dialog (the dispatcher's AskTexture).
  std::optional<std::pair<const TPixelBuffer*, std::string>> AskTexture();
  TfJPGComp* JPGCompDialog() const { return jpgComp_.get(); }
  TfTrans* TransDialog() const { return trans_.get(); }
  TfTexture* TextureDialog() const { return texture_.get(); }
  TfGif* GifDialog() const { return gif_.get(); }
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
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
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
  std::unique_ptr<TfHelp> help_;  // the help page's own window, when the desktop has no browser
  void PenModeClick(int index);

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

  // MainCanvas.cpp
  struct TCanvasUi;
  void BuildCanvasTools();
  void WireCanvasTools();  // the tool box's buttons, once it exists
  void CanvasLog(const std::string& line);
  void SelectionToBuffer(const TPixelBuffer& picture);
  void PlaceText(int x, int y);
  std::unique_ptr<TCanvasUi> canvas_;

  std::unique_ptr<TOperationLog> log_;
  TfLog* fLog_ = nullptr;
  TfELog* fELog_ = nullptr;
  TSettings settings_;
  std::string settingsPath_;  // empty: no settings file this run
  bool settingsRead_ = false;
  QString imageSaveName_;

  // MainPrint.cpp
  void WirePrintCommands();
  bool EnsurePrintTarget(QPrinter& printer, bool& ownFile);

  std::unique_ptr<TfPrint> print_;
  std::unique_ptr<TfAbout> about_;

  // MainFiles.cpp
  void WireFileCommands();
  void StoreFileSettings();
  void LogLine(const std::string& line);
  bool ReadPicture(const QString& path, TPixelBuffer& picture);

  std::unique_ptr<TfJPGComp> jpgComp_;
  std::unique_ptr<TfTrans> trans_;
  std::unique_ptr<TfTexture> texture_;
  std::unique_ptr<TfGif> gif_;
  bool textureChosen_ = false;  // Map Texture took the buffer, or the user chose a texture
};

}  // namespace vell
