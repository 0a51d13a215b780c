#include "editor/qt/Select1.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace vell {

TfSelect::TfSelect(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fSelect"));
  setWindowTitle(QStringLiteral("Selection Action"));
  setModal(true);
  auto* column = new QVBoxLayout(this);
  auto add = [&](QPushButton*& b, const char* name, const char* caption, TSelectAction action) {
    b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumWidth(160);
    column->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, action] {
      chosen_ = action;
      if (action == TSelectAction::Cancel)
        reject();
      else
        accept();
    });
  };
  add(bClipboard, "bClipboard", "Copy to Clipboard", TSelectAction::CopyToClipboard);
  add(bBuffer, "bBuffer", "Copy to Buffer", TSelectAction::CopyToBuffer);
  add(bCrop, "bCrop", "Crop to Selection", TSelectAction::Crop);
  add(bCancel, "bCancel", "Cancel", TSelectAction::Cancel);
  setFixedSize(sizeHint());
}

TSelectAction TfSelect::Ask() {
  chosen_ = TSelectAction::Cancel;
  exec();
  return chosen_;
}

}  // namespace vell
