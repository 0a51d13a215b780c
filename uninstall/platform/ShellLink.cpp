#include "ShellLink.h"

#include <algorithm>

#include "Encoding.h"

namespace yarb {
namespace {

constexpr uint32_t kHasIdList = 0x01;
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kHasRelativePath = 0x08;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;

const uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 0xff);
  v.push_back((x >> 8) & 0xff);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xffff);
  Put16(v, x >> 16);
}
void PutString(std::vector<uint8_t>& v, const std::string& s) {
  size_t n = std::min<size_t>(s.size(), 0xffff);
  Put16(v, static_cast<uint32_t>(n));
  v.insert(v.end(), s.begin(), s.begin() + n);
}

struct Reader {
  const std::vector<uint8_t>& d;
  size_t pos = 0;
  bool ok = true;
  uint32_t U16() {
    if (pos + 2 > d.size()) { ok = false; return 0; }
    uint32_t x = d[pos] | (d[pos + 1] << 8);
    pos += 2;
    return x;
  }
  uint32_t U32() {
    uint32_t lo = U16();
    return lo | (U16() << 16);
  }
};

std::string CString(const std::vector<uint8_t>& d, size_t at, size_t limit) {
  std::string s;
  for (size_t i = at; i < limit && i < d.size() && d[i]; ++i) s.push_back(static_cast<char>(d[i]));
  return s;
}

}  // namespace

std::vector<uint8_t> BuildShellLink(const ShellLinkInfo& info) {
  std::vector<uint8_t> v;
  uint32_t flags = kHasLinkInfo;
  if (!info.workingDir.empty()) flags |= kHasWorkingDir;
  if (!info.arguments.empty()) flags |= kHasArguments;
  if (!info.iconFile.empty()) flags |= kHasIconLocation;
  Put32(v, 0x4c);
  v.insert(v.end(), kLinkClsid, kLinkClsid + 16);
  Put32(v, flags);
  Put32(v, 0x20);  // file attributes of the target: archive
  for (int i = 0; i < 6; ++i) Put32(v, 0);  // creation, access, write times
  Put32(v, 0);                              // file size
  Put32(v, static_cast<uint32_t>(info.iconIndex));
  Put32(v, static_cast<uint32_t>(info.showCmd));
  Put16(v, info.hotKey);
  Put16(v, 0);
  Put32(v, 0);
  Put32(v, 0);

  // LinkInfo: a volume id for a fixed drive and the local base path.
  std::vector<uint8_t> volume;
  Put32(volume, 0x11);  // size
  Put32(volume, 3);     // DRIVE_FIXED
  Put32(volume, 0);     // serial number
  Put32(volume, 0x10);  // label offset
  volume.push_back(0);
  const uint32_t headerSize = 0x1c;
  uint32_t basePathOffset = headerSize + static_cast<uint32_t>(volume.size());
  uint32_t suffixOffset = basePathOffset + static_cast<uint32_t>(info.target.size()) + 1;
  uint32_t total = suffixOffset + 1;
  Put32(v, total);
  Put32(v, headerSize);
  Put32(v, 1);  // VolumeIDAndLocalBasePath
  Put32(v, headerSize);
  Put32(v, basePathOffset);
  Put32(v, 0);
  Put32(v, suffixOffset);
  v.insert(v.end(), volume.begin(), volume.end());
  v.insert(v.end(), info.target.begin(), info.target.end());
  v.push_back(0);
  v.push_back(0);

  if (flags & kHasWorkingDir) PutString(v, info.workingDir);
  if (flags & kHasArguments) PutString(v, info.arguments);
  if (flags & kHasIconLocation) PutString(v, info.iconFile);
  Put32(v, 0);  // terminal block
  return v;
}

bool ParseShellLink(const std::vector<uint8_t>& d, ShellLinkInfo* info) {
  Reader r{d};
  if (r.U32() != 0x4c || d.size() < 0x4c) return false;
  for (int i = 0; i < 16; ++i)
    if (d[4 + i] != kLinkClsid[i]) return false;
  r.pos = 20;
  uint32_t flags = r.U32();
  r.pos = 0x38;
  ShellLinkInfo out;
  out.iconIndex = static_cast<int32_t>(r.U32());
  out.showCmd = static_cast<int32_t>(r.U32());
  out.hotKey = static_cast<uint16_t>(r.U16());
  r.pos = 0x4c;
  if (flags & kHasIdList) {
    uint32_t size = r.U16();
    r.pos += size;
  }
  if (!r.ok || r.pos > d.size()) return false;
  if (flags & kHasLinkInfo) {
    size_t start = r.pos;
    uint32_t size = r.U32();
    uint32_t headerSize = r.U32();
    uint32_t liFlags = r.U32();
    r.U32();  // volume id offset
    uint32_t baseOffset = r.U32();
    r.U32();  // network offset
    uint32_t suffixOffset = r.U32();
    if (!r.ok || size < headerSize || start + size > d.size()) return false;
    size_t limit = start + size;
    if ((liFlags & 1) && baseOffset < size) {
      out.target = CString(d, start + baseOffset, limit);
      if (suffixOffset && suffixOffset < size) out.target += CString(d, start + suffixOffset, limit);
    }
    r.pos = limit;
  }
  auto readString = [&](std::string* s) {
    uint32_t count = r.U16();
    if (!r.ok) return;
    size_t bytes = (flags & kIsUnicode) ? count * 2ull : count;
    if (r.pos + bytes > d.size()) {
      r.ok = false;
      return;
    }
    if (flags & kIsUnicode) {
      std::u16string w;
      for (size_t i = 0; i < count; ++i) w.push_back(static_cast<char16_t>(d[r.pos + 2 * i] | (d[r.pos + 2 * i + 1] << 8)));
      *s = Utf16ToAnsi(w);
    } else {
      s->assign(d.begin() + r.pos, d.begin() + r.pos + bytes);
    }
    r.pos += bytes;
  };
  std::string name, relative;
  if (flags & kHasName) readString(&name);
  if (flags & kHasRelativePath) readString(&relative);
  if (flags & kHasWorkingDir) readString(&out.workingDir);
  if (flags & kHasArguments) readString(&out.arguments);
  if (flags & kHasIconLocation) readString(&out.iconFile);
  if (!r.ok) return false;
  if (out.target.empty() && !relative.empty()) out.target = relative;
  *info = out;
  return true;
}

}  // namespace yarb
