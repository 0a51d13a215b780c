#include "dialogs/qt/URLLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>

namespace vell {

TURLLabel::TURLLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  // Black and plain until the mouse comes.
  QFont plain = font();
  plain.setUnderline(false);
  setCurrentFont({plain, Qt::black});
  QFont over = plain;
  over.setUnderline(true);
  mouseOverFont_ = {over, Qt::blue};
  setCursor(Qt::PointingHandCursor);
  opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

TLabelFont TURLLabel::CurrentFont() const { return {font(), palette().color(QPalette::WindowText)}; }

void TURLLabel::setCurrentFont(const TLabelFont& f) {
  setFont(f.font);
  QPalette p = palette();
  p.setColor(QPalette::WindowText, f.color);
  setPalette(p);
}

void TURLLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (over_) return;
  over_ = true;
  saved_ = CurrentFont();
  setCurrentFont(mouseOverFont_);
}

void TURLLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (!over_) return;
  over_ = false;
  setCurrentFont(saved_);
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || url_.isEmpty()) return;
  const QUrl url = QUrl::fromUserInput(url_);
  if (url.isValid() && opener_) opener_(url);
}

}  // namespace vell
