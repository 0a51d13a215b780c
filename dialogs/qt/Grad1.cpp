#include "dialogs/qt/Grad1.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/FilterDesign.h"

namespace vell {

namespace {

// A caption drawn twice: white one pixel right of and below the text itself.
class TEmbossedLabel : public QWidget {
 public:
  TEmbossedLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setObjectName(QStringLiteral("lbl") + text.simplified().remove(QLatin1Char(' ')));
    const QFontMetrics fm(font());
    setFixedSize(fm.horizontalAdvance(text_) + 2, fm.height() + 1);
  }
  QString Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const int base = fontMetrics().ascent();
    p.setPen(Qt::white);
    p.drawText(1, base + 1, text_);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(0, base, text_);
  }

 private:
  QString text_;
};

QLineEdit* MakeEdit(const QString& name, const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 14);
  return edit;
}

// The paste button's picture: a small gradient square with an arrow into it.
QIcon PasteGlyph() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  QLinearGradient ramp(0, 2, 0, 14);
  ramp.setColorAt(0, QColor(0, 0, 128));
  ramp.setColorAt(1, QColor(0, 255, 255));
  p.fillRect(5, 2, 10, 12, ramp);
  p.setPen(Qt::black);
  p.drawRect(5, 2, 9, 11);
  p.drawLine(0, 8, 8, 8);
  p.drawLine(5, 5, 8, 8);
  p.drawLine(5, 11, 8, 8);
  return QIcon(pixmap);
}

constexpr uint32_t kDefaultBegin = 0x800000, kDefaultEnd = 0xFFFF00;

}  // namespace

TfGradient::TfGradient(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fGradient"));
  setWindowTitle(QStringLiteral("Gradient Designer"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  error_ = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };
  chooser_ = [this](uint32_t initial) -> std::optional<uint32_t> {
    const QColor chosen = QColorDialog::getColor(
        QColor(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
               static_cast<int>((initial >> 16) & 0xFF)),
        this);
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<uint32_t>(chosen.red()) | static_cast<uint32_t>(chosen.green()) << 8 |
           static_cast<uint32_t>(chosen.blue()) << 16;
  };

  meWide = MakeEdit(QStringLiteral("meWide"), QStringLiteral("256"), this);
  meHigh = MakeEdit(QStringLiteral("meHigh"), QStringLiteral("256"), this);
  meAngle = MakeEdit(QStringLiteral("meAngle"), QStringLiteral("0"), this);
  cbStyle = new QComboBox(this);
  cbStyle->setObjectName(QStringLiteral("cbStyle"));
  for (const TGradientStyleItem& item : kGradientStyleItems)
    cbStyle->addItem(QString::fromLatin1(item.Text.data(), static_cast<qsizetype>(item.Text.size())));
  cbStyle->setCurrentIndex(1);

  bFromCl = new QPushButton(QStringLiteral("From Color..."), this);
  bFromCl->setObjectName(QStringLiteral("bFromCl"));
  bFromCl->setToolTip(QStringLiteral("Set Starting Color"));
  bClTo = new QPushButton(QStringLiteral("To Color..."), this);
  bClTo->setObjectName(QStringLiteral("bClTo"));
  bClTo->setToolTip(QStringLiteral("Set Ending Color"));
  bPaste = new QToolButton(this);
  bPaste->setObjectName(QStringLiteral("bPaste"));
  bPaste->setIcon(PasteGlyph());
  bPaste->setToolTip(QStringLiteral("Paste into Image Now"));
  bDefault = new QPushButton(QStringLiteral("D"), this);
  bDefault->setObjectName(QStringLiteral("bDefault"));
  bDefault->setToolTip(QStringLiteral("Reset to Defaults"));
  bDefault->setFixedWidth(bDefault->fontMetrics().horizontalAdvance(QStringLiteral("DD")) + 12);
  bDefault->setAutoDefault(false);
  bFromCl->setAutoDefault(false);
  bClTo->setAutoDefault(false);
  bOK = new QPushButton(QStringLiteral("OK"), this);
  bOK->setObjectName(QStringLiteral("bOK"));
  bOK->setDefault(true);

  hGrad = new TVellGradient();
  hGrad->setObjectName(QStringLiteral("hGrad"));
  hGrad->SetGradientStyle(TGradientStyle::gsVertCenter);
  hGrad->SetGradientSize(256, 256);
  // A preview larger than the screen scrolls instead of pushing the dialog off it.
  preview_ = new QScrollArea(this);
  preview_->setObjectName(QStringLiteral("pPreview"));
  preview_->setFrameShape(QFrame::NoFrame);
  preview_->setWidgetResizable(false);
  preview_->setWidget(hGrad);

  auto* fields = new QGridLayout;
  fields->setHorizontalSpacing(8);
  fields->setVerticalSpacing(2);
  const QString labels[] = {QStringLiteral("Width"), QStringLiteral("Height"), QStringLiteral("Gradient Style"),
                            QStringLiteral("Angle")};
  QWidget* controls[] = {meWide, meHigh, cbStyle, meAngle};
  for (int i = 0; i < 4; ++i) {
    fields->addWidget(new TEmbossedLabel(labels[i], this), 0, i);
    fields->addWidget(controls[i], 1, i);
  }
  fields->setColumnStretch(4, 1);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(6);
  buttons->addWidget(bFromCl);
  buttons->addWidget(bClTo);
  buttons->addWidget(bPaste);
  buttons->addWidget(bDefault);
  buttons->addStretch(1);
  buttons->addWidget(bOK);
  auto* column = new QVBoxLayout(this);
  column->setSizeConstraint(QLayout::SetFixedSize);  // the dialog fits its contents
  column->setContentsMargins(8, 8, 8, 8);
  column->setSpacing(6);
  column->addLayout(fields);
  column->addLayout(buttons);
  column->addWidget(preview_, 0, Qt::AlignLeft);
  FitPreview();

  connect(meWide, &QLineEdit::textChanged, this, [this] { meWideChange(); });
  connect(meHigh, &QLineEdit::textChanged, this, [this] { meHighChange(); });
  connect(meAngle, &QLineEdit::textChanged, this, [this] { meAngleChange(); });
  connect(cbStyle, &QComboBox::currentIndexChanged, this, [this](int index) { cbStyleChange(index); });
  connect(bFromCl, &QPushButton::clicked, this, [this] { bFromClClick(); });
  connect(bClTo, &QPushButton::clicked, this, [this] { bClToClick(); });
  connect(bPaste, &QToolButton::clicked, this, [this] { emit pasteRequested(); });
  connect(bDefault, &QPushButton::clicked, this, [this] { bDefaultClick(); });
  connect(bOK, &QPushButton::clicked, this, [this] { bOKClick(); });
}

bool TfGradient::Execute() {
  // Width 1 first: the dialog then shrinks or grows to the preview.
  resize(1, height());
  FitPreview();
  return exec() == QDialog::Accepted;
}

void TfGradient::SetImageSize(int width, int height) {
  meWide->setText(QString::number(width));
  meHigh->setText(QString::number(height));
  hGrad->SetGradientSize(width, height);
  FitPreview();
}

QString TfGradient::WidthText() const { return meWide->text(); }
QString TfGradient::HeightText() const { return meHigh->text(); }
QString TfGradient::StyleText() const { return cbStyle->currentText(); }
QString TfGradient::AngleText() const { return meAngle->text(); }

QString TfGradient::ThumbHint() const {
  return QStringLiteral("W: %1  H: %2 - Dbl Click to Paste into Image")
      .arg(hGrad->GradientWidth())
      .arg(hGrad->GradientHeight());
}

std::optional<int> TfGradient::Convert(const QString& text) {
  int value = 0;
  const std::string typed = text.toStdString();
  if (StrToIntChecked(typed, value)) return value;
  if (error_) error_(QString::fromStdString(NotAnIntegerMessage(typed)));
  return std::nullopt;
}

void TfGradient::meWideChange() {
  if (meWide->text().isEmpty()) return;
  if (const std::optional<int> w = Convert(meWide->text())) {
    hGrad->SetGradientSize(*w, hGrad->GradientHeight());
    FitPreview();
  }
  emit fieldsChanged();
}

void TfGradient::meHighChange() {
  if (meHigh->text().isEmpty()) return;
  // A height of 1 or less is ignored: the centred styles need two rows.
  if (const std::optional<int> h = Convert(meHigh->text()); h && *h > 1) {
    hGrad->SetGradientSize(hGrad->GradientWidth(), *h);
    FitPreview();
  }
  emit fieldsChanged();
}

void TfGradient::meAngleChange() {
  if (meAngle->text().isEmpty()) return;
  if (const std::optional<int> a = Convert(meAngle->text())) hGrad->SetStartAngle(*a);
  emit fieldsChanged();
}

void TfGradient::cbStyleChange(int index) {
  if (index < 0 || index >= static_cast<int>(kGradientStyleItems.size())) return;
  hGrad->SetGradientStyle(kGradientStyleItems[static_cast<size_t>(index)].Style);
  emit fieldsChanged();
}

void TfGradient::bFromClClick() {
  if (!chooser_) return;
  if (const std::optional<uint32_t> c = chooser_(hGrad->BeginColor())) {
    hGrad->SetBeginColor(*c & 0xFFFFFF);
    emit fieldsChanged();
  }
}

void TfGradient::bClToClick() {
  if (!chooser_) return;
  if (const std::optional<uint32_t> c = chooser_(hGrad->EndColor())) {
    hGrad->SetEndColor(*c & 0xFFFFFF);
    emit fieldsChanged();
  }
}

void TfGradient::bDefaultClick() {
  hGrad->SetBeginColor(kDefaultBegin);
  hGrad->SetEndColor(kDefaultEnd);
  hGrad->SetGradientStyle(TGradientStyle::gsVertCenter);
  hGrad->SetGradientSize(256, 256);
  hGrad->SetStartAngle(0);
  meWide->setText(QStringLiteral("256"));
  meHigh->setText(QStringLiteral("256"));
  meAngle->setText(QStringLiteral("0"));
  cbStyle->setCurrentIndex(1);
  FitPreview();
  emit fieldsChanged();
}

void TfGradient::bOKClick() { accept(); }

void TfGradient::FitPreview() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize room = screen ? screen->availableGeometry().size() - QSize(60, 200) : QSize(1600, 1000);
  const QSize want(hGrad->GradientWidth(), hGrad->GradientHeight());
  const int bar = preview_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  QSize shown(std::min(want.width(), std::max(room.width(), 64)), std::min(want.height(), std::max(room.height(), 64)));
  // Room for a scroll bar where the picture does not fit.
  if (shown.width() < want.width()) shown.rheight() = std::min(want.height() + bar, std::max(room.height(), 64));
  if (shown.height() < want.height()) shown.rwidth() = std::min(want.width() + bar, std::max(room.width(), 64));
  preview_->setFixedSize(std::max(shown.width(), 1), std::max(shown.height(), 1));
}

}  // namespace vell
