// twk208-cli text [--folder DIR] [--help-resource] KEY [LINE]: prints line
// LINE of section KEY, or the whole section text, read through the text
// store exactly as the editor reads it. A missing key is the editor's fatal
// stop: the text on stderr and exit status 3.
#include <cstdio>
#include <cstdlib>

#include "app/Fatal.h"
#include "cli/Command.h"
#include "text/TextStore.h"

namespace twk::cli {
namespace {

constexpr const char* kUsage = "text [--folder DIR] [--help-resource] KEY [LINE]";

int Usage() {
  std::fprintf(stderr, "usage: twk208-cli %s\n", kUsage);
  return kUsageExit;
}

int RunTextCommand(const std::vector<std::string>& args) {
  std::string folder = ProgramFolder();
  bool help = false;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--folder") {
      if (++i == args.size()) return Usage();
      folder = args[i];
      if (!folder.empty() && folder.back() != '/') folder += '/';
    } else if (args[i] == "--help-resource") {
      help = true;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.empty() || rest.size() > 2) return Usage();
  int line = -1;
  if (rest.size() == 2) {
    char* end = nullptr;
    long n = std::strtol(rest[1].c_str(), &end, 10);
    if (rest[1].empty() || *end || n < 0 || n > 1000000) return Usage();
    line = static_cast<int>(n);
  }
  TextStore store;
  store.SetFile(help ? HelpResourceName(folder, kShortCode) : MainResourceName(folder, kShortCode));
  std::string text = line < 0 ? store.GetSectionText(rest[0]) : store.GetLine(rest[0], line);
  std::printf("%s\n", text.c_str());
  return 0;
}

Register reg({"text", kUsage, "print a line or the whole text of a resource section",
              RunTextCommand});

}  // namespace
}  // namespace twk::cli
