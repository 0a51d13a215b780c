// TfGif: "Set GIF Transparency", the transparent colour of a GIF being saved.
//
// 256 swatches, 16 x 16 pixels each, 16 to a row; swatch i sits at
// x = 6 + 17 * (i mod 16), y = 4 + 17 * (i div 16). A press on a swatch
// selects it (solid outline); the selection survives between saves.
#pragma once

#include <QColor>
#include <QDialog>
#include <array>

#include "gif/GifPicture.h"

class QPushButton;

namespace vell {

class TfGif : public QDialog {
  Q_OBJECT

 public:
  // Cancel is QDialog's own rejected code, so Esc and the close box are Cancel.
  enum TResult { Cancel = 0, Ok = 1, None = 2 };

  explicit TfGif(QWidget* parent = nullptr);

  // Paints the swatches from the map (entries past its count blank).
  void SetColorMap(const TGifColorMap& map);
  // Modal: OK, None or Cancel (closing the window counts as Cancel).
  TResult Execute();

  // 256: nothing selected.
  int SelectedIndex() const { return selected_; }
  // The index a press at (x, y) in client coordinates selects, -1 off the swatches.
  static int IndexAt(int x, int y);
  static QRect SwatchRect(int index);
  QColor SwatchColor(int index) const { return colours_[static_cast<size_t>(index)]; }

  QPushButton* btnOK = nullptr;
  QPushButton* btnNone = nullptr;
  QPushButton* btnCancel = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::array<QColor, 256> colours_{};
  int selected_ = 256;
};

}  // namespace vell
