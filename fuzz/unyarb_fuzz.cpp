// Hostile command lines, UNYARB32.INI files, install attributes and MIF templates:
// - the log path and caption are pieces of the command line, never more;
// - an overridden text holds no "|" and no "~";
// - attributes that parse give a DOS date and time inside their ranges;
// - filling a MIF template never grows it by more than its placeholders allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CommandLine.h"
#include "Repair.h"
#include "Settings.h"
#include "WizardFinish.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);

  const yarb::CommandLine cl = yarb::ParseCommandLine(in);
  if (cl.logPath.size() > in.size() || cl.caption.size() > in.size()) std::abort();
  if (!cl.logPath.empty() && in.find(cl.logPath) == std::string::npos) std::abort();

  yarb::UninstallSettings s;
  s.LoadIni(in);
  for (int id : {1, 7, 59, 1000}) {
    const std::string t = s.LoadText(id);
    if (id != 7 && (t.find('|') != std::string::npos || t.find('~') != std::string::npos) &&
        t != yarb::StringTableText(id))
      std::abort();
  }
  if (s.fontSize < 1 || s.fontSize > 72) std::abort();

  yarb::InstallStamp stamp;
  if (yarb::ParseInstallStamp(in, &stamp)) {
    if ((stamp.dosDate & 31) == 0 || ((stamp.dosDate >> 5) & 15) > 12) std::abort();
    if ((stamp.dosTime >> 11) > 23 || ((stamp.dosTime >> 5) & 63) > 59) std::abort();
  }

  yarb::LogHeader h;
  h.manufacturer = h.product = h.versionNumber = h.serialNumber = "x";
  const std::string mif = yarb::StatusMifText(in, h, false, true, {2026, 1, 1, 0, 0, 0});
  if (mif.size() > in.size() * 6 + 16) std::abort();
  return 0;
}
