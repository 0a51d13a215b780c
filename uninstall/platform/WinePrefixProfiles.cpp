// The user's folders, environment strings and private-profile INI files.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

// ---------------------------------------------------------------------------------------
// Folders of the user, environment strings

std::string WinePrefix::ProfileFolder() {
  bool saved = view32_;
  view32_ = false;
  RegValue v;
  std::string folder;
  if (RegQueryValue(RegRoot::LocalMachine,
                    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + Utf16ToAnsi(userSid_),
                    "ProfileImagePath", &v))
    folder = v.AsString();
  view32_ = saved;
  if (folder.find('%') != std::string::npos || folder.size() < 3) {
    const char* user = std::getenv("USER");
    std::string name = user && *user ? user : "";
    if (name.empty()) {
      if (struct passwd* pw = ::getpwuid(::getuid())) name = pw->pw_name;
    }
    folder = "C:\\users\\" + Utf8ToAnsi(name.empty() ? "user" : name);
  }
  return folder;
}

std::string WinePrefix::ExpandEnvironment(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t a = text.find('%', i);
    if (a == std::string::npos) break;
    size_t b = text.find('%', a + 1);
    if (b == std::string::npos) break;
    out += text.substr(i, a - i);
    std::string name = Upper(text.substr(a + 1, b - a - 1));
    std::string value;
    bool known = true;
    if (name == "USERPROFILE") value = ProfileFolder();
    else if (name == "SYSTEMROOT" || name == "WINDIR") value = WindowsDirectory();
    else if (name == "SYSTEMDRIVE") value = "C:";
    else if (name == "ALLUSERSPROFILE" || name == "PROGRAMDATA") value = "C:\\ProgramData";
    else if (name == "PUBLIC") value = "C:\\users\\Public";
    else if (name == "APPDATA") value = ProfileFolder() + "\\AppData\\Roaming";
    else if (name == "LOCALAPPDATA") value = ProfileFolder() + "\\AppData\\Local";
    else if (name == "PROGRAMFILES") {
      RegValue v;
      value = RegQueryValue(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", &v)
                  ? v.AsString() : "C:\\Program Files";
    } else known = false;
    if (known) {
      out += value;
      i = b + 1;
    } else {
      out += text.substr(a, b - a);
      i = b;
    }
  }
  out += text.substr(std::min(i, text.size()));
  return out;
}

std::string WinePrefix::TempDirectory() {
  RegValue v;
  std::string temp;
  for (const char* name : {"TMP", "TEMP"}) {
    if (RegQueryValue(RegRoot::CurrentUser, "Environment", name, &v)) {
      temp = ExpandEnvironment(v.AsString());
      if (!temp.empty()) break;
    }
  }
  if (temp.empty()) temp = ProfileFolder() + "\\Temp";
  if (temp.back() != '\\') temp += "\\";
  return temp;
}

std::string WinePrefix::ProgramsFolder() {
  RegValue v;
  const std::string base = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  if (RegQueryValue(RegRoot::CurrentUser, base + "Shell Folders", "Programs", &v) && !v.AsString().empty())
    return v.AsString();
  if (RegQueryValue(RegRoot::CurrentUser, base + "User Shell Folders", "Programs", &v) && !v.AsString().empty())
    return ExpandEnvironment(v.AsString());
  return ProfileFolder() + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
}

// ---------------------------------------------------------------------------------------
// Private-profile INI files

std::string WinePrefix::IniPath(const std::string& file) {
  if (file.find_first_of("\\/:") == std::string::npos) return WindowsDirectory() + "\\" + file;
  return file;
}

bool WinePrefix::MappedKey(const std::string& file, const std::string& section, const std::string& key,
                           RegRoot* root, std::string* regKey, std::string* valueName) {
  std::string base = file;
  size_t slash = base.find_last_of("\\/");
  if (slash != std::string::npos) base = base.substr(slash + 1);
  if (base.empty() || section.empty() || section.find('\\') != std::string::npos) return false;
  const std::string mapping = "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\" + base;
  bool saved = view32_;
  std::string path;
  for (int pass = 0; pass < 2 && path.empty(); ++pass) {
    view32_ = pass == 0 ? saved : false;
    if (!RegKeyExists(RegRoot::LocalMachine, mapping)) continue;
    RegValue v;
    if (RegKeyExists(RegRoot::LocalMachine, mapping + "\\" + section)) {
      if ((!key.empty() && RegQueryValue(RegRoot::LocalMachine, mapping + "\\" + section, key, &v)) ||
          RegQueryValue(RegRoot::LocalMachine, mapping + "\\" + section, "", &v))
        path = v.AsString();
    } else if (RegQueryValue(RegRoot::LocalMachine, mapping, section, &v)) {
      path = v.AsString();
    }
    if (path.empty() && RegQueryValue(RegRoot::LocalMachine, mapping, "", &v)) path = v.AsString();
  }
  view32_ = saved;
  lastError_.clear();
  size_t p = 0;
  while (p < path.size() && (path[p] == '!' || path[p] == '#' || path[p] == '@')) ++p;
  path = path.substr(p);
  if (path.size() > 4 && EqualNoCaseAnsi(path.substr(0, 4), "USR:")) {
    *root = RegRoot::CurrentUser;
    *regKey = path.substr(4);
  } else if (path.size() > 4 && EqualNoCaseAnsi(path.substr(0, 4), "SYS:")) {
    *root = RegRoot::LocalMachine;
    *regKey = "Software\\" + path.substr(4);
  } else {
    return false;
  }
  *valueName = key;
  return true;
}

bool WinePrefix::GetProfileString(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& defaultValue, std::string* value) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, key, &root, &regKey, &name)) {
    RegValue v;
    if (RegQueryValue(root, regKey, name, &v)) {
      *value = v.AsString();
      return true;
    }
  }
  std::vector<uint8_t> bytes;
  if (ReadFile(IniPath(file), &bytes) &&
      ini::Get(std::string(bytes.begin(), bytes.end()), section, key, value))
    return true;
  *value = defaultValue;
  return false;
}

bool WinePrefix::WriteProfileString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& value) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, key, &root, &regKey, &name))
    return RegCreateKey(root, regKey) && RegSetValue(root, regKey, name, RegValue::Sz(value));
  if (!CanChange()) return false;
  std::vector<uint8_t> bytes;
  ReadFile(IniPath(file), &bytes);
  std::string text = ini::Set(std::string(bytes.begin(), bytes.end()), section, key, value);
  return WriteFile(IniPath(file), std::vector<uint8_t>(text.begin(), text.end()));
}

bool WinePrefix::DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, key, &root, &regKey, &name)) {
    RegValue v;
    if (!RegQueryValue(root, regKey, name, &v)) return true;
    return RegDeleteValue(root, regKey, name);
  }
  if (!CanChange()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadFile(IniPath(file), &bytes)) return true;
  bool changed = false;
  std::string text = ini::DeleteKey(std::string(bytes.begin(), bytes.end()), section, key, &changed);
  if (!changed) return true;
  return WriteFile(IniPath(file), std::vector<uint8_t>(text.begin(), text.end()));
}

bool WinePrefix::DeleteProfileSection(const std::string& file, const std::string& section) {
  RegRoot root;
  std::string regKey, name;
  if (MappedKey(file, section, "", &root, &regKey, &name)) {
    // Only the values: the mapped key may hold more than the section.
    std::string valueName;
    bool ok = true;
    while (RegEnumValue(root, regKey, 0, &valueName, nullptr)) {
      if (!RegDeleteValue(root, regKey, valueName)) {
        ok = false;
        break;
      }
    }
    return ok;
  }
  if (!CanChange()) return false;
  std::vector<uint8_t> bytes;
  if (!ReadFile(IniPath(file), &bytes)) return true;
  bool changed = false;
  std::string text = ini::DeleteSection(std::string(bytes.begin(), bytes.end()), section, &changed);
  if (!changed) return true;
  return WriteFile(IniPath(file), std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace yarb
