#include "text/Lint.h"

#include <unordered_map>

namespace twk {

// The first section with a key wins; a later one with the same key is dead.
void LintShadowedKeys(const LintInput& in, LintReport& report) {
  for (const OvlFile* f : {&in.main, &in.help}) {
    std::unordered_map<std::string, int> firstLine;
    for (const OvlSection& s : f->sections) {
      if (!s.reachable) continue;
      int line = f->lines[s.header].number;
      auto [it, inserted] = firstLine.emplace(s.key, line);
      if (!inserted) {
        report.Add(f->path, line,
                   "section '" + s.key + "' is shadowed by the one at line " +
                       std::to_string(it->second) + " and is never read");
      }
    }
  }
}

}  // namespace twk
