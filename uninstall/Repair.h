// Repair: every logged file is checked against the date, time, size and CRC-32 the installer
// recorded; damaged files are listed per installation and the installer re-extracts them
// from its source ("/X=" and the list file). Logged shortcuts are made again, logged
// registry values written again, self-registering files registered again.
//
// Also the launch check of a "/W n" start: the values the installer listed for checking are
// looked at, a repair is offered when something is missing, and the application is started.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Entries.h"
#include "Platform.h"
#include "UninstallEngine.h"
#include "UninstallUi.h"

namespace yarb {

// The user interface of a repair: the walk's, and the source-path dialog.
class RepairUi : public UninstallUi {
 public:
  // Asks for the installation program; `*path` holds the current source path on entry and
  // the edited one (up to 255 characters) on OK. False: Cancel.
  virtual bool AskSourcePath(const std::string& /*caption*/, const std::string& /*text*/,
                             std::string* /*path*/) {
    return false;
  }
};

// CRC-32 (reflected polynomial 0xEDB88320) continued from `crc` (start with all ones and
// complement the end result).
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t size);
uint32_t Crc32(const std::vector<uint8_t>& bytes);  // whole buffer, in 16 384-byte blocks

// One logged file's install attributes ("mm-dd-yyyy | hh:mm:ss | size | crc").
struct InstallStamp {
  uint16_t dosDate = 0, dosTime = 0;
  uint64_t size = 0;
  uint32_t crc = 0;
  std::string rest;      // everything after the third "|" (the CRC field onwards)
  std::string dateText;  // the first two fields joined, their "|" dropped
};
// False for attributes too short (under 21 characters after leading blanks) or unreadable.
bool ParseInstallStamp(const std::string& attributes, InstallStamp* stamp);
uint16_t DosDate(int year, int month, int day);
uint16_t DosTime(int hour, int minute, int second);
// A list-file line: path "|" date "|" time "|" rest CR LF.
std::string ListFileLine(const std::string& path, const InstallStamp& stamp);
// A source file's attributes as the "Source: " text records them.
std::string SourceStamp(const LocalTime& t, uint64_t size);

enum class RepairResult {
  Done,
  Cancelled,       // the user cancelled during the run
  SourceRefused,   // the source-path dialog was cancelled: the rest was not re-extracted
  PrefixBusy,      // programs kept running in the prefix: nothing was changed
};

class RepairEngine {
 public:
  RepairEngine(Platform& platform, RepairUi& ui, InstallLog& log, UninstallEngine& engine,
               std::string title);

  bool silent = false;

  RepairResult PerformRepair();
  void CheckFile(const std::string& path, const std::string& attributes, int installation);
  void RecreateShellLink(const std::string& linkPath, const std::string& linkInfo);

  bool FilesToRestore() const { return filesToRestore_; }
  int InstallerRuns() const { return installerRuns_; }

 private:
  bool WaitForIdlePrefix();
  bool Cancelled();
  void Step(const std::string& path);
  bool NewerFileReplaced(const std::string& path, const InstallStamp& stamp, const LocalTime& t);
  // Runs the installer of every installation that has damaged files; false when the user
  // cancelled the source-path dialog.
  bool RunInstallers();
  void DropListFile(const std::string& listFile);

  Platform& platform_;
  RepairUi& ui_;
  InstallLog& log_;
  UninstallEngine& engine_;
  std::string title_;
  bool filesToRestore_ = false;
  bool cancelled_ = false;
  int installerRuns_ = 0;
  int done_ = 0, total_ = 1;
  // What each list file holds, for the report.
  std::vector<std::pair<std::string, std::string>> listed_;  // (list file, path)
};

// The repair registration of a log: HKEY_LOCAL_MACHINE "Software\\Yarb Solutions\\Yarb
// Installation System\\Repair\\" and the log's long path with every "\\" made "/".
std::string RepairKeyFor(const std::string& longLogPath);

enum class LaunchDecision {
  End,      // no registration: start nothing
  Launched, // the application was started (or failed to start, with a message)
  Repair,   // the user asked for a repair: run it, then LaunchApplication
};
LaunchDecision LaunchCheck(Platform& platform, UninstallUi& ui, int launchIndex,
                           const std::string& longLogPath);
// True when the check's values all hold (nothing missing).
bool RepairChecksHold(Platform& platform, const std::string& repairKey);
void LaunchApplication(Platform& platform, UninstallUi& ui, const std::string& repairKey,
                       int launchIndex);

}  // namespace yarb
