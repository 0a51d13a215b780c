// The uninstaller's string table.
//
// Every text with an id goes through UninstallUi::LoadText so that a language override can
// replace it; StringTableText gives the built-in text. Ids below 100 are the table the
// wizard's resource carries; ids from 200 on are this port's own texts (the Wine prefix and
// the run report).
#pragma once

namespace yarb {

constexpr int kStrLogFilter = 1;       // "Installation Logs"
constexpr int kStrProductName = 2;     // "Yarb Uninstall"
constexpr int kStrCannotOpenLog = 3;   // "Could not open INSTALL.LOG file."
constexpr int kStrInvalidLog = 4;      // "Invalid INSTALL.LOG file."
constexpr int kStrUninstall = 25;      // "Uninstall"
constexpr int kStrBdeServer = 28;      // the interbase server must be stopped
constexpr int kStrRemovingFile = 29;
constexpr int kStrRemovingSystemFile = 30;
constexpr int kStrRemovingDirectory = 31;
constexpr int kStrRemovingEmptyDirs = 32;
constexpr int kStrRemovingIniFile = 33;
constexpr int kStrEditingIniFile = 34;
constexpr int kStrRemovingRegKey = 35;
constexpr int kStrEditingRegKey = 36;
constexpr int kStrRemovingIcon = 37;
constexpr int kStrSharedUnused = 38;   // "... no longer used ...\n\n%s\n\n..."
constexpr int kStrSharedQuestion = 39;  // "Leaving this file will not harm ..."
constexpr int kStrSelfUnregistering = 40;
constexpr int kStrRemovingSubSystem = 44;
constexpr int kStrPerformingUninstall = 45;  // "Performing uninstall of %s..."
constexpr int kStrYes = 51;
constexpr int kStrNo = 52;
constexpr int kStrNoToAll = 53;
constexpr int kStrRemovingRegTree = 56;
constexpr int kStrExecutingProgram = 57;
constexpr int kStrDeletingService = 58;
constexpr int kStrCancelQuestion = 59;
constexpr int kStrRemoveShared = 62;   // "Remove Shared Component"
constexpr int kStrAdminRequired = 67;  // administrator rights needed
constexpr int kStrRestartQuestion = 68;
constexpr int kStrYesToAll = 69;
constexpr int kStrRepairNewer = 76;    // "Repair Newer File?"

// This port's own texts.
constexpr int kStrPrefixBusy = 200;       // programs still run in the prefix
constexpr int kStrPrefixBusyStopped = 201;  // the walk did not start
constexpr int kStrRestartWaits = 202;     // no Wine: scheduled work waits
constexpr int kStrReportWritten = 203;    // "The report of this uninstall is in %s."
// The wizard's and the repair's own texts.
constexpr int kStrPrefixBusyNotice = 210;   // the confirmation page: programs run in the prefix
constexpr int kStrRepairBusyStopped = 211;  // the repair did not start
constexpr int kStrClose = 212;              // the last view's button
constexpr int kStrNoSource = 213;           // a damaged file whose installation names no source
constexpr int kStrSourceCancelled = 214;    // the source-path dialog was cancelled
constexpr int kStrReportTitle = 215;        // the last view's heading of the report

// The built-in text of string `id`; empty for an id this table does not hold.
const char* StringTableText(int id);

}  // namespace yarb
