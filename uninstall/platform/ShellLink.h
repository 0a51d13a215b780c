// Shell link (.lnk) files in the Shell Link Binary File Format: written with a LinkInfo
// local base path and ANSI string data, read from either ANSI or Unicode string data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform.h"

namespace yarb {

std::vector<uint8_t> BuildShellLink(const ShellLinkInfo& info);
// False for data that is not a shell link or is cut short.
bool ParseShellLink(const std::vector<uint8_t>& data, ShellLinkInfo* info);

}  // namespace yarb
