// twk208-cli write --port PORT [--maker] [--verify] FILE: Clone Write of a
// clone file, optionally read back and compared with what was sent.
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
  const bool verify = TakeFlag(args, "--verify");
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: twk208-cli write --port PORT [--maker] [--verify] FILE\n");
    return kUsageExit;
  }
  UseProgramResources();
  EepromImage tmpl;
  if (int rc = LoadTemplateForCli(tmpl)) return rc;
  EepromImage image;
  if (int code = OpenForCli(args[0], image)) return kCloneFileExitBase + code;
  NormalizeImage(image, tmpl, 0);
  // The editor's Clone Write gate: an image with errors is never sent.
  if (int rc = RefuseImageWithErrors(image)) return rc;
  job.mode = cmcCloneMode::Write;
  job.image = &image;
  const CloneOutcome out = RunClone(job);
  if (out.code != 0) return out.code;
  std::fprintf(stderr, "Wrote %s to the radio (%s)\n", args[0].c_str(),
               job.makerMode ? "0x000-0xFFF, maker mode" : "0x000-0xFEB");
  if (!verify) return 0;
  // Read the memory back and compare every byte that was sent.
  CloneJob readBack = job;
  readBack.mode = cmcCloneMode::Read;
  readBack.image = nullptr;
  const CloneOutcome back = RunClone(readBack);
  if (back.code != 0) {
    std::fprintf(stderr, "twk208-cli: the write went through, but reading it back failed\n");
    return back.code;
  }
  const int last = job.makerMode ? 0xFFF : 0xFEB;
  int differing = 0;
  for (int a = 0; a <= last; ++a) {
    if (image.GetByte(a) != back.image.GetByte(a)) {
      if (++differing <= 20)
        std::printf("%04X : %02X -> %02X\n", a, image.GetByte(a), back.image.GetByte(a));
    }
  }
  if (differing) {
    std::fprintf(stderr,
                 "twk208-cli: VERIFY FAILED: %d byte(s) read back differ from what was sent "
                 "(sent -> read); write again, and check the cable and the radio's power\n",
                 differing);
    return kVerifyFailedExit;
  }
  std::fprintf(stderr, "Verified: the radio holds every byte that was sent\n");
  return 0;
}

Register reg({"write", "write --port PORT [--maker] [--verify] FILE",
              "Clone Write: a clone file into the radio, --verify reads it back "
              "(exit: result code; 31 when the read-back differs)",
              RunWrite});

}  // namespace
}  // namespace twk::cli
