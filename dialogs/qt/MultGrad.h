// TfMultGrad: "Multi-Gradient Designer". Coloured markers stand in the bar
// pBack above the picture; the picture blends from the bar's colour through
// the markers, left to right, and back to the bar's colour.
//
// Right-click the bar to add a marker, drag markers sideways, double-click a
// marker or the bar to change its colour, right-click a marker to delete it.
// The dialog keeps its markers, colour and picture between uses.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "dialogs/MultiGradient.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vell {

class TMarkerBar;
class TGradMarker;
class TPictureBox;

class TfMultGrad : public QDialog {
  Q_OBJECT

 public:
  explicit TfMultGrad(QWidget* parent = nullptr);

  // Modal: true on OK. A picture narrower than its markers is widened first.
  bool Execute();
  // The edits' texts and the picture's (and bar's) size, as the command sets them.
  void SetImageSize(int width, int height);

  // Read only: every change goes through the dialog, which keeps its marker controls in step.
  const TMultiGradient& Gradient() const { return gradient_; }
  const TPixelBuffer& Picture() const { return gradient_.Picture(); }
  QString WidthText() const;
  QString HeightText() const;

  void SetErrorHook(std::function<void(const QString&)> hook) { error_ = std::move(hook); }
  void SetColorChooser(std::function<std::optional<uint32_t>(uint32_t initial)> chooser) {
    chooser_ = std::move(chooser);
  }

  // The user's actions, also for tests.
  void pBackRightClick(int column);
  void pBackDblClick();
  void MarkerDblClick(size_t index);
  void MarkerRightClick(size_t index);
  void MarkerDragged(size_t index, int column);
  void Button3Click();  // Clear
  void Button4Click();  // Default
  // The marker controls in creation order.
  const std::vector<TGradMarker*>& MarkerControls() const { return markers_; }

  QLineEdit* eWide = nullptr;
  QLineEdit* eHigh = nullptr;
  TMarkerBar* pBack = nullptr;
  TPictureBox* pb = nullptr;
  QPushButton* Button1 = nullptr;  // OK
  QPushButton* Button2 = nullptr;  // Cancel
  QPushButton* Button3 = nullptr;  // Clear
  QPushButton* Button4 = nullptr;  // Default
  QLabel* Label3 = nullptr;

 private:
  std::optional<int> Convert(const QString& text);
  std::optional<uint32_t> Choose(uint32_t initial);
  void eWideChange();
  void eHighChange();
  void RebuildMarkers();
  void Changed();

  TMultiGradient gradient_;
  std::vector<TGradMarker*> markers_;
  std::function<void(const QString&)> error_;
  std::function<std::optional<uint32_t>(uint32_t)> chooser_;
};

// The colour bar: the background colour, the markers' parent.
class TMarkerBar : public QWidget {
  Q_OBJECT

 public:
  explicit TMarkerBar(QWidget* parent);
  void SetColour(uint32_t colour);

 signals:
  void rightClicked(int column);
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  uint32_t colour_ = 0;
};

// One marker, 5 pixels wide: dragged with the left button, deleted with the right.
class TGradMarker : public QWidget {
  Q_OBJECT

 public:
  TGradMarker(QWidget* parent, uint32_t colour);
  void SetColour(uint32_t colour);
  uint32_t Colour() const { return colour_; }

 signals:
  void dragged(int column);
  void rightClicked();
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  uint32_t colour_;
  bool dragging_ = false;
  int grabX_ = 0;
};

// pb: shows the picture at its size.
class TPictureBox : public QWidget {
  Q_OBJECT

 public:
  TPictureBox(QWidget* parent, const TPixelBuffer& picture);
  void Fit();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TPixelBuffer& picture_;
};

}  // namespace vell
