// twk208-cli info --port PORT: the identification the connected radio reports.
#include <cstdio>

#include "cli/CloneRun.h"
#include "cli/Command.h"
#include "text/TextStore.h"

namespace twk::cli {
namespace {

int RunInfo(const std::vector<std::string>& argv) {
  std::vector<std::string> args = argv;
  CloneJob job;
  if (!TakePortOption(args, &job.portArg) || !args.empty()) {
    std::fprintf(stderr, "usage: twk208-cli info --port PORT\n");
    return kUsageExit;
  }
  job.mode = cmcCloneMode::Identify;
  const CloneOutcome out = RunClone(job);
  if (out.code != 0) return out.code;
  const CloneInfo& info = out.info;
  std::string model = "model index " + std::to_string(info.ModelIndex());
  if (MainText().HasKey("GI_AppInd_Model")) {
    const std::string name = MainText().GetSectionText("GI_AppInd_Model");
    // line m of the model names
    int line = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
      if (i == name.size() || name[i] == '\n') {
        if (line == info.ModelIndex()) {
          model = name.substr(start, i - start);
          break;
        }
        ++line;
        start = i + 1;
      }
    }
  }
  std::printf("Model code: %04X %04X\n", info.modelCode, info.secondCode);
  std::printf("Model: %s\n", model.c_str());
  std::printf("Revision: %d.%d\n", info.Revision() >> 4, info.Revision() & 15);
  std::printf("Comment: %s\n", info.Comment().c_str());
  return 0;
}

Register reg({"info", "info --port PORT",
              "show the identification of the radio on PORT (1-256 or a device)", RunInfo});

}  // namespace
}  // namespace twk::cli
