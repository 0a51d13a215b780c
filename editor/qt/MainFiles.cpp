// The main window's file, clipboard, buffer and wallpaper commands, the
// export and paste option dialogs, and Map Texture's dialog.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <cstring>

#include "dialogs/qt/Gif1.h"
#include "dialogs/qt/JpgCval1.h"
#include "dialogs/qt/Lbl3D.h"
#include "dialogs/qt/Texture1.h"
#include "dialogs/qt/Trans1.h"
#include "editor/ApplyRules.h"
#include "editor/ImageCommands.h"
#include "editor/ImageFiles.h"
#include "editor/Wallpaper.h"
#include "editor/qt/VellTileMain.h"

namespace vell {

namespace {

constexpr int kMergeBufferId = 50;

// The clipboard's bitmap, when it holds one.
bool ClipboardPicture(TPixelBuffer& picture) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (data == nullptr || !data->hasImage()) return false;
  const QImage image = clipboard->image().convertToFormat(QImage::Format_BGR888);
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
  picture.Allocate(image.width(), image.height(), 0, 24);
  if (picture.Empty()) return false;
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(picture.Row(y), image.constScanLine(y), static_cast<size_t>(image.width()) * 3);
  return true;
}

void PutOnClipboard(const TPixelBuffer& picture) {
  QImage image;
  TfVellTile::ImageToBitmap(image, picture);
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
}

// The first local file of a drag, or "".
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

void TfVellTile::WireFileCommands() {
  jpgComp_ = std::make_unique<TfJPGComp>(this);
  trans_ = std::make_unique<TfTrans>(this);
  texture_ = std::make_unique<TfTexture>(this);
  gif_ = std::make_unique<TfGif>(this);
  if (settingsRead_) jpgComp_->RestoreText(QString::fromStdString(settings_.Jpeg.JPGComp));
  editor_.JpegQuality = kStartJpegQuality;

  trans_->SetPenColourSource([this] { return box_ ? box_->PenColor() : 0u; });
  trans_->SetChooser([this](uint32_t initial) { return ui_->ChooseColor(initial); });
  texture_->SetLoader([this](const std::string& path, TPixelBuffer& picture, std::string& error) {
    const TImageResult r = ReadImageFile(path, picture);
    error = r.error;
    return r.ok;
  });
  texture_->SetOpenFile([this](const std::string& title, const std::string& filter) {
    TFileRequest request;
    request.title = title;
    request.filter = filter;
    return ui_->OpenFileName(request);
  });
  texture_->SetBufferSource([this]() -> const TPixelBuffer* {
    return editor_.BufferFilled ? &editor_.dibBuffer : nullptr;
  });
  texture_->SetMessageHook([this](const QString& text) { ui_->ShowError(text.toStdString()); });
  jpgComp_->SetMessageHook([this](const QString& text) { ui_->ShowError(text.toStdString()); });

  auto wire = [this](const char* name, const std::function<void()>& handler) {
    QAction* action = findChild<QAction*>(QString::fromLatin1(name));
    if (action == nullptr) return;
    action->setEnabled(true);
    action->setToolTip(action->property("hint").toString().trimmed());
    connect(action, &QAction::triggered, this, handler);
  };
  wire("Open1", [this] { Open1Click(); });
  wire("bOpen", [this] { Open1Click(); });
  wire("SaveAs1", [this] { SaveAs1Click(); });
  wire("bSave", [this] { SaveAs1Click(); });
  wire("Copy1", [this] { Copy1Click(); });
  wire("bCopy", [this] { Copy1Click(); });
  wire("ReplaceImage1", [this] { ReplaceImage1Click(); });
  wire("bPaste", [this] { ReplaceImage1Click(); });
  wire("Transparent1", [this] { Transparent1Click(); });
  wire("CopyImagetoBuffer1", [this] { CopyImagetoBuffer1Click(); });
  wire("bCpyBufr", [this] { CopyImagetoBuffer1Click(); });
  wire("bPstBufr", [this] { PasteBuffertoImage1Click(); });
  wire("LoadBufferfromFile1", [this] { LoadBufferfromFile1Click(); });
  wire("PasteClipboardtoBuffer1", [this] { PasteClipboardtoBuffer1Click(); });
  wire("SetAsWallpaper1", [this] { SetAsWallpaper1Click(); });
  wire("SetJPGCompression1", [this] { SetJPGCompression1Click(); });
  // These two wait for a filled buffer; Merge is the catalogue's effect.
  for (const char* name : {"PasteBuffertoImage1", "CopyBuffertoClipboard1"}) {
    if (QAction* a = findChild<QAction*>(QString::fromLatin1(name))) {
      a->setToolTip(QStringLiteral("Needs a filled buffer"));
      connect(a, &QAction::triggered, this,
              name[0] == 'P' ? std::function<void()>([this] { PasteBuffertoImage1Click(); })
                             : std::function<void()>([this] { CopyBuffertoClipboard1Click(); }));
    }
  }
  // The catalogue's Merge Buffer with its stored percentage, once the buffer is filled.
  if (QAction* merge = findChild<QAction*>(QStringLiteral("MergeBufferWithImage1")))
    connect(merge, &QAction::triggered, this, [this] {
      if (dispatcher_ && box_) dispatcher_->ApplyFromMenu(kMergeBufferId, box_->PanelFields());
    });
  setAcceptDrops(true);
}

void TfVellTile::StoreFileSettings() {
  if (jpgComp_) settings_.Jpeg.JPGComp = jpgComp_->StoredText().toStdString();
}

void TfVellTile::LogLine(const std::string& line) {
  if (editor_.Logging && editor_.WriteLog) editor_.WriteLog(line);
}

bool TfVellTile::ReadPicture(const QString& path, TPixelBuffer& picture) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TImageResult r = ReadImageFile(path.toStdString(), picture);
  QApplication::restoreOverrideCursor();
  if (!r) ui_->ShowError(r.error);
  return r.ok;
}

// --- files ------------------------------------------------------------------

void TfVellTile::Open1Click() {
  TFileRequest request;
  request.title = "Open";
  request.filter = kOpenFilter;
  request.initialDir = editor_.DefaultDirectory;
  const std::optional<std::string> path = ui_->OpenFileName(request);
  if (!path || path->empty()) return;
  OpenImageFile(QString::fromStdString(*path));
}

bool TfVellTile::OpenImageFile(const QString& path) {
  // Read first: a file that cannot be read changes nothing, not even the undo ring.
  TPixelBuffer picture;
  if (!ReadPicture(path, picture)) return false;
  OpenPicture(editor_, std::move(picture));
  DisplayImage(editor_.dibWork);
  const std::string full = QFileInfo(path).absoluteFilePath().toStdString();
  editor_.DefaultDirectory = FolderOf(full);
  LogLine("Open File " + full);
  return true;
}

bool TfVellTile::SaveAs1Click() {
  TFileRequest request;
  request.title = kSaveTitle;
  request.filter = kSaveFilter;
  request.initialDir = editor_.DefaultDirectory;
  request.fileName = imageSaveName_.toStdString();
  request.defaultExt = kSaveDefaultExt;
  request.promptOverwrite = true;
  const std::optional<std::string> chosen = ui_->SaveFileName(request);
  if (!chosen || chosen->empty()) return false;
  const std::string path = QFileInfo(QString::fromStdString(*chosen)).absoluteFilePath().toStdString();
  editor_.DefaultDirectory = FolderOf(path);
  // The dialog keeps the name it was last given.
  imageSaveName_ = QFileInfo(QString::fromStdString(path)).fileName();

  TSaveOptions options;
  options.JpegQuality = editor_.JpegQuality;
  options.ScreenBits = ScreenBitsPerPixel();
  const QAction* show = findChild<QAction*>(QStringLiteral("ShowDialogDuringSave1"));
  if (show != nullptr && show->isChecked()) {
    options.AskGifTransparency = [this](const TGifColorMap& map) {
      gif_->SetColorMap(map);
      TGifChoice choice;
      switch (gif_->Execute()) {
        case TfGif::Ok:
          choice.Kind = TGifChoice::Ok;
          choice.Index = gif_->SelectedIndex();
          break;
        case TfGif::None:
          choice.Kind = TGifChoice::None;
          break;
        case TfGif::Cancel:
          choice.Kind = TGifChoice::Cancel;
          break;
      }
      return choice;
    };
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TSaveResult r = SaveImageFile(path, editor_.dibWork, options);
  QApplication::restoreOverrideCursor();
  if (r.Outcome == TSaveOutcome::Failed) ui_->ShowError(r.Error);
  return r.Outcome == TSaveOutcome::Saved;
}

void TfVellTile::SetJPGCompression1Click() {
  if (const std::optional<int> quality = jpgComp_->Execute()) editor_.JpegQuality = *quality;
}

// --- clipboard --------------------------------------------------------------

void TfVellTile::Copy1Click() {
  PutOnClipboard(editor_.dibWork);
  LogLine("Copy Image to Clipboard");
}

void TfVellTile::ReplaceImage1Click() {
  TPixelBuffer picture;
  if (!ClipboardPicture(picture)) return;
  PictureToImage(editor_, picture);
  DisplayImage(editor_.dibWork);
  LogLine("Paste Clipboard to Image");
}

void TfVellTile::Transparent1Click() {
  TPixelBuffer picture;
  if (!ClipboardPicture(picture)) return;
  const std::optional<TTransChoice> choice = trans_->Execute(LowerLeftColour(picture));
  if (!choice) return;
  PushUndo();
  PasteTransparent(editor_.dibWork, picture, choice->Colour, choice->Resize);
  DisplayImage(editor_.dibWork);
  LogLine("Paste Transparent");
}

// --- buffer -----------------------------------------------------------------

void TfVellTile::EnableBufferItems() {
  editor_.BufferFilled = true;
  for (const char* name : {"PasteBuffertoImage1", "MergeBufferWithImage1", "CopyBuffertoClipboard1"}) {
    QAction* a = findChild<QAction*>(QString::fromLatin1(name));
    if (a == nullptr) continue;
    // Merge runs only where its effect is built.
    if (std::strcmp(name, "MergeBufferWithImage1") == 0 && !EffectAvailable(kMergeBufferId)) continue;
    a->setEnabled(true);
    a->setToolTip(QString());
  }
}

void TfVellTile::SetBufferImage(const TPixelBuffer& picture) {
  PictureToBuffer(editor_, picture);
  imBuffer_->SetBuffer(&editor_.dibBuffer);
  EnableBufferItems();
}

void TfVellTile::CopyImagetoBuffer1Click() {
  SetBufferImage(editor_.dibWork);
  lblBuffer_->setATextStyle(TTextStyle::tsRaised);
  LogLine("Copy Image to Buffer");
}

void TfVellTile::PasteBuffertoImage1Click() {
  PictureToImage(editor_, editor_.dibBuffer);
  DisplayImage(editor_.dibWork);
  LogLine("Paste Buffer to Image");
}

void TfVellTile::LoadBufferfromFile1Click() {
  TFileRequest request;
  request.title = "Open";
  request.filter = kOpenFilter;
  const std::optional<std::string> path = ui_->OpenFileName(request);
  if (!path || path->empty()) return;
  TPixelBuffer picture;
  if (!ReadPicture(QString::fromStdString(*path), picture)) return;
  SetBufferImage(picture);
  LogLine("Load Buffer from File " + QFileInfo(QString::fromStdString(*path)).absoluteFilePath().toStdString());
}

void TfVellTile::CopyBuffertoClipboard1Click() {
  PutOnClipboard(editor_.dibBuffer);
  LogLine("Copy Buffer to Clipboard");
}

void TfVellTile::PasteClipboardtoBuffer1Click() {
  TPixelBuffer picture;
  if (!ClipboardPicture(picture)) return;
  SetBufferImage(picture);
  LogLine("Paste Clipboard to Buffer");
}

// --- wallpaper --------------------------------------------------------------

void TfVellTile::SetAsWallpaper1Click() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TWallpaperResult r = SetAsWallpaper(editor_.dibWork);
  QApplication::restoreOverrideCursor();
  if (!r.ok) ui_->ShowMessage(r.message);
}

// --- Map Texture ------------------------------------------------------------

std::optional<std::pair<const TPixelBuffer*, std::string>> TfVellTile::AskTexture() {
  texture_->SetSourceText("Use Current Texture");
  if (!textureChosen_ && editor_.BufferFilled) {
    texture_->SetTexture(editor_.dibBuffer);
    texture_->SetSourceText("Use Buffer");
    textureChosen_ = true;
  }
  if (!texture_->Execute()) return std::nullopt;
  if (texture_->SourceText() != "Use Current Texture") textureChosen_ = true;
  return std::make_pair(&texture_->Texture(), texture_->SourceText());
}

// --- drag and drop ----------------------------------------------------------

void TfVellTile::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TfVellTile::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenImageFile(path);
}

}  // namespace vell
