#include "Platform.h"

namespace yarb {

std::unique_ptr<Platform> OpenWinePrefix(const std::string& prefixDir, std::string* error) {
  if (error) *error = "The Wine prefix " + prefixDir + " cannot be opened.";
  return nullptr;
}

}  // namespace yarb
