// TURLLabel: a label that looks like a link under the mouse and opens its
// URL when pressed.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QUrl>
#include <functional>

namespace vell {

// A label font with its colour (Qt keeps the colour in the palette).
struct TLabelFont {
  QFont font;
  QColor color;
};

class TURLLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TURLLabel(const QString& caption = QString(), QWidget* parent = nullptr);

  QString URL() const { return url_; }
  void setURL(const QString& url) { url_ = url; }
  // Used while the mouse is over the label: by default the label's own face
  // and size, blue and underlined.
  const TLabelFont& MouseOverFont() const { return mouseOverFont_; }
  void setMouseOverFont(const TLabelFont& font) { mouseOverFont_ = font; }
  // The font and colour shown now.
  TLabelFont CurrentFont() const;
  void setCurrentFont(const TLabelFont& font);

  // How the link is opened; the desktop's handler unless replaced. A link
  // that cannot be opened fails silently.
  void SetOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString url_ = QStringLiteral("https://quilo.example.org/");
  TLabelFont mouseOverFont_;
  TLabelFont saved_;
  bool over_ = false;
  std::function<bool(const QUrl&)> opener_;
};

}  // namespace vell
