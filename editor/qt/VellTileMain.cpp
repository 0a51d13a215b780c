#include "editor/qt/VellTileMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cstring>

#include "dialogs/qt/Lbl3D.h"
#include "imaging/Seam.h"
#include "editor/EffectCatalogue.h"
#include "editor/HelpFiles.h"
#include "editor/qt/HelpView.h"
#include "editor/qt/MainCanvas.h"
#include "editor/qt/QtEditorUi.h"

// Resources live in this static library; they must be registered by hand.
static void InitVellTileResources() { Q_INIT_RESOURCE(VellTile); }

namespace vell {

namespace {

// The window's own start-up message, posted once on the first show.
const QEvent::Type kStartupMessage = static_cast<QEvent::Type>(QEvent::User + 1025);

const char kNotYet[] = "Not available yet";

// Tree items sort by text ignoring letter case.
class TTreeNode : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
  }
};

// Swallows Enter in the tree (Apply's key).
class TTreeKeys : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

// A status panel: as wide as its nominal width (or its widest text) when the
// bar has room; squeezed by a window narrower than the bar (a desktop that
// ignores the window's minimum width), it shortens its text with an
// ellipsis rather than running into its neighbours.
//
// The activity panel is the one that gives way first: it may shrink down to
// `least` pixels while the others keep their widths.
class TStatusPanel : public QLabel {
 public:
  TStatusPanel(int width, int least, QWidget* parent) : QLabel(parent), width_(width), least_(least) {
    setSizePolicy(least < width ? QSizePolicy::Preferred : QSizePolicy::Fixed, QSizePolicy::Preferred);
  }
  QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return {least_, QLabel::sizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
  }

 private:
  int width_, least_;
};

struct TCursorSpec {
  int id;
  const char* name;
  int hotX, hotY;
};
constexpr TCursorSpec kCursors[] = {
    {10, "BRUSH", 2, 29}, {11, "ELLIP", 15, 15}, {12, "RECT", 15, 15}, {13, "LINE", 15, 15},
    {14, "FILL", 3, 28},  {15, "CROP", 15, 15},  {16, "EYEDROP", 2, 29},
};

const char* const kPenModes[12] = {"Normal",      "MaskNotPen", "MaskPen",     "MaskPenNot",
                                   "MergeNotPen", "MergePen",   "MergePenNot", "NotCopyPen",
                                   "NotMaskPen",  "NotMergePen", "NotXORPen",  "XORPen"};

}  // namespace

// --- TImageView -------------------------------------------------------------

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void TImageView::SetBuffer(const TPixelBuffer* buffer) {
  buffer_ = buffer;
  Wrap();
  update();
}

void TImageView::Wrap() {
  if (buffer_ == nullptr || buffer_->Empty() || buffer_->BitCount() != 24) {
    picture_ = QImage();
    wrappedBits_ = nullptr;
    return;
  }
  if (buffer_->Bits() == wrappedBits_ && buffer_->Width() == wrappedWidth_ && buffer_->Height() == wrappedHeight_ &&
      buffer_->BytesPerLine() == wrappedStride_)
    return;
  wrappedBits_ = buffer_->Bits();
  wrappedWidth_ = buffer_->Width();
  wrappedHeight_ = buffer_->Height();
  wrappedStride_ = buffer_->BytesPerLine();
  // Rows are B,G,R, padded to 4 bytes: exactly Format_BGR888 with that stride.
  picture_ = QImage(wrappedBits_, wrappedWidth_, wrappedHeight_, wrappedStride_, QImage::Format_BGR888);
}

const QImage& TImageView::Picture() {
  Wrap();
  return picture_;
}

void TImageView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  Wrap();
  if (picture_.isNull()) {
    painter.fillRect(rect(), palette().color(QPalette::Window));
    return;
  }
  if (stretched_) {
    painter.drawImage(rect(), picture_);
  } else {
    // Only the area asked for: a stroke repaints its own few pixels.
    const QRect area = event->rect() & picture_.rect();
    if (!area.isEmpty()) painter.drawImage(area.topLeft(), picture_, area);
    // Anything beyond the picture (never, when sized to it) stays neutral.
    if (width() > picture_.width()) painter.fillRect(picture_.width(), 0, width() - picture_.width(), height(), Qt::gray);
    if (height() > picture_.height())
      painter.fillRect(0, picture_.height(), picture_.width(), height() - picture_.height(), Qt::gray);
  }
}

void TImageView::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }

void TImageView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mousePressedAt(event->button(), p.x(), p.y());
}

void TImageView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouseReleasedAt(event->button(), p.x(), p.y());
}

void TImageView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouseMovedTo(p.x(), p.y());
}

// --- TLogPanel --------------------------------------------------------------

TLogPanel::TLogPanel(QWidget* parent) : QFrame(parent), icon_(QStringLiteral(":/images/logging.png")) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void TLogPanel::SetNominalWidth(int width) {
  width_ = width;
  updateGeometry();
}

void TLogPanel::SetLogging(bool logging) {
  logging_ = logging;
  update();
}

void TLogPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QFontMetrics fm(font());
  painter.setPen(palette().color(QPalette::WindowText));
  // Icon at (5, top + 1), text at (18 or 5, top + 2), with `top` chosen so the text is centred.
  const int top = (height() - fm.height()) / 2 - 2;
  // Squeezed below its width, the text is shortened rather than cut.
  const int left = logging_ ? 18 : 5;
  const QString text = fm.elidedText(Text(), Qt::ElideRight, std::max(0, width() - left - 3));
  if (logging_) painter.drawPixmap(5, top + 1, icon_);
  painter.drawText(left, top + 2 + fm.ascent(), text);
}

// --- TfVellTile -------------------------------------------------------------

TfVellTile::TfVellTile(EditorUi* ui, QWidget* parent) : QMainWindow(parent) {
  InitVellTileResources();
  if (ui == nullptr) {
    ownUi_ = std::make_unique<QtEditorUi>(this);
    ui_ = ownUi_.get();
  } else {
    ui_ = ui;
  }
  setObjectName(QStringLiteral("fVellTile"));
  setWindowTitle(QStringLiteral("Quilo"));
  setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
  FormCreate();
}

TfVellTile::~TfVellTile() {
  StoreFileSettings();
  SaveSettingsFile();
  ShutdownLog();
  // Nothing else may paint from the buffers once they go.
  imSine_->SetBuffer(nullptr);
  imBuffer_->SetBuffer(nullptr);
  imGrad_->SetBuffer(nullptr);
}

void TfVellTile::FormCreate() {
  editor_.JpegQuality = kStartJpegQuality;
  BuildCentre();
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  BuildTree();

  editor_.CreateImages();
  DisplayImage(editor_.dibWork);
  imBuffer_->SetBuffer(&editor_.dibBuffer);

  editor_.PenModeIndex = 0;
  editor_.Logging = false;
  WireLogCommands();
  WirePrintCommands();
  LoadSettingsFile();
  // Every change of the working image snapshots it first.
  editor_.PushUndo = [this] { PushUndo(); };
  // Effects, their bracket and UnDo go through the dispatcher from the start.
  dispatcher_ = std::make_unique<TApplyDispatcher>(editor_, params_, undo_, EffectHooks());
  editor_.EffectType = NoEffect;
  editor_.EffectName.clear();
  RegisterCursors();
  BuildCanvasTools();
  undo_.SetMaxUndo(editor_.MaxUndo);
  UpdateUndoButtons();
  WireFileCommands();
  resize(860, 640);
  ApplyWindowPlacement();
}

// The main area: the tree and thumbnails on the left, the image on the right.
void TfVellTile::BuildCentre() {
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(4, 4, 4, 4);
  row->setSpacing(4);

  auto* left = new QWidget(central);
  left->setFixedWidth(216);
  auto* column = new QVBoxLayout(left);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(4);

  auto* treeHead = new QHBoxLayout();
  treeHead->setSpacing(2);
  auto* treeTitle = new TLbl3D(QStringLiteral("Effects"), left);
  treeTitle->setATextStyle(TTextStyle::tsRaised);
  QFont bold = treeTitle->font();
  bold.setBold(true);
  treeTitle->setFont(bold);
  treeTitle->setFixedHeight(22);
  bExpand_ = new QPushButton(QStringLiteral("E"), left);
  bExpand_->setObjectName(QStringLiteral("bExpand"));
  bExpand_->setToolTip(QStringLiteral("Expand/Collapse Tree branches"));
  bExpand_->setFixedSize(22, 22);
  connect(bExpand_, &QPushButton::clicked, this, [this] { bExpandClick(); });
  treeHead->addWidget(treeTitle, 1);
  treeHead->addWidget(bExpand_);
  column->addLayout(treeHead);

  TreeView1_ = new QTreeWidget(left);
  TreeView1_->setObjectName(QStringLiteral("TreeView1"));
  TreeView1_->setHeaderHidden(true);
  TreeView1_->setIndentation(19);
  TreeView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView1_->installEventFilter(new TTreeKeys(TreeView1_));
  column->addWidget(TreeView1_, 1);

  auto* thumbs = new QFrame(left);
  thumbs->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  auto* thumbsColumn = new QVBoxLayout(thumbs);
  thumbsColumn->setContentsMargins(4, 2, 4, 4);
  thumbsColumn->setSpacing(2);
  auto* thumbsTitle = new TLbl3D(QStringLiteral("Thumbnail Previews"), thumbs);
  thumbsTitle->setATextStyle(TTextStyle::tsRaised);
  thumbsTitle->setFixedHeight(18);
  thumbsColumn->addWidget(thumbsTitle);
  auto* pair = new QHBoxLayout();
  pair->setSpacing(8);
  auto makeThumb = [&](const QString& name, const QString& caption, TImageView*& view, TLbl3D*& label) {
    auto* box = new QVBoxLayout();
    box->setSpacing(1);
    auto* frame = new QFrame(thumbs);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    frame->setFixedSize(67, 67);
    frame->setBackgroundRole(QPalette::Mid);  // an empty thumbnail reads as a slot, not a picture
    frame->setAutoFillBackground(true);
    view = new TImageView(frame);
    view->setObjectName(name);
    view->SetStretched(true);
    view->setGeometry(1, 1, 65, 65);
    label = new TLbl3D(caption, thumbs);
    label->setObjectName(QStringLiteral("lbl") + caption);
    label->setFixedSize(67, 16);
    box->addWidget(frame, 0, Qt::AlignHCenter);
    box->addWidget(label, 0, Qt::AlignHCenter);
    pair->addLayout(box);
  };
  makeThumb(QStringLiteral("imGrad"), QStringLiteral("Gradient"), imGrad_, lblGrad_);
  makeThumb(QStringLiteral("imBuffer"), QStringLiteral("Buffer"), imBuffer_, lblBuffer_);
  thumbsColumn->addLayout(pair);
  column->addWidget(thumbs);
  // The gradient thumbnail stays empty until a gradient exists.
  imGrad_->setVisible(false);
  connect(imGrad_, &TImageView::doubleClicked, this, [this] {
    if (QAction* a = findChild<QAction*>(QStringLiteral("PasteToImage1")); a && a->isEnabled()) a->trigger();
  });
  connect(imBuffer_, &TImageView::doubleClicked, this, [this] {
    if (QAction* a = findChild<QAction*>(QStringLiteral("PasteBuffertoImage1")); a && a->isEnabled()) a->trigger();
  });

  ScrollBox1_ = new QScrollArea(central);
  ScrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1_->setAlignment(Qt::AlignCenter);
  ScrollBox1_->setWidgetResizable(false);
  ScrollBox1_->setBackgroundRole(QPalette::Dark);
  pnlSine_ = new QWidget();
  pnlSine_->setObjectName(QStringLiteral("pnlSine"));
  imSine_ = new TImageView(pnlSine_);
  imSine_->setObjectName(QStringLiteral("imSine"));
  imSine_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(imSine_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { PopMenu_->popup(imSine_->mapToGlobal(p)); });
  connect(imSine_, &TImageView::mouseMovedTo, this, [this](int x, int y) {
    SetStatusText(2, QStringLiteral("X: %1").arg(x));
    SetStatusText(3, QStringLiteral("Y: %1").arg(y));
  });
  ScrollBox1_->setWidget(pnlSine_);

  row->addWidget(left);
  row->addWidget(ScrollBox1_, 1);
  setCentralWidget(central);
}

void TfVellTile::NotYet(QAction* action, const QString& what) {
  action->setEnabled(false);
  action->setToolTip(what.isEmpty() ? QString::fromLatin1(kNotYet) : what + QStringLiteral(": ") + kNotYet);
}

QAction* TfVellTile::AddAction(QMenu* menu, const QString& name, const QString& caption, const QString& shortcut) {
  QAction* a = menu->addAction(caption);
  a->setObjectName(name);
  if (!shortcut.isEmpty()) a->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
  return a;
}

void TfVellTile::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto addMenu = [&](QMenu* parent, const QString& name, const QString& caption) {
    QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
    m->setObjectName(name);
    m->setToolTipsVisible(true);
    return m;
  };
  auto later = [&](QMenu* menu, const QString& name, const QString& caption, const QString& shortcut = {}) {
    QAction* a = AddAction(menu, name, caption, shortcut);
    NotYet(a, {});
    return a;
  };

  // File
  QMenu* file = addMenu(nullptr, QStringLiteral("File1"), QStringLiteral("&File"));
  later(file, QStringLiteral("Open1"), QStringLiteral("&Open"));
  QAction* newAction = AddAction(file, QStringLiteral("New1"), QStringLiteral("&New"));
  connect(newAction, &QAction::triggered, this, [this] { New1Click(); });
  later(file, QStringLiteral("SaveAs1"), QStringLiteral("&Save As..."));
  later(file, QStringLiteral("Print1"), QStringLiteral("&Print..."));
  file->addSeparator();
  QMenu* log = addMenu(file, QStringLiteral("Log1"), QStringLiteral("&Log"));
  later(log, QStringLiteral("StartNewLog1"), QStringLiteral("Start &New Log"));
  later(log, QStringLiteral("CloseLog1"), QStringLiteral("&Close Log"));
  later(log, QStringLiteral("AppendtoLog1"), QStringLiteral("&Append to Log"));
  later(log, QStringLiteral("ViewLog1"), QStringLiteral("&View Log"));
  later(log, QStringLiteral("EditLog1"), QStringLiteral("&Edit Log"));
  file->addSeparator();
  QAction* exitAction = AddAction(file, QStringLiteral("Exit1"), QStringLiteral("E&xit"));
  connect(exitAction, &QAction::triggered, this, [this] { Exit1Click(); });

  // Edit
  QMenu* edit = addMenu(nullptr, QStringLiteral("Edit1"), QStringLiteral("&Edit"));
  QAction* undoAction = AddAction(edit, QStringLiteral("UnDo1"), QStringLiteral("UnDo"), QStringLiteral("Ctrl+Z"));
  connect(undoAction, &QAction::triggered, this, [this] { UnDo1Click(); });
  later(edit, QStringLiteral("Copy1"), QStringLiteral("&Copy"), QStringLiteral("Ctrl+C"));
  QMenu* paste = addMenu(edit, QStringLiteral("Paste1"), QStringLiteral("&Paste"));
  later(paste, QStringLiteral("AsSelection1"), QStringLiteral("As &Selection"));
  later(paste, QStringLiteral("ReplaceImage1"), QStringLiteral("Re&place Image"), QStringLiteral("Ctrl+V"));
  later(paste, QStringLiteral("Transparent1"), QStringLiteral("&Transparent"));
  edit->addSeparator();
  QAction* resetAction = AddAction(edit, QStringLiteral("Reset1"), QStringLiteral("&Reset"));
  connect(resetAction, &QAction::triggered, this, [this] { Reset1Click(); });

  // Gradient
  QMenu* gradient = addMenu(nullptr, QStringLiteral("Gradient1"), QStringLiteral("&Gradient"));
  later(gradient, QStringLiteral("TwoColor1"), QStringLiteral("&Two-Color..."));
  NotYet(AddAction(gradient, QStringLiteral("PasteToImage1"), QStringLiteral("&Paste To Image")),
         QStringLiteral("Needs a gradient"));
  NotYet(AddAction(gradient, QStringLiteral("MergeWithImage1"), QStringLiteral("&Merge With Image")),
         QStringLiteral("Needs a gradient"));
  later(gradient, QStringLiteral("MultiColor1"), QStringLiteral("&Multi-Color..."));

  // Buffer
  QMenu* buffer = addMenu(nullptr, QStringLiteral("Buffer1"), QStringLiteral("&Buffer"));
  later(buffer, QStringLiteral("CopyImagetoBuffer1"), QStringLiteral("&Copy Image to Buffer"));
  later(buffer, QStringLiteral("PasteBuffertoImage1"), QStringLiteral("&Paste Buffer to Image"));
  later(buffer, QStringLiteral("MergeBufferWithImage1"), QStringLiteral("&Merge Buffer With Image..."));
  later(buffer, QStringLiteral("CopyBuffertoClipboard1"), QStringLiteral("Cop&y Buffer to Clipboard"));
  buffer->addSeparator();
  later(buffer, QStringLiteral("LoadBufferfromFile1"), QStringLiteral("&Load Buffer from File"));
  later(buffer, QStringLiteral("PasteClipboardtoBuffer1"), QStringLiteral("P&aste Clipboard to Buffer"));

  // Image
  QMenu* image = addMenu(nullptr, QStringLiteral("Image1"), QStringLiteral("&Image"));
  later(image, QStringLiteral("TestTiles1"), QStringLiteral("&Test Tiles"));
  QMenu* seamless = addMenu(image, QStringLiteral("Seamless1"), QStringLiteral("&Seamless"));
  QMenu* edgeMerge = addMenu(seamless, QStringLiteral("EdgeMerge1"), QStringLiteral("Edge &Merge"));
  later(edgeMerge, QStringLiteral("EdgeMerge16"), QStringLiteral("1/1&6"));
  later(edgeMerge, QStringLiteral("EdgeMerge8"), QStringLiteral("1/&8"));
  later(edgeMerge, QStringLiteral("EdgeMerge4"), QStringLiteral("1/&4"));
  later(seamless, QStringLiteral("FourWayFlip1"), QStringLiteral("4 Way &Flip"));
  QAction* checkSeam = AddAction(image, QStringLiteral("CheckSeam1"), QStringLiteral("Check &Seam"));
  checkSeam->setStatusTip(QStringLiteral(
      "Measure how visible the seam is when the image repeats: about 1 or less is seamless, well above 1 a visible seam"));
  checkSeam->setToolTip(checkSeam->statusTip());
  connect(checkSeam, &QAction::triggered, this, [this] { CheckSeam1Click(); });
  image->addSeparator();
  later(image, QStringLiteral("SetAsWallpaper1"), QStringLiteral("Set As &Wallpaper"));

  // Effects: one submenu per category, the catalogue's items with their keys.
  QMenu* effects = addMenu(nullptr, QStringLiteral("Effects1"), QStringLiteral("Effec&ts"));
  for (int c = 0; c < EffectCategoryCount; ++c) {
    const TEffectCategory category = EffectCategoryAt(c);
    QMenu* sub = addMenu(effects, QStringLiteral("Effects") + QString::number(c),
                         QString::fromUtf8(EffectCategoryMenuCaption(category).data(),
                                           static_cast<qsizetype>(EffectCategoryMenuCaption(category).size())));
    for (const TEffectEntry& e : EffectCatalogue()) {
      if (e.Category != category) continue;
      QAction* a = AddAction(sub, QStringLiteral("Effect%1").arg(e.Id), QString::fromUtf8(e.MenuCaption),
                             QString::fromUtf8(e.Shortcut));
      a->setData(e.Id);
      NotYet(a, QStringLiteral("Applying effects"));
    }
  }

  // Pen: the raster operation of freehand strokes and lines.
  QMenu* pen = addMenu(nullptr, QStringLiteral("Pen1"), QStringLiteral("&Pen"));
  penGroup_ = new QActionGroup(this);
  penGroup_->setExclusive(true);
  for (int i = 0; i < 12; ++i) {
    QAction* a = AddAction(pen, QStringLiteral("Pen%1").arg(i), QString::fromLatin1(kPenModes[i]));
    a->setCheckable(true);
    a->setChecked(i == 0);
    penGroup_->addAction(a);
    connect(a, &QAction::triggered, this, [this, i] { PenModeClick(i); });
  }

  // Options
  QMenu* options = addMenu(nullptr, QStringLiteral("Options1"), QStringLiteral("&Options"));
  later(options, QStringLiteral("SetJPGCompression1"), QStringLiteral("Set &JPG Compression"));
  QMenu* gif = addMenu(options, QStringLiteral("GIFTransparency1"), QStringLiteral("&GIF Transparency..."));
  auto* gifGroup = new QActionGroup(this);
  QAction* showGif = AddAction(gif, QStringLiteral("ShowDialogDuringSave1"), QStringLiteral("&Show Dialog During Save"));
  QAction* hideGif = AddAction(gif, QStringLiteral("HideDialogDuringSave1"), QStringLiteral("&Hide Dialog During Save"));
  for (QAction* a : {showGif, hideGif}) {
    a->setCheckable(true);
    gifGroup->addAction(a);
  }
  hideGif->setChecked(true);
  QMenu* logFile = addMenu(options, QStringLiteral("LogFile1"), QStringLiteral("&Log File"));
  QAction* withLog = AddAction(logFile, QStringLiteral("SaveImagewithLogFileName1"),
                               QStringLiteral("Save Image with Log File Name"));
  withLog->setCheckable(true);
  withLog->setChecked(editor_.SaveWithLogName);
  connect(withLog, &QAction::toggled, this, [this](bool on) { editor_.SaveWithLogName = on; });
  QAction* undoQuantity = AddAction(options, QStringLiteral("ChangeUndoQuantity1"),
                                    QString::fromLatin1(UndoQuantityMenuCaption.data(),
                                                        static_cast<qsizetype>(UndoQuantityMenuCaption.size())));
  connect(undoQuantity, &QAction::triggered, this, [this] { ChangeUndoQuantity1Click(); });
  QAction* prompt = AddAction(options, QStringLiteral("PromptforSave1"), QStringLiteral("&Prompt for Save At Termination"));
  prompt->setCheckable(true);
  prompt->setChecked(editor_.PromptForSave);
  connect(prompt, &QAction::toggled, this, [this](bool on) { editor_.PromptForSave = on; });
  options->addSeparator();
  later(options, QStringLiteral("PrintShortcutKeyList1"), QStringLiteral("Print &Shortcut Key List"));

  // Help
  QMenu* help = addMenu(nullptr, QStringLiteral("Help1"), QStringLiteral("&Help"));
  QAction* contents = AddAction(help, QStringLiteral("Contents1"), QStringLiteral("&Contents"));
  connect(contents, &QAction::triggered, this, [this] { Contents1Click(); });
  later(help, QStringLiteral("About1"), QStringLiteral("&About"));

  // The image's context menu.
  PopMenu_ = new QMenu(this);
  PopMenu_->setObjectName(QStringLiteral("PopMenu"));
  PopMenu_->setToolTipsVisible(true);
  later(PopMenu_, QStringLiteral("ColorWheel1"), QStringLiteral("Color Wheel"));
  later(PopMenu_, QStringLiteral("MultiGradient1"), QStringLiteral("Multi Gradient..."));
  later(PopMenu_, QStringLiteral("Rainbow1"), QStringLiteral("Rainbow"));
  PopMenu_->addSeparator();
  later(PopMenu_, QStringLiteral("Resize1"), QStringLiteral("Resize..."));
}

void TfVellTile::BuildToolBar() {
  ToolBar1_ = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1_->setMovable(false);
  ToolBar1_->setIconSize(QSize(16, 16));

  // Twelve 16 x 16 glyphs cut from one strip; silver is the see-through colour.
  QPixmap strip(QStringLiteral(":/images/glyphs.png"));
  QList<QIcon> glyphs;
  for (int i = 0; i < 12; ++i) {
    QPixmap glyph = strip.copy(i * 16, 0, 16, 16);
    glyph.setMask(glyph.createMaskFromColor(QColor(192, 192, 192)));
    glyphs << QIcon(glyph);
  }

  struct TButton {
    const char* name;
    const char* hint;
    int glyph;  // -1: text button
  };
  const TButton buttons[] = {
      {"bOpen", "Open a File...", 0},
      {"bSave", "Save File As...", 1},
      {"bCopy", "Copy To Clipboard", 2},
      {"bPaste", "Paste From Clipboard", 3},
      {"bTools", "Show/Hide Toolbox", 4},
      {"bColor", "Show/Hide Color Sliders on Toolbox", 5},
      {"bGo", "Apply Current Effect", -1},
      {"bUndo", "UnDo ", 6},
      {"bPrint", "Print...", 7},
      {"bPstGrad", "Paste Gradient to Image", 8},
      {"bCpyBufr", "Copy Image to Buffer", 9},
      {"bPstBufr", "Paste Buffer to Image", 10},
      {"bPreview", "Test Tiles", 11},
  };
  for (const TButton& b : buttons) {
    QAction* a = b.glyph < 0 ? ToolBar1_->addAction(QStringLiteral("Apply"))
                             : ToolBar1_->addAction(glyphs[b.glyph], QString());
    a->setObjectName(QString::fromLatin1(b.name));
    a->setProperty("hint", QString::fromLatin1(b.hint));
    if (QString::fromLatin1(b.name) == QStringLiteral("bUndo")) {
      a->setToolTip(QString::fromLatin1(b.hint).trimmed());
      a->setEnabled(false);  // until the first snapshot
      connect(a, &QAction::triggered, this, [this] { UnDo1Click(); });
    } else {
      a->setEnabled(false);
      a->setToolTip(QString::fromLatin1(b.hint).trimmed() + QStringLiteral(" (") + kNotYet + QStringLiteral(")"));
    }
    if (QString::fromLatin1(b.name) == QStringLiteral("bGo") || QString::fromLatin1(b.name) == QStringLiteral("bColor") ||
        QString::fromLatin1(b.name) == QStringLiteral("bUndo") || QString::fromLatin1(b.name) == QStringLiteral("bPrint"))
      ToolBar1_->insertSeparator(a);
  }
}

void TfVellTile::BuildTree() {
  TreeView1_->clear();
  QTreeWidgetItem* categories[EffectCategoryCount] = {};
  for (int c = 0; c < EffectCategoryCount; ++c) {
    const std::string_view name = EffectCategoryName(EffectCategoryAt(c));
    categories[c] = new TTreeNode(TreeView1_, QStringList(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
  }
  for (const TEffectEntry& e : EffectCatalogue())
    new TTreeNode(categories[static_cast<int>(e.Category)], QStringList(QString::fromUtf8(e.TreeName)));
  TreeView1_->setSortingEnabled(true);
  TreeView1_->sortByColumn(0, Qt::AscendingOrder);

  connect(TreeView1_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { TreeView1Change(current); });
  connect(TreeView1_, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* item, int) { TreeView1Change(item); });
  connect(TreeView1_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item, int) { TreeView1DblClick(item); });
}

void TfVellTile::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("stBar"));
  bar->setSizeGripEnabled(true);
  const int widths[5] = {75, 75, 50, 50, 175};
  // The widest text each panel shows; a panel never gets narrower than its width.
  const char* widest[5] = {"Width: 00000", "Height: 00000", "X: 00000", "Y: 00000", ""};
  const QFontMetrics fm(bar->font());
  for (int i = 0; i < 5; ++i) {
    const int width = std::max(widths[i], fm.horizontalAdvance(QString::fromLatin1(widest[i])) + 12);
    auto* label = new TStatusPanel(width, i == 4 ? fm.horizontalAdvance(QStringLiteral("Idle...")) + 12 : width, bar);
    label->setObjectName(QStringLiteral("stPanel%1").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(3, 0, 3, 0);
    bar->addWidget(label);
    panels_[i] = label;
  }
  logPanel_ = new TLogPanel(bar);
  logPanel_->setObjectName(QStringLiteral("stPanel5"));
  logPanel_->SetNominalWidth(std::max(50, fm.horizontalAdvance(QStringLiteral("Not Logging")) + 12));
  bar->addWidget(logPanel_, 0);
  auto* filler = new QLabel(bar);
  filler->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bar->addWidget(filler, 1);
  SetStatusText(2, QStringLiteral("X: 0"));
  SetStatusText(3, QStringLiteral("Y: 0"));
  SetStatusText(4, QStringLiteral("Idle..."));
}

void TfVellTile::RegisterCursors() {
  for (const TCursorSpec& c : kCursors) {
    const QPixmap pixmap(QStringLiteral(":/cursors/") + QString::fromLatin1(c.name).toLower() + QStringLiteral(".png"));
    cursors_.insert(c.id, pixmap.isNull() ? QCursor(Qt::CrossCursor) : QCursor(pixmap, c.hotX, c.hotY));
  }
  imSine_->setCursor(cursors_.value(10));
}

const QCursor* TfVellTile::ToolCursor(int id) const {
  auto it = cursors_.constFind(id);
  return it == cursors_.constEnd() ? nullptr : &it.value();
}

// --- images on screen -------------------------------------------------------

void TfVellTile::DisplayImage(const TPixelBuffer& buffer) {
  const QSize size(buffer.Width(), buffer.Height());
  if (pnlSine_->size() != size) pnlSine_->resize(size);
  if (imSine_->size() != size) imSine_->setGeometry(0, 0, size.width(), size.height());
  SetStatusText(0, QStringLiteral("Width: %1").arg(buffer.Width()));
  SetStatusText(1, QStringLiteral("Height: %1").arg(buffer.Height()));
  imSine_->SetBuffer(&buffer);
  imSine_->repaint();
}

// The dispatcher's bracket is the only one: the window's commands use it too.
void TfVellTile::BeginEffect() { dispatcher_->BeginEffect(); }

void TfVellTile::EndEffect() { dispatcher_->EndEffect(); }

void TfVellTile::ImageToBitmap(QImage& bitmap, const TPixelBuffer& buffer) {
  bitmap = QImage(buffer.Width(), buffer.Height(), QImage::Format_BGR888);
  if (bitmap.isNull() || buffer.Empty()) return;
  for (int y = 0; y < buffer.Height(); ++y) {
    if (buffer.BitCount() == 24) {
      std::memcpy(bitmap.scanLine(y), buffer.Row(y), static_cast<size_t>(buffer.Width()) * 3);
    } else {
      uchar* d = bitmap.scanLine(y);
      for (int x = 0; x < buffer.Width(); ++x) buffer.ReadPixel(y, x, d[3 * x], d[3 * x + 1], d[3 * x + 2]);
    }
  }
}

// --- status bar -------------------------------------------------------------

QString TfVellTile::StatusText(int panel) const {
  if (panel >= 0 && panel < 5) return panels_[panel]->text();
  if (panel == 5) return logPanel_->Text();
  return {};
}

void TfVellTile::CheckSeam1Click() {
  SetStatusText(4, QString::fromStdString(SeamScoreText(MeasureSeam(editor_.dibWork))));
}

void TfVellTile::SetStatusText(int panel, const QString& text) {
  if (panel >= 0 && panel < 5) panels_[panel]->setText(text);
}

void TfVellTile::SetLogging(bool logging) {
  editor_.Logging = logging;
  logPanel_->SetLogging(logging);
  statusBar()->update();
}

// --- effect tree ------------------------------------------------------------

void TfVellTile::TreeView1Change(QTreeWidgetItem* node) {
  if (node == nullptr) return;
  const QString text = node->text(0);
  const int id = EffectIdFromName(text.toStdString());
  editor_.SelectEffect(id, text.toStdString());
  SetStatusText(4, QString::fromStdString(editor_.ActivityText()));
  RefreshPanel();
}

void TfVellTile::TreeView1DblClick(QTreeWidgetItem* node) { TreeDoubleClickApply(node); }

void TfVellTile::bExpandClick() {
  if (bExpand_->text() == QStringLiteral("E")) {
    TreeView1_->expandAll();
    bExpand_->setText(QStringLiteral("C"));
  } else {
    TreeView1_->collapseAll();
    bExpand_->setText(QStringLiteral("E"));
  }
}

// --- start-up ---------------------------------------------------------------

void TfVellTile::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  setEnabled(true);
  if (box_ && editor_.ToolboxShown) box_->show();
  if (!shownOnce_) {
    shownOnce_ = true;
    QApplication::postEvent(this, new QEvent(kStartupMessage));
  }
}

bool TfVellTile::event(QEvent* event) {
  if (event->type() == kStartupMessage) {
    StartupMessage();
    return true;
  }
  return QMainWindow::event(event);
}

void TfVellTile::StartupMessage() {
  if (startupDone_) return;
  startupDone_ = true;
  QApplication::processEvents();
  StartupGradient();
  if (!startupFile_.isEmpty()) LoadStartupFile(startupFile_);
}

bool TfVellTile::LoadStartupFile(const QString& path) {
  TPixelBuffer picture;
  if (!ReadPicture(path, picture)) return false;
  editor_.InstallLoadedImage(std::move(picture));
  DisplayImage(editor_.dibWork);
  return true;
}

// --- commands ---------------------------------------------------------------

void TfVellTile::PushUndo() {
  undo_.PushUndo(editor_.dibWork);
  UpdateUndoButtons();
}

void TfVellTile::UpdateUndoButtons() {
  if (QAction* b = findChild<QAction*>(QStringLiteral("bUndo"))) b->setEnabled(undo_.CanUndo());
}

void TfVellTile::UnDo1Click() {
  if (SlidersPending()) return;
  // With nothing to undo the command only redisplays the image.
  dispatcher_->Undo();
  UpdateUndoButtons();
}

void TfVellTile::ChangeUndoQuantity1Click() {
  const std::string current = std::to_string(undo_.MaxUndo());
  // Cancel counts as the pre-filled text, which changes nothing.
  const std::string answer =
      ui_->InputBox(std::string(UndoQuantityTitle), std::string(UndoQuantityPrompt), current).value_or(current);
  int newMax = 0;
  std::string message;
  const TUndoRoom room{editor_.dibWork.Width(), editor_.dibWork.Height(), undo_.Budget()};
  switch (JudgeUndoQuantity(answer, undo_.MaxUndo(), newMax, message, room)) {
    case TUndoQuantityAnswer::NotInteger:
      ui_->ShowError(message);
      return;
    case TUndoQuantityAnswer::TooSmall:
    case TUndoQuantityAnswer::TooMany:
      ui_->ShowMessage(message);
      return;
    case TUndoQuantityAnswer::Same:
      return;
    case TUndoQuantityAnswer::AskConfirm:
      if (ui_->MessageBox(std::string(UndoQuantityConfirm), TMsgButtons::YesNo, TMsgKind::Confirmation) !=
          TMsgResult::Yes)
        return;
      undo_.SetMaxUndo(newMax);
      editor_.MaxUndo = undo_.MaxUndo();
      UpdateUndoButtons();
      return;
  }
}

void TfVellTile::New1Click() {
  if (SlidersPending()) return;
  // The brush colour comes from the parameter panel; black until it exists.
  editor_.New(box_ ? box_->BrushColor() : 0x000000);
  DisplayImage(editor_.dibWork);
}

void TfVellTile::Reset1Click() {
  if (SlidersPending()) return;
  editor_.Reset();
  DisplayImage(editor_.dibWork);
}

void TfVellTile::Exit1Click() { close(); }

void TfVellTile::Contents1Click() {
  const std::string exeFolder = QApplication::applicationDirPath().toStdString();
  const std::optional<std::string> page = FindHelpPage(exeFolder, LogFolderOf(log_->Path()));
  if (!page) {
    ui_->ShowError(std::string("The help page ") + kHelpPageName + " is not in the program's folder " + exeFolder +
                   ".");
    return;
  }
  const QString path = QString::fromStdString(*page);
  if (DesktopHasBrowser() && QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
  // No browser on this desktop: the page is shown here.
  if (!help_) help_ = std::make_unique<TfHelp>();
  help_->ShowPage(path);
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void TfVellTile::PenModeClick(int index) { editor_.PenModeIndex = index; }

void TfVellTile::closeEvent(QCloseEvent* event) {
  // Yes saves first; a save that was cancelled or failed keeps the window open.
  if (!editor_.QueryCloseSaving(*ui_, [this] { return SaveAs1Click(); })) {
    event->ignore();
    return;
  }
  ShutdownLog();
  event->accept();
}

}  // namespace vell
