#include "editor/qt/HelpView.h"

#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "editor/HelpFiles.h"

namespace vell {

TfHelp::TfHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("fHelp"));
  setWindowTitle(QStringLiteral("Quilo Help"));
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("bClose"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(browser_, 1);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(720, 640);
}

void TfHelp::ShowPage(const QString& path) {
  browser_->setSource(QUrl::fromLocalFile(path));
  browser_->home();
}

bool DesktopHasBrowser() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal")) return false;
  const auto onPath = [](const std::string& name) {
    return !QStandardPaths::findExecutable(QString::fromStdString(name)).isEmpty();
  };
  std::string htmlDefault;
  if (onPath("xdg-mime")) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    // A quick question to the desktop; no answer counts as none.
    if (query.waitForFinished(3000)) htmlDefault = query.readAllStandardOutput().trimmed().toStdString();
  }
  return DesktopShowsWebPages(onPath, htmlDefault, qEnvironmentVariable("BROWSER").toStdString());
}

}  // namespace vell
