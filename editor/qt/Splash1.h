// TfSplash: the picture shown while the editor starts.
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
