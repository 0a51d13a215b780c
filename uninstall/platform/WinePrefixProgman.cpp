// Program Manager groups over the Start Menu folders, and shell links.
#include "WinePrefixInternal.h"

namespace yarb {

using namespace prefix_detail;

// ---------------------------------------------------------------------------------------
// Program Manager groups: folders of the Start Menu's Programs folder

namespace {

// A group or item name must stay one name inside the Programs folder.
bool PlainName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:*?\"<>|") == std::string::npos && name != "." &&
         name != "..";
}

std::vector<std::string> DdeArguments(const std::string& text) {
  std::vector<std::string> args;
  std::string cur;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) {
      args.push_back(cur);
      cur.clear();
    } else cur.push_back(c);
  }
  args.push_back(cur);
  for (auto& a : args) {
    size_t b = 0, e = a.size();
    while (b < e && a[b] == ' ') ++b;
    while (e > b && a[e - 1] == ' ') --e;
    a = a.substr(b, e - b);
  }
  return args;
}

}  // namespace

bool WinePrefix::ProgmanConnect() {
  Resolved r;
  progmanGroup_.clear();
  progmanConnected_ = Resolve(ProgramsFolder(), &r) && r.exists && IsDirectory(r.unixPath);
  return progmanConnected_ ? true : Fail("There is no Start Menu Programs folder in the prefix.");
}

std::vector<std::string> WinePrefix::ProgmanGroups() {
  std::vector<std::string> groups;
  std::vector<FindData> found;
  if (FindFiles(ProgramsFolder() + "\\*.*", &found))
    for (const auto& f : found)
      if (f.attributes & kAttrDirectory) groups.push_back(f.name);
  return groups;
}

bool WinePrefix::ProgmanGroupDescription(const std::string& group, std::string* text) {
  if (!PlainName(group)) return Fail("There is no group " + group + ".");
  std::string folder = ProgramsFolder() + "\\" + group;
  Resolved r;
  if (!Resolve(folder, &r) || !r.exists || !IsDirectory(r.unixPath)) return Fail("There is no group " + group + ".");
  std::string name = Utf8ToAnsi(LeafOf(r.unixPath));
  std::string out = "\"" + name + "\"";
  std::vector<FindData> items;
  if (FindFiles(folder + "\\*.lnk", &items)) {
    for (const auto& f : items) {
      if (f.attributes & kAttrDirectory) continue;
      ShellLinkInfo link;
      std::string cmd;
      if (ReadShellLink(folder + "\\" + f.name, &link))
        cmd = link.target + (link.arguments.empty() ? "" : " " + link.arguments);
      std::string item = f.name.substr(0, f.name.size() - 4);
      out += "\r\n\"" + item + "\",\"" + cmd + "\"";
    }
  }
  *text = out;
  return true;
}

bool WinePrefix::ProgmanExecute(const std::string& command) {
  if (!progmanConnected_) return Fail("Program Manager is not connected.");
  bool ok = true;
  size_t i = 0;
  bool any = false;
  while ((i = command.find('[', i)) != std::string::npos) {
    size_t open = command.find('(', i);
    size_t close = command.find(")]", i);
    if (open == std::string::npos || close == std::string::npos || open > close) return Fail("Bad Program Manager command.");
    std::string verb = command.substr(i + 1, open - i - 1);
    std::vector<std::string> args = DdeArguments(command.substr(open + 1, close - open - 1));
    i = close + 2;
    any = true;
    if (EqualNoCaseAnsi(verb, "ShowGroup")) {
      Resolved r;
      if (PlainName(args[0]) && Resolve(ProgramsFolder() + "\\" + args[0], &r) && r.exists && IsDirectory(r.unixPath)) {
        progmanGroup_ = args[0];
      } else {
        ok = Fail("There is no group " + args[0] + ".");
      }
    } else if (EqualNoCaseAnsi(verb, "DeleteItem")) {
      if (progmanGroup_.empty() || !PlainName(args[0])) {
        ok = Fail("There is no item " + args[0] + ".");
        continue;
      }
      ok = DeleteFile(ProgramsFolder() + "\\" + progmanGroup_ + "\\" + args[0] + ".lnk") && ok;
    } else if (EqualNoCaseAnsi(verb, "DeleteGroup")) {
      Resolved r;
      std::string folder = ProgramsFolder() + "\\" + args[0];
      if (!PlainName(args[0]) || !Resolve(folder, &r) || !r.exists || !IsDirectory(r.unixPath)) {
        ok = Fail("There is no group " + args[0] + ".");
        continue;
      }
      if (!CanChange() || !CheckChange("remove", r.windows, r.unixPath, false)) {
        ok = false;
        continue;
      }
      RemoveShadowsUnder(r.unixPath);
      if (!RemoveTree(r.unixPath)) ok = Fail("The group " + args[0] + " cannot be removed.");
      linksDeleted_ = true;
      if (EqualNoCaseAnsi(progmanGroup_, args[0])) progmanGroup_.clear();
    } else {
      ok = Fail("Program Manager does not know " + verb + ".");
    }
  }
  return any ? ok : Fail("Bad Program Manager command.");
}

void WinePrefix::ProgmanDisconnect() {
  progmanConnected_ = false;
  progmanGroup_.clear();
}

// ---------------------------------------------------------------------------------------
// Shell links

bool WinePrefix::CreateShellLink(const std::string& linkPath, const ShellLinkInfo& info) {
  if (!CanChange()) return false;
  char drive;
  std::vector<std::string> parts;
  if (!FullPath(linkPath, &drive, &parts) || parts.empty()) return Fail("Bad link path " + linkPath + ".");
  std::string folder = std::string(1, drive) + ":";
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    folder += "\\" + parts[i];
    if (!FileExists(folder) && !CreateDirectory(folder)) return false;
  }
  return WriteFile(linkPath, BuildShellLink(info));
}

bool WinePrefix::ReadShellLink(const std::string& linkPath, ShellLinkInfo* info) {
  std::vector<uint8_t> bytes;
  if (!ReadFile(linkPath, &bytes)) return false;
  if (!ParseShellLink(bytes, info)) return Fail(linkPath + " is not a shell link.");
  return true;
}

}  // namespace yarb
