#include "dialogs/qt/Texture1.h"

#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "dialogs/Texture.h"
#include "imaging/Colour.h"

namespace vell {

// The 105 x 105 frame, the texture stretched into it.
class TTexturePreview : public QFrame {
 public:
  TTexturePreview(const TPixelBuffer& picture, QWidget* parent) : QFrame(parent), picture_(picture) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedSize(105, 105);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter p(this);
    if (!picture_.Empty() && picture_.BitCount() == 24) {
      const QImage image(picture_.Bits(), picture_.Width(), picture_.Height(), picture_.BytesPerLine(),
                         QImage::Format_BGR888);
      p.drawImage(rect(), image);
    }
    p.end();
    QFrame::paintEvent(event);
  }

 private:
  const TPixelBuffer& picture_;
};

TfTexture::TfTexture(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fTexture"));
  setWindowTitle(QStringLiteral("Map Texture"));
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  BuiltInTexture(texture_);

  auto* column = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();
  auto* pictureColumn = new QVBoxLayout();
  auto* caption = new QLabel(QStringLiteral("Texture"), this);
  imTexture = new TTexturePreview(texture_, this);
  imTexture->setObjectName(QStringLiteral("imTexture"));
  pictureColumn->addWidget(caption, 0, Qt::AlignHCenter);
  pictureColumn->addWidget(imTexture);
  top->addLayout(pictureColumn);
  auto* side = new QVBoxLayout();
  bLoadTexur = new QPushButton(QStringLiteral("Load New Texture..."), this);
  bLoadTexur->setObjectName(QStringLiteral("bLoadTexur"));
  bUseBufr = new QPushButton(QStringLiteral("Use Buffer as Texture"), this);
  bUseBufr->setObjectName(QStringLiteral("bUseBufr"));
  side->addWidget(bLoadTexur);
  side->addWidget(bUseBufr);
  side->addStretch(1);
  top->addLayout(side);
  column->addLayout(top);
  Label2 = new QLabel(
      QStringLiteral("Textures must be grayscaled.  The image you select will be automatically converted to gray "
                     "scale and sized to match the current Image."),
      this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setWordWrap(true);
  Label2->setFixedWidth(280);
  column->addWidget(Label2);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(bLoadTexur, &QPushButton::clicked, this, [this] { bLoadTexurClick(); });
  connect(bUseBufr, &QPushButton::clicked, this, [this] { bUseBufrClick(); });
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TfTexture::~TfTexture() = default;

void TfTexture::ShowMessage(const QString& text) {
  if (message_)
    message_(text);
  else
    QMessageBox::critical(this, windowTitle(), text);
}

void TfTexture::SetTexture(const TPixelBuffer& picture) {
  CopyPixelsTo(picture, texture_);
  TextureToGrey(texture_);
  imTexture->update();
}

void TfTexture::bLoadTexurClick() {
  std::optional<std::string> path;
  if (open_) {
    path = open_("Open", kOpenFilter);
  } else {
    const QString chosen =
        QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("BMP,JPG (*.bmp;*.jpg) (*.bmp *.jpg)"));
    if (!chosen.isEmpty()) path = chosen.toStdString();
  }
  if (!path || path->empty()) return;
  TPixelBuffer picture;
  std::string error;
  if (!loader_ || !loader_(*path, picture, error)) {
    // The previous texture stays.
    ShowMessage(QString::fromStdString(error.empty() ? "Cannot read " + *path : error));
    return;
  }
  SetTexture(picture);
  source_ = "Use File " + *path;
}

void TfTexture::bUseBufrClick() {
  const TPixelBuffer* buffer = buffer_ ? buffer_() : nullptr;
  if (buffer == nullptr || buffer->Empty()) return;
  SetTexture(*buffer);
  source_ = "Use Buffer";
}

bool TfTexture::Execute() {
  if (QScreen* screen = this->screen()) {
    adjustSize();
    move(screen->availableGeometry().center() - rect().center());
  }
  return exec() == QDialog::Accepted;
}

}  // namespace vell
