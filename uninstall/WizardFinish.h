// The end of a run: the status MIF, and the run's job (uninstall, rollback or repair).
#pragma once

#include <optional>
#include <string>

#include "Entries.h"
#include "Platform.h"

namespace yarb {

// The MIF text: `templ` (the "Msg1000" override) or the built-in one, with its placeholders
// filled. `now` is the local date and time of the run's end.
std::string StatusMifText(const std::optional<std::string>& templ, const LogHeader& header,
                          bool rollback, bool cancelled, const LocalTime& now);
// Writes the MIF the log names into the Windows folder (only the name's last component
// counts, so the file stays there). False when the log names none or it cannot be written.
bool WriteStatusMif(Platform& platform, const std::optional<std::string>& templ,
                    const LogHeader& header, bool rollback, bool cancelled, const LocalTime& now);

// True when the run repairs instead of uninstalling.
bool RunsRepair(int mode, int launchIndex, const LogHeader& header);

}  // namespace yarb
