#include "dialogs/qt/Print1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace vell {

namespace {

QGroupBox* RadioGroup(const QString& name, const QString& title, const QStringList& items, QWidget* parent,
                      QRadioButton** buttons, QButtonGroup*& group) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  group = new QButtonGroup(box);
  auto* layout = new QVBoxLayout(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* item = new QRadioButton(items[i], box);
    item->setObjectName(name + QStringLiteral("Item%1").arg(i));
    group->addButton(item, i);
    layout->addWidget(item);
    buttons[i] = item;
  }
  buttons[0]->setChecked(true);
  layout->addStretch(1);
  return box;
}

QLineEdit* NumberEdit(const char* name, const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000.000")) + 12);
  return edit;
}

int ScreenDpi(bool horizontal) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 96;
  const int dpi = qRound(horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY());
  return dpi > 0 ? dpi : 96;
}

}  // namespace

TfPrint::TfPrint(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fPrint"));
  setWindowTitle(QStringLiteral("Print Options"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  QStringList sizeItems;
  for (const char* item : kPrintSizeItems) sizeItems << QString::fromLatin1(item);
  rgSize = RadioGroup(QStringLiteral("rgSize"), QStringLiteral("Size"), sizeItems, this, rgSizeItems.data(), sizeGroup_);
  QButtonGroup* alignGroup = nullptr;
  rgAlign = RadioGroup(QStringLiteral("rgAlign"), QStringLiteral("Alignment"),
                       {QStringLiteral("Top Left"), QStringLiteral("Center")}, this, rgAlignItems.data(), alignGroup);
  QButtonGroup* orientGroup = nullptr;
  rgOrient = RadioGroup(QStringLiteral("rgOrient"), QStringLiteral("Orientation"),
                        {QStringLiteral("Portrait"), QStringLiteral("Landscape")}, this, rgOrientItems.data(),
                        orientGroup);
  connect(sizeGroup_, &QButtonGroup::idClicked, this, [this](int id) { rgSizeClick(id); });

  lblScale = new QLabel(QStringLiteral("Scaling Factor"), this);
  eScale = NumberEdit("eScale", QStringLiteral("1.375"), this);
  lblScale->setBuddy(eScale);
  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setText(QStringLiteral("?"));
  SpeedButton1->setToolTip(QStringLiteral("What's the Scaling Factor?"));
  SpeedButton1->setFixedSize(eScale->sizeHint().height(), eScale->sizeHint().height());
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  lblInches = new QLabel(QStringLiteral("Size in Inches"), this);
  QFont bold = lblInches->font();
  bold.setBold(true);
  lblInches->setFont(bold);
  lblWide = new QLabel(QStringLiteral("Width"), this);
  lblHigh = new QLabel(QStringLiteral("Height"), this);
  eWide = NumberEdit("eWide", QStringLiteral("3.5"), this);
  eHigh = NumberEdit("eHigh", QStringLiteral("3.5"), this);
  lblWide->setBuddy(eWide);
  lblHigh->setBuddy(eHigh);
  eWide->installEventFilter(this);
  eHigh->installEventFilter(this);
  cbAspect = new QCheckBox(QStringLiteral("Maintain Ratio"), this);
  cbAspect->setObjectName(QStringLiteral("cbAspect"));
  cbAspect->setChecked(true);

  sbPrint = new QPushButton(QStringLiteral("Setup.."), this);
  sbPrint->setObjectName(QStringLiteral("sbPrint"));
  sbPrint->setToolTip(QStringLiteral("Printer Setup..."));
  sbPrint->setAutoDefault(false);
  connect(sbPrint, &QPushButton::clicked, this, [this] { sbPrintClick(); });
  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setToolTip(QStringLiteral("Print using selected settings"));
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setToolTip(QStringLiteral("Do not print"));
  BitBtn2->setAutoDefault(false);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addAction(QStringLiteral("CD Jacket - Front"), this, [this] { CDJacketClick(TPrintSize::CDFront); });
  PopupMenu1->addAction(QStringLiteral("CD Jacket - Back"), this, [this] { CDJacketClick(TPrintSize::CDBack); });

  // Scaling and size controls share one place; only one set shows at a time.
  auto* fields = new QWidget(this);
  auto* grid = new QGridLayout(fields);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(6);
  for (QWidget* w : {static_cast<QWidget*>(lblScale), static_cast<QWidget*>(eScale), static_cast<QWidget*>(SpeedButton1),
                     static_cast<QWidget*>(lblInches), static_cast<QWidget*>(lblWide), static_cast<QWidget*>(lblHigh),
                     static_cast<QWidget*>(eWide), static_cast<QWidget*>(eHigh), static_cast<QWidget*>(cbAspect)})
    w->setParent(fields);
  grid->addWidget(lblScale, 0, 0, 1, 3);
  grid->addWidget(eScale, 1, 0, 1, 2);
  grid->addWidget(SpeedButton1, 1, 2);
  grid->addWidget(lblInches, 2, 0, 1, 3);
  grid->addWidget(lblWide, 3, 0);
  grid->addWidget(eWide, 3, 1, 1, 2);
  grid->addWidget(lblHigh, 4, 0);
  grid->addWidget(eHigh, 4, 1, 1, 2);
  grid->addWidget(cbAspect, 5, 0, 1, 3);
  grid->setRowStretch(6, 1);

  auto* right = new QVBoxLayout;
  right->addWidget(rgAlign);
  right->addWidget(rgOrient);
  auto* top = new QHBoxLayout;
  top->setSpacing(10);
  top->addWidget(rgSize);
  top->addLayout(right);
  top->addWidget(fields);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(sbPrint);
  buttons->addStretch(1);
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  // A fixed border: the dialog is exactly as large as its contents, with
  // room kept for whichever set of fields shows.
  fields->setMinimumSize(fields->sizeHint());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ShowScaling(true);
  ShowSizes(false);
  message_ = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
}

TfPrint::~TfPrint() = default;

void TfPrint::SetImageSize(int width, int height) {
  imageWidth_ = width;
  imageHeight_ = height;
}

QString TfPrint::HelpText() {
  return QStringLiteral(
      "The scaling factor is only used for Match Screen Size printing.\r"
      "Translating screen size to printer size is not an exact process.  On my 800 x 600 system I must use the "
      "1.375 scaling to get a close approximation of what I see on the screen to what is printed, otherwise the "
      "printed image is very small.  You can adjust this to whatever seems to work on your particular printer, "
      "probably a value between 1 and 2.");
}

QPrinter& TfPrint::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

char TfPrint::Separator() const {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

TPrintSize TfPrint::SizeChoice() const {
  for (size_t i = 0; i < rgSizeItems.size(); ++i)
    if (rgSizeItems[i]->isChecked()) return static_cast<TPrintSize>(i);
  return TPrintSize::MatchScreen;
}

TPrintAlign TfPrint::AlignChoice() const {
  return rgAlignItems[1]->isChecked() ? TPrintAlign::Center : TPrintAlign::TopLeft;
}

bool TfPrint::Landscape() const { return rgOrientItems[1]->isChecked(); }

void TfPrint::ShowScaling(bool shown) {
  lblScale->setVisible(shown);
  eScale->setVisible(shown);
  SpeedButton1->setVisible(shown);
}

void TfPrint::ShowSizes(bool shown) {
  lblInches->setVisible(shown);
  lblWide->setVisible(shown);
  lblHigh->setVisible(shown);
  eWide->setVisible(shown);
  eHigh->setVisible(shown);
  cbAspect->setVisible(shown);
}

void TfPrint::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TfPrint::FormShow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  eScale->setText(QString::fromLatin1(DefaultScaleText(screen ? screen->geometry().width() : 0)));
  const char sep = Separator();
  eWide->setText(QString::fromStdString(InchesText(imageWidth_, ScreenDpi(true), sep)));
  eHigh->setText(QString::fromStdString(InchesText(imageHeight_, ScreenDpi(false), sep)));
}

void TfPrint::rgSizeClick(int index) {
  if (index < 0 || index >= static_cast<int>(rgSizeItems.size())) return;
  rgSizeItems[static_cast<size_t>(index)]->setChecked(true);
  const auto size = static_cast<TPrintSize>(index);
  ShowScaling(size == TPrintSize::MatchScreen);
  ShowSizes(size != TPrintSize::MatchScreen && size != TPrintSize::StretchToFit);
  if (const std::optional<TPrintPreset> preset = CDPreset(size)) {
    eWide->setText(QString::fromLatin1(preset->width));
    eHigh->setText(QString::fromLatin1(preset->height));
    rgOrientItems[1]->setChecked(true);
    rgAlignItems[1]->setChecked(true);
  }
}

void TfPrint::CDJacketClick(TPrintSize cover) {
  if (!IsCDCover(cover)) return;
  rgSizeClick(static_cast<int>(cover));
}

void TfPrint::eWideExit() {
  if (!cbAspect->isChecked()) return;
  if (auto text = RatioText(eWide->text().toStdString(), imageHeight_, imageWidth_, Separator()))
    eHigh->setText(QString::fromStdString(*text));
}

void TfPrint::eHighExit() {
  if (!cbAspect->isChecked()) return;
  if (auto text = RatioText(eHigh->text().toStdString(), imageWidth_, imageHeight_, Separator()))
    eWide->setText(QString::fromStdString(*text));
}

bool TfPrint::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Switching windows or opening a menu does not leave the field.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == eWide) eWideExit();
      if (watched == eHigh) eHighExit();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfPrint::contextMenuEvent(QContextMenuEvent* event) { PopupMenu1->popup(event->globalPos()); }

void TfPrint::SpeedButton1Click() {
  // Message boxes want LF where the text has its CR.
  QString text = HelpText();
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  message_(text);
}

void TfPrint::sbPrintClick() {
  QPrintDialog dialog(&Printer(), this);
  dialog.setWindowTitle(QStringLiteral("Printer Setup"));
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  // This only chooses the printer; the Options dialog's OK prints.
  if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
    for (QAbstractButton* b : box->buttons())
      if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) b->setText(QStringLiteral("OK"));
  }
  dialog.exec();
}

std::optional<std::string> TfPrint::ReadRequest(TPrintRequest& request) const {
  request.size = SizeChoice();
  request.align = AlignChoice();
  request.imageWidth = imageWidth_;
  request.imageHeight = imageHeight_;
  return ReadPrintFields(eScale->text().toStdString(), eWide->text().toStdString(), eHigh->text().toStdString(),
                         request, Separator());
}

TPrintMetrics TfPrint::Metrics(QPrinter& printer) {
  TPrintMetrics m;
  m.printerDpiX = printer.logicalDpiX();
  m.printerDpiY = printer.logicalDpiY();
  m.screenDpiX = ScreenDpi(true);
  m.screenDpiY = ScreenDpi(false);
  m.pageWidth = printer.width();
  m.pageHeight = printer.height();
  return m;
}

TfPrint::TOutcome TfPrint::PrintImage(const QImage& image, QPrinter& printer) {
  TOutcome out;
  TPrintRequest request;
  if (std::optional<std::string> error = ReadRequest(request)) {
    out.error = *error;
    return out;
  }
  if (!image.isNull()) {
    request.imageWidth = image.width();
    request.imageHeight = image.height();
  }
  // The orientation decides every measure read after it.
  printer.setPageOrientation(Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
  out.metrics = Metrics(printer);
  out.rect = ComputePrintRect(request, out.metrics);

  QPainter painter;
  if (!painter.begin(&printer)) {
    out.error = "The printer could not be started; nothing was printed.";
    return out;
  }
  const QRect target(out.rect.left, out.rect.top, out.rect.width, out.rect.height);
  // Pixels are copied as they are: never smoothed, never recompressed.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // PDF output would otherwise store the tile as a JPEG, which is not its pixels.
  painter.setRenderHint(QPainter::LosslessImageRendering, true);
  painter.drawImage(target, image);
  if (IsCDCover(request.size)) {
    // The cutting guide: one dot wide on the rectangle's outermost dots.
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(out.rect.left + 0.5, out.rect.top + 0.5, out.rect.width - 1.0, out.rect.height - 1.0));
  }
  if (!painter.end()) {
    out.error = "The printer did not finish the page.";
    return out;
  }
  out.printed = true;
  return out;
}

}  // namespace vell
