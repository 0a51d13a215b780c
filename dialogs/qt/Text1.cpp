#include "dialogs/qt/Text1.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <algorithm>
#include <vector>

#include "dialogs/FilterDesign.h"
#include "dialogs/TextLayout.h"
#include "dialogs/qt/ColrBtn.h"
#include "dialogs/qt/TextPanel.h"

namespace vell {

namespace {

constexpr int kScalableRole = Qt::UserRole + 1;
constexpr int kMaxTextSize = 1638;

// Family rows, drawn by the dialog: cleared, a mark for scalable (outline)
// fonts at the left edge, the name 18 pixels in and 2 below the row's top.
class TFontRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), 16};
  }
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    p->save();
    p->fillRect(r, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    if (index.data(kScalableRole).toBool()) {
      // Two overlapping letter Ts: a grey one behind, a dark one in front.
      QFont mark(option.font);
      mark.setPixelSize(11);
      mark.setBold(true);
      p->setFont(mark);
      p->setPen(QColor(128, 128, 128));
      p->drawText(QRect(r.left() + 1, r.top() + 1, 10, 14), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("T"));
      p->setPen(selected ? pal.color(QPalette::HighlightedText) : QColor(0, 0, 128));
      p->drawText(QRect(r.left() + 5, r.top() + 3, 10, 13), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("T"));
    }
    p->setFont(option.font);
    p->setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    p->drawText(QRect(r.left() + 18, r.top() + 2, r.width() - 18, r.height() - 2), Qt::AlignLeft | Qt::AlignTop,
                index.data(Qt::DisplayRole).toString());
    p->restore();
  }
};

int RowOf(const QListWidget* list, const QString& text) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text() == text) return i;
  return -1;
}

}  // namespace

TfText::TfText(QWidget* parent, QStringList families) : QDialog(parent) {
  setObjectName(QStringLiteral("fText"));
  setWindowTitle(QStringLiteral("Add Text"));
  setModal(true);
  ShowError = [this](const std::string& message) {
    QMessageBox::critical(this, windowTitle(), QString::fromStdString(message));
  };
  const bool enumerate = families.isEmpty();
  if (enumerate) families = QFontDatabase::families();

  auto* fontBox = new QGroupBox(QStringLiteral("Font Settings"), this);
  fontBox->setGeometry(8, 4, 452, 200);
  auto label = [&](QWidget* parent, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 16);
    return l;
  };
  label(fontBox, QStringLiteral("Name"), 10, 18, 200);
  eFontName = new QLineEdit(fontBox);
  eFontName->setObjectName(QStringLiteral("eFontName"));
  eFontName->setGeometry(10, 36, 220, 22);
  lbFonts = new QListWidget(fontBox);
  lbFonts->setObjectName(QStringLiteral("lbFonts"));
  lbFonts->setGeometry(10, 60, 220, 130);
  lbFonts->setItemDelegate(new TFontRowDelegate(lbFonts));
  lbFonts->setUniformItemSizes(true);
  // Sorted as the platform's lists sort: letter case ignored.
  std::sort(families.begin(), families.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  for (const QString& f : families) {
    auto* item = new QListWidgetItem(f);
    item->setData(kScalableRole, enumerate ? QFontDatabase::isScalable(f) : true);
    lbFonts->addItem(item);
  }

  label(fontBox, QStringLiteral("Style"), 240, 18, 110);
  eStyle = new QLineEdit(QString::fromLatin1(kTextStyleNames[0]), fontBox);
  eStyle->setObjectName(QStringLiteral("eStyle"));
  eStyle->setGeometry(240, 36, 110, 22);
  lbStyle = new QListWidget(fontBox);
  lbStyle->setObjectName(QStringLiteral("lbStyle"));
  lbStyle->setGeometry(240, 60, 110, 130);
  for (const char* s : kTextStyleNames) lbStyle->addItem(QString::fromLatin1(s));

  label(fontBox, QStringLiteral("Size"), 360, 18, 80);
  eSize = new QLineEdit(QString::number(kTextSizes[kDefaultTextSizeIndex]), fontBox);
  eSize->setObjectName(QStringLiteral("eSize"));
  eSize->setGeometry(360, 36, 80, 22);
  lbSize = new QListWidget(fontBox);
  lbSize->setObjectName(QStringLiteral("lbSize"));
  lbSize->setGeometry(360, 60, 80, 130);
  for (int s : kTextSizes) lbSize->addItem(QString::number(s));

  label(this, QStringLiteral("Sample of Selected Font:"), 10, 210, 300);
  tPnl1 = new TTextPanel(this);
  tPnl1->setObjectName(QStringLiteral("tPnl1"));
  tPnl1->setGeometry(10, 228, 321, 57);
  tPnl1->setText(QString::fromLatin1(kDefaultSampleText));
  tPnl1->setBevelWidth(1);

  auto* colourBox = new QWidget(this);
  colourBox->setGeometry(350, 228, 110, 57);
  ColrBtn1 = new TColrBtn(colourBox);
  ColrBtn1->setObjectName(QStringLiteral("ColrBtn1"));
  ColrBtn1->setCaption(QStringLiteral("Text Color"));
  ColrBtn1->setColor(0x000000);
  ColrBtn1->setGeometry(0, 10, 100, 36);
  connect(ColrBtn1, &TColrBtn::changed, this, [this](uint32_t c) { tPnl1->setFontColor(c); });

  label(this, QStringLiteral("Enter Text Here"), 10, 292, 300);
  Memo1 = new QTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAcceptRichText(false);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setGeometry(10, 310, 321, 80);
  Memo1->setPlainText(QString::fromLatin1(kDefaultSampleText));
  connect(Memo1, &QTextEdit::textChanged, this, [this] { tPnl1->setText(Text()); });

  auto* alignBox = new QGroupBox(QStringLiteral("Text Alignment"), this);
  alignBox->setObjectName(QStringLiteral("RadioGroup1"));
  alignBox->setGeometry(340, 292, 210, 58);
  auto* alignRow = new QHBoxLayout(alignBox);
  RadioGroup1 = new QButtonGroup(this);
  const char* captions[3] = {"Left", "Center", "Right"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(QString::fromLatin1(captions[i]), alignBox);
    b->setObjectName(QStringLiteral("rbAlign%1").arg(i));
    RadioGroup1->addButton(b, i);
    alignRow->addWidget(b);
  }
  RadioGroup1->button(0)->setChecked(true);
  connect(RadioGroup1, &QButtonGroup::idClicked, this, [this](int i) { RadioGroup1Click(i); });

  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(470, 20, 80, 26);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(470, 52, 80, 26);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

  lblFallback = new QLabel(this);
  lblFallback->setObjectName(QStringLiteral("lblFallback"));
  lblFallback->setGeometry(340, 354, 210, 40);
  lblFallback->setWordWrap(true);

  setFixedSize(560, 400);

  // Start-up choices: size 8, Regular, and the default family or the desktop's own.
  lbSize->setCurrentRow(kDefaultTextSizeIndex);
  lbStyle->setCurrentRow(0);
  QString family = QString::fromLatin1(kDefaultTextFamily);
  int row = RowOf(lbFonts, family);
  if (row < 0) {
    QString desktop = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    if (RowOf(lbFonts, desktop) < 0) desktop = QFontInfo(QFont(QStringLiteral("Sans Serif"))).family();
    fallback_ = desktop;
    family = desktop;
    row = RowOf(lbFonts, family);
    lblFallback->setText(QStringLiteral("%1 is not installed: using %2").arg(QString::fromLatin1(kDefaultTextFamily), family));
  }
  eFontName->setText(family);
  if (row >= 0) lbFonts->setCurrentRow(row);
  ApplyFont();

  // Only the user's own typing and clicks count; code that fills the fields does not.
  connect(lbFonts, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { lbFontsClick(lbFonts->row(i)); });
  connect(lbStyle, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { lbStyleClick(lbStyle->row(i)); });
  connect(lbSize, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) { lbSizeClick(lbSize->row(i)); });
  connect(eFontName, &QLineEdit::textEdited, this, [this](const QString& t) { eFontNameChange(t); });
  connect(eSize, &QLineEdit::textEdited, this, [this](const QString& t) { eSizeChange(t); });
}

QString TfText::Text() const {
  return QString::fromStdString(WithCrLf(Memo1->toPlainText().toStdString()));
}

QFont TfText::SampleFont() const { return tPnl1->TextFont(); }
uint32_t TfText::FontColor() const { return tPnl1->FontColor(); }
int TfText::AlignmentIndex() const { return std::max(0, RadioGroup1->checkedId()); }

void TfText::lbFontsClick(int row) {
  if (row < 0 || row >= lbFonts->count()) return;
  lbFonts->setCurrentRow(row);
  eFontName->setText(lbFonts->item(row)->text());
  ApplyFont();
}

void TfText::eFontNameChange(const QString& typed) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(lbFonts->count()));
  for (int i = 0; i < lbFonts->count(); ++i) names.push_back(lbFonts->item(i)->text().toStdString());
  const int row = FirstPrefixMatch(names, typed.toStdString());
  if (row >= 0) lbFonts->setCurrentRow(row);
}

void TfText::lbStyleClick(int row) {
  if (row < 0 || row >= 4) return;
  lbStyle->setCurrentRow(row);
  eStyle->setText(QString::fromLatin1(kTextStyleNames[static_cast<size_t>(row)]));
  styleIndex_ = row;
  ApplyFont();
}

void TfText::lbSizeClick(int row) {
  if (row < 0 || row >= lbSize->count()) return;
  lbSize->setCurrentRow(row);
  eSize->setText(lbSize->item(row)->text());
  ApplyFont();
}

void TfText::eSizeChange(const QString& typed) {
  int size = 0;
  const std::optional<int> row = SizeRowForTyped(typed.toStdString(), size);
  if (!row) return;
  lbSize->setCurrentRow(*row);
  ApplyFont();
}

void TfText::RadioGroup1Click(int index) {
  const Qt::Alignment a = index == 1 ? Qt::AlignHCenter : index == 2 ? Qt::AlignRight : Qt::AlignLeft;
  if (QAbstractButton* b = RadioGroup1->button(index)) b->setChecked(true);
  // The memo's own alignment, for every paragraph and for what is typed next.
  QTextOption option = Memo1->document()->defaultTextOption();
  option.setAlignment(a);
  Memo1->document()->setDefaultTextOption(option);
  Memo1->selectAll();
  Memo1->setAlignment(a);
  QTextCursor c = Memo1->textCursor();
  c.clearSelection();
  Memo1->setTextCursor(c);
}

void TfText::ApplyFont() {
  QFont f = tPnl1->TextFont();
  f.setFamily(eFontName->text());
  tPnl1->setTextFont(f);
  int size = 0;
  if (!StrToIntChecked(eSize->text().toStdString(), size)) {
    // The family is taken; size and style stay as they were.
    if (ShowError) ShowError(NotAnIntegerMessage(eSize->text().toStdString()));
    return;
  }
  // Qt has no font of 0 points or less: such a size keeps the previous one. Above
  // the largest size the platform offers (1638) the text would not fit any picture.
  if (size > 0) f.setPointSize(std::min(size, kMaxTextSize));
  f.setBold(styleIndex_ == 1 || styleIndex_ == 3);
  f.setItalic(styleIndex_ == 2 || styleIndex_ == 3);
  tPnl1->setTextFont(f);
}

}  // namespace vell
