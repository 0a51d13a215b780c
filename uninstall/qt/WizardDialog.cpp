#include "WizardDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "Icons.h"
#include "Strings.h"

namespace yarb::qt {

namespace {
constexpr int kFrames[23][2] = {{0, 10},   {5, 8},   {8, 6},   {14, 5},  {19, 2},  {26, 2},
                                {30, 2},   {38, 2},  {42, 2},  {50, 0},  {57, 0},  {62, 0},
                                {72, 0},   {78, 2},  {87, 3},  {94, 4},  {102, 8}, {110, 10},
                                {114, 11}, {118, 13}, {121, 5}, {126, 16}, {126, 17}};
const int kRadioIds[3] = {1000, 1001, 1009};
}  // namespace

QPoint WizardDialog::FramePosition(int frame) {
  if (frame < 1 || frame > 23) return {};
  return {kFrames[frame - 1][0], kFrames[frame - 1][1]};
}

QLabel* WizardDialog::MakeLabel(const char* name, QRect r) {
  auto* l = new QLabel(this);
  l->setObjectName(name);
  l->setGeometry(r);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->setTextFormat(Qt::PlainText);
  return l;
}

WizardDialog::WizardDialog(WizardFlow& flow, const UninstallSettings& settings,
                           std::function<std::string(int)> text, const QString& caption,
                           QWidget* parent)
    : QDialog(parent),
      flow_(flow),
      settings_(settings),
      text_(std::move(text)),
      units_(Fonts(settings).normal),
      banner_(DrawBanner()) {
  setObjectName("wizard");
  setWindowTitle(caption);
  setWindowIcon(QIcon(DrawIcon(101)));
  setModal(false);
  PrepareDialog(this, settings, 285, 237);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);

  title_ = MakeLabel("title", units_.Rect(7, 9, 142, 10));
  title_->setFont(Fonts(settings).bold);
  title_->setAttribute(Qt::WA_TranslucentBackground);
  text1_ = MakeLabel("text1", units_.Rect(7, 43, 270, 33));
  list_ = new QListWidget(this);
  list_->setObjectName("list");
  list_->setGeometry(units_.Rect(7, 76, 270, 107));
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  progressText_ = MakeLabel("progressText", units_.Rect(7, 78, 270, 33));
  text2_ = MakeLabel("text2", units_.Rect(7, 93, 270, 46));
  status_ = MakeLabel("status", units_.Rect(7, 124, 270, 40));
  report_ = new QPlainTextEdit(this);
  report_->setObjectName("report");
  report_->setReadOnly(true);
  report_->setGeometry(units_.Rect(7, 76, 270, 107));
  report_->hide();
  const int radioY[3] = {144, 156, 168};
  for (int i = 0; i < 3; ++i) {
    radios_[i] = new QRadioButton(this);
    radios_[i]->setObjectName(QStringLiteral("radio%1").arg(kRadioIds[i]));
    radios_[i]->setGeometry(units_.Rect(132, radioY[i], 105, 11));
  }
  auto button = [&](const char* name, int x, int y) {
    auto* b = new QPushButton(this);
    b->setObjectName(name);
    b->setGeometry(units_.Rect(x, y, name[0] == 's' ? 58 : 50, 14));
    b->setAutoDefault(false);
    return b;
  };
  selectAll_ = button("selectAll", 67, 187);
  selectNone_ = button("selectNone", 159, 187);
  brand_ = MakeLabel("brand", units_.Rect(7, 206, 69, 10));
  brand_->setText(QString::fromUtf8("Yarb Installation Wizard\u00ae"));
  brand_->setEnabled(false);
  back_ = button("back", 112, 217);
  next_ = button("next", 162, 217);
  next_->setDefault(true);
  cancel_ = button("cancel", 227, 217);

  connect(selectAll_, &QPushButton::clicked, this, [this] { list_->selectAll(); });
  connect(selectNone_, &QPushButton::clicked, this, [this] { list_->clearSelection(); });
  connect(next_, &QPushButton::clicked, this, &WizardDialog::Next);
  connect(back_, &QPushButton::clicked, this, &WizardDialog::Back);
  connect(cancel_, &QPushButton::clicked, this, &WizardDialog::CancelClicked);

  timer_ = new QTimer(this);
  timer_->setInterval(150);
  connect(timer_, &QTimer::timeout, this, [this] {
    frame_ = frame_ % 25 + 1;
    update(units_.Rect(7, 43, 270, 33));
  });
}

void WizardDialog::ShowPage(int page) {
  page_ = page;
  const PageView v = flow_.View(page);
  title_->setText(Q(v.title));
  text1_->setText(Q(v.text1));
  text2_->setText(Q(v.text2));
  text2_->setVisible(!v.isList && !v.text2.empty());
  list_->setVisible(v.isList);
  selectAll_->setVisible(v.isList);
  selectNone_->setVisible(v.isList);
  selectAll_->setText(Q(v.selectAllText));
  selectNone_->setText(Q(v.selectNoneText));
  progressText_->hide();
  status_->hide();
  if (v.isList) {
    // The list's horizontal extent follows its widest item by itself.
    list_->clear();
    for (size_t i = 0; i < v.items.size(); ++i) {
      auto* item = new QListWidgetItem(Q(v.items[i]), list_);
      item->setSelected(i < v.selected.size() && v.selected[i]);
    }
    list_->scrollToTop();
    list_->horizontalScrollBar()->setValue(0);
  }
  for (int i = 0; i < 3; ++i) {
    if (i < static_cast<int>(v.radios.size())) {
      radios_[i]->setText(Q(v.radios[i].text));
      radios_[i]->setVisible(v.radios[i].visible);
      radios_[i]->setChecked(v.radios[i].checked);
    } else {
      radios_[i]->hide();
    }
  }
  next_->setText(Q(v.nextText));
  back_->setText(Q(v.backText));
  cancel_->setText(Q(v.cancelText));
  back_->setEnabled(v.backEnabled);
  back_->setVisible(v.backVisible);
  next_->setVisible(v.nextVisible);
  emit stateChanged();
}

void WizardDialog::LeavePage() {
  const PageView v = flow_.View(page_);
  int checked = 0;
  for (int i = 0; i < 3; ++i)
    if (i < static_cast<int>(v.radios.size()) && radios_[i]->isChecked()) checked = v.radios[i].id;
  std::vector<bool> sel;
  if (v.isList)
    for (int i = 0; i < list_->count(); ++i) sel.push_back(list_->item(i)->isSelected());
  flow_.Leave(page_, checked, sel);
}

void WizardDialog::Next() {
  if (running_) return;
  LeavePage();
  if (page_ == kPageConfirm) {
    finish_ = true;
    emit stateChanged();
    return;
  }
  ShowPage(flow_.NextPage(page_, true));
}

void WizardDialog::Back() {
  if (running_) return;
  LeavePage();
  ShowPage(flow_.NextPage(page_, false));
}

void WizardDialog::CancelClicked() {
  if (done_) {
    closed_ = true;
    emit stateChanged();
    return;
  }
  if (cancelled_ || cancelRequested_) return;
  const bool timerWasOn = timer_->isActive();
  timer_->stop();
  const bool yes = askYesNo ? askYesNo(text_(kStrCancelQuestion), text_(kStrUninstall)) : true;
  if (timerWasOn) timer_->start();
  if (!yes) return;
  if (running_) {
    cancelRequested_ = true;
  } else {
    cancelled_ = true;
    hide();
  }
  emit stateChanged();
}

void WizardDialog::reject() { CancelClicked(); }

void WizardDialog::closeEvent(QCloseEvent* e) {
  e->ignore();
  CancelClicked();
}

void WizardDialog::BeginProgress(const std::string& pageText) {
  running_ = true;
  list_->hide();
  selectAll_->hide();
  selectNone_->hide();
  for (auto* r : radios_) r->hide();
  text1_->hide();
  text2_->hide();
  back_->hide();
  next_->hide();
  progressText_->setText(Q(pageText));
  progressText_->show();
  status_->show();
  cancel_->setText(Q(text_(48)));
  frame_ = 0;
  timer_->start();
  update();
}

void WizardDialog::SetStatus(const std::string& text) {
  const std::string t = "\r\n\r\n" + text;
  if (t == status_text_) return;
  status_text_ = t;
  status_->setText(Q(t));
  update(units_.Rect(7, 170, 270, 14));
}

void WizardDialog::SetProgress(int done, int total) {
  progressDone_ = done;
  progressTotal_ = std::max(total, 1);
  update(units_.Rect(7, 170, 270, 14));
}

void WizardDialog::ShowReport(const std::string& summary, const std::string& report) {
  running_ = false;
  done_ = true;
  timer_->stop();
  status_->hide();
  progressText_->hide();
  list_->hide();
  text1_->setText(Q(summary));
  text1_->show();
  report_->setPlainText(QString::fromStdString(report));
  report_->show();
  back_->hide();
  next_->hide();
  cancel_->setText(Q(text_(kStrClose)));
  cancel_->setDefault(true);
  cancel_->setFocus();
  update();
}

void WizardDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int bannerBottom = units_.Y(39);
  p.drawPixmap(QRect(0, 0, width(), bannerBottom), banner_);
  const QColor shadow = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
  for (QRect r : {units_.Rect(7, 39, 270, 1), units_.Rect(77, 210, 200, 1)}) {
    p.setPen(shadow);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.setPen(light);
    p.drawLine(r.left(), r.top() + 1, r.right(), r.top() + 1);
  }
  if (!running_) return;
  // The animation, drawn off screen first.
  const QRect area = units_.Rect(7, 43, 270, 33);
  QPixmap off(area.size());
  off.fill(palette().color(QPalette::Button));
  {
    QPainter o(&off);
    const int bx = units_.BaseX(), by = units_.BaseY();
    o.drawPixmap(0, 10 * by / 8, DrawIcon(107));
    if (frame_ >= 1 && frame_ <= 23) {
      const QPoint f = FramePosition(frame_);
      o.drawPixmap(f.x() * bx / 4, f.y() * by / 8, DrawIcon(107 + frame_));
    }
  }
  p.drawPixmap(area.topLeft(), off);
  PaintBar(p, units_.Rect(7, 170, 270, 14), progressDone_, progressTotal_, true, palette());
}

}  // namespace yarb::qt
