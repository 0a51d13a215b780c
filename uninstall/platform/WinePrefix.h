// The `Platform` of a Wine prefix: drive_c and the other drives through dosdevices/,
// the registry in system.reg, user.reg and userdef.reg, Wine's own programs for what
// only a running Windows can do.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Platform.h"
#include "RegistryHive.h"

namespace yarb {

class WinePrefix : public Platform {
 public:
  explicit WinePrefix(const std::string& dir);
  ~WinePrefix() override;
  bool Open(std::string* error);

  // Overrides for tests: the folder that holds wineserver directories ("/tmp"), and the
  // wine program (empty: not installed).
  void SetServerRoot(const std::string& tmpDir) { serverRoot_ = tmpDir; }
  void SetWineProgram(const std::string& wine) { wine_ = wine; }
  void SetWineServerProgram(const std::string& server) { wineserver_ = server; }
  // The Linux folders where Wine puts the menu entries, icons and desktop files of
  // shortcuts (defaults: $XDG_DATA_HOME or ~/.local/share, $XDG_CONFIG_HOME or ~/.config,
  // ~/Desktop).
  void SetMenuFolders(const std::string& dataHome, const std::string& configHome,
                      const std::string& desktopDir) {
    dataHome_ = dataHome;
    configHome_ = configHome;
    desktopDir_ = desktopDir;
  }
  // The 32-bit view (the uninstaller is a 32-bit program); on by default.
  void SetView32(bool on) { view32_ = on; }
  // The Linux folder of the wineserver of this prefix (exists or not).
  std::vector<std::string> ServerDirectories();

  bool ServerRunning() override;
  std::string LastError() const override { return lastError_; }
  const std::vector<std::string>& Refusals() const override { return refusals_; }
  bool Flush() override;

  std::string WindowsDirectory() override { return "C:\\windows"; }
  std::string SystemDirectory() override { return "C:\\windows\\system32"; }
  std::string TempDirectory() override;
  std::string CurrentDirectory() override { return cwd_; }
  bool SetCurrentDirectory(const std::string& path) override;
  WinVersion Version() override;

  std::string ToShortPath(const std::string& path) override;
  std::string ToLongPath(const std::string& path) override;
  bool UnixToWindowsPath(const std::string& unixPath, std::string* windowsPath) override;
  bool WindowsToUnixPath(const std::string& windowsPath, std::string* unixPath) override;
  bool IsRemovableDrive(char letter) override;

  bool FileExists(const std::string& path) override;
  uint32_t GetFileAttributes(const std::string& path) override;
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override;
  bool GetFileInfo(const std::string& path, uint64_t* size, LocalTime* lastWrite) override;
  bool FindFiles(const std::string& pattern, std::vector<FindData>* found) override;
  bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) override;
  bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
  bool AppendFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
  bool DeleteFile(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  bool MoveFile(const std::string& from, const std::string& to, bool replaceExisting) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool GetTempFileName(const std::string& dir, const std::string& prefix, unsigned unique,
                       std::string* path) override;

  bool RegKeyExists(RegRoot root, const std::string& key) override;
  bool RegCreateKey(RegRoot root, const std::string& key) override;
  bool RegDeleteKey(RegRoot root, const std::string& key) override;
  bool RegEnumKey(RegRoot root, const std::string& key, uint32_t index, std::string* name) override;
  bool RegEnumValue(RegRoot root, const std::string& key, uint32_t index, std::string* name,
                    RegValue* value) override;
  bool RegQueryValue(RegRoot root, const std::string& key, const std::string& name,
                     RegValue* value) override;
  bool RegSetValue(RegRoot root, const std::string& key, const std::string& name,
                   const RegValue& value) override;
  bool RegDeleteValue(RegRoot root, const std::string& key, const std::string& name) override;

  bool GetProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::string* value) override;
  bool WriteProfileString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) override;
  bool DeleteProfileKey(const std::string& file, const std::string& section,
                        const std::string& key) override;
  bool DeleteProfileSection(const std::string& file, const std::string& section) override;

  bool OpenServiceManager() override;
  ServiceState QueryService(const std::string& name) override;
  bool StopService(const std::string& name) override;
  bool DeleteService(const std::string& name) override;

  bool MoveFileDelayed(const std::string& from, const std::string& to, bool replaceExisting) override;
  std::vector<std::pair<std::string, std::string>> PendingRenames() override;

  StartResult StartProcess(const std::string& commandLine, const std::string& workingDir, bool wait,
                           uint32_t* exitCode) override;
  bool SelfRegister(const std::string& path, bool doRegister) override;
  bool WindowClassExists(const std::string& className) override;
  bool Restart() override;

  bool ProgmanConnect() override;
  std::vector<std::string> ProgmanGroups() override;
  bool ProgmanGroupDescription(const std::string& group, std::string* text) override;
  bool ProgmanExecute(const std::string& command) override;
  void ProgmanDisconnect() override;

  bool CreateShellLink(const std::string& linkPath, const ShellLinkInfo& info) override;
  bool ReadShellLink(const std::string& linkPath, ShellLinkInfo* info) override;

  bool MayChange(const std::string& path) override;
  bool IsSymbolicLink(const std::string& path) override;
  bool SameLocation(const std::string& a, const std::string& b) override;
  std::vector<std::string> TakeRemovedShadows() override;

 private:
  struct Resolved;
  struct RegNode;

  // Paths.
  bool FullPath(const std::string& path, char* drive, std::vector<std::string>* parts);
  bool Resolve(const std::string& path, Resolved* r);
  bool LookupName(const std::string& dirUnix, const std::string& nameAnsi, std::string* onDisk);
  std::string RealInside(const std::string& unixPath, bool followLeaf, bool* inside);
  bool CheckChange(const char* op, const std::string& winPath, const std::string& unixPath,
                   bool followLeaf);
  bool CanChange();
  bool Fail(const std::string& message);
  bool RemoveTree(const std::string& unixDir);

  // Registry.
  RegNode Child(const RegNode& node, const std::u16string& name);
  reg::Key* FollowLink(reg::Key* key, int depth);
  reg::Key* Wow(reg::Key* key, const std::u16string& next);
  bool IsSharedClasses(const reg::Key* key) const;
  bool Walk(RegRoot root, const std::string& key, RegNode* node, size_t* missing,
            std::vector<std::u16string>* names);
  reg::Key* OpenKey(RegRoot root, const std::string& key);
  reg::Hive* HiveOf(const reg::Key* key);
  bool LoadHives(std::string* error);
  bool SaveHive(reg::Hive& hive, const std::string& file);
  reg::Key* SessionManager(bool create);

  // INI mapping to the registry.
  bool MappedKey(const std::string& file, const std::string& section, const std::string& key,
                 RegRoot* root, std::string* regKey, std::string* valueName);
  std::string IniPath(const std::string& file);
  std::string ExpandEnvironment(const std::string& text);
  std::string ProfileFolder();
  std::string ProgramsFolder();

  // The Linux menu entries of shortcuts (removed with the .lnk they stand for).
  void RemoveShadowsOf(const std::string& linkWindows, const std::string& linkUnix);
  void RemoveShadowsUnder(const std::string& unixDir);
  std::string OnDiskWindowsPath(const Resolved& r);

  // Wine processes.
  bool RunWine(const std::vector<std::string>& args, const std::string& unixCwd, bool wait,
               int* status);
  void ReloadAfterWine();

  std::string dir_;
  std::string realDir_;
  std::string serverRoot_ = "/tmp";
  std::string wine_;
  std::string wineserver_;
  bool view32_ = true;
  std::unique_ptr<reg::Hive> system_, user_, userdef_;
  bool haveUserdef_ = false;
  std::u16string userSid_ = u"S-1-5-21-0-0-0-1000";
  std::string lastError_;
  std::vector<std::string> refusals_;
  std::string cwd_ = "C:\\";
  std::string progmanGroup_;
  bool progmanConnected_ = false;
  std::vector<std::vector<std::string>> deferredLaunches_;
  bool linksDeleted_ = false;
  std::string dataHome_, configHome_, desktopDir_;
  std::vector<std::string> removedShadows_;
};

}  // namespace yarb
