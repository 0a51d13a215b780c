#include "RunReport.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "Platform.h"
#include "TextRules.h"

namespace yarb {

namespace {

const char* Heading(ReportKind kind) {
  switch (kind) {
    case ReportKind::Removed: return "Removed";
    case ReportKind::Restored: return "Put back from a backup";
    case ReportKind::Kept: return "Kept";
    case ReportKind::Refused: return "Refused for safety";
    case ReportKind::Scheduled: return "Scheduled for the next start of the prefix";
    case ReportKind::Failed: return "Failed";
    case ReportKind::Note: return "Notes";
  }
  return "";
}

bool MakeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i != path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

void RunReport::Add(ReportKind kind, const std::string& item, const std::string& reason) {
  lines_.push_back({kind, item, reason});
}

int RunReport::Count(ReportKind kind) const {
  int n = 0;
  for (const ReportLine& l : lines_) n += l.kind == kind;
  return n;
}

bool RunReport::Has(ReportKind kind, const std::string& item) const {
  for (const ReportLine& l : lines_)
    if (l.kind == kind && EqualNoCase(l.item, item)) return true;
  return false;
}

std::string RunReport::Text(const std::string& title) const {
  std::string out = AnsiToUtf8(title) + "\n";
  for (ReportKind kind : {ReportKind::Note, ReportKind::Refused, ReportKind::Failed,
                          ReportKind::Scheduled, ReportKind::Kept, ReportKind::Restored,
                          ReportKind::Removed}) {
    const int n = Count(kind);
    if (n == 0) continue;
    out += "\n" + std::string(Heading(kind)) + " (" + std::to_string(n) + "):\n";
    for (const ReportLine& l : lines_) {
      if (l.kind != kind) continue;
      out += "  " + AnsiToUtf8(l.item);
      if (!l.reason.empty()) out += (l.item.empty() ? "" : " - ") + AnsiToUtf8(l.reason);
      out += "\n";
    }
  }
  if (lines_.empty()) out += "\nNothing was done.\n";
  return out;
}

std::string RunReportFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::string(data) + "/yarb-uninstall";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return std::string(home) + "/.local/share/yarb-uninstall";
  return {};
}

std::string WriteRunReport(const std::string& folder, const std::string& title,
                           const std::string& text) {
  if (folder.empty() || !MakeFolders(folder)) return {};
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&now, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  // The title comes from the log: only letters, digits and a few marks reach the file name.
  std::string name;
  for (char c : title) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || c == '-' ||
        c == '_')
      name.push_back(c);
    else if (c == ' ' && !name.empty() && name.back() != '-')
      name.push_back('-');
    if (name.size() >= 60) break;
  }
  if (name.empty()) name = "uninstall";
  for (int n = 0; n < 100; ++n) {
    const std::string path = folder + "/" + stamp + "-" + name +
                             (n ? "-" + std::to_string(n) : std::string()) + ".txt";
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) continue;
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return out ? path : std::string();
  }
  return {};
}

}  // namespace yarb
