// twk208-cli validate FILE: the editor's check list over a clone file. One
// line per failing check (its sheet's title, ERROR or WARNING, the marked
// rows), then advice on MMSIs of group call or coast station form. Exit 30
// when there is an error.
#include <cstdio>

#include "cli/Command.h"
#include "cli/SheetCli.h"
#include "data/ValidationReport.h"

namespace twk::cli {
namespace {

int RunValidate(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: twk208-cli validate FILE\n");
    return kUsageExit;
  }
  EepromImage image, tmpl;
  if (int rc = OpenDocumentForCli(args[0], image, tmpl)) return rc;
  const int rc = ReportValidation(image, stdout, true);
  std::fflush(stdout);
  if (rc == 0) std::fprintf(stderr, "%s: no errors\n", args[0].c_str());
  return rc;
}

Register reg({"validate", "validate FILE",
              "run the editor's checks over a clone file (exit 30 on an error)", RunValidate});

}  // namespace
}  // namespace twk::cli
