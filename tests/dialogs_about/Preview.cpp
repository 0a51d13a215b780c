// Shows one window for a look on a real display:
//   dialogs_about_preview about | print | print-cd
#include <QApplication>
#include <QScreen>

#include "dialogs/qt/About1.h"
#include "dialogs/qt/Print1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quilo"));
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about");
  auto centre = [](QWidget& w) {
    w.adjustSize();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
  };
  if (mode == QStringLiteral("about")) {
    vell::TfAbout about;
    centre(about);
    return about.exec() == QDialog::Accepted ? 0 : 1;
  }
  vell::TfPrint print;
  print.SetImageSize(512, 256);
  centre(print);
  if (mode == QStringLiteral("print-cd")) print.CDJacketClick(vell::TPrintSize::CDFront);
  return print.exec() == QDialog::Accepted ? 0 : 1;
}
