// TEditor: the editor's image state and the commands that act on it alone.
//
// The main window owns one TEditor for the whole run. Images are 24-bit
// TPixelBuffers; colours handed in from the toolkit are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "editor/EditorUi.h"
#include "imaging/PixelBuffer.h"

namespace vell {

// "R: " + red + " G: " + green + " B: " + blue, from a 0x00BBGGRR colour.
std::string ColorText(uint32_t colour);
// "True" or "False".
std::string BoolText(bool flag);

// Gives the destination the source's size at 24 bits and copies every pixel byte.
void CopyImage(const TPixelBuffer& source, TPixelBuffer& destination);

// Sets every pixel of a 24-bit buffer to a 0x00BBGGRR colour.
void FillImage(TPixelBuffer& image, uint32_t colour);

// The closing question; the box shows it with Yes, No and Cancel.
inline constexpr const char kSaveOnCloseText[] =
    "Save the Current Image?\r\r(To avoid this prompt, uncheck the menu item under the Options menu)";

inline constexpr int kStartWidth = 256;
inline constexpr int kStartHeight = 256;
inline constexpr int kStartMaxUndo = 15;
inline constexpr int kStartJpegQuality = 90;

class TEditor {
 public:
  // The four images of the run.
  TPixelBuffer dibWork;      // the working image; effects change it in place
  TPixelBuffer dibScratch;   // same size as dibWork: previews and two-buffer effects
  TPixelBuffer dibBuffer;    // the buffer image
  TPixelBuffer dibOriginal;  // what Reset copies back

  int EffectType = -1;       // -1: no effect selected
  std::string EffectName;
  bool Logging = false;
  bool ToolboxShown = true;
  int JpegQuality = kStartJpegQuality;
  int PenModeIndex = 0;
  int MaxUndo = kStartMaxUndo;
  bool PromptForSave = true;     // "&Prompt for Save At Termination"
  bool SaveWithLogName = false;  // "Save Image with Log File Name"
  bool GradientExists = false;   // enables "Paste To Image" / "Merge With Image"
  bool BufferFilled = false;     // enables the three buffer items
  std::string DefaultDirectory;

  // Hooks to the undo ring and the operation log; either may be empty.
  std::function<void()> PushUndo;
  std::function<void(const std::string&)> WriteLog;

  // 256 x 256 black working image; scratch, buffer and original as copies.
  void CreateImages();

  // New: snapshot, then every pixel := brush colour (size kept); logs.
  void New(uint32_t brushColour);
  // Reset: snapshot, then the working image := dibOriginal; logs.
  void Reset();

  // Installs a freshly loaded picture as the working image without a snapshot
  // or log line (the command-line file): original and scratch follow it.
  void InstallLoadedImage(TPixelBuffer&& picture);

  // Selecting a tree node or menu entry: id -1 clears the name.
  void SelectEffect(int id, const std::string& name);
  // Status panel 4's text for the current selection.
  std::string ActivityText() const;

  // The closing question. Returns true when the window may close. A Yes runs
  // saveAs first and closes whatever that did.
  bool QueryClose(EditorUi& ui, const std::function<void()>& saveAs) const;
  // The same, where saveAs says whether the image was saved: a cancelled or
  // failed save keeps the window open, so the image is not lost.
  bool QueryCloseSaving(EditorUi& ui, const std::function<bool()>& saveAs) const;

 private:
  void Log(const std::string& line) const {
    if (Logging && WriteLog) WriteLog(line);
  }
};

}  // namespace vell
