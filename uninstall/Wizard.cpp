#include "Wizard.h"

#include <utility>

#include "Strings.h"

namespace yarb {

namespace {
struct PageTexts {
  int title, text1, text2;
};
// Title and texts of the list pages 1-10 (0: none).
constexpr PageTexts kListPages[] = {
    {5, 6, 0},   {8, 9, 0},   {11, 12, 0}, {14, 15, 0}, {17, 18, 0},
    {20, 21, 0}, {54, 55, 0}, {23, 24, 0}, {26, 27, 0}, {42, 41, 0},
};

// Registry data up to its first NUL, at most 255 characters.
std::string FirstString(const std::string& data) {
  std::string s = data.substr(0, data.find('\0'));
  if (s.size() > kTextChars) s.resize(kTextChars);
  return s;
}

template <class List>
std::vector<bool> SelectedOf(const List& list) {
  std::vector<bool> out;
  for (const auto& e : list) out.push_back(e.selected);
  return out;
}
template <class List>
void SetSelected(List& list, const std::vector<bool>& sel, size_t* at) {
  for (auto& e : list) {
    if (*at < sel.size()) e.selected = sel[*at];
    ++*at;
  }
}
}  // namespace

std::string FormatOne(const std::string& pattern, const std::string& value) {
  const size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + value + pattern.substr(at + 2);
}

WizardFlow::WizardFlow(InstallLog& log, std::function<std::string(int)> text, std::string title)
    : log_(log), text_(std::move(text)), title_(std::move(title)) {}

int WizardFlow::StartPage() {
  if (automatic || confirmOnly) {
    mode = confirmOnly && launchIndex ? kModeRepair : kModeAutomatic;
    return kPageConfirm;
  }
  return kPageMethod;
}

bool WizardFlow::HasItems(int page) const {
  switch (page) {
    case 1: return !log_.privateFiles.empty();
    case 2: return !log_.systemFiles.empty();
    case 3: return !log_.directories.empty();
    case 4: return !log_.iniFiles.empty();
    case 5: return !log_.iniItems.empty();
    case 6: return !log_.regKeys.empty();
    case 7: return !log_.regTrees.empty();
    case 8: return !log_.regEdits.empty();
    case 9: return !log_.icons.empty();
    case 10:
      return log_.subSystem.present || !log_.programs.empty() || !log_.services.empty();
    default: return false;
  }
}

int WizardFlow::NextPage(int from, bool forward) const {
  const bool rollbackOffered = log_.header.backupsExist && EffectiveMode() == kModeAutomatic;
  if (EffectiveMode() != kModeCustom) {
    if (forward) {
      if (from == kPageMethod) return rollbackOffered ? kPageRollback : kPageConfirm;
      if (from == kPageRollback) return kPageConfirm;
      return from;
    }
    if (from == kPageConfirm) return rollbackOffered ? kPageRollback : kPageMethod;
    if (from == kPageRollback) return kPageMethod;
    return kPageMethod;
  }
  if (forward) {
    if (from >= kPageConfirm) return kPageConfirm;
    for (int p = from + 1; p <= kPageSubSystems; ++p)
      if (HasItems(p)) return p;
    return kPageConfirm;
  }
  // Custom never shows the rollback page; back from it (or from 11) walks the lists down.
  int p = from >= kPageConfirm ? kPageConfirm : from;
  for (--p; p > kPageMethod; --p)
    if (HasItems(p)) return p;
  return kPageMethod;
}

std::vector<std::string> WizardFlow::Items(int page) const {
  std::vector<std::string> out;
  switch (page) {
    case 1:
      for (const auto& e : log_.privateFiles) out.push_back(e.path);
      break;
    case 2:
      for (const auto& e : log_.systemFiles) out.push_back(e.path);
      break;
    case 3:
      for (const auto& e : log_.directories) {
        std::string p = e.path;
        if (!p.empty() && p.back() == '\\') p.pop_back();
        out.push_back(p);
      }
      break;
    case 4:
      for (const auto& e : log_.iniFiles) out.push_back(e.path);
      break;
    case 5:
      for (const auto& e : log_.iniItems)
        out.push_back(e.iniPath + ": [" + e.section + "] " + e.item + "=" + e.firstOldValue);
      break;
    case 6:
      for (const auto& e : log_.regKeys)
        out.push_back(e.valueName.empty() ? e.keyPath : e.keyPath + " Value Name: " + e.valueName);
      break;
    case 7:
      for (const auto& e : log_.regTrees) out.push_back(e.keyPath);
      break;
    case 8:
      for (const auto& e : log_.regEdits)
        out.push_back(e.valueName.empty()
                          ? e.keyPath + "=" + FirstString(e.firstOldData)
                          : e.keyPath + " Value Name: " + e.valueName + "=" + FirstString(e.firstOldData));
      break;
    case 9:
      for (const auto& e : log_.icons) out.push_back(e.name);
      break;
    case 10:
      if (log_.subSystem.present) out.push_back(log_.subSystem.name);
      for (const auto& e : log_.programs) out.push_back(e.displayName.empty() ? e.path : e.displayName);
      for (const auto& e : log_.services) out.push_back(e.name);
      break;
    default: break;
  }
  return out;
}

std::vector<bool> WizardFlow::Selection(int page) const {
  switch (page) {
    case 1: return SelectedOf(log_.privateFiles);
    case 2: return SelectedOf(log_.systemFiles);
    case 3: return SelectedOf(log_.directories);
    case 4: return SelectedOf(log_.iniFiles);
    case 5: return SelectedOf(log_.iniItems);
    case 6: return SelectedOf(log_.regKeys);
    case 7: return SelectedOf(log_.regTrees);
    case 8: return SelectedOf(log_.regEdits);
    case 9: return SelectedOf(log_.icons);
    case 10: {
      std::vector<bool> out;
      if (log_.subSystem.present) out.push_back(log_.subSystem.selected);
      for (bool b : SelectedOf(log_.programs)) out.push_back(b);
      for (bool b : SelectedOf(log_.services)) out.push_back(b);
      return out;
    }
    default: return {};
  }
}

void WizardFlow::Leave(int page, int checkedRadio, const std::vector<bool>& sel) {
  size_t at = 0;
  switch (page) {
    case kPageMethod:
      mode = checkedRadio == kModeAutomatic ? kModeAutomatic
             : checkedRadio == kModeRepair  ? kModeRepair
                                            : kModeCustom;
      if (mode == kModeCustom) rollback = false;
      break;
    case kPageRollback: rollback = checkedRadio == kRadioYes; break;
    case 1: SetSelected(log_.privateFiles, sel, &at); break;
    case 2: SetSelected(log_.systemFiles, sel, &at); break;
    case 3: SetSelected(log_.directories, sel, &at); break;
    case 4: SetSelected(log_.iniFiles, sel, &at); break;
    case 5: SetSelected(log_.iniItems, sel, &at); break;
    case 6: SetSelected(log_.regKeys, sel, &at); break;
    case 7: SetSelected(log_.regTrees, sel, &at); break;
    case 8: SetSelected(log_.regEdits, sel, &at); break;
    case 9: SetSelected(log_.icons, sel, &at); break;
    case 10:
      if (log_.subSystem.present) {
        if (at < sel.size()) log_.subSystem.selected = sel[at];
        ++at;
      }
      SetSelected(log_.programs, sel, &at);
      SetSelected(log_.services, sel, &at);
      break;
    default: break;
  }
}

PageView WizardFlow::View(int page) const {
  PageView v;
  v.page = page;
  v.nextText = Text(46);
  v.backText = Text(47);
  v.cancelText = Text(48);
  v.selectAllText = Text(49);
  v.selectNoneText = Text(50);
  if (page >= 1 && page <= kPageSubSystems) {
    const PageTexts& t = kListPages[page - 1];
    v.title = Text(t.title);
    v.text1 = Text(t.text1);
    v.isList = true;
    v.items = Items(page);
    v.selected = Selection(page);
    return v;
  }
  if (page == kPageMethod) {
    v.title = Text(16);
    v.text1 = FormatOne(Text(7), title_);
    v.text2 = Text(10);
    v.backEnabled = false;
    const int m = EffectiveMode();
    v.radios = {{kModeAutomatic, Text(60), true, m == kModeAutomatic},
                {kModeCustom, Text(61), true, m == kModeCustom},
                {kModeRepair, Text(72), log_.header.repairAvailable, m == kModeRepair}};
    if (!log_.header.repairAvailable && m == kModeRepair) v.radios[0].checked = true;
    return v;
  }
  if (page == kPageRollback) {
    v.title = Text(64);
    v.text1 = Text(65);
    v.text2 = Text(66);
    const bool yes = rollback && launchIndex == 0;
    v.radios = {{kRadioYes, Text(51), true, yes}, {kRadioNo, Text(52), true, !yes}};
    return v;
  }
  // The confirmation page.
  const bool repair = EffectiveMode() == kModeRepair;
  v.title = Text(repair ? 74 : 19);
  v.text1 = FormatOne(Text(repair ? 73 : 13), title_);
  v.text2 = Text(repair ? 75 : 22);
  if (serverRunning) v.text2 += "\r\n\r\n" + Text(kStrPrefixBusyNotice);
  v.nextText = Text(63);
  if (confirmOnly) v.backEnabled = false;
  if (automatic) {
    v.backVisible = false;
    v.nextVisible = false;
  }
  return v;
}

}  // namespace yarb
