#include "text/Lint.h"

namespace twk {
namespace {

bool IsDecimal(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

void CheckTable(const OvlFile& f, const std::string& key, bool numbered, LintReport& report) {
  const OvlSection* s = f.Find(key);
  if (!s) return;  // reported by LintRequiredKeys
  std::size_t end = f.EndOf(*s);
  for (std::size_t i = s->header + 1; i < end; ++i) {
    const OvlLine& l = f.lines[i];
    auto tab = l.text.find('\t');
    std::string where = "line of '" + key + "' ";
    if (tab == std::string::npos) {
      report.Add(f.path, l.number, where + "needs two fields separated by a TAB");
      continue;
    }
    std::string first = l.text.substr(0, tab), second = l.text.substr(tab + 1);
    if (second.find('\t') != std::string::npos) {
      report.Add(f.path, l.number, where + "has more than two fields");
      continue;
    }
    if (first.empty() || second.empty()) {
      report.Add(f.path, l.number, where + "has an empty field");
      continue;
    }
    if (numbered && !IsDecimal(second)) {
      report.Add(f.path, l.number, where + "has context number '" + second +
                                       "', which is not a decimal number");
    }
  }
  // The help readers stop only at a line holding "#" alone.
  if (end < f.lines.size() && f.lines[end].text != "#") {
    report.Add(f.path, f.lines[end].number,
               "table '" + key + "' must be ended by a line holding \"#\" alone");
  }
}

}  // namespace

// Topic table: cell label name, TAB, topic name. Context table: topic name,
// TAB, context number in decimal. Both ended by a "#" line.
void LintHelpTables(const LintInput& in, LintReport& report) {
  if (!in.help.present) return;
  CheckTable(in.help, "GI_AppItem_Topic_ID", false, report);
  CheckTable(in.help, "GI_AppItem_Context_ID", true, report);
}

}  // namespace twk
