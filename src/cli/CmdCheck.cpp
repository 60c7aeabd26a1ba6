// twk208-cli check FILE: opens a clone file with every check the editor
// applies and prints a one-line summary.
#include <cstdio>

#include "cli/CloneCli.h"
#include "cli/Command.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "file/CloneOpen.h"

namespace twk::cli {
namespace {

int RunCheck(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: twk208-cli check FILE\n");
    return kUsageExit;
  }
  EepromImage image;
  if (int code = OpenForCli(args[0], image)) return kCloneFileExitBase + code;

  ItemRecord rec(&image);
  int inUse[mem::kPlanCount] = {};
  for (int k = 0; k < mem::kPlanCount; ++k) {
    for (int slot = 0; slot < mem::kSlotCount; ++slot) {
      rec.Load(PlanKindOf(k), slot);
      if (!(rec.flags & ItemRecord::kFlagNotInUse)) ++inUse[k];
    }
  }
  int ids = 0;
  for (int i = 0; i < mem::kDscIdCount; ++i) {
    rec.Load(RecordKind::DscId, i);
    if (rec.valid) ++ids;
  }
  std::printf("%s: OK; channels in use: INT %d, USA %d, CANADA %d; DSC IDs: %d; comment: \"%s\"\n",
              args[0].c_str(), inUse[mem::kPlanInt], inUse[mem::kPlanUsa],
              inUse[mem::kPlanCanada], ids, CloneCommentOf(image).c_str());
  return 0;
}

Register reg({"check", "check FILE",
              "open a clone file with all checks; exit 20 + error code on failure", RunCheck});

}  // namespace
}  // namespace twk::cli
