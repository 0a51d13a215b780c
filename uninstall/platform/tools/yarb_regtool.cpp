// Command-line access to a Wine prefix through the uninstaller's platform layer, for
// checking its work against Wine itself.
//
//   yarb_regtool PREFIX [--64] COMMAND ARGS...
//     create ROOT KEY | delete-key ROOT KEY | delete-value ROOT KEY NAME
//     set ROOT KEY NAME sz|expand|multi|dword|binary DATA   (multi: items split by '|';
//                                                             binary: hex pairs)
//     query ROOT KEY [NAME] | pending | move-delayed FROM [TO] | short PATH | long PATH
//     unix PATH | version | roundtrip | server | link LINK TARGET [ARGS]
//   ROOT is HKCR, HKCU, HKLM, HKU or HKCC. Strings are taken as UTF-8.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "Encoding.h"
#include "Platform.h"
#include "RegistryHive.h"
#include "WinePrefix.h"

using namespace yarb;

namespace {

bool ParseRoot(const std::string& s, RegRoot* root) {
  static const struct { const char* name; RegRoot root; } kRoots[] = {
      {"HKCR", RegRoot::ClassesRoot}, {"HKCU", RegRoot::CurrentUser}, {"HKLM", RegRoot::LocalMachine},
      {"HKU", RegRoot::Users},        {"HKCC", RegRoot::CurrentConfig}};
  for (const auto& r : kRoots)
    if (s == r.name) {
      *root = r.root;
      return true;
    }
  return false;
}

std::string Show(const RegValue& v) {
  char buf[32];
  std::string out;
  switch (v.type) {
    case kRegSz: return "REG_SZ " + AnsiToUtf8(v.AsString());
    case kRegExpandSz: return "REG_EXPAND_SZ " + AnsiToUtf8(v.AsString());
    case kRegMultiSz: {
      out = "REG_MULTI_SZ ";
      bool first = true;
      for (const auto& s : v.AsMultiSz()) {
        out += (first ? "" : "\\0") + AnsiToUtf8(s);
        first = false;
      }
      return out;
    }
    case kRegDword: {
      uint32_t d = 0;
      v.AsDword(&d);
      std::snprintf(buf, sizeof buf, "REG_DWORD 0x%x", d);
      return buf;
    }
    default:
      std::snprintf(buf, sizeof buf, "type %u ", v.type);
      out = buf;
      for (uint8_t b : v.data) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += buf;
      }
      return out;
  }
}

int Usage() {
  std::fprintf(stderr, "usage: yarb_regtool PREFIX [--64] COMMAND ARGS... (see the source)\n");
  return 2;
}

int RoundTrip(const std::string& prefix) {
  int bad = 0;
  for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
    std::ifstream in(prefix + "/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    reg::Hive hive;
    std::string error;
    if (!hive.Parse(text, &error)) {
      std::printf("%s: %s\n", name, error.c_str());
      ++bad;
      continue;
    }
    bool same = hive.Serialize() == text;
    // Every key formatted anew must give Wine's own text too.
    std::vector<reg::Key*> stack{&hive.Root()};
    while (!stack.empty()) {
      reg::Key* k = stack.back();
      stack.pop_back();
      k->changed = true;
      for (auto& s : k->subkeys) stack.push_back(s.get());
    }
    bool reformatted = hive.Serialize() == text;
    std::printf("%s: %zu bytes, kept %s, reformatted %s\n", name, text.size(), same ? "identical" : "DIFFERENT",
                reformatted ? "identical" : "DIFFERENT");
    if (!same || !reformatted) ++bad;
  }
  return bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string prefix = argv[1];
  int i = 2;
  bool view64 = false;
  if (std::strcmp(argv[i], "--64") == 0) {
    view64 = true;
    ++i;
  }
  if (i >= argc) return Usage();
  std::string cmd = argv[i++];
  if (cmd == "roundtrip") return RoundTrip(prefix);

  auto wp = std::make_unique<WinePrefix>(prefix);
  std::string error;
  if (!wp->Open(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  wp->SetView32(!view64);
  Platform& p = *wp;
  auto arg = [&](int k) { return k < argc ? Utf8ToAnsi(argv[k]) : std::string(); };
  RegRoot root{};
  bool ok = true;
  if (cmd == "server") {
    std::printf("%s\n", p.ServerRunning() ? "running" : "not running");
    for (const auto& d : wp->ServerDirectories()) std::printf("  %s\n", d.c_str());
    return 0;
  } else if (cmd == "version") {
    WinVersion v = p.Version();
    std::printf("%s %d.%d build %d\n", v.nt ? "NT" : "9x", v.major, v.minor, v.build);
    return 0;
  } else if (cmd == "short" || cmd == "long" || cmd == "unix") {
    std::string out;
    if (cmd == "short") out = p.ToShortPath(arg(i));
    else if (cmd == "long") out = p.ToLongPath(arg(i));
    else ok = p.WindowsToUnixPath(arg(i), &out);
    std::printf("%s\n", AnsiToUtf8(out).c_str());
  } else if (cmd == "pending") {
    for (const auto& [from, to] : p.PendingRenames())
      std::printf("%s -> %s\n", AnsiToUtf8(from).c_str(), to.empty() ? "(delete)" : AnsiToUtf8(to).c_str());
  } else if (cmd == "link") {
    ShellLinkInfo link;
    link.target = arg(i + 1);
    link.arguments = arg(i + 2);
    ok = p.CreateShellLink(arg(i), link);
  } else if (cmd == "move-delayed") {
    ok = p.MoveFileDelayed(arg(i), arg(i + 1), true);
  } else {
    if (i + 1 >= argc || !ParseRoot(argv[i], &root)) return Usage();
    std::string key = arg(i + 1);
    i += 2;
    if (cmd == "create") {
      ok = p.RegCreateKey(root, key);
    } else if (cmd == "delete-key") {
      ok = p.RegDeleteKey(root, key);
    } else if (cmd == "delete-value") {
      ok = p.RegDeleteValue(root, key, arg(i));
    } else if (cmd == "set") {
      if (i + 2 >= argc) return Usage();
      std::string name = arg(i), type = argv[i + 1], data = arg(i + 2);
      RegValue v;
      if (type == "sz") v = RegValue::Sz(data);
      else if (type == "expand") v = RegValue::ExpandSz(data);
      else if (type == "dword") v = RegValue::Dword(static_cast<uint32_t>(std::strtoul(data.c_str(), nullptr, 0)));
      else if (type == "multi") {
        std::vector<std::string> items;
        size_t s = 0;
        for (;;) {
          size_t e = data.find('|', s);
          items.push_back(data.substr(s, e == std::string::npos ? std::string::npos : e - s));
          if (e == std::string::npos) break;
          s = e + 1;
        }
        v = RegValue::MultiSz(items);
      } else if (type == "binary") {
        std::vector<uint8_t> bytes;
        for (size_t k = 0; k + 1 < data.size(); k += 2) bytes.push_back(static_cast<uint8_t>(std::strtoul(data.substr(k, 2).c_str(), nullptr, 16)));
        v = RegValue::Binary(bytes);
      } else {
        return Usage();
      }
      ok = p.RegSetValue(root, key, name, v);
    } else if (cmd == "query") {
      if (i < argc) {
        RegValue v;
        ok = p.RegQueryValue(root, key, arg(i), &v);
        if (ok) std::printf("%s\n", Show(v).c_str());
      } else {
        ok = p.RegKeyExists(root, key);
        std::string name;
        RegValue v;
        for (uint32_t k = 0; ok && p.RegEnumValue(root, key, k, &name, &v); ++k)
          std::printf("  %s = %s\n", name.empty() ? "(default)" : AnsiToUtf8(name).c_str(), Show(v).c_str());
        for (uint32_t k = 0; ok && p.RegEnumKey(root, key, k, &name); ++k) std::printf("  [%s]\n", AnsiToUtf8(name).c_str());
      }
    } else {
      return Usage();
    }
  }
  if (ok) ok = p.Flush();
  if (!ok) std::fprintf(stderr, "failed: %s\n", p.LastError().c_str());
  for (const auto& r : p.Refusals()) std::fprintf(stderr, "%s\n", r.c_str());
  return ok ? 0 : 1;
}
