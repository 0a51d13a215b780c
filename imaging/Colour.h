// The colour family: point operations on a picture. Every output pixel depends
// only on the same input pixel (and, for noise, on the random generator), so
// all of them keep a seamless tile seamless.
//
// One signature for every effect: the picture changed in place first, then the
// parameters. Toolkit colours (pen, brush, the tint colour) are 0x00BBGGRR, red
// in the low byte. The effects work on 24-bit pictures, and on 32-bit ones
// (the fourth byte is kept); the table-driven ones (Brighten, Lighten, the
// channel tables) also on 16-bit and palette pictures through
// TPixelBuffer::ApplyChannelTables. Negate inverts the picture bits at every
// depth, as an inverting block transfer does (palette pictures: the indices;
// 32 bits: all four bytes). Row padding is never touched.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/PixelBuffer.h"

namespace vell {

using TChannelTable = std::array<uint8_t, 256>;

// Channel tables, a = signed amount (-255 ... 255), results clamped to 0 ... 255,
// divisions truncate toward zero.
//   Shift:     v + a                         ShiftTable(40)[230] = 255
//   Contrast:  v + (a * (v - 128)) / 256     ContrastTable(-255)[0] = 127
//   Lightness: a >= 0: v + (a * (255 - v)) / 256   LightnessTable(255)[0] = 254
//              a <  0: v - (-a * v) / 256           LightnessTable(-255)[255] = 1
TChannelTable ShiftTable(int amount);
TChannelTable ContrastTable(int amount);
TChannelTable LightnessTable(int amount);

// Saturation weights A[k] = (amount * (k + 1)) >> 8. A pixel with mean
// m = (B + G + R) / 3 has each channel c replaced by clamp(m - A[m] + A[c]);
// amount 256 gives A[k] = k + 1 and so keeps every pixel.
std::array<int, 256> SaturationWeights(int amount);
// The saturation pass (TPixelBuffer::AdjustSaturation) on every depth: the
// palette for 1/4/8 bits, every pixel for 16, 24 and 32 bits. Amounts beyond
// +-2^20 are held there.
void AdjustSaturation(TPixelBuffer& image, int amount);
// c + round(c * 0.05), ties to even, above 254 -> 255: 10 -> 10, 100 -> 105, 255 -> 255.
TChannelTable BrightenTable();
// round(255 * (v / 255)^0.85), built on first use: 1 -> 2, 64 -> 79, 128 -> 142.
const std::array<uint16_t, 256>& LightenTable();

// The six colour sliders, each at 0 ... 510 with 255 neutral.
struct TSliderPositions {
  int lightness = 255;
  int contrast = 255;
  int saturation = 255;
  int red = 255;
  int green = 255;
  int blue = 255;
};

// The slider preview: preview becomes a 24-bit copy of source, then, in this
// order, lightness (unless at 255), contrast (unless at 255), saturation with
// the raw position as amount (unless at 0; at 255 the pass runs and keeps
// every pixel) and the red/green/blue shift (unless all three at 255), each
// slider counting position - 255. Committing is copying preview back.
void ApplySliders(TPixelBuffer& preview, const TPixelBuffer& source, const TSliderPositions& sliders);

// The colour effects.
void Brighten(TPixelBuffer& image);
void Lighten(TPixelBuffer& image);
// Every picture byte b becomes 255 - b; applying it twice gives the picture back.
void Negate(TPixelBuffer& image);
// g = (R * 77 + G * 151 + B * 28) >> 8 in all three channels: red 255 -> 76, white stays 255.
void ToGrayScale(TPixelBuffer& image);
// With M = max(R, G, B) of a pixel, it becomes (round(Rc * M / 255), round(Gc * M / 255),
// round(Bc * M / 255)) for the tint colour (Rc, Gc, Bc). Choosing the colour is the caller's.
void Tint(TPixelBuffer& image, uint32_t colour);
// Packs a pixel as P = B << 16 | G << 8 | R and rotates P left by bits within 24
// bits: 8 turns pure red (255, 0, 0) into pure green, 1 turns red 0x80 into green 1.
// bits <= 0 changes nothing.
void RotateColourBits(TPixelBuffer& image, int bits);
// Pixels whose red, green and blue each lie within tolerance (taken as an
// unsigned 16-bit number) of the pen colour's become the brush colour.
// Tolerance 0 replaces exactly the pen colour.
void ExchangeColour(TPixelBuffer& image, uint32_t pen, uint32_t brush, int tolerance);
void EraseToBlack(TPixelBuffer& image);
// Colour noise (one draw per channel) or mono noise (one draw per pixel); the
// noisiness is taken modulo 256, so 256 adds nothing (the generator still advances).
void AddNoise(TPixelBuffer& image, int noisiness, bool mono = false);

// Whole-picture loops use AVX-512 byte permutes where the processor has them.
// Turning them off (tests do, to check the portable loops) changes no result.
void UseWideVectors(bool on);
bool WideVectorsAvailable();  // the processor has them and they are not turned off

}  // namespace vell
