// VellTile: the tile editor's entry point.
//
//   VellTile [--no-splash] [image file]
#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include "editor/ProgramFolder.h"
#include "editor/qt/Splash1.h"
#include "editor/qt/VellTileMain.h"
#include "imaging/PixelBuffer.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quilo"));

  // The engine asks for the screen's depth when a buffer takes "the screen's" format.
  vell::SetScreenProbes(
      [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->depth() : 24;
      },
      [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr && screen->depth() == 15 ? 555 : 565;
      });

  QStringList args = QApplication::arguments().mid(1);
  const bool quiet = args.removeAll(QStringLiteral("--no-splash")) > 0 ||
                     QGuiApplication::platformName() == QStringLiteral("offscreen");

  // The splash stays up for two seconds while the event loop keeps it painted.
  vell::TfSplash* splash = nullptr;
  if (!quiet) {
    splash = new vell::TfSplash();
    splash->CentreOnScreen();
    splash->show();
    QApplication::processEvents();
    QEventLoop wait;
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);
    wait.exec();
    splash->repaint();
  }

  vell::TfVellTile::SetProgramFolder(vell::ProgramFolder());
  vell::TfVellTile window;
  // The tool box and the dialogs come right after the main window.
  window.CreateCompanions();
  window.LoadCompanionSettings();
  if (!args.isEmpty()) window.SetStartupFile(args.first());

  if (splash != nullptr) {
    splash->hide();
    delete splash;
  }
  window.show();
  return QApplication::exec();
}
