// What one uninstall run did, item by item, for the user to read afterwards: what was
// removed or put back, what stayed and why, what was refused for safety, what waits for the
// next start of the prefix, and what failed. The wizard shows it at the end; WriteRunReport
// keeps it in the user's data folder.
#pragma once

#include <string>
#include <vector>

namespace yarb {

enum class ReportKind {
  Removed,    // deleted, unregistered, changed back
  Restored,   // a backup put back in place
  Kept,       // left on purpose: still shared, answered No, holds unknown files, ...
  Refused,    // not touched because that would be unsafe (protected folder, outside the prefix)
  Scheduled,  // deletion or replacement waits for the next start of the prefix
  Failed,     // tried and could not be done
  Note,       // a remark about the whole run
};

struct ReportLine {
  ReportKind kind;
  std::string item;    // a path, key or name (ANSI, as the log has it)
  std::string reason;  // empty, or why
};

class RunReport {
 public:
  void Add(ReportKind kind, const std::string& item, const std::string& reason = {});
  const std::vector<ReportLine>& Lines() const { return lines_; }
  int Count(ReportKind kind) const;
  // True when `item` appears with `kind` (case-insensitive item compare).
  bool Has(ReportKind kind, const std::string& item) const;
  // The report as UTF-8 text: a title, then one section per kind that has lines.
  std::string Text(const std::string& title) const;

 private:
  std::vector<ReportLine> lines_;
};

// The folder reports go to: $XDG_DATA_HOME/yarb-uninstall, else ~/.local/share/yarb-uninstall.
std::string RunReportFolder();
// Writes `text` to a new file "<stamp>-<title>.txt" in `folder` (made when missing); returns
// the file's path, or empty when it could not be written.
std::string WriteRunReport(const std::string& folder, const std::string& title,
                           const std::string& text);

}  // namespace yarb
