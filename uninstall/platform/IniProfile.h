// Private-profile INI text with the rules of the Windows profile functions: sections and
// keys are found without regard to case, blanks around names and values do not count,
// a value in matching quotes is read without them, the first of duplicate sections or keys
// wins, and every line we do not change is kept. Written text uses CR LF line ends.
#pragma once

#include <string>

namespace yarb::ini {

// False when the section or the key is missing (a key line without "=" has no value).
bool Get(const std::string& text, const std::string& section, const std::string& key,
         std::string* value);
// Adds or replaces the key, creating the section at the end when it is missing.
std::string Set(const std::string& text, const std::string& section, const std::string& key,
                const std::string& value);
// Removes the key's line; *changed tells whether there was one.
std::string DeleteKey(const std::string& text, const std::string& section, const std::string& key,
                      bool* changed);
// Removes the section's header and every line up to the next section.
std::string DeleteSection(const std::string& text, const std::string& section, bool* changed);

}  // namespace yarb::ini
