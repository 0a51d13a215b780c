// The main window's drawing tools: the tool buttons, the mouse on the image,
// the selection and its dialog, the text tool's two phases and the paste
// overlay. Strokes draw into the working image's own pixels (the view shows
// that memory), so each mouse move repaints only the area that changed.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <cstring>

#include "dialogs/qt/ColrBtn.h"
#include "dialogs/qt/Text1.h"
#include "editor/Editor.h"
#include "editor/ImageCommands.h"
#include "editor/qt/MainCanvas.h"
#include "editor/qt/Select1.h"
#include "editor/qt/ToolForm.h"

namespace vell {

namespace {

TMouseButton ButtonOf(Qt::MouseButton b) {
  return b == Qt::LeftButton ? TMouseButton::Left : b == Qt::MiddleButton ? TMouseButton::Middle : TMouseButton::Right;
}

// The text as drawn: CR LF ends a line.
QString Drawn(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

int DrawTextFlags(int alignment) {
  const int align = alignment == 1 ? Qt::AlignHCenter : alignment == 2 ? Qt::AlignRight : Qt::AlignLeft;
  return align | Qt::AlignTop | Qt::TextExpandTabs;
}

// A QImage over a 24-bit buffer's own memory, for painting into it.
QImage Over(TPixelBuffer& b) {
  return QImage(b.Bits(), b.Width(), b.Height(), b.BytesPerLine(), QImage::Format_BGR888);
}

// The offsets a picture is drawn at: the 3 x 3 mosaic's when wrapping.
std::vector<QPoint> Copies(const TPixelBuffer& image, bool wrap) {
  if (!wrap) return {QPoint(0, 0)};
  std::vector<QPoint> out;
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) out.emplace_back(i * image.Width(), j * image.Height());
  return out;
}

QRect ToQRect(const TRectI& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

// --- TFloatingPicture -------------------------------------------------------------

TFloatingPicture::TFloatingPicture(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_TranslucentBackground);
  hide();
}

void TFloatingPicture::SetPicture(const QImage& picture, bool focusFrame) {
  picture_ = picture;
  focusFrame_ = focusFrame;
  resize(picture.size());
  update();
}

void TFloatingPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
  if (focusFrame_) {
    // The focus rectangle: a dotted frame that shows on any picture.
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(0, 0, width() - 1, height() - 1);
  }
}

void TFloatingPicture::mousePressEvent(QMouseEvent* e) {
  if (OnPress && e->button() == Qt::LeftButton) OnPress(e->position().toPoint().x(), e->position().toPoint().y());
}

void TFloatingPicture::mouseMoveEvent(QMouseEvent* e) {
  if (OnMove) OnMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void TFloatingPicture::mouseReleaseEvent(QMouseEvent* e) {
  if (OnRelease && e->button() == Qt::LeftButton) OnRelease(e->position().toPoint().x(), e->position().toPoint().y());
}

// --- set-up -------------------------------------------------------------------------

void TfVellTile::BuildCanvasTools() {
  canvas_ = std::make_unique<TCanvasUi>();
  connect(imSine_, &TImageView::mousePressedAt, this,
          [this](Qt::MouseButton b, int x, int y) { imSineMouseDown(b, x, y); });
  connect(imSine_, &TImageView::mouseMovedTo, this, [this](int x, int y) { imSineMouseMove(x, y); });
  connect(imSine_, &TImageView::mouseReleasedAt, this,
          [this](Qt::MouseButton b, int x, int y) { imSineMouseUp(b, x, y); });

  canvas_->imText = new TFloatingPicture(pnlSine_);
  canvas_->imText->setObjectName(QStringLiteral("imText"));
  canvas_->imText->setCursor(Qt::IBeamCursor);
  canvas_->imText->OnMove = [this](int x, int y) { imTextMouseMove(x, y); };
  canvas_->imText->OnPress = [this](int x, int y) { imTextMouseDown(x, y); };

  canvas_->pPaste = new QWidget(pnlSine_);
  canvas_->pPaste->setObjectName(QStringLiteral("pPaste"));
  canvas_->pPaste->hide();
  canvas_->imPaste = new TFloatingPicture(canvas_->pPaste);
  canvas_->imPaste->setObjectName(QStringLiteral("imPaste"));
  canvas_->imPaste->show();
  canvas_->imPaste->setCursor(Qt::SizeAllCursor);
  canvas_->imPaste->OnPress = [this](int x, int y) { imPasteMouseDown(x, y); };
  canvas_->imPaste->OnMove = [this](int x, int y) { imPasteMouseMove(x, y); };
  canvas_->imPaste->OnRelease = [this](int x, int y) { imPasteMouseUp(x, y); };
  canvas_->timer = new QTimer(this);
  canvas_->timer->setObjectName(QStringLiteral("Timer1"));
  canvas_->timer->setInterval(75);
  connect(canvas_->timer, &QTimer::timeout, this, [this] { Timer1Timer(); });

  if (QAction* a = findChild<QAction*>(QStringLiteral("AsSelection1"))) {
    a->setEnabled(true);
    a->setToolTip(QString());
    connect(a, &QAction::triggered, this, [this] { AsSelection1Click(); });
  }

  // The Pen menu's option: every tool draws on the picture as on a torus.
  if (QMenu* pen = findChild<QMenu*>(QStringLiteral("Pen1"))) {
    pen->addSeparator();
    canvas_->wrap = AddAction(pen, QStringLiteral("WrapDrawing1"), QStringLiteral("Wrap &Drawing Around Edges"));
    canvas_->wrap->setCheckable(true);
    canvas_->wrap->setChecked(settingsRead_ && settings_.MainForm.WrapDrawing);
    connect(canvas_->wrap, &QAction::toggled, this, [this](bool on) { settings_.MainForm.WrapDrawing = on; });
  }
  SetTool(false, false, 10, ToolFreehand);
}

void TfVellTile::WireCanvasTools() {
  if (!box_) return;
  connect(box_.get(), &TfToolBox::toolChosen, this, [this](int tool) {
    if (const TToolDef* d = ToolDefFor(tool)) SetTool(d->Fill, d->Text, d->Cursor, d->Tool);
  });
  // The tool box shows the tool in use (freehand at start).
  box_->SetActiveTool(canvas_->tools.ActiveTool());
}

void TfVellTile::SetTool(bool fill, bool text, int cursor, int tool) {
  canvas_->tools.SetTool(fill, text, tool);
  if (cursor < 0)
    imSine_->setCursor(Qt::IBeamCursor);
  else if (const QCursor* c = ToolCursor(cursor))
    imSine_->setCursor(*c);
}

TCanvasTools& TfVellTile::CanvasTools() { return canvas_->tools; }
bool TfVellTile::WrapDrawing() const { return canvas_->wrap && canvas_->wrap->isChecked(); }
void TfVellTile::SetWrapDrawing(bool on) {
  if (canvas_->wrap) canvas_->wrap->setChecked(on);
}
QWidget* TfVellTile::imText() const { return canvas_->imText; }
QWidget* TfVellTile::pPaste() const { return canvas_->pPaste; }
QWidget* TfVellTile::imPaste() const { return canvas_->imPaste; }
QTimer* TfVellTile::Timer1() const { return canvas_->timer; }

TfText* TfVellTile::TextDialog() {
  if (!canvas_->textDialog) canvas_->textDialog = std::make_unique<TfText>(this);
  return canvas_->textDialog.get();
}

TfSelect* TfVellTile::SelectDialog() {
  if (!canvas_->selectDialog) canvas_->selectDialog = std::make_unique<TfSelect>(this);
  return canvas_->selectDialog.get();
}

void TfVellTile::CanvasLog(const std::string& line) {
  if (!line.empty() && editor_.Logging && editor_.WriteLog) editor_.WriteLog(line);
}

void TfVellTile::SelectionToBuffer(const TPixelBuffer& picture) {
  PictureToBuffer(editor_, picture);
  imBuffer_->SetBuffer(&editor_.dibBuffer);
  imBuffer_->update();
  for (const char* name : {"PasteBuffertoImage1", "MergeBufferWithImage1", "CopyBuffertoClipboard1"}) {
    if (QAction* a = findChild<QAction*>(QString::fromLatin1(name))) {
      a->setEnabled(true);
      a->setToolTip(QString());
    }
  }
}

// --- the mouse on the image -----------------------------------------------------------

void TfVellTile::imSineMouseDown(Qt::MouseButton button, int x, int y) {
  // Where the floating text cannot hold the mouse, the image passes it on.
  if (canvas_->placing) {
    if (button == Qt::LeftButton) imTextMouseDown(x - canvas_->imText->x(), y - canvas_->imText->y());
    return;
  }
  if (canvas_->pasteDragging) return;
  TToolInputs in;
  if (box_) {
    in.PenSize = box_->PenSizeText().toStdString();
    in.PenColor = box_->PenColor();
    in.BrushColor = box_->BrushColor();
    in.FillShape = box_->FillShape();
  }
  in.PenModeIndex = editor_.PenModeIndex;
  in.Wrap = WrapDrawing();
  const TPressResult r = canvas_->tools.Press(editor_.dibWork, ButtonOf(button), x, y, in, [this] { PushUndo(); });
  switch (r.Outcome) {
    case TPressOutcome::PenSizeRejected:
      ui_->ShowMessage(r.Message);
      if (box_) box_->SetPenSizeText(QStringLiteral("1"));
      return;
    case TPressOutcome::Eyedropped:
      if (box_) box_->SetPenColor(r.Colour);
      break;
    case TPressOutcome::AskText: {
      TfText* dialog = TextDialog();
      if (dialog->exec() != QDialog::Accepted) return;
      PlaceText(x, y);
      return;
    }
    default:
      break;
  }
  if (!r.Changed.Empty()) imSine_->update(ToQRect(r.Changed));
  CanvasLog(r.Log);
}

void TfVellTile::imSineMouseMove(int x, int y) {
  if (canvas_->placing) {
    imTextMouseMove(x + imSine_->x() - canvas_->imText->x(), y + imSine_->y() - canvas_->imText->y());
    return;
  }
  SetStatusText(2, QStringLiteral("X: %1").arg(x));
  SetStatusText(3, QStringLiteral("Y: %1").arg(y));
  TCanvasTools& tools = canvas_->tools;
  if (!tools.Drawing()) return;
  const TRectI changed = tools.Move(editor_.dibWork, x, y);
  if (!changed.Empty()) imSine_->update(ToQRect(changed));
  if (!tools.Selecting()) return;
  SetStatusText(4, QString::fromStdString(SelectionSizeText(tools.Start(), tools.End())));
  // Past the visible part the box scrolls one step; to the left and upwards the
  // cursor follows the picture, so it stays over the same pixel.
  const QPoint v = imSine_->mapTo(ScrollBox1_->viewport(), QPoint(x, y));
  QScrollBar* h = ScrollBox1_->horizontalScrollBar();
  QScrollBar* vb = ScrollBox1_->verticalScrollBar();
  if (v.x() >= ScrollBox1_->viewport()->width()) h->setValue(h->value() + 1);
  if (v.y() >= ScrollBox1_->viewport()->height()) vb->setValue(vb->value() + 1);
  if (v.x() < 0 && h->value() > h->minimum()) {
    h->setValue(h->value() - 1);
    QCursor::setPos(QCursor::pos() + QPoint(1, 0));
  }
  if (v.y() < 0 && vb->value() > vb->minimum()) {
    vb->setValue(vb->value() - 1);
    QCursor::setPos(QCursor::pos() + QPoint(0, 1));
  }
}

void TfVellTile::imSineMouseUp(Qt::MouseButton button, int x, int y) {
  TCanvasTools& tools = canvas_->tools;
  const TReleaseResult r = tools.Release(editor_.dibWork, ButtonOf(button), x, y);
  if (!r.Changed.Empty()) imSine_->update(ToQRect(r.Changed));
  if (r.Outcome == TReleaseOutcome::AskSelection) {
    imSine_->repaint(ToQRect(r.Changed));  // the frame stays up while the dialog asks
    const TSelectAction action = SelectDialog()->Ask();
    TPixelBuffer transfer;
    TRectI erased;
    const std::string line = tools.FinishSelection(editor_.dibWork, action, transfer, &erased);
    SetStatusText(4, QStringLiteral("Idle..."));
    if (!erased.Empty()) imSine_->update(ToQRect(erased));
    switch (action) {
      case TSelectAction::CopyToClipboard: {
        QImage picture;
        ImageToBitmap(picture, transfer);
        QGuiApplication::clipboard()->setImage(picture);
        break;
      }
      case TSelectAction::Crop:
        CropToPicture(editor_, transfer);
        DisplayImage(editor_.dibWork);
        break;
      case TSelectAction::CopyToBuffer:
        SelectionToBuffer(transfer);
        break;
      case TSelectAction::Cancel:
        break;
    }
    CanvasLog(line);
    return;
  }
  if (tools.ActiveTool() == ToolSelect && r.Outcome == TReleaseOutcome::Done) SetStatusText(4, QStringLiteral("Idle..."));
  if (r.Outcome == TReleaseOutcome::Done) CanvasLog(r.Log);
}

// --- the text tool ----------------------------------------------------------------------

void TfVellTile::PlaceText(int x, int y) {
  TfText* dialog = TextDialog();
  TCanvasUi& c = *canvas_;
  c.text = dialog->Text();
  if (c.text.isEmpty()) c.text = QString::fromLatin1(kEmptyTextStandIn);
  c.alignment = dialog->AlignmentIndex();
  const QFont font = dialog->SampleFont();
  // The measured text, widened by the font's widest character (italics lean out).
  const QFontMetrics fm(font);
  QRect measured = fm.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), DrawTextFlags(c.alignment), Drawn(c.text));
  c.textRect = QRect(0, 0, measured.width() + fm.maxWidth(), std::max(measured.height(), fm.height()));
  QImage picture(c.textRect.size(), QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  {
    QPainter p(&picture);
    p.setFont(font);
    p.setPen(TColrBtn::ToQColor(dialog->FontColor()));
    p.drawText(c.textRect, DrawTextFlags(c.alignment), Drawn(c.text));
  }
  c.imText->SetPicture(picture, false);
  c.imText->move(x, y);
  c.imText->show();
  c.imText->raise();
  c.placing = true;
  c.imText->grabMouse();
}

void TfVellTile::imTextMouseMove(int x, int y) {
  TCanvasUi& c = *canvas_;
  if (!c.placing) return;
  c.imText->move(c.imText->x() + x - c.imText->width() / 2, c.imText->y() + y - c.imText->height() / 2);
  SetStatusText(2, QStringLiteral("X: %1").arg(c.imText->x() - imSine_->x()));
  SetStatusText(3, QStringLiteral("Y: %1").arg(c.imText->y() - imSine_->y()));
}

void TfVellTile::imTextMouseDown(int, int) {
  TCanvasUi& c = *canvas_;
  if (!c.placing) return;
  c.placing = false;
  c.imText->releaseMouse();
  c.imText->hide();
  TfText* dialog = TextDialog();
  const QFont font = dialog->SampleFont();
  const int left = c.imText->x() - imSine_->x(), top = c.imText->y() - imSine_->y();
  {
    QImage target = Over(editor_.dibWork);
    QPainter p(&target);
    p.setFont(font);
    p.setPen(TColrBtn::ToQColor(dialog->FontColor()));
    for (const QPoint& o : Copies(editor_.dibWork, WrapDrawing()))
      p.drawText(c.textRect.translated(left + o.x(), top + o.y()), DrawTextFlags(c.alignment), Drawn(c.text));
  }
  DisplayImage(editor_.dibWork);
  CanvasLog(TextToolLogLine(font.family().toStdString(), font.pointSize(), dialog->FontColor(), font.bold(),
                            font.italic(), c.text.toStdString(), left, top));
}

// --- the paste overlay -------------------------------------------------------------------

void TfVellTile::AsSelection1Click() {
  const QImage clip = QGuiApplication::clipboard()->image();
  if (clip.isNull()) return;
  TCanvasUi& c = *canvas_;
  c.imPaste->SetPicture(clip.convertToFormat(QImage::Format_RGB32), true);
  c.imPaste->move(0, 0);
  c.pPaste->resize(clip.size());
  c.pPaste->move(imSine_->pos());
  c.pPaste->show();
  c.pPaste->raise();
  c.pasteDragging = false;
  c.timer->start();
}

void TfVellTile::Timer1Timer() {
  const QPoint at = canvas_->pPaste->pos() - imSine_->pos();
  SetStatusText(4, QStringLiteral("Left: %1 Top: %2").arg(at.x()).arg(at.y()));
}

void TfVellTile::imPasteMouseDown(int x, int y) {
  canvas_->pasteDragging = true;
  canvas_->grab = QPoint(x, y);
}

void TfVellTile::imPasteMouseMove(int x, int y) {
  TCanvasUi& c = *canvas_;
  if (!c.pasteDragging) return;
  c.pPaste->move(c.pPaste->pos() + QPoint(x, y) - c.grab);
}

void TfVellTile::imPasteMouseUp(int x, int y) {
  TCanvasUi& c = *canvas_;
  if (!c.pasteDragging) return;
  imPasteMouseMove(x, y);
  c.pasteDragging = false;
  c.timer->stop();
  SetStatusText(4, QStringLiteral("Idle..."));
  const QPoint at = c.pPaste->pos() - imSine_->pos();
  TPixelBuffer picture;
  const QImage rgb = c.imPaste->Picture().convertToFormat(QImage::Format_BGR888);
  picture.Allocate(rgb.width(), rgb.height(), 0, 24);
  for (int y2 = 0; y2 < rgb.height() && !picture.Empty(); ++y2)
    std::memcpy(picture.Row(y2), rgb.constScanLine(y2), static_cast<size_t>(rgb.width()) * 3);
  PasteSelectionAt(editor_, picture, at.x(), at.y(), WrapDrawing());
  c.pPaste->hide();
  DisplayImage(editor_.dibWork);
  CanvasLog(PasteAsSelectionLogLine(at.x(), at.y()));
}

}  // namespace vell
