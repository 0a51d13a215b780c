// Shows one designer for a look: gradient_preview two [style index] | multi
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "dialogs/qt/Grad1.h"
#include "dialogs/qt/MultGrad.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QString which = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("two");
  if (which == QStringLiteral("multi")) {
    vell::TfMultGrad m;
    const uint32_t colours[] = {0x00FFFF, 0x00FF00};
    int next = 0;
    m.SetColorChooser([&](uint32_t) -> std::optional<uint32_t> { return colours[next++ % 2]; });
    m.pBackRightClick(30);
    m.pBackRightClick(220);
    m.SetImageSize(320, 200);
    m.move(0, 0);
    m.Execute();
    return 0;
  }
  vell::TfGradient g;
  if (argc > 2) g.cbStyle->setCurrentIndex(QString::fromLatin1(argv[2]).toInt());
  if (argc > 3) g.meAngle->setText(QString::fromLatin1(argv[3]));
  g.move(0, 0);
  g.Execute();
  return 0;
}
