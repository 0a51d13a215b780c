// What every dialog of the uninstaller shares: the fonts from UNYARB32.INI, the widened
// dialog-unit layout and the centring (PrepareDialog); text conversion; and the small
// windows: the start-up window, the gradient background and the source-path dialog.
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "Settings.h"

class QLabel;
class QLineEdit;

namespace yarb::qt {

// ANSI text (Windows-1252) for showing; CR is dropped ("\r\n" shows as one line break).
QString Q(const std::string& ansi);
std::string FromQ(const QString& text);

// Dialog units: horizontal in quarters of the font's average width, widened by 7/6 as
// every dialog of the uninstaller is; vertical in eighths of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  int X(int dlu) const;  // widened
  int Y(int dlu) const;
  QRect Rect(int x, int y, int w, int h) const;  // left and right widened
  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

 private:
  int baseX_, baseY_;
};

struct DialogFonts {
  QFont normal;  // weight 300
  QFont bold;    // weight 700, for titles
};
const DialogFonts& Fonts(const UninstallSettings& settings);

// Font for every child, size from dialog units, centred on the screen.
void PrepareDialog(QWidget* dialog, const UninstallSettings& settings, int widthDlu,
                   int heightDlu);

// Paints a bar of `done` of `total` in RGB(0, 0, 127) inside `area` with a sunken edge;
// `blocks`: as separate blocks (the wizard), else one run (the start-up window).
void PaintBar(QPainter& p, const QRect& area, int done, int total, bool blocks,
              const QPalette& palette);

// The start-up window: "Initializing Yarb Uninstall Wizard..." and the log parser's bar.
class StartupWindow : public QDialog {
  Q_OBJECT
 public:
  StartupWindow(const UninstallSettings& settings, const std::function<std::string(int)>& text);
  void SetProgress(uint64_t done, uint64_t total);
  bool CancelPressed() const { return cancel_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void reject() override { cancel_ = true; }

 private:
  DialogUnits units_;
  uint64_t done_ = 0, total_ = 1;
  bool cancel_ = false;
};

// The optional gradient background: 96 bands from the start to the end colour.
class BackgroundWindow : public QWidget {
  Q_OBJECT
 public:
  explicit BackgroundWindow(const UninstallSettings& settings);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Rgb start_, end_;
};

// Band k's colour channel.
int BandChannel(int start, int end, int k);

// The source-path dialog: asks for the installation program with the given attributes.
class SourcePathDialog : public QDialog {
  Q_OBJECT
 public:
  SourcePathDialog(const UninstallSettings& settings, const std::function<std::string(int)>& text,
                   const std::string& caption, const std::string& prompt, const std::string& path,
                   QWidget* parent);
  std::string Path() const;
  QLineEdit* Edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace yarb::qt
