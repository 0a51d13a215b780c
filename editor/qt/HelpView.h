// TfHelp: the help page shown inside the program, for desktops that have no
// browser to open it with.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace vell {

class TfHelp : public QWidget {
  Q_OBJECT

 public:
  explicit TfHelp(QWidget* parent = nullptr);
  // Loads the page (links inside it are followed here, others go to the desktop).
  void ShowPage(const QString& path);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_ = nullptr;
};

// Whether the desktop can show a web page itself (see DesktopShowsWebPages).
bool DesktopHasBrowser();

}  // namespace vell
