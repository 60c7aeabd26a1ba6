// twk208-cli read --port PORT --out FILE: Clone Read into a clone file.
#include <cstdio>

#include "app/Dialogs.h"
#include "app/Fatal.h"
#include "cli/CloneCli.h"
#include "cli/CloneRun.h"
#include "cli/Command.h"
#include "file/CloneOpen.h"

namespace twk::cli {
namespace {

int RunRead(const std::vector<std::string>& argv) {
  std::vector<std::string> args = argv;
  CloneJob job;
  std::string outPath;
  if (!TakePortOption(args, &job.portArg) || !TakeOption(args, "--out", &outPath) || !args.empty()) {
    std::fprintf(stderr, "usage: twk208-cli read --port PORT --out FILE\n");
    return kUsageExit;
  }
  UseProgramResources();
  EepromImage tmpl;
  if (int rc = LoadTemplateForCli(tmpl)) return rc;
  job.mode = cmcCloneMode::Read;
  const CloneOutcome out = RunClone(job);
  if (out.code != 0) return out.code;
  cmcCloneResult result;
  result.image.Assign(out.image);
  EepromImage document(EepromImage::kModelSize);
  ApplyReadResult(result, document, tmpl);
  StderrDialogs dialogs;
  if (int code = SaveCloneDocument(outPath, document, tmpl, &dialogs))
    return kCloneFileExitBase + code;
  std::fprintf(stderr, "Read %d bytes from the radio into %s\n", EepromImage::kClonedSize,
               outPath.c_str());
  return 0;
}

Register reg({"read", "read --port PORT --out FILE",
              "Clone Read: the radio's memory into a clone file (exit: result code)", RunRead});

}  // namespace
}  // namespace twk::cli
