#include "editor/JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace vell {

namespace {

// libjpeg reports errors through error_exit, which must not return: we jump
// back to the setjmp of the call that started the work. Only C objects and
// objects declared before the setjmp live across the jump.
struct TJpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int warningCode;  // first warning that makes the picture untrustworthy, 0 for none
  char warning[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings that mean pixels are missing or wrong: a truncated or damaged
// file would otherwise open as a half-grey picture.
bool DamageWarning(int code) {
  switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
      return true;
    default:
      return false;
  }
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  const int code = cinfo->err->msg_code;
  ++cinfo->err->num_warnings;
  if (err->warningCode == 0 && DamageWarning(code)) {
    err->warningCode = code;
    (*cinfo->err->format_message)(cinfo, err->warning);
  }
}

void OutputMessage(j_common_ptr) {}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = OutputMessage;
  err.message[0] = 0;
  err.warning[0] = 0;
  err.warningCode = 0;
}

struct TScanGuard {
  jpeg_progress_mgr pub;
  j_decompress_ptr cinfo;
};

// Ends a progressive file with too many scans through the error road.
void ProgressMonitor(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->is_decompressor && d->input_scan_number > kJpegMaxScans) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "The JPEG file has more than %d scans", kJpegMaxScans);
    std::longjmp(err->jump, 1);
  }
}

// Compressed bytes straight into a vector that outlives any error jump.
struct TVectorDest {
  jpeg_destination_mgr pub;
  std::vector<uint8_t>* out;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TVectorDest*>(cinfo->dest);
  d->out->resize(65536);
  d->pub.next_output_byte = d->out->data();
  d->pub.free_in_buffer = d->out->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TVectorDest*>(cinfo->dest);
  const size_t used = d->out->size();
  d->out->resize(used * 2);
  d->pub.next_output_byte = d->out->data() + used;
  d->pub.free_in_buffer = d->out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TVectorDest*>(cinfo->dest);
  d->out->resize(d->out->size() - d->pub.free_in_buffer);
}

std::string Message(const char* what, const char* text) { return std::string(what) + ": " + text; }

// Adobe CMYK is stored inverted (255 means no ink); plain CMYK is not.
inline uint8_t InkToLight(unsigned c, unsigned k, bool inverted) {
  if (!inverted) {
    c = 255 - c;
    k = 255 - k;
  }
  return static_cast<uint8_t>((c * k + 127) / 255);
}

}  // namespace

TImageResult EncodeJpeg(const TPixelBuffer& picture, int quality, std::vector<uint8_t>& out) {
  return EncodeJpegSampled(picture, quality, false, out);
}

TImageResult EncodeJpegSampled(const TPixelBuffer& picture, int quality, bool fullChroma, std::vector<uint8_t>& out) {
  if (picture.Empty() || picture.BitCount() != 24) return TImageResult::Fail("There is no 24-bit image to write");
  if (picture.Width() > JPEG_MAX_DIMENSION || picture.Height() > JPEG_MAX_DIMENSION)
    return TImageResult::Fail("The image is too large for a JPEG file");
  const int q = quality < 0 ? 0 : quality > 100 ? 100 : quality;

  jpeg_compress_struct cinfo;
  TJpegError err;
  std::vector<uint8_t> bytes;
  TVectorDest dest;
  InitError(err);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return TImageResult::Fail(Message("Cannot write the JPEG image", err.message));
  }
  jpeg_create_compress(&cinfo);
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyOutputBuffer;
  dest.pub.term_destination = TermDestination;
  dest.out = &bytes;
  cinfo.dest = &dest.pub;
  cinfo.image_width = static_cast<JDIMENSION>(picture.Width());
  cinfo.image_height = static_cast<JDIMENSION>(picture.Height());
  cinfo.input_components = 3;
  // Our rows are B,G,R already: no copy per row.
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, q, TRUE);
  if (fullChroma)
    for (int c = 0; c < cinfo.num_components; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(picture.Row(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  out = std::move(bytes);
  return {};
}

namespace {

// The common start of both decoders: header read, size checked.
// Returns false (with `error` set) when the header is refused.
bool CheckHeader(j_decompress_ptr cinfo, uint64_t maxPixels, std::string& error) {
  if (cinfo->image_width == 0 || cinfo->image_height == 0) {
    error = "The JPEG file has an empty picture";
    return false;
  }
  if (uint64_t(cinfo->image_width) * cinfo->image_height > maxPixels ||
      cinfo->image_width > 65535 || cinfo->image_height > 65535) {
    error = "The JPEG image is too large (" + std::to_string(cinfo->image_width) + " x " +
            std::to_string(cinfo->image_height) + ")";
    return false;
  }
  return true;
}

}  // namespace

TImageResult DecodeJpeg(const uint8_t* data, size_t size, TPixelBuffer& picture, uint64_t maxPixels) {
  if (size == 0) return TImageResult::Fail("The JPEG file is empty");
  jpeg_decompress_struct cinfo;
  TJpegError err;
  TScanGuard guard;
  TPixelBuffer result;
  std::vector<uint8_t> inkRow;
  std::string refused;
  InitError(err);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return TImageResult::Fail(Message("Cannot read the JPEG image", err.message));
  }
  jpeg_create_decompress(&cinfo);
  guard.pub.progress_monitor = ProgressMonitor;
  guard.cinfo = &cinfo;
  cinfo.progress = &guard.pub;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (!CheckHeader(&cinfo, maxPixels, refused)) {
    jpeg_destroy_decompress(&cinfo);
    return TImageResult::Fail(refused);
  }
  const bool ink = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  const bool inverted = ink && cinfo.saw_Adobe_marker;
  cinfo.out_color_space = ink ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
  result.Allocate(w, h, 0, 24);
  if (result.Empty()) {
    jpeg_destroy_decompress(&cinfo);
    return TImageResult::Fail("Not enough memory for the JPEG image");
  }
  if (ink) inkRow.resize(static_cast<size_t>(w) * 4);
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW row = ink ? inkRow.data() : result.Row(y);
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    if (ink) {
      uint8_t* d = result.Row(y);
      const uint8_t* s = inkRow.data();
      for (int x = 0; x < w; ++x, s += 4, d += 3) {
        d[0] = InkToLight(s[2], s[3], inverted);
        d[1] = InkToLight(s[1], s[3], inverted);
        d[2] = InkToLight(s[0], s[3], inverted);
      }
    }
    if (err.warningCode != 0) break;
  }
  if (err.warningCode == 0) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (err.warningCode != 0) return TImageResult::Fail(Message("Cannot read the JPEG image", err.warning));
  picture = std::move(result);
  return {};
}

TImageResult DecodeJpegQuantized(const uint8_t* data, size_t size, int colours, TGifPalettedBitmap& bitmap,
                                 uint64_t maxPixels) {
  if (size == 0) return TImageResult::Fail("The JPEG file is empty");
  const int wanted = colours < 8 ? 8 : colours > 256 ? 256 : colours;
  jpeg_decompress_struct cinfo;
  TJpegError err;
  TScanGuard guard;
  TGifPalettedBitmap result;
  std::string refused;
  InitError(err);
  cinfo.err = &err.pub;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return TImageResult::Fail(Message("Cannot reduce the colours", err.message));
  }
  jpeg_create_decompress(&cinfo);
  guard.pub.progress_monitor = ProgressMonitor;
  guard.cinfo = &cinfo;
  cinfo.progress = &guard.pub;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (!CheckHeader(&cinfo, maxPixels, refused)) {
    jpeg_destroy_decompress(&cinfo);
    return TImageResult::Fail(refused);
  }
  cinfo.out_color_space = JCS_RGB;
  cinfo.quantize_colors = TRUE;
  cinfo.desired_number_of_colors = wanted;
  cinfo.two_pass_quantize = TRUE;
  cinfo.dither_mode = JDITHER_FS;
  jpeg_start_decompress(&cinfo);
  result.Width = static_cast<int>(cinfo.output_width);
  result.Height = static_cast<int>(cinfo.output_height);
  result.BitCount = 8;
  result.Stride = cinfo.output_width;
  result.Bits.resize(size_t(result.Stride) * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = result.Bits.data() + size_t(cinfo.output_scanline) * result.Stride;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1 || err.warningCode != 0) break;
  }
  // The colour map is final once the last row is out.
  const int count = cinfo.actual_number_of_colors;
  const int comps = cinfo.out_color_components;
  for (int i = 0; i < count && cinfo.colormap != nullptr; ++i) {
    TGifRGB c;
    c.Red = cinfo.colormap[0][i];
    c.Green = cinfo.colormap[comps > 1 ? 1 : 0][i];
    c.Blue = cinfo.colormap[comps > 2 ? 2 : 0][i];
    result.Palette.push_back(c);
  }
  if (err.warningCode == 0) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (err.warningCode != 0) return TImageResult::Fail(Message("Cannot reduce the colours", err.warning));
  if (result.Palette.empty()) return TImageResult::Fail("Cannot reduce the colours: no colour map");
  bitmap = std::move(result);
  return {};
}

TImageResult ReduceToPalette(const TPixelBuffer& picture, TGifPalettedBitmap& bitmap) {
  std::vector<uint8_t> jpeg;
  // Full colour resolution: halved chroma would smear colour edges into the palette.
  if (TImageResult r = EncodeJpegSampled(picture, 100, true, jpeg); !r) return r;
  return DecodeJpegQuantized(jpeg.data(), jpeg.size(), kGifQuantizeColours, bitmap);
}

}  // namespace vell
