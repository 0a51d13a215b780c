// Services, the pending-rename list and the Windows version the prefix presents.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

// ---------------------------------------------------------------------------------------
// Services, deferred renames, version

bool WinePrefix::OpenServiceManager() {
  // Every user of a prefix has full rights on its service manager.
  return true;
}

namespace {
const char* kServices = "System\\CurrentControlSet\\Services\\";
}

ServiceState WinePrefix::QueryService(const std::string& name) {
  if (name.empty() || name.find('\\') != std::string::npos) return ServiceState::Missing;
  bool saved = view32_;
  view32_ = false;
  bool exists = OpenKey(RegRoot::LocalMachine, kServices + name) != nullptr;
  view32_ = saved;
  // No service runs while the prefix has no session.
  if (!exists) return ServiceState::Missing;
  return ServerRunning() ? ServiceState::Running : ServiceState::Stopped;
}

bool WinePrefix::StopService(const std::string& name) {
  ServiceState s = QueryService(name);
  if (s == ServiceState::Missing) return Fail("The service " + name + " does not exist.");
  if (s == ServiceState::Running) return Fail(kServerBusy);
  return true;
}

bool WinePrefix::DeleteService(const std::string& name) {
  if (name.empty() || name.find('\\') != std::string::npos) return Fail("The service " + name + " does not exist.");
  bool saved = view32_;
  view32_ = false;
  reg::Key* k = OpenKey(RegRoot::LocalMachine, kServices + name);
  view32_ = saved;
  if (!k || !k->parent) return Fail("The service " + name + " does not exist.");
  if (!CanChange()) return false;
  reg::Hive* h = HiveOf(k);
  k->parent->RemoveSubkey(k);
  if (h) h->SetModified();
  return true;
}

reg::Key* WinePrefix::SessionManager(bool create) {
  static const char* kKey = "System\\CurrentControlSet\\Control\\Session Manager";
  bool saved = view32_;
  view32_ = false;
  if (create) RegCreateKey(RegRoot::LocalMachine, kKey);
  reg::Key* k = OpenKey(RegRoot::LocalMachine, kKey);
  view32_ = saved;
  return k;
}

bool WinePrefix::MoveFileDelayed(const std::string& from, const std::string& to, bool replaceExisting) {
  if (!CanChange()) return false;
  Resolved src, dst;
  if (!Resolve(from, &src)) return false;
  if (!CheckChange(to.empty() ? "delete" : "move", src.windows, src.unixPath, false)) return false;
  std::u16string entry = W("\\??\\" + src.windows);
  entry.push_back(0);
  if (!to.empty()) {
    if (!Resolve(to, &dst)) return false;
    if (!CheckChange("write", dst.windows, dst.unixPath, false)) return false;
    entry += W((replaceExisting ? "!\\??\\" : "\\??\\") + dst.windows);
  }
  entry.push_back(0);
  reg::Key* k = SessionManager(true);
  if (!k) return Fail("The pending rename list cannot be written.");
  std::u16string list;
  if (const reg::Value* v = k->FindValue(u"PendingFileRenameOperations")) {
    for (size_t i = 0; i + 1 < v->data.size(); i += 2) list.push_back(static_cast<char16_t>(v->data[i] | (v->data[i + 1] << 8)));
    // The list ends in two NULs; new pairs go before the last one.
    if (list.size() >= 2 && list[list.size() - 1] == 0 && list[list.size() - 2] == 0) list.pop_back();
    else if (!list.empty() && list.back() != 0) list.push_back(0);
  }
  list += entry;
  list.push_back(0);
  std::vector<uint8_t> data;
  for (char16_t c : list) {
    data.push_back(static_cast<uint8_t>(c & 0xff));
    data.push_back(static_cast<uint8_t>(c >> 8));
  }
  k->SetValue(u"PendingFileRenameOperations", kRegMultiSz, std::move(data), reg::CurrentFileTime());
  if (reg::Hive* h = HiveOf(k)) h->SetModified();
  return true;
}

std::vector<std::pair<std::string, std::string>> WinePrefix::PendingRenames() {
  std::vector<std::pair<std::string, std::string>> out;
  reg::Key* k = SessionManager(false);
  const reg::Value* v = k ? k->FindValue(u"PendingFileRenameOperations") : nullptr;
  if (!v) return out;
  std::u16string list;
  for (size_t i = 0; i + 1 < v->data.size(); i += 2) list.push_back(static_cast<char16_t>(v->data[i] | (v->data[i + 1] << 8)));
  size_t pos = 0;
  auto next = [&](std::u16string* s) {
    size_t end = list.find(u'\0', pos);
    if (end == std::u16string::npos) end = list.size();
    *s = list.substr(pos, end - pos);
    pos = end + 1;
  };
  while (pos < list.size()) {
    std::u16string src, dst;
    next(&src);
    if (src.empty()) break;
    if (pos > list.size()) break;
    next(&dst);
    out.emplace_back(Utf16ToAnsi(src), Utf16ToAnsi(dst));
  }
  return out;
}

namespace {

bool VersionFromName(const std::string& name, WinVersion* v) {
  struct Entry { const char* name; bool nt; int major, minor, build; };
  static const Entry kVersions[] = {
      {"win11", true, 10, 0, 22000},  {"win10", true, 10, 0, 19043},  {"win81", true, 6, 3, 9600},
      {"win8", true, 6, 2, 9200},     {"win2008r2", true, 6, 1, 7601}, {"win7", true, 6, 1, 7601},
      {"win2008", true, 6, 0, 6002},  {"vista", true, 6, 0, 6002},    {"win2003", true, 5, 2, 3790},
      {"winxp64", true, 5, 2, 3790},  {"winxp", true, 5, 1, 2600},    {"win2k", true, 5, 0, 2195},
      {"winnt", true, 4, 0, 1381},    {"nt40", true, 4, 0, 1381},     {"nt351", true, 3, 51, 1057},
      {"winme", false, 4, 90, 3000},  {"win98", false, 4, 10, 2222},  {"win95", false, 4, 0, 950},
      {"win31", false, 3, 10, 0},     {"win30", false, 3, 0, 0},      {"win20", false, 2, 0, 0},
  };
  for (const Entry& e : kVersions) {
    if (EqualNoCaseAnsi(name, e.name)) {
      *v = WinVersion{e.nt, e.major, e.minor, e.build};
      return true;
    }
  }
  return false;
}

bool ParseDotted(const std::string& s, int* major, int* minor, int* build) {
  int parts[3] = {0, 0, 0};
  int n = 0;
  size_t i = 0;
  while (n < 3 && i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    long v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000) v = v * 10 + (s[i++] - '0');
    parts[n++] = static_cast<int>(v);
    if (i < s.size() && s[i] == '.') ++i;
    else break;
  }
  if (n == 0) return false;
  *major = parts[0];
  *minor = parts[1];
  if (build) *build = parts[2];
  return true;
}

}  // namespace

WinVersion WinePrefix::Version() {
  // A value is looked up as the 32-bit program sees it, then in the 64-bit view.
  auto query = [&](RegRoot root, const std::string& key, const std::string& name, RegValue* v) {
    bool saved = view32_;
    bool found = RegQueryValue(root, key, name, v);
    if (!found && view32_) {
      view32_ = false;
      found = RegQueryValue(root, key, name, v);
    }
    view32_ = saved;
    return found;
  };
  WinVersion v;
  RegValue value;
  if (query(RegRoot::CurrentUser, "Software\\Wine\\AppDefaults\\UNYARB32.EXE", "Version", &value) &&
      VersionFromName(value.AsString(), &v))
    return v;
  if (query(RegRoot::CurrentUser, "Software\\Wine", "Version", &value) && VersionFromName(value.AsString(), &v))
    return v;
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  RegValue major, minor;
  uint32_t ma = 0, mi = 0;
  if (query(RegRoot::LocalMachine, nt, "CurrentMajorVersionNumber", &major) && major.AsDword(&ma)) {
    v = WinVersion{true, static_cast<int>(ma), 0, 0};
    if (query(RegRoot::LocalMachine, nt, "CurrentMinorVersionNumber", &minor) && minor.AsDword(&mi))
      v.minor = static_cast<int>(mi);
  } else if (query(RegRoot::LocalMachine, nt, "CurrentVersion", &value) &&
             ParseDotted(value.AsString(), &v.major, &v.minor, nullptr)) {
    v.nt = true;
  } else {
    const std::string win = "Software\\Microsoft\\Windows\\CurrentVersion";
    if (query(RegRoot::LocalMachine, win, "VersionNumber", &value) &&
        ParseDotted(value.AsString(), &v.major, &v.minor, &v.build)) {
      v.nt = false;
      return v;
    }
    return WinVersion{true, 10, 0, 19043};
  }
  if (query(RegRoot::LocalMachine, nt, "CurrentBuildNumber", &value)) v.build = std::atoi(value.AsString().c_str());
  return v;
}

}  // namespace yarb
