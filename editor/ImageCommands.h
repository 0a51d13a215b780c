// The commands of the main window that change the working image, the buffer
// or the gradient without asking anything: what the menu item does once its
// picture is at hand. The window and a headless replay of the log both come
// here, so the two make the same picture; neither the log line nor the
// screen is theirs.
#pragma once

#include <array>
#include <cstdint>

#include "dialogs/VellGradient.h"
#include "editor/Apply.h"
#include "editor/EffectLog.h"
#include "editor/Editor.h"
#include "imaging/Colour.h"

namespace vell {

// Open (a file already read): snapshot, then the picture is the working
// image and what Reset returns to.
void OpenPicture(TEditor& editor, TPixelBuffer&& picture);

// Paste Clipboard to Image, Paste Buffer to Image: snapshot, then the picture
// (any size) replaces the working image; the scratch image follows its size.
void PictureToImage(TEditor& editor, const TPixelBuffer& picture);

// Copy Image to Buffer, Load Buffer, Paste Clipboard to Buffer, a selection
// copied to the buffer: the buffer holds the picture and counts as filled.
void PictureToBuffer(TEditor& editor, const TPixelBuffer& picture);

// "Crop to Selection": the selected area (already copied out) becomes the
// working image. The press that began the selection took the snapshot.
void CropToPicture(TEditor& editor, const TPixelBuffer& area);

// Paste As Selection dropped at (left, top): snapshot, then the picture is
// painted there; with `wrap` also in the eight copies around the tile, so a
// paste across an edge comes back in at the opposite one.
void PasteSelectionAt(TEditor& editor, const TPixelBuffer& picture, int left, int top, bool wrap);

// The sliders' OK: snapshot, then the six sliders applied to the working
// image (made again from it, whatever the scratch image held).
void CommitSliderPositions(TEditor& editor, const TSliderPositions& positions);
TSliderPositions SliderPositionsOf(const std::array<int, 6>& positions);

// Paste Gradient to Image: the gradient's picture becomes the working image
// and what Reset returns to, in the effect bracket. False (nothing changed)
// for a gradient without pixels.
bool PasteGradientPicture(TApplyDispatcher& apply, TEditor& editor, const TPixelBuffer& gradient);

// The image's right-click menu: a 256 x 256 colour wheel replaces the
// working image; the four-corner rainbow is drawn over it.
void ColorWheelToImage(TApplyDispatcher& apply, TEditor& editor);
void RainbowOnImage(TApplyDispatcher& apply, TEditor& editor);

// The gradient designer's fields put into its control, as typing them does:
// a width that converts sets the width, a height above 1 the height, an
// angle that converts the start angle, a listed style name the style; the
// colours are taken as they are. A field that does not convert changes nothing.
void ApplyGradientFields(TGradientPicture& gradient, const TGradientFields& fields);

}  // namespace vell
