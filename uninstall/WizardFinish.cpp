#include "WizardFinish.h"

#include <cstdio>

#include "Wizard.h"

namespace yarb {

namespace {
const char kBuiltInMif[] =
    "START COMPONENT\r\n"
    "NAME = \"WORKSTATION\"\r\n"
    "  START GROUP\r\n"
    "    NAME = \"ComponentID\"\r\n"
    "    ID = 1\r\n"
    "    CLASS = \"DMTF|ComponentID|1.0\"\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Manufacturer\"\r\n      ID = 1\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%1%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Product\"\r\n      ID = 2\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%2%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Version\"\r\n      ID = 3\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%3%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Serial Number\"\r\n      ID = 4\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%4%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"%5%\"\r\n      ID = 5\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%6%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "  END GROUP\r\n"
    "  START GROUP\r\n"
    "    NAME = \"%5%Status\"\r\n"
    "    ID = 2\r\n"
    "    CLASS = \"MICROSOFT|JOBSTATUS|1.0\"\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Status\"\r\n      ID = 1\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%7%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "    START ATTRIBUTE\r\n"
    "      NAME = \"Description\"\r\n      ID = 2\r\n      ACCESS = READ-ONLY\r\n"
    "      STORAGE = SPECIFIC\r\n      TYPE = STRING(255)\r\n      VALUE = \"%8%\"\r\n"
    "    END ATTRIBUTE\r\n"
    "  END GROUP\r\n"
    "END COMPONENT\r\n";
}  // namespace

std::string StatusMifText(const std::optional<std::string>& templ, const LogHeader& header,
                          bool rollback, bool cancelled, const LocalTime& now) {
  const std::string t = templ ? *templ : std::string(kBuiltInMif);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %d:%02d", now.month, now.day, now.year % 100,
                now.hour, now.minute);
  const std::string values[8] = {header.manufacturer, header.product, header.versionNumber,
                                 header.serialNumber, rollback ? "Rollback" : "Uninstall",
                                 stamp, cancelled ? "Failed" : "Success",
                                 cancelled ? "Canceled by user" : ""};
  std::string out;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '%' && i + 2 < t.size() && t[i + 1] >= '1' && t[i + 1] <= '8' && t[i + 2] == '%') {
      out += values[t[i + 1] - '1'];
      i += 2;
    } else {
      out += t[i];
    }
  }
  return out;
}

bool WriteStatusMif(Platform& platform, const std::optional<std::string>& templ,
                    const LogHeader& header, bool rollback, bool cancelled, const LocalTime& now) {
  std::string name = header.statusMifFile;
  const size_t cut = name.find_last_of("\\/:");
  if (cut != std::string::npos) name.erase(0, cut + 1);
  if (name.empty() || name == "." || name == "..") return false;
  const std::string text = StatusMifText(templ, header, rollback, cancelled, now);
  return platform.WriteFile(platform.WindowsDirectory() + "\\" + name,
                            std::vector<uint8_t>(text.begin(), text.end()));
}

bool RunsRepair(int mode, int launchIndex, const LogHeader& header) {
  return mode == kModeRepair || (launchIndex != 0 && header.repairAvailable);
}

}  // namespace yarb
