// twk208-cli write --port PORT [--maker] FILE: Clone Write of a clone file.
#include <cstdio>

#include "app/Dialogs.h"
#include "app/Fatal.h"
#include "cli/CloneCli.h"
#include "cli/CloneRun.h"
#include "cli/Command.h"
#include "cli/SheetCli.h"
#include "data/Normalize.h"
#include "file/CloneOpen.h"

namespace twk::cli {
namespace {

int RunWrite(const std::vector<std::string>& argv) {
  std::vector<std::string> args = argv;
  CloneJob job;
  if (!TakePortOption(args, &job.portArg)) args.clear(), args.push_back("");
  job.makerMode = TakeFlag(args, "--maker");
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: twk208-cli write --port PORT [--maker] FILE\n");
    return kUsageExit;
  }
  UseProgramResources();
  StderrDialogs dialogs;
  EepromImage tmpl;
  if (int code = LoadTemplateImage(InitialFilePath(ProgramFolder(), 0), tmpl, &dialogs)) {
    std::fprintf(stderr, "twk208-cli: the model's initial file cannot be used (code %d)\n", code);
    return kCloneFileExitBase + code;
  }
  EepromImage image;
  if (int code = OpenForCli(args[0], image)) return kCloneFileExitBase + code;
  NormalizeImage(image, tmpl, 0);
  // The editor's Clone Write gate: an image with errors is never sent.
  if (int rc = RefuseImageWithErrors(image)) return rc;
  job.mode = cmcCloneMode::Write;
  job.image = &image;
  const CloneOutcome out = RunClone(job);
  if (out.code == 0)
    std::fprintf(stderr, "Wrote %s to the radio (%s)\n", args[0].c_str(),
                 job.makerMode ? "0x000-0xFFF, maker mode" : "0x000-0xFEB");
  return out.code;
}

Register reg({"write", "write --port PORT [--maker] FILE",
              "Clone Write: a clone file into the radio (exit: result code)", RunWrite});

}  // namespace
}  // namespace twk::cli
