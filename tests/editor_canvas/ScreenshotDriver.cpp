// Shows each drawing tool in use and saves a picture of the screen for each:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/editor_canvas/canvas_screenshots OUTDIR
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include "dialogs/qt/Text1.h"
#include "editor/Editor.h"
#include "editor/qt/Select1.h"
#include "editor/qt/ToolForm.h"
#include "editor/qt/VellTileMain.h"
#include "imaging/Canvas.h"

using namespace vell;

namespace {

QString gOut;

void Shot(const char* name) {
  QApplication::processEvents();
  QTest::qWait(150);
  QGuiApplication::primaryScreen()->grabWindow(0).save(gOut + QStringLiteral("/") + QString::fromLatin1(name));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  gOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  TfVellTile window;
  window.CreateCompanions();
  window.move(0, 0);
  window.resize(900, 700);
  window.show();
  window.ToolBox()->move(910, 0);
  window.ToolBox()->show();
  QApplication::processEvents();

  // A colourful picture, so that XOR shows.
  TPixelBuffer& work = window.Editor().dibWork;
  TCanvas c(work);
  for (int y = 0; y < work.Height(); ++y)
    for (int x = 0; x < work.Width(); ++x) c.SetPixel(x, y, static_cast<uint32_t>(x | (y << 8) | (((x ^ y) & 0xFF) << 16)));
  window.DisplayImage(work);
  QWidget* sine = window.imSine();
  TfToolBox& box = *window.ToolBox();
  box.SetPenSizeText(QStringLiteral("4"));
  box.SetPenColor(0x00FFFF);

  box.bRect->click();
  QTest::mousePress(sine, Qt::LeftButton, {}, QPoint(30, 40));
  QTest::mouseMove(sine, QPoint(120, 100));
  QTest::mouseMove(sine, QPoint(200, 170));
  Shot("rubber_band.png");
  QTest::mouseRelease(sine, Qt::LeftButton, {}, QPoint(200, 170));
  Shot("rectangle_done.png");

  box.bSelect->click();
  QTimer::singleShot(400, [&] {
    Shot("selection_dialog.png");
    window.SelectDialog()->bCancel->click();
  });
  QTest::mousePress(sine, Qt::LeftButton, {}, QPoint(220, 230));
  QTest::mouseMove(sine, QPoint(150, 150));
  QTest::mouseMove(sine, QPoint(60, 120));
  QTest::mouseRelease(sine, Qt::LeftButton, {}, QPoint(60, 120));

  box.bText->click();
  QTimer::singleShot(400, [&] {
    TfText* d = window.TextDialog();
    d->Memo1->setPlainText(QStringLiteral("Quilo tiles\nsecond line"));
    d->lbStyleClick(1);
    d->lbSizeClick(14);
    Shot("add_text.png");
    d->BitBtn1->click();
  });
  QTest::mouseClick(sine, Qt::LeftButton, {}, QPoint(40, 60));
  window.imTextMouseMove(20, 10);
  Shot("floating_text.png");
  window.imTextMouseDown(0, 0);

  QImage clip(60, 40, QImage::Format_RGB32);
  clip.fill(QColor(250, 120, 20));
  QGuiApplication::clipboard()->setImage(clip);
  window.findChild<QAction*>(QStringLiteral("AsSelection1"))->trigger();
  QTest::mousePress(window.imPaste(), Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(window.imPaste(), QPoint(90, 120));
  window.Timer1Timer();
  Shot("floating_paste.png");
  QTest::mouseRelease(window.imPaste(), Qt::LeftButton, {}, QPoint(10, 10));  // the picture followed the mouse

  window.SetWrapDrawing(true);
  box.bEllip->click();
  QTest::mousePress(sine, Qt::LeftButton, {}, QPoint(200, 200));
  QTest::mouseMove(sine, QPoint(300, 290));
  QTest::mouseRelease(sine, Qt::LeftButton, {}, QPoint(300, 290));
  Shot("wrapped_ellipse.png");
  window.Editor().PromptForSave = false;
  return 0;
}
