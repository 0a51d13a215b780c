// The uninstaller's string table texts used by the install-log reader.
//
// Every text with an id goes through UninstallUi::LoadText so that a language override can
// replace it; StringTableText gives the built-in text.
#pragma once

namespace yarb {

constexpr int kStrProductName = 2;     // "Yarb Uninstall"
constexpr int kStrCannotOpenLog = 3;   // "Could not open INSTALL.LOG file."
constexpr int kStrInvalidLog = 4;      // "Invalid INSTALL.LOG file."
constexpr int kStrUninstall = 25;      // "Uninstall"
constexpr int kStrAdminRequired = 67;  // administrator rights needed

// The built-in text of string `id`; empty for an id this table does not hold.
const char* StringTableText(int id);

}  // namespace yarb
