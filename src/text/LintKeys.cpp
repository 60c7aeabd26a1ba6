#include "text/Lint.h"

#include <map>
#include <utility>

namespace twk {

// Every key the program asks for is found by a lookup and holds at least the
// lines the program reads.
void LintRequiredKeys(const LintInput& in, LintReport& report) {
  // One entry per key and file; a key listed twice needs the most lines.
  std::map<std::pair<int, std::string>, int> needed;
  for (const KeyUse& k : in.keys) {
    auto& lines = needed[{static_cast<int>(k.file), k.key}];
    lines = std::max(lines, k.minLines);
  }
  for (const auto& [fileAndKey, minLines] : needed) {
    const OvlFile& f = in.File(static_cast<ResourceFile>(fileAndKey.first));
    const std::string& key = fileAndKey.second;
    if (!f.present) continue;  // reported once by LintFilesPresent
    const OvlSection* s = f.Find(key);
    if (!s) {
      if (const OvlSection* late = f.FindUnreachable(key)) {
        report.Add(f.path, f.lines[late->header].number,
                   "key '" + key + "' comes after #End_Of_Ovl and is never found");
      } else {
        report.Add(f.path, f.TailLine(), "missing key '" + key + "'");
      }
      continue;
    }
    std::size_t end = f.EndOf(*s);
    if (end == f.lines.size()) continue;  // reported by LintSectionsEnded
    int count = static_cast<int>(end - s->header - 1);
    if (count < minLines) {
      report.Add(f.path, f.lines[s->header].number,
                 "section '" + key + "' has " + std::to_string(count) +
                     " line(s) but the program reads " + std::to_string(minLines));
    }
  }
}

// A reader stops at the first line beginning with "#"; a section that runs
// into the end of the file instead makes it a fatal stop.
void LintSectionsEnded(const LintInput& in, LintReport& report) {
  for (const OvlFile* f : {&in.main, &in.help}) {
    for (const OvlSection& s : f->sections) {
      if (!s.reachable || s.key == "End_Of_Ovl") continue;
      if (f->EndOf(s) == f->lines.size()) {
        report.Add(f->path, f->lines[s.header].number,
                   "section '" + s.key + "' is not ended by a \"#\" line before the end of the file");
      }
    }
  }
}

}  // namespace twk
