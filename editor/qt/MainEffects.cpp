// The main window's effect commands: the tool box, Apply and the Effects
// menu through one TApplyDispatcher, the seamless commands, the tile tester
// and the shortcut list.
#include <QAction>
#include <QApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTreeWidget>

#include "dialogs/qt/Lbl3D.h"
#include "editor/EffectCatalogue.h"
#include "editor/HelpFiles.h"
#include "editor/qt/VellTileMain.h"

namespace vell {

namespace {

// Enter in the effect tree is Apply. Installed after the tree's own key
// filter, so it sees the key first and swallows it.
class TTreeApplyKey : public QObject {
 public:
  TTreeApplyKey(QObject* parent, std::function<void()> apply) : QObject(parent), apply_(std::move(apply)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        apply_();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> apply_;
};

// The tree's node for an effect id, selected without running the tree's own
// selection handler (which would put the tree's name over the menu's).
void ShowInTree(QTreeWidget* tree, int id) {
  if (id < 0) return;
  const QString name = QString::fromUtf8(EffectTreeName(id).data(), static_cast<qsizetype>(EffectTreeName(id).size()));
  for (QTreeWidgetItem* node : tree->findItems(name, Qt::MatchFixedString | Qt::MatchRecursive)) {
    if (node->childCount() != 0) continue;
    const QSignalBlocker block(tree);
    tree->setCurrentItem(node);
    tree->scrollToItem(node);
    return;
  }
}

}  // namespace

bool TfVellTile::SlidersPending() {
  if (!box_ || !box_->Previewing()) return false;
  ui_->ShowMessage(kSlidersPendingText);
  box_->show();
  box_->raise();
  box_->bGood->setFocus();
  return true;
}

void TfVellTile::EffectMenuClick(int id) {
  if (SlidersPending()) return;
  dispatcher_->ApplyFromMenu(id, box_->PanelFields());
  ShowInTree(TreeView1_, editor_.EffectType);
}

void TfVellTile::CreateCompanions() {
  if (box_) return;
  // The order of creation is the start-up order: the tool box right after the
  // main window, then the dialogs.
  box_ = std::make_unique<TfToolBox>();
  box_->SetState(&editor_, &params_);
  // Beside the main window until the settings file says otherwise.
  box_->move(frameGeometry().right() + 12, frameGeometry().top());
  filter_ = std::make_unique<TfFilter>(this);
  sizer_ = std::make_unique<TfrmSizer>(this);
  tester_ = std::make_unique<TfTester>();
  WireCanvasTools();
  CreateGradientWindows();

  connect(box_.get(), &TfToolBox::applyRequested, this, [this] { bGoClick(); });
  connect(box_.get(), &TfToolBox::undoRequested, this, [this] { UnDo1Click(); });
  connect(box_.get(), &TfToolBox::closed, this, [this] { editor_.ToolboxShown = false; });
  connect(box_.get(), &TfToolBox::activityChanged, this, [this](const QString& text) { SetStatusText(4, text); });
  connect(box_.get(), &TfToolBox::scrollMoved, this, [this](bool horizontal, int position) {
    if (SlidersPending()) return;
    dispatcher_->ScrollBarMoved(horizontal, position, box_->eAmtMain->text().toStdString());
  });
  connect(box_.get(), &TfToolBox::scrollBarsReset, this, [this] { dispatcher_->ResetScrollPositions(); });
  // The slider preview shows the scratch image; the main window waits for OK or Cancel.
  connect(box_.get(), &TfToolBox::slidersPreviewed, this, [this] {
    DisplayImage(editor_.dibScratch);
    setEnabled(false);
  });
  auto previewDone = [this] {
    DisplayImage(editor_.dibWork);
    setEnabled(true);
    activateWindow();
  };
  connect(box_.get(), &TfToolBox::slidersCommitted, this, previewDone);
  connect(box_.get(), &TfToolBox::slidersCancelled, this, previewDone);

  connect(tester_.get(), &TfTester::closed, this, [this] {
    show();
    setEnabled(true);
  });

  TreeView1_->installEventFilter(new TTreeApplyKey(TreeView1_, [this] { bGoClick(); }));
  WireEffectCommands();
  RefreshPanel();
  if (isVisible() && editor_.ToolboxShown) box_->show();
}

TApplyHooks TfVellTile::EffectHooks() {
  TApplyHooks hooks;
  UseEditorUi(hooks, *ui_);
  // The dialogs come with the companions; before them a question counts as cancelled.
  hooks.AskNewSize = [this](int width, int height, bool) -> std::optional<TNewSize> {
    if (!sizer_) return std::nullopt;
    const std::optional<QSize> size = sizer_->Execute(width, height);
    if (!size) return std::nullopt;
    return TNewSize{size->width(), size->height()};
  };
  hooks.AskFilterDesign = [this]() -> std::optional<TFilterDesign> {
    if (!filter_) return std::nullopt;
    return filter_->Execute();
  };
  hooks.BusyBegin = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  hooks.BusyEnd = [] { QApplication::restoreOverrideCursor(); };
  hooks.Redisplay = [this] { DisplayImage(editor_.dibWork); };
  hooks.RefreshPanel = [this] { RefreshPanel(); };
  hooks.UndoChanged = [this](bool) { UpdateUndoButtons(); };
  hooks.AskTexture = [this] { return AskTexture(); };
  return hooks;
}

void TfVellTile::EnableCommand(const char* name, const std::function<void()>& handler) {
  QAction* action = findChild<QAction*>(QString::fromLatin1(name));
  if (action == nullptr) return;
  action->setEnabled(true);
  // Tool buttons keep their hint; menu items lose the "not available" note.
  action->setToolTip(action->property("hint").toString().trimmed());
  connect(action, &QAction::triggered, this, handler);
}

void TfVellTile::WireEffectCommands() {
  for (const TEffectEntry& e : EffectCatalogue()) {
    if (!EffectAvailable(e.Id)) continue;
    const int id = e.Id;
    EnableCommand(QStringLiteral("Effect%1").arg(id).toLatin1().constData(), [this, id] { EffectMenuClick(id); });
  }
  EnableCommand("EdgeMerge16", [this] {
    if (!SlidersPending()) dispatcher_->EdgeMergeClick(16);
  });
  EnableCommand("EdgeMerge8", [this] {
    if (!SlidersPending()) dispatcher_->EdgeMergeClick(8);
  });
  EnableCommand("EdgeMerge4", [this] {
    if (!SlidersPending()) dispatcher_->EdgeMergeClick(4);
  });
  EnableCommand("FourWayFlip1", [this] {
    if (!SlidersPending()) dispatcher_->FourWayFlipClick();
  });
  EnableCommand("TestTiles1", [this] { TestTiles1Click(); });
  EnableCommand("bPreview", [this] { TestTiles1Click(); });
  EnableCommand("bGo", [this] { bGoClick(); });
  EnableCommand("bTools", [this] { bToolsClick(); });
  EnableCommand("bColor", [this] { box_->ToggleColours(); });
  EnableCommand("PrintShortcutKeyList1", [this] { PrintShortcutKeyList1Click(); });
  // The image's "Resize..." is the ReSize Smooth menu item.
  if (EffectAvailable(39)) EnableCommand("Resize1", [this] { EffectMenuClick(39); });
}

void TfVellTile::RefreshPanel() {
  if (box_) box_->RefreshPanel();
}

void TfVellTile::bGoClick() {
  if (!dispatcher_ || SlidersPending()) return;
  TPanelFields fields = box_->PanelFields();
  dispatcher_->bGoClick(fields);
  // Apply may have rewritten a field (a Gaussian Blur above 5 becomes 1).
  box_->SetFieldTexts(fields);
}

void TfVellTile::TreeDoubleClickApply(QTreeWidgetItem* node) {
  if (node == nullptr) return;
  const std::string text = node->text(0).toStdString();
  editor_.SelectEffect(EffectIdFromName(text), text);
  if (box_) box_->lblEffect->setCaption(QString::fromStdString(editor_.EffectName));
  SetStatusText(4, QString::fromStdString(editor_.ActivityText()));
  // Apply reads the panel's fields, which come with the companions.
  if (editor_.EffectType == NoEffect || !box_) return;
  bGoClick();
  SetStatusText(4, QString::fromStdString(editor_.EffectName));
}

void TfVellTile::bToolsClick() {
  box_->setVisible(!box_->isVisible());
  editor_.ToolboxShown = box_->isVisible();
}

void TfVellTile::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  // The panel follows the main window and comes back with it.
  if (box_ && box_->isVisible()) {
    editor_.ToolboxShown = true;
    box_->hide();
  }
}

void TfVellTile::TestTiles1Click() {
  if (!tester_) return;
  tester_->ShowTiles(editor_.dibWork);
  setEnabled(false);
  hide();
}

void TfVellTile::PrintShortcutKeyList1Click() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Print Shortcut Key List"));
  if (dialog.exec() != QDialog::Accepted) return;
  QTextDocument document;
  document.setHtml(QString::fromStdString(ShortcutListHtml()));
  document.print(&printer);
}

}  // namespace vell
