// Geometric distortions: effects that move the pixels of the working image to
// new places by a formula. Each one builds its result from an untouched copy
// of the picture, so no pixel is read after it was written, and keeps the
// picture's size. They change a 24-bit picture in place (Twist and FishEye
// write into `image` from `source`) and leave any other picture alone. Row
// padding is never touched. Coordinates are column x (left to right) and row
// y (top to bottom); angles are in degrees.
//
// Which of them keep a tile seamless:
//   SineWaveUpDown / SineWaveLeftRight with wrap: always along their own axis,
//     across it when the peak count is whole; SineWaveBoth with whole peak
//     counts; RippleTooth vertically, and across when the width is a multiple
//     of its tooth; Swizzle makes a tile of any picture.
//   The centred ones (Waves, WhirlPinch beyond the picture, FishEye, Twist,
//   Circular) do not.
#pragma once

#include "imaging/PixelBuffer.h"

namespace vell {

// Every column c shifted down by round(H * sin(c / P)) rows, H = height held
// to -Height() ... Height(). P = Width() / pi / x with usePeaks (x peaks across
// the width), else P = x (the wavelength). With wrap the rows leave at the
// bottom and come back at the top: a column [a,b,c,d] shifted by +1 becomes
// [d,a,b,c]. Without wrap the gaps repeat the top or bottom row: [a,a,b,c]. Nothing changes for x = 0 (either meaning), a non-finite x, or a
// negative height without wrap.
void SineWaveUpDown(TPixelBuffer& image, int height, bool wrap, bool usePeaks, double x);

// The same with rows and columns exchanged: every row r shifted right by
// round(H * sin(r / P)), H held to -Width() ... Width(), P = Height() / pi / x
// with usePeaks.
void SineWaveLeftRight(TPixelBuffer& image, int height, bool wrap, bool usePeaks, double x);

// Both shifts at once, with wrap-around: output (c, r) takes the pixel at
//   column c + round(sin(r * pi * peaksLR / Height()) * heightLR),
//   row    r + round(sin(c * pi * peaksUD / Width())  * heightUD),
// each height held to the picture's size. Nothing changes when either peak
// count is 0 or not finite.
void SineWaveBoth(TPixelBuffer& image, int heightUD, int heightLR, double peaksLR, double peaksUD);

// A twist about the centre that grows with the distance d from it: output at
// angle theta and distance d samples (bilinear, wrapped) the source at angle
// theta - d / looseness + pi / 2 and the same distance, so besides the twist the
// picture turns by a quarter; a large looseness gives nearly a plain quarter
// turn. `image` takes the source's size. Looseness 0 (an endless twist) copies
// the source unchanged. `source` and `image` may be the same buffer.
void Twist(const TPixelBuffer& source, TPixelBuffer& image, int looseness);

// A lens about the centre (Width() / 2, Height() / 2): with Rm = magnification
// * Width(), the pixel at distance d samples distance
// t = (1 / (1 - d / Rm) - 1) * Rm / 2 along the same ray (bilinear, wrapped).
// Magnification 0.5 on 100 x 100: Rm = 50, d = 25 samples t = 25. `image` takes
// the source's size; `source` and `image` may be the same buffer.
void FishEye(const TPixelBuffer& source, TPixelBuffer& image, double magnification);

// Lays each row of the picture along one of 721 spiral arms from the centre;
// pixels no arm reaches keep their value. Made for 256 x 256 pictures: asking
// whether to go on with any other size is the caller's.
void Circular(TPixelBuffer& image);

// Every column k shifted down, with wrap-around, by k mod c rows (a saw tooth),
// c = min(Height() div 2, amount) and the tooth counted in 8 bits (offsets
// 0 ... 255 at most). Amount 3 on a 4-high picture: c = 2, columns shifted by
// 0, 1, 0, 1. Amounts of 1 or less change nothing.
void RippleTooth(TPixelBuffer& image, int amount);

// Circular ripples about the centre with the given amplitude, wave length (in
// pixels) and phase (degrees). Reflective: each pixel samples along its ray at
// |sin w| * amplitude times its distance, clamped to the picture; otherwise
// both coordinates are shifted by amplitude * sin w, wrapped. Amplitude 0 or
// wave length 0 changes nothing.
void Waves(TPixelBuffer& image, int amplitude, int waveLength, bool reflective, double phase);

// Whirl and pinch inside an ellipse about the centre whose size is `radius`
// (0 ... 2) times the half size: a pixel at relative distance d turns by
// angle * (1 - d)^2 and its distance is scaled by sin(pi / 2 * d)^-pinch.
// Pinch above 1 is taken as 1; radius 0 (or less) leaves every pixel in place,
// as do pictures 2 pixels wide or high or smaller.
void WhirlPinch(TPixelBuffer& image, double radius, double pinch, double angle);

// Makes a tile of any picture: neighbouring columns shifted alternately up and
// down by up to `swizzleWidth` rows (with wrap), then the four-way flip of the
// result stretched back to the starting size by nearest neighbour.
void Swizzle(TPixelBuffer& image, int swizzleWidth);

}  // namespace vell
