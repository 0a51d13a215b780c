#include "editor/HelpFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "editor/EffectCatalogue.h"

namespace vell {
namespace {

constexpr const char kTitle[] = "Quilo Shortcut Keys";

std::string WithSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + '/';
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

// Submenu captions without their accelerator marks: "Dra&w" -> "Draw".
std::string Plain(std::string_view caption) {
  std::string s;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    s += caption[i];
  }
  return s;
}

std::string Html(std::string_view text) {
  std::string s;
  for (char c : text) {
    switch (c) {
      case '&': s += "&amp;"; break;
      case '<': s += "&lt;"; break;
      case '>': s += "&gt;"; break;
      case '"': s += "&quot;"; break;
      default: s += c;
    }
  }
  return s;
}

template <typename F>
void ForEachGroup(F&& f) {
  for (int g = 0; g < EffectCategoryCount; ++g) {
    const TEffectCategory category = EffectCategoryAt(g);
    std::vector<const TEffectEntry*> items;
    for (const TEffectEntry& e : EffectCatalogue())
      if (e.Category == category) items.push_back(&e);
    f(Plain(EffectCategoryMenuCaption(category)), items);
  }
}

}  // namespace

std::string HelpPagePath(const std::string& folder) { return WithSlash(folder) + kHelpPageName; }

std::optional<std::string> FindHelpPage(const std::string& exeFolder, const std::string& programFolder) {
  for (const std::string* folder : {&exeFolder, &programFolder}) {
    if (folder->empty()) continue;
    std::string path = HelpPagePath(*folder);
    if (IsFile(path)) return path;
  }
  return std::nullopt;
}

bool DesktopShowsWebPages(const std::function<bool(const std::string&)>& onPath, const std::string& htmlDefault,
                          const std::string& browserVariable) {
  if (!onPath("xdg-open")) return false;
  if (!htmlDefault.empty() || !browserVariable.empty()) return true;
  // What xdg-open falls back to when the desktop names no default.
  for (const char* browser : {"x-www-browser", "sensible-browser", "firefox", "firefox-esr", "chromium",
                              "chromium-browser", "google-chrome", "epiphany", "konqueror", "falkon", "www-browser"})
    if (onPath(browser)) return true;
  return false;
}

std::string ShortcutListText() {
  size_t width = 0;
  for (const TEffectEntry& e : EffectCatalogue()) width = std::max(width, std::string_view(e.MenuCaption).size());
  std::string s = std::string(kTitle) + "\n";
  ForEachGroup([&](const std::string& group, const std::vector<const TEffectEntry*>& items) {
    s += "\nEffects > " + group + "\n";
    for (const TEffectEntry* e : items) {
      std::string caption = e->MenuCaption;
      caption.resize(width + 2, ' ');
      s += "  " + caption + e->Shortcut + "\n";
    }
  });
  return s;
}

std::string ShortcutListHtml() {
  std::string s = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
  s += kTitle;
  s += "</title></head>\n<body>\n<h1>";
  s += kTitle;
  s += "</h1>\n";
  ForEachGroup([&](const std::string& group, const std::vector<const TEffectEntry*>& items) {
    s += "<h2>Effects &gt; " + Html(group) + "</h2>\n";
    // Two columns of fixed shares, padded: the keys always start clear of the captions.
    s += "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"4\">\n";
    s += "<tr><th width=\"60%\" align=\"left\">Menu item</th><th width=\"40%\" align=\"left\">Keys</th></tr>\n";
    for (const TEffectEntry* e : items)
      s += "<tr><td>" + Html(e->MenuCaption) + "</td><td>" + Html(e->Shortcut) + "</td></tr>\n";
    s += "</table>\n";
  });
  s += "</body></html>\n";
  return s;
}

}  // namespace vell
