// One text line per entry, so that whole lists compare in one expectation.
#pragma once

#include <string>
#include <vector>

#include "Entries.h"

namespace yarb::test {

inline std::string Visible(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\0' ? '|' : c;
  return out;
}

inline std::string DumpFile(char kind, const FileEntry& e) {
  std::string s = std::string(1, kind) + " " + e.path + " i" + std::to_string(e.installation) +
                  " s" + std::to_string(e.sharedInstallation) + "x" +
                  std::to_string(e.sharedCount);
  if (!e.backupPath.empty()) s += " b=" + e.backupPath + "@" + std::to_string(e.backupInstallation);
  if (!e.installAttributes.empty()) s += " a=" + e.installAttributes;
  if (e.linkInfo) s += " l=" + *e.linkInfo;
  if (e.selected) s += " sel";
  if (!e.defaultRemove) s += " keep";
  if (e.selfRegisterInstallation) s += " reg" + std::to_string(e.selfRegisterInstallation);
  if (e.deviceInstallation) s += " dev" + std::to_string(e.deviceInstallation);
  if (e.attributeInstallation) s += " at" + std::to_string(e.attributeInstallation);
  return s;
}

inline std::vector<std::string> Dump(const InstallLog& log) {
  std::vector<std::string> out;
  auto i = [](int n) { return " i" + std::to_string(n); };
  for (const auto& e : log.privateFiles) out.push_back(DumpFile('P', e));
  for (const auto& e : log.systemFiles) out.push_back(DumpFile('S', e));
  for (const auto& e : log.repairOnlyFiles)
    out.push_back("R " + e.path + i(e.installation) +
                  (e.installAttributes.empty() ? "" : " a=" + e.installAttributes) +
                  (e.linkInfo ? " l=" + *e.linkInfo : ""));
  for (const auto& e : log.directories)
    out.push_back("D " + e.path + " t" + std::to_string(e.treeInstallation) + " m" +
                  std::to_string(e.madeInstallation));
  for (const auto& e : log.iniFiles) out.push_back("F " + e.path + i(e.installation));
  for (const auto& e : log.iniItems)
    out.push_back("I " + e.iniPath + " [" + e.section + "] " + e.item + " " + e.firstOldValue +
                  "/" + e.latestOldValue + i(e.installation));
  for (const auto& e : log.regKeys)
    out.push_back("K " + std::to_string(e.rootIndex) + "(" + e.rootText + ") " + e.keyPath +
                  " '" + e.valueName + "'" + i(e.installation));
  for (const auto& e : log.regEdits)
    out.push_back("E " + std::to_string(e.rootIndex) + "(" + e.rootText + ") " + e.keyPath +
                  " '" + e.valueName + "' t" + std::to_string(e.typeIndex) + " " +
                  Visible(e.firstOldData) + " / " + Visible(e.latestOldData) + i(e.installation));
  for (const auto& e : log.regWrites)
    out.push_back(std::string("W ") + (e.changed ? "E" : "K") + std::to_string(e.entry) + " t" +
                  std::to_string(e.typeIndex) + " " + e.newData);
  for (const auto& e : log.regTrees)
    out.push_back("T " + std::to_string(e.rootIndex) + " " + e.keyPath + i(e.installation));
  for (const auto& e : log.icons)
    out.push_back("C " + e.group + "/" + e.name + "=" + e.commandLine + i(e.installation));
  for (const auto& e : log.programs)
    out.push_back("X " + e.path + " (" + e.displayName + ")" + i(e.installation));
  for (const auto& e : log.services) out.push_back("V " + e.name + i(e.installation));
  for (const auto& e : log.deletedBackups)
    out.push_back("DB " + e.path + " <- " + e.backupPath + i(e.installation));
  for (const auto& e : log.editedBackups)
    out.push_back("EB " + e.path + " <- " + e.backupPath + i(e.installation));
  if (log.subSystem.present) out.push_back("B " + log.subSystem.name);
  return out;
}

}  // namespace yarb::test
