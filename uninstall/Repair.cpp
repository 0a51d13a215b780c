#include "Repair.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "Strings.h"
#include "Wizard.h"

namespace yarb {

namespace {

const char kChecking[] = "Checking:\r\n";

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

bool TwoDigits(const std::string& s, size_t at, int* value) {
  if (at + 1 >= s.size() || !std::isdigit(static_cast<unsigned char>(s[at])) ||
      !std::isdigit(static_cast<unsigned char>(s[at + 1])))
    return false;
  *value = (s[at] - '0') * 10 + (s[at + 1] - '0');
  return true;
}

std::string Trim(std::string s) {
  size_t a = 0;
  while (a < s.size() && s[a] == ' ') ++a;
  s.erase(0, a);
  if (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string Format3(const std::string& pattern, const std::string& a, const std::string& b,
                    const std::string& c) {
  return FormatText(pattern, a, b, c);
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t size) {
  const auto& t = CrcTable();
  for (size_t i = 0; i < size; ++i) crc = t[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint32_t Crc32(const std::vector<uint8_t>& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  constexpr size_t kBlock = 16384;
  for (size_t at = 0; at < bytes.size(); at += kBlock)
    crc = Crc32Update(crc, bytes.data() + at, std::min(kBlock, bytes.size() - at));
  return ~crc;
}

uint16_t DosDate(int year, int month, int day) {
  return static_cast<uint16_t>(day + month * 32 + (year - 1980) * 512);
}
uint16_t DosTime(int hour, int minute, int second) {
  return static_cast<uint16_t>(second / 2 + minute * 32 + hour * 2048);
}

bool ParseInstallStamp(const std::string& attributes, InstallStamp* stamp) {
  size_t lead = 0;
  while (lead < attributes.size() && attributes[lead] == ' ') ++lead;
  const std::string a = attributes.substr(lead);
  if (a.size() < 21) return false;
  int month, day, y1, y2, hour, minute, second;
  if (!TwoDigits(a, 0, &month) || !TwoDigits(a, 3, &day) || !TwoDigits(a, 6, &y1) ||
      !TwoDigits(a, 8, &y2) || !TwoDigits(a, 13, &hour) || !TwoDigits(a, 16, &minute) ||
      !TwoDigits(a, 19, &second))
    return false;
  const int year = y1 * 100 + y2;
  // Outside the DOS range the stamp cannot be compared with a file's time.
  if (year < 1980 || year > 2107 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
      minute > 59 || second > 59)
    return false;
  stamp->dosDate = DosDate(year, month, day);
  stamp->dosTime = DosTime(hour, minute, second);
  const size_t bar1 = a.find('|');
  const size_t bar2 = bar1 == std::string::npos ? bar1 : a.find('|', bar1 + 1);
  const size_t bar3 = bar2 == std::string::npos ? bar2 : a.find('|', bar2 + 1);
  stamp->size = bar2 == std::string::npos ? 0 : std::strtoull(a.c_str() + bar2 + 1, nullptr, 10);
  stamp->crc = bar3 == std::string::npos
                   ? 0
                   : static_cast<uint32_t>(std::strtoul(a.c_str() + bar3 + 1, nullptr, 16));
  stamp->rest = bar3 == std::string::npos ? std::string() : a.substr(bar3 + 1);
  std::string dt = a.substr(0, bar2 == std::string::npos ? a.size() : bar2);
  dt.erase(std::remove(dt.begin(), dt.end(), '|'), dt.end());
  stamp->dateText = dt;
  return true;
}

std::string ListFileLine(const std::string& path, const InstallStamp& stamp) {
  return path + "|" + std::to_string(stamp.dosDate) + "|" + std::to_string(stamp.dosTime) + "|" +
         stamp.rest + "\r\n";
}

std::string SourceStamp(const LocalTime& t, uint64_t size) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d | %02d:%02d:%02d | %ld", t.month, t.day, t.year,
                t.hour, t.minute, t.second, static_cast<long>(size));
  return buf;
}

RepairEngine::RepairEngine(Platform& platform, RepairUi& ui, InstallLog& log,
                           UninstallEngine& engine, std::string title)
    : platform_(platform), ui_(ui), log_(log), engine_(engine), title_(std::move(title)) {}

bool RepairEngine::Cancelled() {
  if (!cancelled_ && ui_.CancelRequested()) cancelled_ = true;
  return cancelled_;
}

bool RepairEngine::WaitForIdlePrefix() {
  while (platform_.ServerRunning()) {
    if (silent || ui_.AskOkCancel(ui_.LoadText(kStrPrefixBusy), ui_.LoadText(74)) != BoxAnswer::Ok) {
      engine_.Report().Add(ReportKind::Note, ui_.LoadText(kStrRepairBusyStopped));
      return false;
    }
  }
  return true;
}

void RepairEngine::Step(const std::string& path) {
  ui_.SetStatus(FitStatusText(kChecking, path, StatusItem::Path, ui_.StatusWidth()));
  ++done_;
  ui_.SetWalkProgress(std::min(done_, total_), total_);
  ui_.DispatchEvents(0);
}

RepairResult RepairEngine::PerformRepair() {
  engine_.repairRunning = true;
  for (auto& inst : log_.installations) inst.listFile.clear();
  if (!WaitForIdlePrefix()) return RepairResult::PrefixBusy;
  ui_.BeginWalk(FormatOne(ui_.LoadText(82), title_));
  total_ = static_cast<int>(log_.icons.size() + log_.services.size() + log_.regEdits.size() +
                            log_.regKeys.size() + log_.iniItems.size() + log_.iniFiles.size() +
                            log_.systemFiles.size() + log_.privateFiles.size());
  total_ = std::max(total_, 1);
  done_ = 0;
  ui_.SetWalkProgress(0, total_);

  // Files, each list from its end.
  for (auto* list : {&log_.systemFiles, &log_.privateFiles}) {
    for (auto it = list->rbegin(); it != list->rend(); ++it) {
      Step(it->path);
      if (it->linkInfo) RecreateShellLink(it->path, *it->linkInfo);
      else CheckFile(it->path, it->installAttributes,
                     it->attributeInstallation ? it->attributeInstallation : it->installation);
    }
  }
  for (auto it = log_.repairOnlyFiles.rbegin(); it != log_.repairOnlyFiles.rend(); ++it) {
    Step(it->path);
    if (it->linkInfo) RecreateShellLink(it->path, *it->linkInfo);
    else CheckFile(it->path, it->installAttributes, it->installation);
  }

  // Every logged registry write again, with its new data.
  for (const RegWriteEntry& w : log_.regWrites) {
    if (Cancelled()) break;
    if (w.changed) {
      if (w.entry >= log_.regEdits.size()) continue;
      const RegEditEntry& e = log_.regEdits[w.entry];
      engine_.RegisterValue(e.rootIndex, e.typeIndex, e.keyPath, e.valueName, w.newData, true);
    } else {
      if (w.entry >= log_.regKeys.size()) continue;
      const RegKeyEntry& e = log_.regKeys[w.entry];
      engine_.RegisterValue(e.rootIndex, w.typeIndex, e.keyPath, e.valueName, w.newData, true);
    }
  }

  // Self-registering files register again.
  for (auto* list : {&log_.privateFiles, &log_.systemFiles}) {
    for (const FileEntry& e : *list) {
      if (Cancelled()) break;
      if (!e.path.empty() && e.selfRegisterInstallation)
        engine_.SelfRegisterFile(kChecking, e.path, true);
    }
  }

  RepairResult result = cancelled_ ? RepairResult::Cancelled : RepairResult::Done;
  if (filesToRestore_ && !cancelled_ && !RunInstallers()) result = RepairResult::SourceRefused;
  // List files nobody could use (no source recorded, or the run ended early) are litter.
  for (auto& inst : log_.installations) {
    if (inst.listFile.empty()) continue;
    for (const auto& [file, path] : listed_)
      if (file == inst.listFile)
        engine_.Report().Add(ReportKind::Failed, path,
                             ui_.LoadText(result == RepairResult::SourceRefused ? kStrSourceCancelled
                                                                                : kStrNoSource));
    DropListFile(inst.listFile);
  }
  engine_.repairRunning = false;
  return result;
}

void RepairEngine::DropListFile(const std::string& listFile) {
  platform_.DeleteFile(listFile);
  for (auto& inst : log_.installations)
    if (inst.listFile == listFile) inst.listFile.clear();
  listed_.erase(std::remove_if(listed_.begin(), listed_.end(),
                               [&](const auto& p) { return p.first == listFile; }),
                listed_.end());
}

bool RepairEngine::RunInstallers() {
  for (int i = static_cast<int>(log_.installations.size()); i >= 1; --i) {
    LogInstallation& inst = log_.installations[i - 1];
    if (!inst.source || inst.listFile.empty()) continue;
    const std::string& text = *inst.source;
    const size_t bar = text.find('|');
    if (bar == std::string::npos) continue;
    std::string path = text.substr(0, bar);
    if (!path.empty() && path.back() == ' ') path.pop_back();
    std::string stamp = text.substr(bar + 1);
    while (!stamp.empty() && stamp.front() == ' ') stamp.erase(0, 1);
    while (!stamp.empty() && (stamp.back() == ' ' || stamp.back() == '\r')) stamp.pop_back();

    for (;;) {
      uint64_t size = 0;
      LocalTime t;
      if (!path.empty() && platform_.FileExists(path) && platform_.GetFileInfo(path, &size, &t) &&
          SourceStamp(t, size) == stamp) {
        const std::string listFile = inst.listFile;
        uint32_t code = 0;
        const StartResult r =
            platform_.StartProcess("\"" + path + "\" /X=" + listFile, "", true, &code);
        ++installerRuns_;
        for (const auto& [file, item] : listed_)
          if (file == listFile)
            engine_.Report().Add(r == StartResult::Started ? ReportKind::Restored : ReportKind::Failed,
                                 item, r == StartResult::Started ? "re-extracted by " + path
                                                                 : platform_.LastError());
        DropListFile(listFile);
        // Every installation of this source is served by the run.
        for (auto& other : log_.installations)
          if (other.source && EqualNoCase(*other.source, text)) other.source.reset();
        break;
      }
      std::string shown = stamp;
      std::replace(shown.begin(), shown.end(), '|', '/');
      std::string entered = path;
      if (silent || !ui_.AskSourcePath(ui_.LoadText(78), FormatOne(ui_.LoadText(79), shown), &entered))
        return false;
      if (entered.size() > kTextChars) entered.resize(kTextChars);
      path = Trim(entered);
    }
  }
  return true;
}

bool RepairEngine::NewerFileReplaced(const std::string& path, const InstallStamp& stamp,
                                     const LocalTime& t) {
  if (engine_.yesToAll) return true;
  if (silent || engine_.noToAll) return false;
  char own[64];
  std::snprintf(own, sizeof own, " %02d-%02d-%04d  %02d:%02d:%02d ", t.month, t.day, t.year, t.hour,
                t.minute, t.second);
  const std::string text = Format3(ui_.LoadText(77), path, stamp.dateText, own);
  switch (ui_.AskSharedFile(text, ui_.LoadText(kStrRepairNewer))) {
    case SharedAnswer::Yes: return true;
    case SharedAnswer::YesToAll: engine_.yesToAll = true; return true;
    case SharedAnswer::NoToAll: engine_.noToAll = true; return false;
    case SharedAnswer::No: return false;
  }
  return false;
}

void RepairEngine::CheckFile(const std::string& path, const std::string& attributes,
                             int installation) {
  InstallStamp stamp;
  if (path.empty() || !ParseInstallStamp(attributes, &stamp)) return;
  if (log_.installations.empty()) return;
  installation = std::clamp(installation, 1, static_cast<int>(log_.installations.size()));

  bool restore = true;
  std::vector<uint8_t> bytes;
  uint64_t size = 0;
  LocalTime t;
  if (platform_.FileExists(path) && platform_.GetFileInfo(path, &size, &t) &&
      platform_.ReadFile(path, &bytes)) {
    const uint16_t date = DosDate(t.year, t.month, t.day);
    const uint16_t time = DosTime(t.hour, t.minute, t.second);
    const bool newer = date > stamp.dosDate || (date == stamp.dosDate && time > stamp.dosTime);
    const bool older = date < stamp.dosDate || (date == stamp.dosDate && time < stamp.dosTime);
    if (newer) {
      restore = NewerFileReplaced(path, stamp, t);
      if (!restore) engine_.Report().Add(ReportKind::Kept, path, "newer than the installed file");
    } else if (!older) {
      restore = bytes.size() != stamp.size || Crc32(bytes) != stamp.crc;
    }
  }
  if (!restore) return;

  LogInstallation& inst = log_.installations[installation - 1];
  if (inst.listFile.empty()) {
    for (const auto& other : log_.installations)
      if (&other != &inst && !other.listFile.empty() && other.source && inst.source &&
          EqualNoCase(*other.source, *inst.source)) {
        inst.listFile = other.listFile;
        break;
      }
  }
  if (inst.listFile.empty() &&
      !platform_.GetTempFileName(platform_.TempDirectory(), "QZW", 0, &inst.listFile)) {
    inst.listFile.clear();
    engine_.Report().Add(ReportKind::Failed, path, platform_.LastError());
    return;
  }
  const std::string line = ListFileLine(path, stamp);
  if (!platform_.AppendFile(inst.listFile, std::vector<uint8_t>(line.begin(), line.end()))) {
    engine_.Report().Add(ReportKind::Failed, path, platform_.LastError());
    return;
  }
  listed_.emplace_back(inst.listFile, path);
  filesToRestore_ = true;
}

void RepairEngine::RecreateShellLink(const std::string& linkPath, const std::string& linkInfo) {
  std::vector<std::string> f;
  size_t at = 0;
  while (f.size() < 7) {
    const size_t bar = linkInfo.find('|', at);
    f.push_back(Trim(linkInfo.substr(at, bar == std::string::npos ? std::string::npos : bar - at)));
    if (bar == std::string::npos) break;
    at = bar + 1;
  }
  f.resize(7);
  ShellLinkInfo info;
  info.target = f[0];
  info.workingDir = f[1];
  info.iconFile = f[2];
  info.iconIndex = std::atoi(f[3].c_str());
  info.showCmd = std::atoi(f[4].c_str()) & 7;
  const int hot = std::atoi(f[5].c_str());
  info.hotKey = (hot & 0xFF) ? static_cast<uint16_t>(hot) : 0;
  info.arguments = f[6];
  if (info.target.empty()) return;
  if (platform_.CreateShellLink(linkPath, info))
    engine_.Report().Add(ReportKind::Restored, linkPath, "shortcut made again");
}

std::string RepairKeyFor(const std::string& longLogPath) {
  std::string p = longLogPath;
  std::replace(p.begin(), p.end(), '\\', '/');
  return "Software\\Yarb Solutions\\Yarb Installation System\\Repair\\" + p;
}

bool RepairChecksHold(Platform& platform, const std::string& key) {
  std::string name;
  RegValue value;
  for (uint32_t i = 0; platform.RegEnumValue(RegRoot::LocalMachine, key, i, &name, &value); ++i) {
    if (value.type == kRegSz) {
      size_t at = 0;
      int root = 0;
      while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])) && root < 1000)
        root = root * 10 + (name[at++] - '0');
      if (at < name.size() && name[at] == '\\') ++at;
      const size_t sep = name.find("\\\\", at);
      if (sep == std::string::npos) continue;
      if (root < 0 || root > 4) return false;
      const RegRoot r = static_cast<RegRoot>(root);
      const std::string sub = name.substr(at, sep - at);
      if (!platform.RegKeyExists(r, sub)) return false;
      const std::string valueName = name.substr(sep + 2);
      RegValue v;
      if (!valueName.empty() && !platform.RegQueryValue(r, sub, valueName, &v)) return false;
    } else if (value.type == kRegDword) {
      if (!platform.FileExists(name)) return false;
    }
  }
  return true;
}

LaunchDecision LaunchCheck(Platform& platform, UninstallUi& ui, int launchIndex,
                           const std::string& longLogPath) {
  const std::string key = RepairKeyFor(longLogPath);
  if (!platform.RegKeyExists(RegRoot::LocalMachine, key)) return LaunchDecision::End;
  if (!RepairChecksHold(platform, key)) {
    switch (ui.AskYesNoCancel(ui.LoadText(81), ui.LoadText(74))) {
      case BoxAnswer::Yes: return LaunchDecision::Repair;
      case BoxAnswer::No: break;
      default: {
        // No later check finds anything: every value goes (the subkeys stay for launching).
        std::vector<std::string> names;
        std::string name;
        RegValue v;
        for (uint32_t i = 0; platform.RegEnumValue(RegRoot::LocalMachine, key, i, &name, &v); ++i)
          names.push_back(name);
        for (const auto& n : names) platform.RegDeleteValue(RegRoot::LocalMachine, key, n);
        platform.Flush();
        break;
      }
    }
  }
  LaunchApplication(platform, ui, key, launchIndex);
  return LaunchDecision::Launched;
}

void LaunchApplication(Platform& platform, UninstallUi& ui, const std::string& repairKey,
                       int launchIndex) {
  const std::string sub = repairKey + "\\Icons\\" + std::to_string(launchIndex);
  auto read = [&](const char* name) {
    RegValue v;
    return platform.RegQueryValue(RegRoot::LocalMachine, sub, name, &v) ? v.AsString() : std::string();
  };
  const std::string path = read("Path");
  const std::string args = read("Arguments");
  const std::string dir = read("WorkingDir");
  if (path.empty()) {
    ui.ShowMessage("The application to start is not registered.", sub);
    return;
  }
  std::string command = "\"" + path + "\"";
  if (!args.empty()) command += " " + args;
  uint32_t code = 0;
  if (platform.StartProcess(command, dir, false, &code) != StartResult::Started)
    ui.ShowMessage(platform.LastError(), path);
}

}  // namespace yarb
