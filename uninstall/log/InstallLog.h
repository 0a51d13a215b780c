// Reading INSTALL.LOG into the entry lists, and the two edits the uninstaller makes to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "Entries.h"
#include "UninstallUi.h"

namespace yarb {

class Platform;

struct ParseResult {
  bool ok = false;
  // The log's folder in short form ending in "\\" (empty for a drive root), cut back to the
  // highest folder that a "Made Dir: " record created above it.
  std::string logFolder;
};

// Reads the log at `logPath` (a Windows path of the platform; a name without "\\" lies in
// the current directory) into `*log`, which must be empty. Failures are shown through `ui`
// ("Could not open INSTALL.LOG file.", "Invalid INSTALL.LOG file.", or the administrator
// message) after the start-up progress is closed, and give ok = false.
ParseResult ParseInstallLog(Platform& platform, UninstallUi& ui, const std::string& logPath,
                            InstallLog* log);

// The same over bytes already read; `logPath` still names the log (its folder is the
// pre-seeded directory entry). Used by ParseInstallLog and by tests and the fuzz target.
ParseResult ParseInstallLogBytes(Platform& platform, UninstallUi& ui, const std::string& logPath,
                                 std::string_view bytes, InstallLog* log);

// A title with a trailing " INSTALLATION" and then a trailing " INSTALL" removed (any case).
std::string TrimTitle(std::string_view title);

// Rollback's edit of the log: keep only the bytes before the latest installation header,
// or delete the file when the log holds one installation (offset 0). The cut is made only
// when the file still has a header line at that offset, so a log that changed since it was
// read is never cut in the wrong place. `deleteFile` deletes (the engine passes its
// delete-or-schedule); when empty, the platform's DeleteFile is used.
enum class LogEdit { Deleted, Cut, Failed };
LogEdit CutLogForRollback(Platform& platform, const std::string& logPath,
                          uint64_t latestHeaderOffset,
                          const std::function<bool(const std::string&)>& deleteFile = {});

// The automatic uninstall's edit: the log goes (attributes made normal first).
bool DeleteInstallLog(Platform& platform, const std::string& logPath,
                      const std::function<bool(const std::string&)>& deleteFile = {});

}  // namespace yarb
