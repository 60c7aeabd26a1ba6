// twk208-cli: the headless tool. Dispatches to the registered commands.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/Command.h"

namespace twk::cli {
std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace twk::cli

namespace {

void PrintHelp(FILE* out) {
  auto cmds = twk::cli::Commands();
  std::sort(cmds.begin(), cmds.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  std::fprintf(out, "twk208-cli %s: the TW-K208 memory editor without a window\n\n",
               TWK208_VERSION);
  std::fprintf(out, "usage: twk208-cli COMMAND [ARGS]\n\ncommands:\n");
  for (const auto& c : cmds) std::fprintf(out, "  %-40s %s\n", c.usage.c_str(), c.summary.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
      !std::strcmp(argv[1], "help")) {
    PrintHelp(argc < 2 ? stderr : stdout);
    return argc < 2 ? twk::cli::kUsageExit : 0;
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::printf("twk208-cli %s\n", TWK208_VERSION);
    return 0;
  }
  for (const auto& c : twk::cli::Commands()) {
    if (c.name == argv[1]) return c.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "twk208-cli: unknown command '%s' (try --help)\n", argv[1]);
  return twk::cli::kUsageExit;
}
