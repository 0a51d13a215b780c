// The main window's drawing-tool state (the part MainCanvas.cpp keeps).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>

#include "dialogs/qt/Text1.h"
#include "editor/CanvasTools.h"
#include "editor/qt/Select1.h"
#include "editor/qt/VellTileMain.h"
#include "imaging/PixelBuffer.h"

class QAction;
class QTimer;

namespace vell {

// A picture floating over the image (the text to place, the paste to drop);
// its mouse events go to the handlers.
class TFloatingPicture : public QWidget {
 public:
  explicit TFloatingPicture(QWidget* parent);
  void SetPicture(const QImage& picture, bool focusFrame);
  const QImage& Picture() const { return picture_; }
  std::function<void(int x, int y)> OnPress, OnMove, OnRelease;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
  bool focusFrame_ = false;
};

struct TfVellTile::TCanvasUi {
  TCanvasTools tools;
  QAction* wrap = nullptr;
  std::unique_ptr<TfText> textDialog;
  std::unique_ptr<TfSelect> selectDialog;
  // The text tool's second phase.
  TFloatingPicture* imText = nullptr;
  bool placing = false;
  QRect textRect;  // the measured text, at (0, 0)
  int alignment = 0;
  QString text;
  // The paste overlay: floating, dragging, dropped.
  QWidget* pPaste = nullptr;
  TFloatingPicture* imPaste = nullptr;
  QTimer* timer = nullptr;
  bool pasteDragging = false;
  QPoint grab;
};

}  // namespace vell
