// The uninstall walk: undoing what INSTALL.LOG recorded, in one fixed order of kinds, and the
// shared and deferred operations it needs (shared-file counters, the database engine,
// self-registration, SYSTEM.INI devices, files in use, the restart that finishes the work).
//
// One engine lives for one run of the uninstaller; its flags are what the front end reads
// afterwards (restart needed, own executable deleted). It talks to the user only through
// UninstallUi and to the system only through Platform, and records every item it touched,
// kept, refused or failed in its RunReport.
//
// Use:
//   UninstallEngine engine(platform, ui, log);   // log: filled by ParseInstallLog
//   engine.silent = ...;                         // from the command line
//   WalkResult r = engine.PerformUninstall(options);
//   engine.DecideRestart();                      // asks (unless silent) and restarts
//   engine.Report().Text(title) / WriteRunReport(...)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Entries.h"
#include "Platform.h"
#include "RunReport.h"
#include "UninstallUi.h"

namespace yarb {

// What a status item is, for shortening it.
enum class StatusItem { Path, Key, Name };

enum class UninstallMode { Automatic = 1000, Custom = 1001 };

struct UninstallOptions {
  std::string logPath;  // Windows path of INSTALL.LOG in the prefix
  UninstallMode mode = UninstallMode::Automatic;
  // Undo only the latest installation, restoring its backups. Honoured in both modes: a
  // Custom rollback with nothing selected still puts the backups back and cuts the log.
  bool rollback = false;
};

enum class WalkResult {
  Done,        // every step ran
  Cancelled,   // the user cancelled; the steps without a cancel test still ran
  Aborted,     // Abort at the database-engine question: nothing after it was undone
  PrefixBusy,  // programs kept running in the prefix; nothing was changed
};

class UninstallEngine {
 public:
  UninstallEngine(Platform& platform, UninstallUi& ui, InstallLog& log);

  // ---- flags of the run (start cleared; the front end sets silent) -------------------
  bool silent = false;           // "/S": no prompts, shared files kept, restart unasked
  bool restartNeeded = false;    // something waits for the next start of the prefix
  bool ownExecutableDeleted = false;
  bool yesToAll = false, noToAll = false;
  bool repairRunning = false;    // the shared-file prompt is captioned for repair
  uint16_t tempCounter = 0;      // "~QZX%04x.TMP" names
  // The uninstaller's own executable as a Windows path, when it lies inside the prefix
  // (empty for the native program, which is never inside and never deleted).
  std::string ownExecutable;

  // Undoes the log's entries. Before anything changes it makes sure no wineserver holds
  // the prefix: while one does, the user is asked to close the prefix's programs (OK to
  // look again, Cancel to stop); a silent run stops at once. Runs once per engine.
  WalkResult PerformUninstall(const UninstallOptions& options);

  // ---- shared components and deferred operations -------------------------------------
  // 0: not counted; 1: keep the file (still used, or the user said No); 2: remove it.
  int DecrementSharedCount(const std::string& path, int count);
  // True when the user chose Abort (the walk must stop).
  bool RemoveDatabaseEngine();
  void SelfRegisterFile(const std::string& label, const std::string& path, bool doRegister);
  void RemoveDeviceLine(const std::string& path);
  // True when the file is gone now; false when it stays or waits for a restart.
  bool DeleteOrSchedule(const std::string& path);
  void ReplaceOrSchedule(const std::string& backup, const std::string& target);
  void ScheduleDeleteAtRestart(const std::string& path);
  // Starts a new session of the prefix (wineboot -r) so that scheduled work is done. False
  // when that cannot be done now (no Wine): the work then waits, and the report says so.
  bool RestartSystem();
  // The end of a run: when a restart is needed, asks OK / Cancel (string 68) unless silent,
  // and restarts on OK (always when silent). True when the prefix was restarted.
  bool DecideRestart();

  // ---- removal primitives ------------------------------------------------------------
  // False only when a set of files was refused (then no status and no folder removal).
  bool RemoveFile(const std::string& path, const std::string& backup, bool restore);
  void RemoveDirectoryTree(const std::string& path, bool withFiles);
  bool RemoveRegistryTree(int rootIndex, const std::string& key);
  void RegisterValue(int rootIndex, int typeIndex, const std::string& key,
                     const std::string& name, const std::string& data, bool create);

  // True when `folder` is the Windows, system or Program Files folder, however spelt.
  bool IsProtectedFolder(const std::string& folder);

  const RunReport& Report() const { return report_; }
  RunReport& Report() { return report_; }
  // Entries visited so far, and the total the progress bar runs to.
  int ProgressDone() const { return done_; }
  int ProgressTotal() const { return total_; }

 private:
  // The walk's steps.
  void RunPrograms();
  void RestoreBackups(const std::vector<FileBackup>& backups);
  void RemoveServices();
  bool RemoveSubSystem();
  void RemoveIniFiles();
  void RestoreIniItems();
  void SharedPass(std::vector<FileEntry>& files, bool system);
  void RemovalPass(std::vector<FileEntry>& files, bool system);
  void ReRegister();
  void RemoveDirectories();
  void RestoreRegistryValues();
  void RemoveCreatedValues();
  void RemoveRegistryTrees();
  void RemoveIcons();
  void PerUserCleanup();

  // Helpers.
  bool Cancelled();
  void Status(int labelId, const std::string& item, StatusItem kind);
  void Tick();
  bool Taken(bool selected) const;
  bool WaitForIdlePrefix();
  void CollectRefusals();
  bool RemoveDirectoryTreeAt(const std::string& path, const std::string& pattern, bool withFiles,
                             int depth);
  bool RemoveRegistryTreeAt(RegRoot root, const std::string& key, int depth);
  void DeleteCompanion(const std::string& path);
  bool ScheduleDelete(const std::string& path);
  std::string Label(int id);

  Platform& platform_;
  UninstallUi& ui_;
  InstallLog& log_;
  RunReport report_;
  UninstallOptions options_;
  int minimum_ = 1;
  bool cancelled_ = false;
  bool ran_ = false;
  int done_ = 0, total_ = 1;
  size_t refusalsSeen_ = 0;
  bool nt_ = true, major4_ = true;
  std::string windowsDir_, systemDir_, programFilesDir_;
  // Files put back from a backup of the latest installation (rollback re-registers them).
  std::vector<std::string> restored_;
};

// Status text of the walk: `label` (ending in CR LF) and `item`. A path longer than `width`
// characters has its leading folders after the first "\\" replaced by "..." until it fits;
// a registry key over 48 characters is cut to 45 and "..." appended; names stay as they are.
std::string FitStatusText(const std::string& label, const std::string& item, StatusItem kind,
                          int width);

// The registry data of `typeIndex` (0 REG_SZ, 1 REG_EXPAND_SZ, 2 REG_MULTI_SZ, 3 REG_DWORD
// from decimal text, 4 REG_BINARY from hexadecimal pairs) from the log's text, which for a
// list holds every string ended by NUL and one more NUL.
RegValue ConvertRegData(int typeIndex, const std::string& data);

// `pattern` with its "%s" marks replaced by `args` in order (missing args: empty).
std::string FormatText(const std::string& pattern, const std::string& a,
                       const std::string& b = {}, const std::string& c = {});

}  // namespace yarb
