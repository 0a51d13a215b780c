#include "gif/GifPicture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <new>
#include <ostream>

#include "gif/GifLzw.h"

// ---------------------------------------------------------------------------------------------
// Colour map and extensions

int TGifColorMap::BitsPerPixel() const {
  if (Count <= 0) return 0;
  int b = 1;
  while ((1 << b) < Count) ++b;
  return b;
}

int TGifColorMap::Add(TGifRGB color) {
  if (Count >= 256) return -1;
  Entries[static_cast<size_t>(Count)] = color;
  return Count++;
}

std::string TGifComment::Text() const {
  std::string s;
  for (const auto& b : Blocks) s.append(b.begin(), b.end());
  return s;
}

std::string TGifApplication::Identifier() const {
  if (Blocks.empty()) return {};
  return std::string(Blocks[0].begin(), Blocks[0].end());
}

int TGifApplication::LoopCount() const {
  const std::string id = Identifier();
  if (id != "NETSCAPE2.0" && id != "ANIMEXTS1.0") return -1;
  for (size_t i = 1; i < Blocks.size(); ++i)
    if (Blocks[i].size() >= 3 && Blocks[i][0] == 1) return Blocks[i][1] | (Blocks[i][2] << 8);
  return -1;
}

uint8_t GifExtensionLabel(const TGifExtension& e) {
  switch (e.index()) {
    case 0: return kGifLabelGraphicControl;
    case 1: return kGifLabelComment;
    case 2: return kGifLabelPlainText;
    default: return kGifLabelApplication;
  }
}

TGifGraphicControl* TGifFrame::GraphicControl() {
  for (auto& e : Extensions)
    if (auto* g = std::get_if<TGifGraphicControl>(&e)) return g;
  return nullptr;
}

const TGifGraphicControl* TGifFrame::GraphicControl() const {
  return const_cast<TGifFrame*>(this)->GraphicControl();
}

bool TGifFrame::Transparent() const {
  const TGifGraphicControl* g = GraphicControl();
  return g && g->Transparent();
}

int TGifFrame::TransparentIndex() const {
  return Transparent() ? GraphicControl()->TransparentIndex : -1;
}

void TGifPicture::Warn(const char* message) const {
  if (OnWarning) OnWarning(message);
}

const TGifColorMap& TGifPicture::ActiveColorMap(const TGifFrame& frame) const {
  return frame.ColorMap.Empty() ? Header.ColorMap : frame.ColorMap;
}

const TGifColorMap& TGifPicture::ColorMap() const {
  if (Header.ColorMap.Empty() && !Frames.empty()) return Frames[0].ColorMap;
  return Header.ColorMap;
}

std::string TGifPicture::Version() const {
  if (Frames.empty()) return {};
  for (const auto& f : Frames)
    if (!f.Extensions.empty() || f.ColorMap.Optimized) return "89a";
  return "87a";
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

class TByteReader {
 public:
  TByteReader(const uint8_t* data, size_t size) : d_(data), n_(size) {}
  bool AtEnd() const { return pos_ >= n_; }
  size_t Pos() const { return pos_; }
  size_t Remaining() const { return n_ - pos_; }
  uint8_t Peek() const { return d_[pos_]; }
  uint8_t Byte() {
    Need(1);
    return d_[pos_++];
  }
  uint16_t Word() {
    Need(2);
    uint16_t v = static_cast<uint16_t>(d_[pos_] | (d_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  const uint8_t* Take(size_t count) {
    Need(count);
    const uint8_t* p = d_ + pos_;
    pos_ += count;
    return p;
  }
  void SkipZeros() {
    while (pos_ < n_ && d_[pos_] == 0) ++pos_;
  }

 private:
  void Need(size_t count) const {
    if (n_ - pos_ < count) throw EGifError(GifMsg::PrematureEnd);
  }
  const uint8_t* d_;
  size_t n_;
  size_t pos_ = 0;
};

bool IsGifSignature(const uint8_t* p) {
  return (p[0] | 0x20) == 'g' && (p[1] | 0x20) == 'i' && (p[2] | 0x20) == 'f';
}

void ReadColorMap(TByteReader& r, int count, TGifColorMap& map) {
  const uint8_t* p = r.Take(static_cast<size_t>(count) * 3);
  map.Count = count;
  for (int i = 0; i < count; ++i)
    map.Entries[static_cast<size_t>(i)] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
}

// Data sub-blocks up to the zero-length terminator, each kept as read.
std::vector<std::vector<uint8_t>> ReadSubBlocks(TByteReader& r) {
  std::vector<std::vector<uint8_t>> blocks;
  for (;;) {
    const uint8_t len = r.Byte();
    if (len == 0) return blocks;
    const uint8_t* p = r.Take(len);
    blocks.emplace_back(p, p + len);
  }
}

}  // namespace

namespace {


TGifExtension ReadExtension(TByteReader& r, const std::function<void(const char*)>& warn) {
  const uint8_t label = r.Byte();
  switch (label) {
    case kGifLabelGraphicControl: {
      TGifGraphicControl g;
      const uint8_t size = r.Byte();
      if (size == 0) {  // the terminator already: no body at all
        warn(GifMsg::PrematureEnd);
        g.BlockSize = 0;
        return g;
      }
      const uint8_t* p = r.Take(size);
      uint8_t body[4] = {0, 0, 0, 0};
      std::memcpy(body, p, std::min<size_t>(size, 4));
      if (size < 4) warn(GifMsg::PrematureEnd);
      g.BlockSize = size;
      g.Packed = body[0];
      g.Delay = static_cast<uint16_t>(body[1] | (body[2] << 8));
      g.TransparentIndex = body[3];
      ReadSubBlocks(r);  // anything up to the terminator
      return g;
    }
    case kGifLabelComment: return TGifComment{ReadSubBlocks(r)};
    case kGifLabelPlainText: return TGifPlainText{ReadSubBlocks(r)};
    case kGifLabelApplication: return TGifApplication{ReadSubBlocks(r)};
    default: throw EGifError(GifMsg::UnknownExtension);
  }
}

void ReadImage(TByteReader& r, const TGifHeader& header, TGifFrame& f,
               const std::function<void(const char*)>& warn) {
  TGifImageDescriptor& d = f.Descriptor;
  d.Separator = r.Byte();
  d.Left = r.Word();
  d.Top = r.Word();
  d.Width = r.Word();
  d.Height = r.Word();
  d.Packed = r.Byte();
  if (d.Width == 0 || d.Height == 0) {
    warn(GifMsg::ExceedsScreen);
    if (d.Width == 0) d.Width = header.Width;
    if (d.Height == 0) d.Height = header.Height;
  }
  if (d.Packed & 0x80) {
    ReadColorMap(r, 2 << (d.Packed & 7), f.ColorMap);
    f.ColorMap.Optimized = (d.Packed & 0x20) != 0;
  }

  const int minCodeSize = r.Byte();
  std::vector<uint8_t> codes;
  for (;;) {
    const uint8_t len = r.Byte();
    if (len == 0) break;
    const uint8_t* p = r.Take(len);
    codes.insert(codes.end(), p, p + len);
  }

  const uint64_t pixels = uint64_t{d.Width} * d.Height;
  if (pixels == 0) return;
  if (pixels > kGifMaxFramePixels) throw EGifError(GifMsg::ImageTooLarge);
  // A 12-bit code stands for at most 4093 indices: never trust a size the codes cannot fill.
  if (pixels > uint64_t{codes.size()} * 2730 + 4096) throw EGifError(GifMsg::BitBufferUnderRun);

  f.Data.resize(static_cast<size_t>(pixels));
  if (d.Packed & 0x40) {
    std::vector<uint8_t> coded(f.Data.size());
    GifLzwDecode(codes.data(), codes.size(), minCodeSize, coded.data(), coded.size());
    const std::vector<int> rows = GifInterlacedRows(d.Height);
    for (size_t i = 0; i < rows.size(); ++i)
      std::memcpy(f.Data.data() + static_cast<size_t>(rows[i]) * d.Width,
                  coded.data() + i * d.Width, d.Width);
  } else {
    GifLzwDecode(codes.data(), codes.size(), minCodeSize, f.Data.data(), f.Data.size());
  }

  const TGifColorMap& map = f.ColorMap.Empty() ? header.ColorMap : f.ColorMap;
  if (!map.Empty()) {
    const uint8_t top = *std::max_element(f.Data.begin(), f.Data.end());
    if (top >= map.Count) warn(GifMsg::InvalidColorIndex);
  }
}

}  // namespace

TGifResult TGifPicture::LoadFromMemory(const uint8_t* data, size_t size, size_t* consumed) {
  const std::function<void(const char*)> warn = [this](const char* m) { Warn(m); };
  try {
    TByteReader r(data, size);
    if (size >= 6 && IsGifSignature(data)) {
      r.Take(6);
    } else if (size >= 10 && IsGifSignature(data + 4)) {
      r.Take(10);  // a 4-byte length ahead of the signature
    } else {
      throw EGifError(GifMsg::InvalidSignature);
    }

    TGifHeader header;
    header.Width = r.Word();
    header.Height = r.Word();
    header.Packed = r.Byte();
    header.BackgroundIndex = r.Byte();
    header.AspectRatio = r.Byte();
    if (header.Packed & 0x80) {
      ReadColorMap(r, 2 << (header.Packed & 7), header.ColorMap);
      header.ColorMap.Optimized = (header.Packed & 0x08) != 0;
    }

    std::vector<TGifFrame> frames;
    for (;;) {
      r.SkipZeros();
      if (r.AtEnd()) {  // no trailer: keep what was read
        warn(GifMsg::PrematureEnd);
        break;
      }
      const uint8_t b = r.Peek();
      if (b == kGifTrailer) {
        r.Byte();
        break;
      }
      if (b != kGifExtensionIntroducer && b != kGifImageSeparator) {
        warn(GifMsg::UnknownBlock);
        break;
      }
      TGifFrame& f = frames.emplace_back();
      for (;;) {
        r.SkipZeros();
        if (r.AtEnd() || r.Peek() != kGifExtensionIntroducer) break;
        r.Byte();
        f.Extensions.push_back(ReadExtension(r, warn));
      }
      if (!r.AtEnd() && r.Peek() == kGifImageSeparator) ReadImage(r, header, f, warn);
    }

    Header = std::move(header);
    Frames = std::move(frames);
    Compression = TGifCompression::LZW;
    if (consumed) *consumed = r.Pos();
    return {};
  } catch (const EGifError& e) {
    return TGifResult::Fail(e.what());
  } catch (const std::bad_alloc&) {
    return TGifResult::Fail(GifMsg::ImageTooLarge);
  }
}

TGifResult TGifPicture::LoadFromStream(std::istream& in) {
  const std::istream::pos_type start = in.tellg();
  std::vector<uint8_t> bytes;
  {
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0)
      bytes.insert(bytes.end(), buf, buf + in.gcount());
  }
  size_t consumed = 0;
  TGifResult res = LoadFromMemory(bytes.data(), bytes.size(), &consumed);
  in.clear();
  if (start != std::istream::pos_type(-1))
    in.seekg(res ? start + std::streamoff(consumed) : start);
  return res;
}

TGifResult TGifPicture::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return TGifResult::Fail("Cannot open file \"" + path + "\"");
  return LoadFromStream(in);
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

void PutWord(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// count entries, then black up to `entries`.
void PutColorMap(std::vector<uint8_t>& out, const TGifColorMap& map, int entries) {
  for (int i = 0; i < map.Count; ++i) {
    const TGifRGB& c = map.Entries[static_cast<size_t>(i)];
    out.push_back(c.Red);
    out.push_back(c.Green);
    out.push_back(c.Blue);
  }
  out.insert(out.end(), static_cast<size_t>(std::max(entries - map.Count, 0)) * 3, 0);
}

void PutBlocks(std::vector<uint8_t>& out, const std::vector<std::vector<uint8_t>>& blocks) {
  for (const auto& b : blocks) {
    // Blocks come from reading (<= 255 bytes); longer ones built in code are split.
    for (size_t pos = 0; pos < b.size(); pos += 255) {
      const size_t len = std::min<size_t>(255, b.size() - pos);
      out.push_back(static_cast<uint8_t>(len));
      out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(pos),
                 b.begin() + static_cast<std::ptrdiff_t>(pos + len));
    }
  }
  out.push_back(0);
}

void PutExtension(std::vector<uint8_t>& out, const TGifExtension& e) {
  out.push_back(kGifExtensionIntroducer);
  out.push_back(GifExtensionLabel(e));
  if (const auto* g = std::get_if<TGifGraphicControl>(&e)) {
    out.push_back(4);
    out.push_back(g->Packed);
    PutWord(out, g->Delay);
    out.push_back(g->TransparentIndex);
    out.push_back(0);
  } else if (const auto* c = std::get_if<TGifComment>(&e)) {
    PutBlocks(out, c->Blocks);
  } else if (const auto* t = std::get_if<TGifPlainText>(&e)) {
    PutBlocks(out, t->Blocks);
  } else {
    PutBlocks(out, std::get<TGifApplication>(e).Blocks);
  }
}

}  // namespace

TGifResult TGifPicture::SaveToMemory(std::vector<uint8_t>& out) const {
  try {
    const std::string version = Version();
    if (version.empty()) throw EGifError(GifMsg::UnsupportedVersion);
    std::vector<uint8_t> o;
    o.reserve(4096);
    for (const char ch : "GIF" + version) o.push_back(static_cast<uint8_t>(ch));

    int bpp = Header.ColorMap.BitsPerPixel();
    for (const auto& f : Frames) bpp = std::max(bpp, f.ColorMap.BitsPerPixel());
    const int resolution = bpp - 1;
    const TGifColorMap& global = Header.ColorMap;
    uint8_t packed = 0;
    if (!global.Empty()) packed |= 0x80;
    if (global.Optimized) packed |= 0x08;
    packed |= static_cast<uint8_t>((resolution << 4) & 0x70);
    packed |= static_cast<uint8_t>((bpp - 1) & 0x07);
    PutWord(o, Header.Width);
    PutWord(o, Header.Height);
    o.push_back(packed);
    o.push_back(Header.BackgroundIndex);
    o.push_back(Header.AspectRatio);
    // The table is as long as the flags say, which a larger local map can make longer than
    // the global map itself needs.
    if (packed & 0x80) PutColorMap(o, global, 2 << (packed & 7));

    for (const auto& f : Frames) {
      for (const auto& e : f.Extensions) PutExtension(o, e);
      if (!f.HasPixels()) continue;
      const TGifImageDescriptor& d = f.Descriptor;
      if (f.Data.size() != size_t{d.Width} * d.Height) throw EGifError(GifMsg::FrameSizeMismatch);
      const TGifColorMap& local = f.ColorMap;
      uint8_t fp;
      if (local.Empty()) {
        fp = d.Packed & 0x58;
      } else {
        fp = static_cast<uint8_t>(0x80 | (local.Optimized ? 0x20 : 0) |
                                  ((local.BitsPerPixel() - 1) & 0x07));
      }
      o.push_back(kGifImageSeparator);
      PutWord(o, d.Left);
      PutWord(o, d.Top);
      PutWord(o, d.Width);
      PutWord(o, d.Height);
      o.push_back(fp);
      int m, limit;
      if (local.Empty()) {
        m = std::max(bpp, 2);
        limit = 1 << m;
      } else {
        PutColorMap(o, local, 1 << local.BitsPerPixel());
        m = std::max(local.BitsPerPixel(), 2);
        limit = local.Count;
      }
      // The rows go in the order the written flags announce.
      GifLzwEncode(f.Data.data(), d.Width, d.Height, (fp & 0x40) != 0, m, limit, o);
    }
    o.push_back(kGifTrailer);
    out = std::move(o);
    return {};
  } catch (const EGifError& e) {
    return TGifResult::Fail(e.what());
  } catch (const std::bad_alloc&) {
    return TGifResult::Fail(GifMsg::ImageTooLarge);
  }
}

TGifResult TGifPicture::SaveToStream(std::ostream& out) const {
  std::vector<uint8_t> bytes;
  TGifResult res = SaveToMemory(bytes);
  if (!res) return res;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) return TGifResult::Fail("Cannot write the GIF data");
  return {};
}

TGifResult TGifPicture::SaveToFile(const std::string& path) const {
  std::vector<uint8_t> bytes;
  TGifResult res = SaveToMemory(bytes);
  if (!res) return res;
  // Written beside the target under a unique name and renamed, so a failed write leaves the
  // old file whole and no file of the user's is ever taken for the temporary.
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return TGifResult::Fail("Cannot write file \"" + path + "\": " + std::strerror(errno));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
  size_t done = 0;
  int err = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return TGifResult::Fail("Cannot write file \"" + path + "\": " + std::strerror(err));
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// From a paletted bitmap

TGifResult TGifPicture::Assign(const TGifPalettedBitmap& bmp) {
  const int bits = bmp.BitCount;
  if (bits != 1 && bits != 4 && bits != 8) return TGifResult::Fail("Unsupported bitmap format");
  if (bmp.Width <= 0 || bmp.Height <= 0 || bmp.Width > 65535 || bmp.Height > 65535 ||
      uint64_t(bmp.Width) * uint64_t(bmp.Height) > kGifMaxFramePixels)
    return TGifResult::Fail(GifMsg::ImageTooLarge);
  const size_t rowBytes = (static_cast<size_t>(bmp.Width) * bits + 7) / 8;
  const size_t stride = bmp.Stride ? bmp.Stride : rowBytes;
  if (stride < rowBytes || bmp.Bits.size() < stride * (bmp.Height - 1) + rowBytes)
    return TGifResult::Fail("Bitmap data too short");

  TGifFrame f;
  const int colors = static_cast<int>(std::min<size_t>(bmp.Palette.size(), 256));
  for (int i = 0; i < colors; ++i) f.ColorMap.Add(bmp.Palette[static_cast<size_t>(i)]);
  f.Descriptor.Width = static_cast<uint16_t>(bmp.Width);
  f.Descriptor.Height = static_cast<uint16_t>(bmp.Height);
  if (!f.ColorMap.Empty())
    f.Descriptor.Packed = static_cast<uint8_t>(0x80 | ((f.ColorMap.BitsPerPixel() - 1) & 7));
  f.Data.resize(static_cast<size_t>(bmp.Width) * bmp.Height);
  for (int y = 0; y < bmp.Height; ++y) {
    const uint8_t* src = bmp.Bits.data() + stride * y;
    uint8_t* dst = f.Data.data() + static_cast<size_t>(y) * bmp.Width;
    if (bits == 8) {
      std::memcpy(dst, src, static_cast<size_t>(bmp.Width));
    } else {
      const int perByte = 8 / bits;
      const int mask = (1 << bits) - 1;
      for (int x = 0; x < bmp.Width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        dst[x] = static_cast<uint8_t>((src[x / perByte] >> shift) & mask);
      }
    }
  }

  Header = TGifHeader();
  Frames.clear();
  Frames.push_back(std::move(f));
  for (const auto& fr : Frames) {
    const auto& d = fr.Descriptor;
    Header.Width = static_cast<uint16_t>(std::min(65535, std::max<int>(Header.Width, d.Left + d.Width)));
    Header.Height = static_cast<uint16_t>(std::min(65535, std::max<int>(Header.Height, d.Top + d.Height)));
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Colour-map optimisation

void TGifPicture::OptimizeColorMap() {
  // Map 0 is the global map, map i + 1 frame i's own.
  const size_t nMaps = Frames.size() + 1;
  std::vector<std::array<uint64_t, 256>> counts(nMaps);
  for (auto& c : counts) c.fill(0);
  std::vector<bool> inUse(nMaps, false);
  bool transparencyUsed = false;

  auto mapOf = [&](size_t frame) -> size_t { return Frames[frame].ColorMap.Empty() ? 0 : frame + 1; };
  auto mapRef = [&](size_t id) -> const TGifColorMap& { return id == 0 ? Header.ColorMap : Frames[id - 1].ColorMap; };

  for (size_t i = 0; i < Frames.size(); ++i) {
    TGifFrame& f = Frames[i];
    const int t = f.TransparentIndex();
    bool occurs = false;
    if (f.HasPixels()) {
      const size_t id = mapOf(i);
      inUse[id] = true;
      const unsigned count = static_cast<unsigned>(mapRef(id).Count);
      auto& cnt = counts[id];
      bool stray = false;
      for (const uint8_t v : f.Data) {
        if (static_cast<int>(v) == t) {
          occurs = true;
        } else if (v >= count) {
          stray = true;  // taken as entry 0, rewritten so below
          if (count) ++cnt[0];
        } else {
          ++cnt[v];
        }
      }
      if (stray) Warn(GifMsg::ColorNotInTable);
    }
    if (t >= 0) {
      if (occurs) {
        transparencyUsed = true;
      } else {
        TGifGraphicControl* g = f.GraphicControl();
        g->TransparentIndex = 0;
        g->SetTransparent(false);
      }
    }
  }

  struct TEntry {
    TGifRGB Color;
    uint64_t Count;
    size_t Map;
    int Index;
    uint32_t Key() const { return Color.Red | (Color.Green << 8) | (Color.Blue << 16); }
  };
  std::vector<TEntry> entries;
  for (size_t id = 0; id < nMaps; ++id) {
    if (!inUse[id]) continue;
    const TGifColorMap& m = mapRef(id);
    for (int k = 0; k < m.Count; ++k)
      entries.push_back({m.Entries[static_cast<size_t>(k)], counts[id][static_cast<size_t>(k)], id, k});
  }

  // Equal colours become one entry: the first of them, with the counts added.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TEntry& a, const TEntry& b) { return a.Key() < b.Key(); });
  std::vector<TEntry> merged;
  std::vector<size_t> mergedOf(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) {
    if (merged.empty() || merged.back().Key() != entries[k].Key())
      merged.push_back(entries[k]);
    else
      merged.back().Count += entries[k].Count;
    mergedOf[k] = merged.size() - 1;
  }

  std::vector<size_t> order(merged.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return merged[a].Count > merged[b].Count; });
  const size_t limit = transparencyUsed ? 255 : 256;
  size_t kept = 0;
  while (kept < order.size() && kept < limit && merged[order[kept]].Count != 0) ++kept;

  constexpr int kUnset = -1;
  std::vector<int> newIndex(merged.size(), kUnset);
  TGifColorMap map;
  for (size_t k = 0; k < kept; ++k) {
    newIndex[order[k]] = static_cast<int>(k);
    map.Add(merged[order[k]].Color);
  }
  // The rest go to the kept colour nearest by the sum of the signed channel differences.
  for (size_t k = 0; k < merged.size(); ++k) {
    if (newIndex[k] != kUnset) continue;
    int best = 0, bestDist = 1 << 30;
    const TGifRGB& c = merged[k].Color;
    for (size_t j = 0; j < kept; ++j) {
      const TGifRGB& q = map.Entries[j];
      const int dist = std::abs((q.Red - c.Red) + (q.Green - c.Green) + (q.Blue - c.Blue));
      if (dist < bestDist) {
        bestDist = dist;
        best = static_cast<int>(j);
      }
    }
    newIndex[k] = best;
  }
  const int newTransparent = transparencyUsed ? map.Add({0, 0, 0}) : 0;

  // Old index -> new index, per map.
  std::vector<std::array<uint8_t, 256>> remap(nMaps);
  for (auto& r : remap) r.fill(0);
  for (size_t k = 0; k < entries.size(); ++k)
    remap[entries[k].Map][static_cast<size_t>(entries[k].Index)] =
        static_cast<uint8_t>(newIndex[mergedOf[k]]);

  for (size_t i = 0; i < Frames.size(); ++i) {
    TGifFrame& f = Frames[i];
    const int t = f.TransparentIndex();
    if (f.HasPixels()) {
      const size_t id = mapOf(i);
      const int count = mapRef(id).Count;
      std::array<uint8_t, 256> lut;
      for (int v = 0; v < 256; ++v)
        lut[static_cast<size_t>(v)] = v < count ? remap[id][static_cast<size_t>(v)] : remap[id][0];
      if (t >= 0) lut[static_cast<size_t>(t)] = static_cast<uint8_t>(newTransparent);
      for (uint8_t& v : f.Data) v = lut[v];
    }
    if (t >= 0) f.GraphicControl()->TransparentIndex = static_cast<uint8_t>(newTransparent);
    f.ColorMap.Clear();
    f.Descriptor.Packed &= 0x58;
  }
  map.Optimized = true;
  Header.ColorMap = map;
}

// ---------------------------------------------------------------------------------------------
// Graphic control

bool TGifPicture::TransparentColor(TGifRGB& color) const {
  if (Frames.empty() || !Frames[0].Transparent()) return false;
  const int t = Frames[0].TransparentIndex();
  const TGifColorMap& map = ActiveColorMap(Frames[0]);
  color = t < map.Count ? map.Entries[static_cast<size_t>(t)] : TGifRGB{};
  return true;
}

bool TGifPicture::AddGraphicControl(bool transparent, int transparentIndex) {
  if (Frames.empty()) return false;
  TGifFrame& f = Frames[0];
  const TGifColorMap& map = ActiveColorMap(f);
  if (transparentIndex < 0 || transparentIndex > 255 ||
      (!map.Empty() && transparentIndex >= map.Count))
    transparentIndex = 0;
  TGifGraphicControl* g = f.GraphicControl();
  if (!g) g = &std::get<TGifGraphicControl>(f.Extensions.emplace_back(TGifGraphicControl{}));
  g->SetTransparent(transparent);
  g->TransparentIndex = static_cast<uint8_t>(transparentIndex);
  return true;
}
