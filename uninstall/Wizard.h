// The wizard's pages without their windows: what each page shows, which page follows in
// each mode, and what leaving a page sets (the mode, the rollback flag, the entries'
// selected flags). The window layer shows a PageView and hands back its controls' state.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Entries.h"

namespace yarb {

// The method page's radio buttons; the ids are the modes.
constexpr int kModeUnset = 0;
constexpr int kModeAutomatic = 1000;
constexpr int kModeCustom = 1001;
constexpr int kModeRepair = 1009;
constexpr int kRadioYes = 1000;  // the rollback page's buttons
constexpr int kRadioNo = 1001;

constexpr int kPageMethod = 0;
constexpr int kPageSubSystems = 10;
constexpr int kPageConfirm = 11;
constexpr int kPageRollback = 12;

struct RadioView {
  int id = 0;
  std::string text;
  bool visible = true;
  bool checked = false;
};

struct PageView {
  int page = 0;
  std::string title, text1, text2;
  bool isList = false;
  std::vector<std::string> items;
  std::vector<bool> selected;
  std::vector<RadioView> radios;  // empty: none shown
  std::string nextText, backText, cancelText, selectAllText, selectNoneText;
  bool backEnabled = true;
  bool backVisible = true;
  bool nextVisible = true;
};

class WizardFlow {
 public:
  // `text` looks a string id up (with the language overrides); `title` is the product's title.
  WizardFlow(InstallLog& log, std::function<std::string(int)> text, std::string title);

  int mode = kModeUnset;
  bool rollback = false;   // "/R" presets it
  int launchIndex = 0;
  bool automatic = false;  // "/A", "/S": confirmation page without Back and Finish
  bool confirmOnly = false;  // "/U": confirmation page with Back disabled
  bool serverRunning = false;  // a wineserver holds the prefix: the confirmation page says so

  // The page the wizard opens on (0, or 11 for "/A" and "/U"); sets the mode those imply.
  int StartPage();
  // The mode the run uses (unset counts as Automatic).
  int EffectiveMode() const { return mode == kModeUnset ? kModeAutomatic : mode; }
  // The page after `from` walking forward or back.
  int NextPage(int from, bool forward) const;
  // True when list page `page` (1-10) has something to show.
  bool HasItems(int page) const;

  PageView View(int page) const;
  // Reads the controls of the page being left: the checked radio id (0: none) and, on a list
  // page, the selection of every item.
  void Leave(int page, int checkedRadio, const std::vector<bool>& selection);

  std::vector<std::string> Items(int page) const;
  std::vector<bool> Selection(int page) const;

 private:
  std::string Text(int id) const { return text_(id); }
  InstallLog& log_;
  std::function<std::string(int)> text_;
  std::string title_;
};

// "%s" of `pattern` replaced by `value` (the first one only).
std::string FormatOne(const std::string& pattern, const std::string& value);

}  // namespace yarb
