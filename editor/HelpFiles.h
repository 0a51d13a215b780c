// The help files beside the program: the help page "WebHelp/Quilo.htm" and
// the shortcut key list, which is generated from the effect catalogue so it
// always matches the Effects menu.
#pragma once

#include <functional>
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

// Whether the desktop can show a web page: "xdg-open" is on the PATH and has
// something to hand the page to (the desktop's default for text/html, a
// $BROWSER, or one of the usual browsers on the PATH). `onPath` tells
// whether a program of that name is on the PATH. When not, "&Contents"
// shows the page in the program's own help window.
bool DesktopShowsWebPages(const std::function<bool(const std::string&)>& onPath, const std::string& htmlDefault,
                          const std::string& browserVariable);

// The shortcut list as plain text: a title, then per Effects submenu its name
// and one line per item, caption padded to a column, then the keys.
std::string ShortcutListText();

// The same list as a small HTML document (one table per submenu), for
// printing through a text document: the caption column is as wide as the
// longest caption needs and the cells are padded, so a long caption never
// runs into its keys.
std::string ShortcutListHtml();

}  // namespace vell
