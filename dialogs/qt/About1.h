// TfAbout: the about box. It opens with a short animation (a tile fading in,
// then the tile repeated, and back), then shows the product's lines, its two
// links and a lit-up button that closes it. Hidden, it returns to its first
// state, so every showing starts over.
#pragma once

#include <QDialog>
#include <functional>

class QFrame;
class QLabel;

namespace vell {

class TURLLabel;
class TVellFade;

class TfAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TfAbout(QWidget* parent = nullptr);

  // How the pauses between the stages are waited for: a single-shot timer
  // unless replaced (tests collect the steps and run them themselves).
  using TScheduler = std::function<void(int ms, std::function<void()> step)>;
  void SetScheduler(TScheduler scheduler) { schedule_ = std::move(scheduler); }

  // Controls, named as the form names them.
  QFrame* pnlAnimation = nullptr;
  QFrame* pnlInfo = nullptr;
  TVellFade* hf1 = nullptr;
  TVellFade* hf2 = nullptr;
  TVellFade* VellFade1 = nullptr;  // below the panels: closes the box
  TVellFade* VellFade2 = nullptr;  // on the information panel
  QLabel* lblProduct = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblRights = nullptr;
  QLabel* lblYears = nullptr;
  QLabel* lblCredit = nullptr;
  TURLLabel* lblWeb = nullptr;
  TURLLabel* lblMail = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void StartAnimation();
  void hf1End();
  void hf2End();
  // Runs `step` after `ms` unless the box was hidden meanwhile.
  void After(int ms, std::function<void()> step);

  TScheduler schedule_;
  int showing_ = 0;  // counts showings; a step of an earlier one is dropped
};

}  // namespace vell
