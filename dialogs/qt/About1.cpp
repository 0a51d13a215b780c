#include "dialogs/qt/About1.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/qt/URLLabel.h"
#include "dialogs/qt/VellFade.h"

// The pictures live in this static library; they must be registered by hand.
static void InitAboutResources() { Q_INIT_RESOURCE(About); }

namespace vell {

namespace {

// The box's own message, posted when it is shown.
const QEvent::Type kAboutMessage = static_cast<QEvent::Type>(QEvent::User + 1026);

const QColor kSilver(192, 192, 192);

QFrame* Panel(const char* name, QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  panel->setGeometry(8, 8, 260, 184);
  return panel;
}

QLabel* Line(const char* name, const QString& text, QWidget* parent, int pointDelta = 0, bool bold = false) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  QFont f = label->font();
  if (pointDelta != 0 && f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() + pointDelta);
  f.setBold(bold);
  label->setFont(f);
  return label;
}

TVellFade* Button(const char* name, const char* off, const char* on, int w, int h, QWidget* parent) {
  auto* fader = new TVellFade(parent);
  fader->setObjectName(QString::fromLatin1(name));
  fader->resize(w, h);
  fader->setMsecPerFrame(5);
  fader->setPicFrom(QImage(QString::fromLatin1(off)));
  fader->setPicTo(QImage(QString::fromLatin1(on)));
  fader->setCursor(Qt::PointingHandCursor);
  // Lights up under the mouse, goes out when it leaves.
  QObject::connect(fader, &TVellFade::OnMouseEnter, fader, &TVellFade::Fade);
  QObject::connect(fader, &TVellFade::OnMouseLeave, fader, &TVellFade::FadeBack);
  return fader;
}

}  // namespace

TfAbout::TfAbout(QWidget* parent) : QDialog(parent) {
  InitAboutResources();
  setObjectName(QStringLiteral("fAbout"));
  setWindowTitle(QStringLiteral("About Quilo"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(276, 250);

  // The animation panel: two faders on silver.
  pnlAnimation = Panel("pnlAnimation", this);
  pnlAnimation->setAutoFillBackground(true);
  QPalette silver = pnlAnimation->palette();
  silver.setColor(QPalette::Window, kSilver);
  pnlAnimation->setPalette(silver);
  const QImage intro(QStringLiteral(":/about/intro.png"));
  const QImage tiles(QStringLiteral(":/about/tiles.png"));
  hf1 = new TVellFade(pnlAnimation);
  hf1->setObjectName(QStringLiteral("hf1"));
  hf1->setGeometry(2, 2, 256, 180);
  hf1->setStretchToFit(false);
  hf1->setColorFrom(kSilver);
  hf1->setPicTo(intro);
  hf1->setDisolvRate(550);
  hf1->setSwapDelay(3);
  hf1->setMsecPerFrame(15);
  hf1->setAutoReverse(false);
  hf1->hide();
  hf2 = new TVellFade(pnlAnimation);
  hf2->setObjectName(QStringLiteral("hf2"));
  hf2->setGeometry(2, 2, 256, 180);
  hf2->setStretchToFit(false);
  hf2->setPicFrom(intro);
  hf2->setPicTo(tiles);
  hf2->setDisolvRate(200);
  hf2->setAutoReverse(true);
  hf2->setSwapOnReverse(false);
  hf2->setMsecPerFrame(15);
  hf2->hide();
  connect(hf1, &TVellFade::OnEnd, this, [this] { hf1End(); });
  connect(hf2, &TVellFade::OnEnd, this, [this] { hf2End(); });

  // The information panel.
  pnlInfo = Panel("pnlInfo", this);
  lblProduct = Line("lblProduct", QStringLiteral("Quilo"), pnlInfo, 5, true);
  lblVersion = Line("lblVersion", QStringLiteral("VellTile seamless tile editor, version 1.0"), pnlInfo);
  lblRights = Line("lblRights", QStringLiteral("All rights reserved."), pnlInfo);
  lblYears = Line("lblYears", QStringLiteral("Copyright \u00a9 2025 - 2026"), pnlInfo);
  lblCredit = Line("lblCredit", QStringLiteral("Pictures drawn for Quilo, pixel by pixel"), pnlInfo, -1);
  QPalette purple = lblCredit->palette();
  purple.setColor(QPalette::WindowText, QColor(128, 0, 128));
  lblCredit->setPalette(purple);
  auto link = [this](const char* name, const QString& text, const QString& url) {
    auto* label = new TURLLabel(text, pnlInfo);
    label->setObjectName(QString::fromLatin1(name));
    label->setURL(url);
    TLabelFont f = label->CurrentFont();
    f.font.setUnderline(true);
    f.color = Qt::blue;
    label->setCurrentFont(f);
    f.color = QColor(200, 0, 0);  // a little warmer under the mouse
    label->setMouseOverFont(f);
    label->setAlignment(Qt::AlignCenter);
    return label;
  };
  lblWeb = link("lblWeb", QStringLiteral("quilo.example.org"), QStringLiteral("https://quilo.example.org/"));
  lblMail = link("lblMail", QStringLiteral("tiles@quilo.example.org"), QStringLiteral("mailto:tiles@quilo.example.org"));
  VellFade2 = Button("VellFade2", ":/about/badge_off.png", ":/about/badge_on.png", 114, 41, pnlInfo);
  VellFade2->setFixedSize(114, 41);

  auto* info = new QVBoxLayout(pnlInfo);
  info->setContentsMargins(4, 3, 4, 5);
  info->setSpacing(0);
  for (QWidget* w : {static_cast<QWidget*>(lblProduct), static_cast<QWidget*>(lblVersion),
                     static_cast<QWidget*>(lblRights), static_cast<QWidget*>(lblYears),
                     static_cast<QWidget*>(lblCredit)})
    info->addWidget(w);
  info->addSpacing(3);
  // The links are only as wide as their text, so the pointer changes only over it.
  info->addWidget(lblWeb, 0, Qt::AlignHCenter);
  info->addWidget(lblMail, 0, Qt::AlignHCenter);
  info->addStretch(1);
  info->addWidget(VellFade2, 0, Qt::AlignHCenter);
  pnlInfo->hide();

  VellFade1 = Button("VellFade1", ":/about/ok_off.png", ":/about/ok_on.png", 85, 40, this);
  VellFade1->move((width() - 85) / 2, 200);
  VellFade1->hide();
  connect(VellFade1, &TVellFade::OnClick, this, &QDialog::accept);

  schedule_ = [this](int ms, std::function<void()> step) { QTimer::singleShot(ms, this, std::move(step)); };
}

void TfAbout::After(int ms, std::function<void()> step) {
  const int showing = showing_;
  schedule_(ms, [this, showing, step = std::move(step)] {
    if (showing == showing_ && isVisible()) step();
  });
}

void TfAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ++showing_;
  QApplication::postEvent(this, new QEvent(kAboutMessage));
}

bool TfAbout::event(QEvent* event) {
  if (event->type() == kAboutMessage) {
    StartAnimation();
    return true;
  }
  return QDialog::event(event);
}

void TfAbout::StartAnimation() {
  const int showing = showing_;
  // Let the box paint itself first.
  QApplication::processEvents();
  if (showing != showing_ || !isVisible() || pnlInfo->isVisible()) return;
  hf1->show();
  hf1->Fade();
}

void TfAbout::hf1End() {
  After(1500, [this] {
    hf1->hide();
    hf2->show();
    hf2->Fade();  // goes back by itself after its pause
  });
}

void TfAbout::hf2End() {
  After(1000, [this] {
    hf2->hide();
    pnlInfo->show();
    pnlAnimation->hide();
    VellFade1->show();
  });
}

void TfAbout::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  ++showing_;
  pnlInfo->hide();
  VellFade1->hide();
  hf1->hide();
  hf2->hide();
  pnlAnimation->show();
}

}  // namespace vell
