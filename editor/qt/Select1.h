// TfSelect: "Selection Action", asked when a selection is made.
#pragma once

#include <QDialog>

#include "editor/CanvasTools.h"

class QPushButton;

namespace vell {

class TfSelect : public QDialog {
  Q_OBJECT

 public:
  explicit TfSelect(QWidget* parent = nullptr);
  // Runs the dialog; closing it counts as Cancel.
  TSelectAction Ask();
  TSelectAction Chosen() const { return chosen_; }

  QPushButton* bClipboard = nullptr;
  QPushButton* bBuffer = nullptr;
  QPushButton* bCrop = nullptr;
  QPushButton* bCancel = nullptr;

 private:
  TSelectAction chosen_ = TSelectAction::Cancel;
};

}  // namespace vell
