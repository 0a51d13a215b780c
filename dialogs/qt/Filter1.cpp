#include "dialogs/qt/Filter1.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdint>

namespace vell {

namespace {

QLineEdit* MakeField(const QString& name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setAlignment(Qt::AlignCenter);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 14);
  return edit;
}

// Wide enough for the help text to wrap in a few even lines.
constexpr int kTextWidth = 372;

}  // namespace

TfFilter::TfFilter(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fFilter"));
  setWindowTitle(QString::fromLatin1(kFilterDesignCaption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  lblHelp = new QLabel(QString::fromLatin1(kFilterDesignHelp), this);
  lblHelp->setObjectName(QStringLiteral("lblHelp"));
  lblHelp->setWordWrap(true);
  lblHint = new QLabel(QString::fromLatin1(kFilterDesignHint), this);
  lblHint->setObjectName(QStringLiteral("lblHint"));
  lblHint->setWordWrap(true);

  // The kernel in a sunken frame, the divisor apart beside its middle row.
  auto* kernelFrame = new QFrame(this);
  kernelFrame->setFrameShape(QFrame::StyledPanel);
  kernelFrame->setFrameShadow(QFrame::Sunken);
  auto* grid = new QGridLayout(kernelFrame);
  grid->setContentsMargins(10, 10, 10, 10);
  grid->setSpacing(6);
  for (int i = 0; i < 9; ++i) {
    e[static_cast<size_t>(i)] = MakeField(QStringLiteral("e%1").arg(i + 1), kernelFrame);
    grid->addWidget(e[static_cast<size_t>(i)], i / 3, i % 3);
  }
  eDiv = MakeField(QStringLiteral("eDiv"), this);
  auto* lblDiv = new QLabel(QStringLiteral("\u00F7"), this);
  QFont big = lblDiv->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  lblDiv->setFont(big);

  auto* kernelRow = new QHBoxLayout;
  kernelRow->setSpacing(12);
  kernelRow->addStretch(1);
  kernelRow->addWidget(kernelFrame);
  kernelRow->addWidget(lblDiv, 0, Qt::AlignVCenter);
  kernelRow->addWidget(eDiv, 0, Qt::AlignVCenter);
  kernelRow->addStretch(1);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 12);
  layout->setSpacing(12);
  layout->addWidget(lblHelp);
  layout->addLayout(kernelRow);
  layout->addWidget(lblHint);
  layout->addLayout(buttons);
  // A fixed border: the help text wraps to this width and the height follows.
  lblHelp->setFixedWidth(kTextWidth);
  lblHint->setFixedWidth(kTextWidth);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(btnOK, &QPushButton::clicked, this, &TfFilter::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  message_ = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
  SetDesign(TFilterDesign{});
}

std::optional<TFilterDesign> TfFilter::Execute() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return Design();
}

TFilterDesign TfFilter::Design() const {
  TFilterDesign design;
  for (size_t i = 0; i < e.size(); ++i) design.e[i] = e[i]->text().toStdString();
  design.eDiv = eDiv->text().toStdString();
  return design;
}

void TfFilter::SetDesign(const TFilterDesign& design) {
  for (size_t i = 0; i < e.size(); ++i) e[i]->setText(QString::fromStdString(design.e[i]));
  eDiv->setText(QString::fromStdString(design.eDiv));
}

bool TfFilter::DivisorIsZero(const std::string& text) {
  int divisor = 0;
  return StrToIntChecked(text, divisor) && static_cast<uint16_t>(divisor) == 0;
}

void TfFilter::btnOKClick() {
  if (DivisorIsZero(eDiv->text().toStdString())) {
    message_(QString::fromLatin1(kDivisorZeroMessage));
    eDiv->setFocus(Qt::OtherFocusReason);
    eDiv->selectAll();
    return;
  }
  accept();
}

}  // namespace vell
