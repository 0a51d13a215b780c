// TfSplash: the picture shown while the editor starts, in the style of the
// about box's pictures (the same seamless pattern and dark title band).
#pragma once

#include <QPixmap>
#include <QWidget>

namespace vell {

class TfSplash : public QWidget {
  Q_OBJECT

 public:
  explicit TfSplash(QWidget* parent = nullptr);
  // Centres the window on the screen it will appear on.
  void CentreOnScreen();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

}  // namespace vell
