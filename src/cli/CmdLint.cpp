// twk208-cli lint [FOLDER]: checks the resources of a folder (default: the
// program's own folder). Prints every problem as FILE:LINE: message.
#include <cstdio>

#include "app/Fatal.h"
#include "cli/Command.h"
#include "text/Lint.h"

namespace twk::cli {
namespace {

int RunLintCommand(const std::vector<std::string>& args) {
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: twk208-cli lint [FOLDER]\n");
    return kUsageExit;
  }
  std::string folder = args.empty() ? ProgramFolder() : args[0];
  LintReport report = RunLint(folder);
  auto problems = report.Problems();
  for (const auto& p : problems) std::printf("%s\n", p.Text().c_str());
  if (!problems.empty()) {
    std::fprintf(stderr, "lint: %zu problem(s) in %s\n", problems.size(), folder.c_str());
    return 1;
  }
  std::printf("lint: %s: resources are clean\n", folder.c_str());
  return 0;
}

Register reg({"lint", "lint [FOLDER]",
              "check the OVL resources of FOLDER (default: the program's folder)",
              RunLintCommand});

}  // namespace
}  // namespace twk::cli
