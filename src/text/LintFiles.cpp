#include "text/Lint.h"

namespace twk {

// Both resources must lie in the folder: the program stops at its first
// lookup in a missing one.
void LintFilesPresent(const LintInput& in, LintReport& report) {
  for (const OvlFile* f : {&in.main, &in.help}) {
    if (!f->present) report.Add(f->path, 0, "resource file is missing or cannot be read");
  }
}

}  // namespace twk
