#include "Strings.h"

namespace yarb {

namespace {
struct StringEntry {
  int id;
  const char* text;
};

constexpr StringEntry kStrings[] = {
    {kStrProductName, "Yarb Uninstall"},
    {kStrCannotOpenLog, "Could not open INSTALL.LOG file."},
    {kStrInvalidLog, "Invalid INSTALL.LOG file."},
    {kStrUninstall, "Uninstall"},
    {kStrAdminRequired,
     "This software was installed under an account with administrator rights. You should log "
     "onto an account with administrator rights to uninstall this software."},
};
}  // namespace

const char* StringTableText(int id) {
  for (const StringEntry& s : kStrings)
    if (s.id == id) return s.text;
  return "";
}

}  // namespace yarb
