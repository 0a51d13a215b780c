// TfTester: "Test Tiles", a maximised window that shows the working image
// repeated over the whole window with sample text on top, to judge the tile
// as a background.
//
// The main window hands over its image and hides while the tester shows:
//
//   tester->ShowTiles(dibWork);
//   fVellTile->setEnabled(false);
//   fVellTile->hide();
//   connect(tester, &TfTester::closed, fVellTile, [=] { fVellTile->show(); fVellTile->setEnabled(true); });
//
// The tester must not be a child of the main window: disabling a window
// disables its child windows too, and the tester's OK would then be dead.
//
// Its status text, at the bottom left, gives the seam score of the tile it
// shows ("Seam score 1.02 (seamless)"), so the eye has a number to go by.
#pragma once

#include <QImage>
#include <QWidget>

#include "imaging/PixelBuffer.h"

class QLabel;
class QPushButton;

namespace vell {

class TfTester : public QWidget {
  Q_OBJECT

 public:
  // Font sizes of the two sample-text columns and their line step.
  static constexpr int kLargePoints = 28;
  static constexpr int kSmallPoints = 12;
  static constexpr int kLineStep = 36;
  static constexpr int kLeftX = 8;
  static constexpr int kRightMargin = 12;
  static constexpr const char* kSampleText = "Sample Text";
  // black, white, aqua, blue, red, fuchsia, purple, yellow, green, navy,
  // lime, maroon, olive, grey, teal, silver (0xRRGGBB).
  static const QRgb kSampleColours[16];

  explicit TfTester(QWidget* parent = nullptr);

  // Takes a copy of the image (the main window is disabled meanwhile, so it
  // cannot change), measures its seam and shows the window maximised.
  void ShowTiles(const TPixelBuffer& image);
  // Only takes the copy and measures it; for showing at another size.
  void SetImage(const TPixelBuffer& image);

  // The picture for a client area of this size: the tiles and the text.
  QImage RenderTiles(QSize size);

  QPushButton* btnOK = nullptr;
  QLabel* lblStatus = nullptr;  // the seam score of the tile shown

 signals:
  // The tester hid (OK, Ctrl+Z, or the window's close); the main window shows
  // itself again.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Builds the picture into frame_ (pixel memory) and view_ (the QImage over it).
  void Rebuild(QSize size);
  void DrawSampleText(QImage& target);
  bool IsCloseKey(const QKeyEvent* event) const;

  TPixelBuffer tile_;
  TPixelBuffer frame_;
  QImage view_;
  bool stale_ = true;
};

}  // namespace vell
