// The help files beside the program: the help page "WebHelp/Quilo.htm" and
// the shortcut key list, which is generated from the effect catalogue so it
// always matches the Effects menu.
#pragma once

#include <optional>
#include <string>

namespace vell {

inline constexpr const char kHelpPageName[] = "WebHelp/Quilo.htm";

// folder + "WebHelp/Quilo.htm"; `folder` may or may not end in '/'.
std::string HelpPagePath(const std::string& folder);

// The help page to open: beside the executable first, then in the program
// folder (where settings go when the executable's folder is read-only).
// None when neither holds it.
std::optional<std::string> FindHelpPage(const std::string& exeFolder, const std::string& programFolder);

// The shortcut list as plain text: a title, then per Effects submenu its name
// and one line per item, caption padded to a column, then the keys.
std::string ShortcutListText();

// The same list as a small HTML document (one table per submenu), for
// printing through a text document.
std::string ShortcutListHtml();

}  // namespace vell
