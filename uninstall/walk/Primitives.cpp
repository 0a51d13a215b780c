// What the walk's steps remove with: files and sets of files, folder trees, registry trees and
// values, and the text helpers of the walk.
#include <algorithm>
#include <cstdlib>

#include "TextRules.h"
#include "UninstallEngine.h"

namespace yarb {

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Keys whose removal as a tree would take the system's own registry with it.
bool IsProtectedKey(const std::string& key) {
  std::string k = key;
  while (!k.empty() && k.back() == '\\') k.pop_back();
  while (!k.empty() && k.front() == '\\') k.erase(0, 1);
  if (k.find('\\') == std::string::npos) return true;  // a root's first level (or nothing)
  static const char* const kGuarded[] = {
      "Software\\Microsoft",
      "Software\\Microsoft\\Windows",
      "Software\\Microsoft\\Windows\\CurrentVersion",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
      "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
      "Software\\Microsoft\\Windows NT",
      "Software\\Microsoft\\Windows NT\\CurrentVersion",
      "Software\\Classes",
      "Software\\Wine",
      "Software\\Wow6432Node",
      "Software\\Wow6432Node\\Microsoft",
      "System\\CurrentControlSet",
      "System\\CurrentControlSet\\Services",
      "System\\CurrentControlSet\\Control",
      "System\\ControlSet001",
      "System\\ControlSet001\\Services",
      "System\\ControlSet001\\Control",
  };
  for (const char* g : kGuarded)
    if (EqualNoCase(k, g)) return true;
  return false;
}

}  // namespace

std::string FormatText(const std::string& pattern, const std::string& a, const std::string& b,
                       const std::string& c) {
  const std::string* args[] = {&a, &b, &c};
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      if (next < 3) out += *args[next++];
      ++i;
    } else {
      out.push_back(pattern[i]);
    }
  }
  return out;
}

RegValue ConvertRegData(int typeIndex, const std::string& data) {
  const std::string first = data.substr(0, data.find('\0'));
  switch (typeIndex) {
    case 1:
      return RegValue::ExpandSz(first);
    case 2: {
      std::vector<std::string> strings;
      size_t pos = 0;
      while (pos < data.size()) {
        size_t end = data.find('\0', pos);
        if (end == std::string::npos) end = data.size();
        if (end == pos) break;  // the list's closing NUL
        strings.push_back(data.substr(pos, end - pos));
        pos = end + 1;
      }
      return RegValue::MultiSz(strings);
    }
    case 3: {
      const char* s = first.c_str();
      while (*s == ' ' || *s == '\t') ++s;
      return RegValue::Dword(static_cast<uint32_t>(std::strtoll(s, nullptr, 10)));
    }
    case 4: {
      std::vector<uint8_t> bytes;
      int high = -1;
      for (char ch : first) {
        int v;
        if (ch >= '0' && ch <= '9') v = ch - '0';
        else if (ch >= 'a' && ch <= 'f') v = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F') v = ch - 'A' + 10;
        else continue;
        if (high < 0) {
          high = v;
        } else {
          bytes.push_back(static_cast<uint8_t>(high * 16 + v));
          high = -1;
        }
      }
      return RegValue::Binary(bytes);
    }
    default:
      return RegValue::Sz(first);
  }
}

void UninstallEngine::DeleteCompanion(const std::string& path) {
  if (!platform_.FileExists(path)) return;
  platform_.SetFileAttributes(path, kAttrNormal);
  DeleteOrSchedule(path);
}

bool UninstallEngine::RemoveFile(const std::string& path, const std::string& backup, bool restore) {
  if (HasWildcard(path)) {
    // A set of files: never one that lies directly in a drive root or a system folder.
    const std::string folder = FolderOf(path);
    if (path.size() < 4 || IsProtectedFolder(folder)) {
      report_.Add(ReportKind::Refused, path, "a set of files in a protected folder");
      return false;
    }
    if (!platform_.MayChange(folder)) {
      report_.Add(ReportKind::Refused, path, "the folder leads outside the Wine prefix");
      return false;
    }
    std::vector<FindData> found;
    if (platform_.FindFiles(path, &found))
      for (const FindData& f : found)
        if (!(f.attributes & kAttrDirectory)) DeleteCompanion(folder + "\\" + f.name);
    return true;
  }
  if (platform_.FileExists(path)) {
    platform_.SetFileAttributes(path, kAttrNormal);
    DeleteOrSchedule(path);
  }
  if (EndsWithNoCase(path, ".HLP")) {
    const std::string stem = path.substr(0, path.size() - 4);
    DeleteCompanion(stem + ".GID");
    DeleteCompanion(stem + ".FTS");
  }
  if (restore && !backup.empty()) ReplaceOrSchedule(backup, path);
  return true;
}

void UninstallEngine::RemoveDirectoryTree(const std::string& path, bool withFiles) {
  std::string folder = path;
  std::string pattern = "\\*.*";
  const size_t last = folder.rfind('\\');
  if (last != std::string::npos && HasWildcard(folder.substr(last + 1))) {
    pattern = folder.substr(last);
    folder.resize(last);
  }
  if (folder.size() < 4 || IsProtectedFolder(folder)) {
    report_.Add(ReportKind::Refused, folder, "a protected folder is never removed");
    return;
  }
  if (!platform_.FileExists(folder)) return;
  const int refused = report_.Count(ReportKind::Refused);
  if (!RemoveDirectoryTreeAt(folder, pattern, withFiles, 0) && platform_.FileExists(folder) &&
      report_.Count(ReportKind::Refused) == refused)
    report_.Add(ReportKind::Kept, platform_.ToLongPath(folder) + "\\",
                withFiles ? "some of its files could not be removed" : "it is not empty");
}

bool UninstallEngine::RemoveDirectoryTreeAt(const std::string& folder, const std::string& pattern,
                                            bool withFiles, int depth) {
  if (!platform_.MayChange(folder)) {
    report_.Add(ReportKind::Refused, folder, "the folder leads outside the Wine prefix");
    return false;
  }
  if (IsProtectedFolder(folder)) {
    report_.Add(ReportKind::Refused, folder, "a protected folder is never removed");
    return false;
  }
  if (platform_.IsSymbolicLink(folder)) {
    report_.Add(ReportKind::Kept, folder, "a symbolic link is not followed");
    return false;
  }
  if (depth > 64 || folder.size() > kPathChars) return false;
  std::vector<FindData> found;
  if (platform_.FindFiles(folder + "\\*.*", &found))
    for (const FindData& f : found)
      if ((f.attributes & kAttrDirectory) && !f.name.empty() && f.name[0] != '.')
        RemoveDirectoryTreeAt(folder + "\\" + f.name, pattern, withFiles, depth + 1);
  if (withFiles && platform_.FindFiles(folder + pattern, &found)) {
    for (const FindData& f : found) {
      if (f.attributes & kAttrDirectory) continue;
      const std::string file = folder + "\\" + f.name;
      platform_.SetFileAttributes(file, kAttrNormal);
      DeleteOrSchedule(file);
    }
  }
  platform_.SetFileAttributes(folder, kAttrNormal);
  if (!platform_.RemoveDirectory(folder)) return false;
  report_.Add(ReportKind::Removed, folder + "\\", "folder");
  return true;
}

bool UninstallEngine::RemoveRegistryTree(int rootIndex, const std::string& key) {
  if (rootIndex < 0 || rootIndex > 4) return false;
  if (IsProtectedKey(key)) {
    report_.Add(ReportKind::Refused, key, "a key of the system's own registry is never removed");
    return false;
  }
  return RemoveRegistryTreeAt(static_cast<RegRoot>(rootIndex), key, 0);
}

bool UninstallEngine::RemoveRegistryTreeAt(RegRoot root, const std::string& key, int depth) {
  if (depth > 512) return false;
  for (int i = 0; i < 2048; ++i) {
    if (!platform_.RegKeyExists(root, key)) break;
    std::string sub;
    if (!platform_.RegEnumKey(root, key, 0, &sub)) break;
    // A subkey that would not go would be found again at index 0: stop there.
    if (!RemoveRegistryTreeAt(root, key + "\\" + sub, depth + 1)) break;
  }
  return platform_.RegDeleteKey(root, key);
}

void UninstallEngine::RegisterValue(int rootIndex, int typeIndex, const std::string& key,
                                    const std::string& name, const std::string& data, bool create) {
  if (rootIndex < 0 || rootIndex > 4) return;
  const RegRoot root = static_cast<RegRoot>(rootIndex);
  if (create) {
    if (!platform_.RegCreateKey(root, key)) return;
  } else if (!platform_.RegKeyExists(root, key)) {
    return;
  }
  const std::string item = key + (name.empty() ? "" : " Value Name: " + name);
  if (platform_.RegSetValue(root, key, name, ConvertRegData(typeIndex, data)))
    report_.Add(ReportKind::Removed, item, "registry value changed back");
  else
    report_.Add(ReportKind::Failed, item, platform_.LastError());
}

}  // namespace yarb
