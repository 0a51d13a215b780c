// Shows one of the dialogs for a look at it: dialogs_qt_preview sizer|percent|presets|tester|filter
#include <QApplication>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>

#include "dialogs/qt/Filter1.h"
#include "dialogs/qt/Size1.h"
#include "dialogs/qt/Tester1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString which = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("sizer");
  vell::TfrmSizer sizer;
  vell::TfFilter filter;
  vell::TfTester tester;
  if (which == "sizer" || which == "percent" || which == "presets") {
    sizer.SetCurrentSize(257, 255);
    sizer.show();
    if (which == "percent") sizer.rbPct->click();
    if (which == "presets")
      QTimer::singleShot(300, &sizer, [&] { sizer.pmPresets->popup(sizer.mapToGlobal(QPoint(120, 150))); });
  } else if (which == "filter") {
    filter.show();
  } else {
    // A small tile with a border and a diagonal, so the repeats are easy to see.
    vell::TPixelBuffer tile;
    tile.Allocate(96, 64, 0, 24);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 96; ++x) {
        const bool line = x == 0 || y == 0 || x == y + 16;
        tile.Row24(y)[x] = line ? vell::TRGB24{40, 40, 40}
                                : vell::TRGB24{uint8_t(150 + x / 2), uint8_t(110 + y), uint8_t(60 + (x + y) / 3)};
      }
    tester.ShowTiles(tile);
  }
  if (argc > 2) QTimer::singleShot(QString::fromLatin1(argv[2]).toInt(), &app, &QApplication::quit);
  return app.exec();
}
