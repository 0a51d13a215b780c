// 8.3 names: the test for a legal 8.3 name, the alias Wine derives from a long name,
// the alias Windows gives (first six characters, "~", a number), and DOS wildcards.
#pragma once

#include <string>
#include <vector>

namespace yarb {

bool IsLegal83(const std::u16string& name);
// Wine's hashed alias, e.g. "Program Files" -> "PROGR~2S" style; empty for a legal 8.3 name.
std::u16string WineShortName(const std::u16string& name);
// Windows' aliases for the entries of one folder, numbered ~1, ~2 ... among the names that
// share their first six characters and extension, in the folder's sorted order. Returns one
// alias per name (empty for a legal 8.3 name), in the order of `names`.
std::vector<std::u16string> WindowsShortNames(const std::vector<std::u16string>& names);
// DOS wildcard match ("*", "?", "*.*" matches every name, "x.*" also matches "x").
bool WildcardMatch(const std::u16string& mask, const std::u16string& name);
bool HasWildcard(const std::string& s);

}  // namespace yarb
