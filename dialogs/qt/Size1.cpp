#include "dialogs/qt/Size1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace vell {

int DigitEditWidth(const QLineEdit& edit, int digits) {
  // The largest value with room for the cursor, inside the frame and the
  // line edit's own margins of 2 pixels a side.
  const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit);
  const QMargins margins = edit.textMargins();
  return edit.fontMetrics().horizontalAdvance(QString(digits + 1, QLatin1Char('9'))) + 2 * frame + 4 +
         margins.left() + margins.right();
}

namespace {

// A field that takes up to `digits` digits and nothing else. A validator
// rather than an input mask: a mask shows its empty places as underscores.
QLineEdit* MakeDigitEdit(const char* name, int digits, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(digits);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), edit));
  edit->setFixedWidth(DigitEditWidth(*edit, digits));
  return edit;
}

bool Ignored(Qt::FocusReason reason) {
  // Switching windows and opening a menu or message box do not enter or leave a field.
  return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

}  // namespace

TfrmSizer::TfrmSizer(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmSizer"));
  setWindowTitle(QStringLiteral("Set Size"));
  // Fixed border; the title bar carries the help button and nothing else.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowContextHelpButtonHint);
  setWhatsThis(QStringLiteral("Right-click the dialog for the CD insert sizes."));

  auto* lblCurrent = new QLabel(QStringLiteral("Current Size:"), this);
  Label4 = new QLabel(QString::fromStdString(logic_.CurrentSizeText()), this);
  Label4->setObjectName(QStringLiteral("Label4"));
  QFont bold = Label4->font();
  bold.setBold(true);
  Label4->setFont(bold);

  rgSizer = new QGroupBox(QStringLiteral("Select Size"), this);
  rgSizer->setObjectName(QStringLiteral("rgSizer"));
  rgSizer->setWhatsThis(QStringLiteral("A screen size, or \"Custom...\" for the size in the fields."));
  itemGroup_ = new QButtonGroup(this);
  auto* itemLayout = new QVBoxLayout(rgSizer);
  for (size_t i = 0; i < kSizerItems.size(); ++i) {
    auto* item = new QRadioButton(QString::fromLatin1(kSizerItems[i]), rgSizer);
    item->setObjectName(QStringLiteral("rgSizerItem%1").arg(i));
    rgSizerItems[i] = item;
    itemGroup_->addButton(item, static_cast<int>(i));
    itemLayout->addWidget(item);
  }
  itemLayout->addStretch(1);

  auto* sizeBox = new QGroupBox(this);
  rbPix = new QRadioButton(QStringLiteral("Pixels"), sizeBox);
  rbPix->setObjectName(QStringLiteral("rbPix"));
  rbPct = new QRadioButton(QStringLiteral("Percent"), sizeBox);
  rbPct->setObjectName(QStringLiteral("rbPct"));
  rbPct->setWhatsThis(QStringLiteral("Give the new size in percent of the current size."));
  auto* modeGroup = new QButtonGroup(this);
  modeGroup->addButton(rbPix);
  modeGroup->addButton(rbPct);
  meWidth = MakeDigitEdit("meWidth", kWidthDigits, sizeBox);
  meHeight = MakeDigitEdit("meHeight", kHeightDigits, sizeBox);
  mePctWidth = MakeDigitEdit("mePctWidth", kPercentDigits, sizeBox);
  mePctHeight = MakeDigitEdit("mePctHeight", kPercentDigits, sizeBox);
  auto* lblWidth = new QLabel(QStringLiteral("Width"), sizeBox);
  lblWidth->setBuddy(meWidth);
  auto* lblHeight = new QLabel(QStringLiteral("Height"), sizeBox);
  lblHeight->setBuddy(meHeight);

  auto* sizeGrid = new QGridLayout(sizeBox);
  sizeGrid->setHorizontalSpacing(10);
  sizeGrid->setVerticalSpacing(8);
  sizeGrid->addWidget(rbPix, 0, 1);
  sizeGrid->addWidget(rbPct, 0, 2, 1, 2);
  sizeGrid->addWidget(lblWidth, 1, 0);
  sizeGrid->addWidget(meWidth, 1, 1);
  sizeGrid->addWidget(mePctWidth, 1, 2);
  sizeGrid->addWidget(new QLabel(QStringLiteral("%"), sizeBox), 1, 3);
  sizeGrid->addWidget(lblHeight, 2, 0);
  sizeGrid->addWidget(meHeight, 2, 1);
  sizeGrid->addWidget(mePctHeight, 2, 2);
  sizeGrid->addWidget(new QLabel(QStringLiteral("%"), sizeBox), 2, 3);
  sizeGrid->setRowStretch(3, 1);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  auto* currentLayout = new QVBoxLayout;
  currentLayout->setSpacing(2);
  currentLayout->addWidget(lblCurrent);
  currentLayout->addWidget(Label4);
  auto* boxes = new QHBoxLayout;
  boxes->setSpacing(10);
  boxes->addWidget(rgSizer);
  boxes->addWidget(sizeBox);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 12);
  layout->setSpacing(10);
  layout->addLayout(currentLayout);
  layout->addLayout(boxes);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  pmPresets = new QMenu(this);
  pmPresets->setObjectName(QStringLiteral("pmPresets"));
  for (size_t i = 0; i < kSizerPresets.size(); ++i) {
    const int preset = static_cast<int>(i);
    pmPresets->addAction(QString::fromLatin1(kSizerPresets[i].caption), this, [this, preset] { PresetClick(preset); });
  }

  connect(itemGroup_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (syncing_ || !checked) return;
    logic_.SelectItem(id);
    Sync();
  });
  connect(rbPix, &QRadioButton::toggled, this, [this](bool checked) {
    if (syncing_ || !checked) return;
    logic_.PixelsClick();
    Sync();
  });
  connect(rbPct, &QRadioButton::toggled, this, [this](bool checked) {
    if (syncing_ || !checked) return;
    logic_.PercentClick();
    Sync();
  });
  for (QLineEdit* field : {meWidth, meHeight, mePctWidth, mePctHeight}) {
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this, field](const QString& text) { FieldEdited(field, text); });
  }
  connect(btnOK, &QPushButton::clicked, this, &TfrmSizer::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  message_ = [this](const QString& text) { QMessageBox::critical(this, QApplication::applicationName(), text); };
  Sync();
}

std::optional<QSize> TfrmSizer::Execute(int currentWidth, int currentHeight) {
  SetCurrentSize(currentWidth, currentHeight);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return QSize(logic_.ChosenWidth(), logic_.ChosenHeight());
}

void TfrmSizer::SetCurrentSize(int width, int height) {
  currentWidth_ = width;
  currentHeight_ = height;
}

void TfrmSizer::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  FormShow();
  if (QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
    layout()->activate();
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TfrmSizer::FormShow() {
  activeField_ = nullptr;
  logic_.FormShow(currentWidth_, currentHeight_);
  Sync();
  rgSizerItems[static_cast<size_t>(logic_.ItemIndex())]->setFocus(Qt::OtherFocusReason);
}

void TfrmSizer::contextMenuEvent(QContextMenuEvent* event) { pmPresets->popup(event->globalPos()); }

void TfrmSizer::PresetClick(int preset) {
  logic_.PresetClick(preset);
  Sync();
}

void TfrmSizer::btnOKClick() {
  // Enter closes without leaving the field, so the field is read here.
  if (activeField_) {
    if (const std::optional<std::string> error = ExitField(activeField_)) {
      activeField_->setFocus(Qt::OtherFocusReason);
      message_(QString::fromStdString(*error));
      return;
    }
    activeField_ = nullptr;
  }
  accept();
}

bool TfrmSizer::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (!field || (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut))
    return QDialog::eventFilter(watched, event);
  if (Ignored(static_cast<QFocusEvent*>(event)->reason())) return false;
  if (event->type() == QEvent::FocusIn) {
    activeField_ = field;
    logic_.EnterSizeField();
    Sync();
    return false;
  }
  if (field != activeField_) return false;
  QWidget* next = QApplication::focusWidget();
  if (field->text().isEmpty()) {
    // OK reads the field itself and Cancel needs no number.
    if (next != btnOK && next != btnCancel) QTimer::singleShot(0, this, [this, field] { CheckLeftField(field); });
    return false;
  }
  ExitField(field);
  activeField_ = nullptr;
  return false;
}

void TfrmSizer::CheckLeftField(QLineEdit* field) {
  if (!isVisible()) return;
  if (const std::optional<std::string> error = ExitField(field)) {
    // Back into the field; the one that took the focus meanwhile is left normally.
    field->setFocus(Qt::OtherFocusReason);
    activeField_ = field;
    message_(QString::fromStdString(*error));
  } else if (activeField_ == field) {
    activeField_ = nullptr;
  }
}

std::optional<std::string> TfrmSizer::ExitField(QLineEdit* field) {
  if (field == meWidth) return logic_.ExitWidth();
  if (field == meHeight) return logic_.ExitHeight();
  if (field == mePctWidth) return logic_.ExitPctWidth();
  return logic_.ExitPctHeight();
}

void TfrmSizer::FieldEdited(QLineEdit* field, const QString& text) {
  if (syncing_) return;
  const std::string typed = text.toStdString();
  if (field == meWidth)
    logic_.SetWidthText(typed);
  else if (field == meHeight)
    logic_.SetHeightText(typed);
  else if (field == mePctWidth)
    logic_.SetPctWidthText(typed);
  else
    logic_.SetPctHeightText(typed);
  Sync();
}

void TfrmSizer::SetFieldText(QLineEdit* field, const std::string& text) {
  const QString value = QString::fromStdString(text);
  // Rewriting the field being typed in would move its cursor.
  if (field->text() != value) field->setText(value);
}

void TfrmSizer::Sync() {
  syncing_ = true;
  Label4->setText(QString::fromStdString(logic_.CurrentSizeText()));
  rgSizerItems[static_cast<size_t>(logic_.ItemIndex())]->setChecked(true);
  rbPix->setChecked(logic_.PixelMode());
  rbPct->setChecked(logic_.PercentMode());
  mePctWidth->setEnabled(logic_.PercentFieldsEnabled());
  mePctHeight->setEnabled(logic_.PercentFieldsEnabled());
  // In percent mode the pixel fields show the result; typing goes into the percents.
  meWidth->setReadOnly(logic_.PercentMode());
  meHeight->setReadOnly(logic_.PercentMode());
  SetFieldText(meWidth, logic_.WidthText());
  SetFieldText(meHeight, logic_.HeightText());
  SetFieldText(mePctWidth, logic_.PctWidthText());
  SetFieldText(mePctHeight, logic_.PctHeightText());
  syncing_ = false;
}

}  // namespace vell
