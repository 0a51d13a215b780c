// A Windows system held in memory, with just what the log reader asks of a platform:
// files that exist (and their bytes), system folders, removable drives, a few registry
// values, the version, the service manager answer and short/long name pairs.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Platform.h"
#include "TextRules.h"
#include "UninstallUi.h"

namespace yarb::test {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return CompareNoCase(a, b) < 0;
  }
};

class FakePlatform : public Platform {
 public:
  std::map<std::string, std::string, NoCaseLess> files;  // path -> bytes
  std::string windowsDir = "C:\\WINDOWS";
  std::string systemDir = "C:\\WINDOWS\\SYSTEM";
  std::string currentDir = "C:\\";
  std::string removable = "A";  // drive letters that are removable
  WinVersion version;
  bool scmOpens = true;
  int scmCalls = 0;
  std::map<std::string, std::string, NoCaseLess> shortNames;  // long -> short
  std::map<std::string, std::string, NoCaseLess> longNames;   // short -> long
  std::map<std::string, RegValue, NoCaseLess> registry;       // "root|key|name"
  std::vector<std::string> deleted;

  void AddFile(const std::string& path, const std::string& bytes = "x") { files[path] = bytes; }
  void SetValue(RegRoot root, const std::string& key, const std::string& name, RegValue value) {
    registry[Key(root, key, name)] = std::move(value);
  }
  static std::string Key(RegRoot root, const std::string& key, const std::string& name) {
    return std::to_string(static_cast<int>(root)) + "|" + key + "|" + name;
  }

  bool ServerRunning() override { return false; }
  std::string LastError() const override { return {}; }
  const std::vector<std::string>& Refusals() const override { return refusals_; }
  bool Flush() override { return true; }
  std::string WindowsDirectory() override { return windowsDir; }
  std::string SystemDirectory() override { return systemDir; }
  std::string TempDirectory() override { return "C:\\TEMP\\"; }
  std::string CurrentDirectory() override { return currentDir; }
  bool SetCurrentDirectory(const std::string& path) override {
    currentDir = path;
    return true;
  }
  WinVersion Version() override { return version; }
  std::string ToShortPath(const std::string& path) override {
    auto it = shortNames.find(path);
    return it == shortNames.end() ? path : it->second;
  }
  std::string ToLongPath(const std::string& path) override {
    auto it = longNames.find(path);
    return it == longNames.end() ? path : it->second;
  }
  bool UnixToWindowsPath(const std::string&, std::string*) override { return false; }
  bool WindowsToUnixPath(const std::string&, std::string*) override { return false; }
  bool IsRemovableDrive(char letter) override {
    return removable.find(letter) != std::string::npos;
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  uint32_t GetFileAttributes(const std::string& path) override {
    return FileExists(path) ? kAttrNormal : kInvalidAttributes;
  }
  bool SetFileAttributes(const std::string& path, uint32_t) override { return FileExists(path); }
  bool GetFileInfo(const std::string&, uint64_t*, LocalTime*) override { return false; }
  bool FindFiles(const std::string&, std::vector<FindData>*) override { return false; }
  bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    bytes->assign(it->second.begin(), it->second.end());
    return true;
  }
  bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
    files[path] = std::string(bytes.begin(), bytes.end());
    return true;
  }
  bool AppendFile(const std::string&, const std::vector<uint8_t>&) override { return false; }
  bool DeleteFile(const std::string& path) override {
    deleted.push_back(path);
    return files.erase(path) != 0;
  }
  bool CopyFile(const std::string&, const std::string&, bool) override { return false; }
  bool MoveFile(const std::string&, const std::string&, bool) override { return false; }
  bool CreateDirectory(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  bool GetTempFileName(const std::string&, const std::string&, unsigned, std::string*) override {
    return false;
  }
  bool RegKeyExists(RegRoot, const std::string&) override { return false; }
  bool RegCreateKey(RegRoot, const std::string&) override { return false; }
  bool RegDeleteKey(RegRoot, const std::string&) override { return false; }
  bool RegEnumKey(RegRoot, const std::string&, uint32_t, std::string*) override { return false; }
  bool RegEnumValue(RegRoot, const std::string&, uint32_t, std::string*, RegValue*) override {
    return false;
  }
  bool RegQueryValue(RegRoot root, const std::string& key, const std::string& name,
                     RegValue* value) override {
    auto it = registry.find(Key(root, key, name));
    if (it == registry.end()) return false;
    *value = it->second;
    return true;
  }
  bool RegSetValue(RegRoot, const std::string&, const std::string&, const RegValue&) override {
    return false;
  }
  bool RegDeleteValue(RegRoot, const std::string&, const std::string&) override { return false; }
  bool GetProfileString(const std::string&, const std::string&, const std::string&,
                        const std::string&, std::string*) override {
    return false;
  }
  bool WriteProfileString(const std::string&, const std::string&, const std::string&,
                          const std::string&) override {
    return false;
  }
  bool DeleteProfileKey(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  bool DeleteProfileSection(const std::string&, const std::string&) override { return false; }
  bool OpenServiceManager() override {
    ++scmCalls;
    return scmOpens;
  }
  ServiceState QueryService(const std::string&) override { return ServiceState::Missing; }
  bool StopService(const std::string&) override { return false; }
  bool DeleteService(const std::string&) override { return false; }
  bool MoveFileDelayed(const std::string&, const std::string&, bool) override { return false; }
  std::vector<std::pair<std::string, std::string>> PendingRenames() override { return {}; }
  StartResult StartProcess(const std::string&, const std::string&, bool, uint32_t*) override {
    return StartResult::CannotStart;
  }
  bool SelfRegister(const std::string&, bool) override { return false; }
  bool WindowClassExists(const std::string&) override { return false; }
  bool Restart() override { return false; }
  bool ProgmanConnect() override { return false; }
  std::vector<std::string> ProgmanGroups() override { return {}; }
  bool ProgmanGroupDescription(const std::string&, std::string*) override { return false; }
  bool ProgmanExecute(const std::string&) override { return false; }
  void ProgmanDisconnect() override {}
  bool CreateShellLink(const std::string&, const ShellLinkInfo&) override { return false; }
  bool ReadShellLink(const std::string&, ShellLinkInfo*) override { return false; }

 private:
  std::vector<std::string> refusals_;
};

// Records what the reader shows; every call is one line of `events`.
class ScriptedUi : public UninstallUi {
 public:
  std::vector<std::string> events;
  std::vector<uint64_t> progress;

  void ShowMessage(const std::string& text, const std::string& caption) override {
    events.push_back("message " + caption + ": " + text);
  }
  void ReportProgress(uint64_t offset, uint64_t size) override {
    progress.push_back(offset);
    lastSize = size;
  }
  void CloseProgress() override { events.push_back("close progress"); }
  uint64_t lastSize = 0;
};

}  // namespace yarb::test
