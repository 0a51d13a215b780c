#include "dialogs/qt/JpgCval1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vell {

TfJPGComp::TfJPGComp(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fJPGComp"));
  setWindowTitle(QStringLiteral("Set JPG Compression Quality"));
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  auto* column = new QVBoxLayout(this);
  Label1 = new QLabel(
      QStringLiteral("JPG Compression Quality is a factor in the size of the saved *.jpg file.  A smaller number "
                     "will produce a much smaller file, but at the expense of picture clarity, color sharpness, and "
                     "details."),
      this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setFixedWidth(300);
  column->addWidget(Label1);

  auto* row = new QHBoxLayout();
  eCVal = new QLineEdit(QStringLiteral("90"), this);
  eCVal->setObjectName(QStringLiteral("eCVal"));
  eCVal->setFixedWidth(48);
  sbCVal = new QScrollBar(Qt::Horizontal, this);
  sbCVal->setObjectName(QStringLiteral("sbCVal"));
  sbCVal->setRange(0, 100);
  sbCVal->setPageStep(10);
  sbCVal->setSingleStep(1);
  sbCVal->setValue(90);
  row->addWidget(eCVal);
  row->addWidget(sbCVal, 1);
  column->addLayout(row);

  auto* buttons = new QHBoxLayout();
  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  Button1 = new QPushButton(QStringLiteral("Default"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  buttons->addWidget(Button1);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(eCVal, &QLineEdit::textChanged, this, [this](const QString& t) { eCValChange(t); });
  connect(sbCVal, &QScrollBar::valueChanged, this, [this](int p) { sbCValChange(p); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
  connect(Button1, &QPushButton::clicked, this, [this] { eCVal->setText(QStringLiteral("90")); });
}

void TfJPGComp::RestoreText(const QString& text) { eCVal->setText(text); }

QString TfJPGComp::StoredText() const { return eCVal->text(); }

int TfJPGComp::Position() const { return sbCVal->value(); }

void TfJPGComp::eCValChange(const QString& text) {
  if (syncing_ || text.isEmpty()) return;
  // A sign alone is the start of a number being typed.
  if (text == QStringLiteral("-") || text == QStringLiteral("+")) return;
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  if (!ok) {
    const QString message = QStringLiteral("'%1' is not a valid integer value").arg(text);
    if (message_)
      message_(message);
    else
      QMessageBox::critical(this, windowTitle(), message);
    return;
  }
  if (value < 0) {
    eCVal->setText(QStringLiteral("0"));
    return;
  }
  if (value > 100) {
    eCVal->setText(QStringLiteral("100"));
    return;
  }
  syncing_ = true;
  sbCVal->setValue(static_cast<int>(value));
  syncing_ = false;
}

void TfJPGComp::sbCValChange(int position) {
  if (syncing_) return;
  syncing_ = true;
  eCVal->setText(QString::number(position));
  syncing_ = false;
}

void TfJPGComp::BitBtn1Click() {
  confirmed_ = sbCVal->value();
  accept();
}

void TfJPGComp::reject() {
  sbCVal->setValue(confirmed_);
  // The bar may not have moved while the edit holds something else.
  sbCValChange(confirmed_);
  QDialog::reject();
}

std::optional<int> TfJPGComp::Execute() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return confirmed_;
}

}  // namespace vell
