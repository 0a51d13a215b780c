// TfTexture: "Map Texture", the grey texture that Map Texture multiplies in.
//
// The texture is a 24-bit picture of any size, grey (every file or buffer
// taken is converted); it starts as a small built-in picture. The source
// text names it in the effect's log line: "Use Current Texture", "Use
// Buffer" or "Use File " + the file name.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "dialogs/Texture.h"
#include "imaging/PixelBuffer.h"

class QLabel;
class QPushButton;

namespace vell {

class TTexturePreview;

class TfTexture : public QDialog {
  Q_OBJECT

 public:
  // Reads a picture file into a 24-bit buffer; false with a message when it cannot.
  using TLoader = std::function<bool(const std::string& path, TPixelBuffer& picture, std::string& error)>;
  // The open dialog (OPD1): the chosen path, none on Cancel.
  using TOpenFile = std::function<std::optional<std::string>(const std::string& title, const std::string& filter)>;

  explicit TfTexture(QWidget* parent = nullptr);
  ~TfTexture() override;

  void SetLoader(TLoader loader) { loader_ = std::move(loader); }
  void SetOpenFile(TOpenFile open) { open_ = std::move(open); }
  // The buffer image, null while there is none.
  void SetBufferSource(std::function<const TPixelBuffer*()> source) { buffer_ = std::move(source); }
  void SetMessageHook(std::function<void(const QString&)> hook) { message_ = std::move(hook); }

  // Modal; true on OK.
  bool Execute();

  const TPixelBuffer& Texture() const { return texture_; }
  // Takes a copy, converted to grey.
  void SetTexture(const TPixelBuffer& picture);
  const std::string& SourceText() const { return source_; }
  void SetSourceText(const std::string& text) { source_ = text; }

  // "Load New Texture..." and "Use Buffer as Texture".
  void bLoadTexurClick();
  void bUseBufrClick();

  static constexpr const char* kOpenFilter = "BMP,JPG (*.bmp;*.jpg)|*.bmp;*.jpg";

  TTexturePreview* imTexture = nullptr;
  QPushButton* bLoadTexur = nullptr;
  QPushButton* bUseBufr = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // Cancel

 private:
  void ShowMessage(const QString& text);

  TPixelBuffer texture_;
  std::string source_ = "Use Current Texture";
  TLoader loader_;
  TOpenFile open_;
  std::function<const TPixelBuffer*()> buffer_;
  std::function<void(const QString&)> message_;
};

}  // namespace vell
