#include "dialogs/qt/MultGrad.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/FilterDesign.h"

namespace vell {

namespace {

QColor ToQ(uint32_t c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

constexpr int kBarHeight = 25;

const char kUsage[] =
    " Usage:\n\n  Right-Click top bar add a color marker.\n  Drag markers to desired positions.\n"
    "  Double-Click top bar to change color.\n  Double-Click markers to change color.\n"
    "  Right-Click marker to delete.";

}  // namespace

// ---- the bar, the markers and the picture box --------------------------------

TMarkerBar::TMarkerBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pBack"));
  setToolTip(QStringLiteral("Right-Click to add marker"));
  setFixedHeight(kBarHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMarkerBar::SetColour(uint32_t colour) {
  colour_ = colour;
  update();
}

void TMarkerBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ToQ(colour_));
}

void TMarkerBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) emit rightClicked(event->position().toPoint().x());
}

void TMarkerBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

TGradMarker::TGradMarker(QWidget* parent, uint32_t colour) : QWidget(parent), colour_(colour) {
  setFixedSize(kMarkerWidth, kBarHeight);
  setCursor(Qt::SizeHorCursor);
}

void TGradMarker::SetColour(uint32_t colour) {
  colour_ = colour;
  update();
}

void TGradMarker::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ToQ(colour_));
  // A light and a dark edge, so a marker shows on a bar of its own colour.
  p.setPen(Qt::white);
  p.drawLine(0, 0, 0, height() - 1);
  p.setPen(Qt::black);
  p.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

void TGradMarker::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    emit rightClicked();
    return;
  }
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    grabX_ = event->position().toPoint().x();
  }
}

void TGradMarker::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  // Sideways only: the marker stays in the bar's row.
  move(mapToParent(event->position().toPoint()).x() - grabX_, 0);
}

void TGradMarker::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  const int column = mapToParent(event->position().toPoint()).x() - grabX_;
  move(column, 0);
  emit dragged(column);
}

void TGradMarker::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
    emit doubleClicked();
  }
}

TPictureBox::TPictureBox(QWidget* parent, const TPixelBuffer& picture) : QWidget(parent), picture_(picture) {
  setObjectName(QStringLiteral("pb"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  Fit();
}

void TPictureBox::Fit() { setFixedSize(std::max(picture_.Width(), 1), std::max(picture_.Height(), 1)); }

void TPictureBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (picture_.Empty()) {
    p.fillRect(rect(), Qt::black);
    return;
  }
  p.drawImage(0, 0, QImage(picture_.Bits(), picture_.Width(), picture_.Height(), picture_.BytesPerLine(),
                           QImage::Format_BGR888));
}

// ---- the dialog ----------------------------------------------------------------

TfMultGrad::TfMultGrad(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fMultGrad"));
  setWindowTitle(QStringLiteral("Multi-Gradient Designer"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  error_ = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };
  chooser_ = [this](uint32_t initial) -> std::optional<uint32_t> {
    const QColor chosen = QColorDialog::getColor(ToQ(initial), this);
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<uint32_t>(chosen.red()) | static_cast<uint32_t>(chosen.green()) << 8 |
           static_cast<uint32_t>(chosen.blue()) << 16;
  };

  eWide = new QLineEdit(QStringLiteral("256"), this);
  eWide->setObjectName(QStringLiteral("eWide"));
  eHigh = new QLineEdit(QStringLiteral("256"), this);
  eHigh->setObjectName(QStringLiteral("eHigh"));
  for (QLineEdit* e : {eWide, eHigh}) e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 14);

  // The bar and the picture scroll together when the picture is wider than the screen.
  auto* strip = new QWidget;
  auto* stripColumn = new QVBoxLayout(strip);
  stripColumn->setContentsMargins(0, 0, 0, 0);
  stripColumn->setSpacing(4);
  stripColumn->setSizeConstraint(QLayout::SetFixedSize);
  pBack = new TMarkerBar(strip);
  pb = new TPictureBox(strip, gradient_.Picture());
  stripColumn->addWidget(pBack);
  stripColumn->addWidget(pb);
  auto* area = new QScrollArea(this);
  area->setObjectName(QStringLiteral("pStrip"));
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(false);
  area->setWidget(strip);

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("Cancel"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button3 = new QPushButton(QStringLiteral("Clear"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button4 = new QPushButton(QStringLiteral("Default"), this);
  Button4->setObjectName(QStringLiteral("Button4"));
  for (QPushButton* b : {Button2, Button3, Button4}) b->setAutoDefault(false);
  Label3 = new QLabel(QString::fromLatin1(kUsage), this);
  Label3->setObjectName(QStringLiteral("Label3"));

  auto* top = new QGridLayout;
  top->addWidget(new QLabel(QStringLiteral("Width"), this), 0, 0);
  top->addWidget(eWide, 1, 0);
  top->addWidget(new QLabel(QStringLiteral("Height"), this), 0, 1);
  top->addWidget(eHigh, 1, 1);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {Button1, Button2, Button3, Button4}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* head = new QHBoxLayout;
  head->addLayout(top);
  head->addWidget(Label3, 1);
  head->addLayout(buttons);
  auto* column = new QVBoxLayout(this);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->addLayout(head);
  column->addWidget(area, 0, Qt::AlignLeft);

  connect(eWide, &QLineEdit::textChanged, this, [this] { eWideChange(); });
  connect(eHigh, &QLineEdit::textChanged, this, [this] { eHighChange(); });
  connect(pBack, &TMarkerBar::rightClicked, this, [this](int column) { pBackRightClick(column); });
  connect(pBack, &TMarkerBar::doubleClicked, this, [this] { pBackDblClick(); });
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  RebuildMarkers();
  Changed();
}

bool TfMultGrad::Execute() {
  if (gradient_.Picture().Width() < gradient_.MinimumWidth()) eWide->setText(QString::number(gradient_.MinimumWidth()));
  resize(1, height());
  Changed();
  return exec() == QDialog::Accepted;
}

void TfMultGrad::SetImageSize(int width, int height) {
  {
    const QSignalBlocker blockWide(eWide), blockHigh(eHigh);
    eWide->setText(QString::number(width));
    eHigh->setText(QString::number(height));
  }
  gradient_.SetSize(width, height);
  Changed();
}

QString TfMultGrad::WidthText() const { return eWide->text(); }
QString TfMultGrad::HeightText() const { return eHigh->text(); }

std::optional<int> TfMultGrad::Convert(const QString& text) {
  int value = 0;
  const std::string typed = text.toStdString();
  if (StrToIntChecked(typed, value)) return value;
  if (error_) error_(QString::fromStdString(NotAnIntegerMessage(typed)));
  return std::nullopt;
}

std::optional<uint32_t> TfMultGrad::Choose(uint32_t initial) {
  if (!chooser_) return std::nullopt;
  const std::optional<uint32_t> c = chooser_(initial);
  if (!c) return std::nullopt;
  return *c & 0xFFFFFF;
}

void TfMultGrad::eWideChange() {
  if (eWide->text().isEmpty()) return;
  // Narrower than the markers reach is ignored.
  if (const std::optional<int> w = Convert(eWide->text())) gradient_.SetWidth(*w);
  Changed();
}

void TfMultGrad::eHighChange() {
  if (eHigh->text().isEmpty()) return;
  if (const std::optional<int> h = Convert(eHigh->text())) gradient_.SetHeight(*h);
  Changed();
}

void TfMultGrad::pBackRightClick(int column) {
  const std::optional<uint32_t> c = Choose(0xFFFFFF);
  if (!c) return;
  gradient_.AddMarker(column, *c);
  RebuildMarkers();
  Changed();
}

void TfMultGrad::pBackDblClick() {
  if (const std::optional<uint32_t> c = Choose(gradient_.Background())) gradient_.SetBackground(*c);
  Changed();
}

void TfMultGrad::MarkerDblClick(size_t index) {
  if (index >= gradient_.Markers().size()) return;
  if (const std::optional<uint32_t> c = Choose(gradient_.Markers()[index].Color)) gradient_.RecolourMarker(index, *c);
  RebuildMarkers();
  Changed();
}

void TfMultGrad::MarkerRightClick(size_t index) {
  gradient_.DeleteMarker(index);
  RebuildMarkers();
  Changed();
}

void TfMultGrad::MarkerDragged(size_t index, int column) {
  gradient_.MoveMarker(index, column);
  RebuildMarkers();
  Changed();
}

void TfMultGrad::Button3Click() {
  gradient_.Clear();
  RebuildMarkers();
  Changed();
}

void TfMultGrad::Button4Click() {
  gradient_.Default();
  RebuildMarkers();
  Changed();
}

void TfMultGrad::RebuildMarkers() {
  const std::vector<TGradientMarker>& wanted = gradient_.Markers();
  // Markers are created and deleted as controls; the rest keep theirs.
  while (markers_.size() > wanted.size()) {
    markers_.back()->deleteLater();
    markers_.back()->hide();
    markers_.pop_back();
  }
  while (markers_.size() < wanted.size()) {
    auto* marker = new TGradMarker(pBack, 0);
    marker->setObjectName(QStringLiteral("marker%1").arg(markers_.size()));
    // The marker's index is its place in the list when the signal comes.
    connect(marker, &TGradMarker::dragged, this, [this, marker](int column) {
      const auto it = std::find(markers_.begin(), markers_.end(), marker);
      if (it != markers_.end()) MarkerDragged(static_cast<size_t>(it - markers_.begin()), column);
    });
    connect(marker, &TGradMarker::rightClicked, this, [this, marker] {
      const auto it = std::find(markers_.begin(), markers_.end(), marker);
      if (it != markers_.end()) MarkerRightClick(static_cast<size_t>(it - markers_.begin()));
    });
    connect(marker, &TGradMarker::doubleClicked, this, [this, marker] {
      const auto it = std::find(markers_.begin(), markers_.end(), marker);
      if (it != markers_.end()) MarkerDblClick(static_cast<size_t>(it - markers_.begin()));
    });
    marker->show();
    markers_.push_back(marker);
  }
  for (size_t i = 0; i < wanted.size(); ++i) {
    markers_[i]->SetColour(wanted[i].Color);
    markers_[i]->move(wanted[i].Position, 0);
  }
}

void TfMultGrad::Changed() {
  const TPixelBuffer& picture = gradient_.Picture();
  pBack->SetColour(gradient_.Background());
  pBack->setFixedWidth(std::max(picture.Width(), 1));
  pb->Fit();
  if (auto* area = findChild<QScrollArea*>(QStringLiteral("pStrip"))) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() - QSize(60, 260) : QSize(1600, 900);
    const QSize want(std::max(picture.Width(), 1), std::max(picture.Height(), 1) + kBarHeight + 4);
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool wide = want.width() > room.width(), tall = want.height() > room.height();
    area->setFixedSize(std::min(want.width() + (tall ? bar : 0), std::max(room.width(), 64)),
                       std::min(want.height() + (wide ? bar : 0), std::max(room.height(), 64)));
  }
  pb->update();
  update();
}

}  // namespace vell
