// A small Wine prefix in a temporary folder, built from literal hive text.
#pragma once

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "WinePrefix.h"

namespace yarb::test {

// system.reg as Wine writes it: CurrentControlSet is a link key to ControlSet001, Software
// has a 32-bit side, Classes\Wow6432Node holds only what differs.
inline const char* kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Classes\\\\.txt] 1796757414\n"
    "#time=1dd8748afec06fe\n"
    "@=\"txtfile\"\n"
    "\"Content Type\"=\"text/plain\"\n"
    "\n"
    "[Software\\\\Classes\\\\CLSID\\\\{11111111-0000-0000-0000-000000000000}] 1796757414\n"
    "#time=1dd8748afec06fe\n"
    "@=\"64-bit server\"\n"
    "\n"
    "[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{11111111-0000-0000-0000-000000000000}] 1796757414\n"
    "#time=1dd8748afec06fe\n"
    "@=\"32-bit server\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796757415\n"
    "#time=1dd8748b03a9418\n"
    "\"CurrentBuildNumber\"=\"7601\"\n"
    "\"CurrentVersion\"=\"6.1\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\IniFileMapping\\\\win.ini] 1796757415\n"
    "#time=1dd8748b03ac4ba\n"
    "\"desktop\"=\"USR:Control Panel\\\\Desktop\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\IniFileMapping\\\\win.ini\\\\windows] 1796757415\n"
    "#time=1dd8748b03acf3c\n"
    "@=\"USR:Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Windows\"\n"
    "\"CursorBlinkRate\"=\"USR:Control Panel\\\\Desktop\"\n"
    "\n"
    "[Software\\\\Vendor] 1796757415\n"
    "#time=1dd8748b03acf3c\n"
    "\"Where\"=\"64\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Classes] 1796757409\n"
    "#time=1dd8748aca710d8\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
    "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\\\n"
    "  74,00,77,00,61,00,72,00,65,00,5c,00,43,00,6c,00,61,00,73,00,73,00,65,00,73,\\\n"
    "  00,5c,00,57,00,6f,00,77,00,36,00,34,00,33,00,32,00,4e,00,6f,00,64,00,65,00\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Vendor] 1796757415\n"
    "#time=1dd8748b03acf3c\n"
    "\"Where\"=\"32\"\n"
    "\n"
    "[System\\\\ControlSet001\\\\Control\\\\Session Manager] 1796757415\n"
    "#time=1dd8748b04009ca\n"
    "\"GlobalFlag\"=dword:00000000\n"
    "\n"
    "[System\\\\ControlSet001\\\\Services\\\\VellSvc] 1796757415\n"
    "#time=1dd8748b04009ca\n"
    "\"ImagePath\"=str(2):\"C:\\\\windows\\\\vellsvc.exe\"\n"
    "\"Start\"=dword:00000003\n"
    "\n"
    "[System\\\\ControlSet001\\\\Services\\\\VellSvc\\\\Parameters] 1796757415\n"
    "#time=1dd8748b04009ca\n"
    "\"Level\"=dword:00000001\n"
    "\n"
    "[System\\\\CurrentControlSet] 1796757409\n"
    "#time=1dd8748aca710d8\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
    "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,\\\n"
    "  74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,74,00,72,00,6f,00,6c,00,53,00,65,\\\n"
    "  00,74,00,30,00,30,00,31,00\n";

inline const char* kUserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Control Panel\\\\Desktop] 1796757414\n"
    "#time=1dd8748afb0bb58\n"
    "\"Wallpaper\"=\"\"\n"
    "\n"
    "[Environment] 1796757414\n"
    "#time=1dd8748afb0bb58\n"
    "\"TEMP\"=\"C:\\\\users\\\\tester\\\\Temp\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1796757414\n"
    "#time=1dd8748afadf206\n"
    "\"Programs\"=\"C:\\\\users\\\\tester\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Start Menu\\\\Programs\"\n";

inline const char* kUserdefReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\.Default\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Control Panel] 1796757414\n"
    "#time=1dd8748afb0bb58\n";

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  return ::remove(path);
}

// Removes a tree without following symbolic links (the prefix has z: -> /).
inline void RemoveTree(const std::string& dir) {
  ::nftw(dir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

class TempPrefix {
 public:
  TempPrefix() {
    char tmpl[] = "/tmp/yarbpfxXXXXXX";
    root_ = ::mkdtemp(tmpl);
    dir_ = root_ + "/pfx";
    ::mkdir(dir_.c_str(), 0755);
    ::mkdir((dir_ + "/drive_c").c_str(), 0755);
    ::mkdir((dir_ + "/dosdevices").c_str(), 0755);
    ::mkdir((root_ + "/srv").c_str(), 0755);
    ::symlink("../drive_c", (dir_ + "/dosdevices/c:").c_str());
    ::symlink("/", (dir_ + "/dosdevices/z:").c_str());
    Dir("windows/system32");
    Dir("windows/syswow64");
    WriteText(dir_ + "/system.reg", kSystemReg);
    WriteText(dir_ + "/user.reg", kUserReg);
    WriteText(dir_ + "/userdef.reg", kUserdefReg);
  }
  ~TempPrefix() { RemoveTree(root_); }

  const std::string& dir() const { return dir_; }
  // A folder beside the prefix, outside it.
  std::string Outside() const { return root_ + "/outside"; }
  std::string ServerRoot() const { return root_ + "/srv"; }
  std::string C(const std::string& rel) const { return dir_ + "/drive_c/" + rel; }

  void Dir(const std::string& rel) {
    std::string path = dir_ + "/drive_c";
    size_t i = 0;
    while (i <= rel.size()) {
      size_t j = rel.find('/', i);
      if (j == std::string::npos) j = rel.size();
      path += "/" + rel.substr(i, j - i);
      ::mkdir(path.c_str(), 0755);
      i = j + 1;
    }
  }
  void File(const std::string& rel, const std::string& text) { WriteText(C(rel), text); }

  std::unique_ptr<WinePrefix> Open() {
    auto p = std::make_unique<WinePrefix>(dir_);
    p->SetServerRoot(ServerRoot());
    p->SetWineProgram("");
    p->SetWineServerProgram("");
    std::string error;
    if (!p->Open(&error)) return nullptr;
    return p;
  }

 private:
  std::string root_, dir_;
};

}  // namespace yarb::test
