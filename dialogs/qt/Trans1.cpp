#include "dialogs/qt/Trans1.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vell {

namespace {
QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t FromQColor(const QColor& c) {
  return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}
}  // namespace

TTransSwatch::TTransSwatch(QWidget* parent) : QFrame(parent) {
  setCursor(Qt::PointingHandCursor);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setFixedSize(41, 41);
}

void TTransSwatch::SetColor(uint32_t colour) {
  colour_ = colour & 0xFFFFFF;
  update();
}

void TTransSwatch::paintEvent(QPaintEvent* event) {
  QPainter(this).fillRect(rect(), ToQColor(colour_));
  QFrame::paintEvent(event);
}

void TTransSwatch::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit pressed();
}

TfTrans::TfTrans(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fTrans"));
  setWindowTitle(QStringLiteral("Transparent Paste Options"));
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  auto* column = new QVBoxLayout(this);
  GroupBox1 = new QGroupBox(QStringLiteral("Transparent Color Selection"), this);
  auto* grid = new QGridLayout(GroupBox1);
  rbNorm = new QRadioButton(QStringLiteral("Normal (Lower left pixel is transparent color)"), GroupBox1);
  rbNorm->setObjectName(QStringLiteral("rbNorm"));
  rbPen = new QRadioButton(QStringLiteral("Use Pen Color for transparent color"), GroupBox1);
  rbPen->setObjectName(QStringLiteral("rbPen"));
  rbCustom = new QRadioButton(QStringLiteral("Custom Color..."), GroupBox1);
  rbCustom->setObjectName(QStringLiteral("rbCustom"));
  rbNorm->setChecked(true);
  Shape1 = new TTransSwatch(GroupBox1);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Label1 = new QLabel(QStringLiteral("Transparent Color"), GroupBox1);
  grid->addWidget(rbNorm, 0, 0);
  grid->addWidget(rbPen, 1, 0);
  grid->addWidget(rbCustom, 2, 0);
  auto* swatchColumn = new QVBoxLayout();
  swatchColumn->addWidget(Label1, 0, Qt::AlignHCenter);
  swatchColumn->addWidget(Shape1, 0, Qt::AlignHCenter);
  grid->addLayout(swatchColumn, 0, 1, 3, 1);
  column->addWidget(GroupBox1);
  cbReSize = new QCheckBox(QStringLiteral("ReSize Clipboard Image before paste"), this);
  cbReSize->setObjectName(QStringLiteral("cbReSize"));
  cbReSize->setChecked(true);
  column->addWidget(cbReSize);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(rbNorm, &QRadioButton::clicked, this, [this] { Shape1->SetColor(lowerLeft_); });
  connect(rbPen, &QRadioButton::clicked, this, [this] { Shape1->SetColor(PenColour()); });
  connect(rbCustom, &QRadioButton::clicked, this, [this] { Shape1->SetColor(custom_); });
  connect(Shape1, &TTransSwatch::pressed, this, [this] { Shape1MouseDown(); });
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfTrans::Shape1MouseDown() {
  if (!rbCustom->isChecked()) return;
  std::optional<uint32_t> chosen;
  if (chooser_) {
    chosen = chooser_(custom_);
  } else {
    const QColor c = QColorDialog::getColor(ToQColor(custom_), this);
    if (c.isValid()) chosen = FromQColor(c);
  }
  if (!chosen) return;
  custom_ = *chosen & 0xFFFFFF;
  Shape1->SetColor(custom_);
}

void TfTrans::Prepare(uint32_t lowerLeft) {
  lowerLeft_ = lowerLeft & 0xFFFFFF;
  if (rbPen->isChecked())
    Shape1->SetColor(PenColour());
  else if (rbCustom->isChecked())
    Shape1->SetColor(custom_);
  else
    Shape1->SetColor(lowerLeft_);
}

std::optional<TTransChoice> TfTrans::Execute(uint32_t lowerLeft) {
  Prepare(lowerLeft);
  adjustSize();
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  if (exec() != QDialog::Accepted) return std::nullopt;
  return TTransChoice{Shape1->Color(), cbReSize->isChecked()};
}

}  // namespace vell
