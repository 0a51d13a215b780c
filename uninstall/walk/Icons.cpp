// Step 19: Program Manager icons. The groups and their items are read once, before the first
// icon; an item is removed when its command or its group and name match the icon, and a
// group left without items goes too (the start-up group always stays).
#include "TextRules.h"
#include "UninstallEngine.h"

namespace yarb {

namespace {

struct ProgmanItem {
  std::string name;
  std::string command;
  bool removed = false;
};

struct ProgmanGroup {
  std::string name;
  std::vector<ProgmanItem> items;
  bool deleted = false;
};

// The quoted fields of one description line: "a","b",c -> a, b, c.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) {
      out.push_back(cur);
      cur.clear();
    } else cur.push_back(c);
  }
  out.push_back(cur);
  return out;
}

ProgmanGroup ParseGroup(const std::string& fallbackName, const std::string& text) {
  ProgmanGroup g;
  size_t pos = 0;
  bool first = true;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    const std::vector<std::string> f = Fields(line);
    if (first) {
      g.name = f[0].empty() ? fallbackName : f[0];
      first = false;
    } else if (f.size() >= 2) {
      g.items.push_back({f[0], f[1], false});
    }
  }
  if (g.name.empty()) g.name = fallbackName;
  return g;
}

}  // namespace

void UninstallEngine::RemoveIcons() {
  bool connected = false, tried = false;
  std::vector<ProgmanGroup> groups;
  for (const IconEntry& icon : log_.icons) {
    if (Cancelled()) break;
    Tick();
    if (!Taken(icon.selected)) continue;
    if (options_.rollback ? icon.installation != minimum_ : icon.installation < minimum_) continue;
    if (!tried) {
      tried = true;
      connected = platform_.ProgmanConnect();
      if (connected) {
        std::vector<std::string> names = platform_.ProgmanGroups();
        if (names.size() > 127) names.resize(127);
        for (const std::string& name : names) {
          std::string text;
          if (platform_.ProgmanGroupDescription(name, &text)) groups.push_back(ParseGroup(name, text));
        }
      }
    }
    Status(kStrRemovingIcon, icon.name, StatusItem::Name);
    if (!connected) continue;
    bool found = false;
    for (ProgmanGroup& g : groups) {
      if (g.deleted) continue;
      bool touched = false;
      for (ProgmanItem& item : g.items) {
        if (item.removed) continue;
        const bool sameCommand = !icon.commandLine.empty() && EqualNoCase(item.command, icon.commandLine);
        const bool sameName = EqualNoCase(g.name, icon.group) && EqualNoCase(item.name, icon.name);
        if (!sameCommand && !sameName) continue;
        item.removed = touched = found = true;
        platform_.ProgmanExecute("[ShowGroup(" + g.name + ",2)]");
        platform_.ProgmanExecute("[ShowGroup(" + g.name + ",1)]");
        if (platform_.ProgmanExecute("[DeleteItem(" + item.name + ")]"))
          report_.Add(ReportKind::Removed, g.name + "\\" + item.name, "icon");
        else
          report_.Add(ReportKind::Failed, g.name + "\\" + item.name, "icon: " + platform_.LastError());
      }
      if (!touched || EqualNoCase(g.name, "STARTUP")) continue;
      bool empty = true;
      for (const ProgmanItem& item : g.items) empty = empty && item.removed;
      if (empty && platform_.ProgmanExecute("[DeleteGroup(" + g.name + ")]")) {
        g.deleted = true;
        report_.Add(ReportKind::Removed, g.name, "Program Manager group left empty");
      }
    }
    if (!found) report_.Add(ReportKind::Kept, icon.group + "\\" + icon.name, "icon not found");
  }
  if (connected) platform_.ProgmanDisconnect();
  CollectRefusals();
}

}  // namespace yarb
