// twk208-cli diff A B: opens two clone files and lists every byte that
// differs, in ascending address order.
#include <cstdio>

#include "cli/CloneCli.h"
#include "cli/Command.h"
#include "data/MemoryMap.h"

namespace twk::cli {
namespace {

int RunDiff(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: twk208-cli diff A B\n");
    return kUsageExit;
  }
  EepromImage a, b;
  if (int code = OpenForCli(args[0], a)) return kCloneFileExitBase + code;
  if (int code = OpenForCli(args[1], b)) return kCloneFileExitBase + code;
  int differences = 0;
  for (int address = mem::kClonedFirst; address <= mem::kClonedLast; ++address) {
    const int x = a.GetByte(address), y = b.GetByte(address);
    if (x == y) continue;
    std::printf("%04X : %02X -> %02X\n", static_cast<unsigned>(address), static_cast<unsigned>(x),
                static_cast<unsigned>(y));
    ++differences;
  }
  return differences ? 1 : 0;
}

Register reg({"diff", "diff A B",
              "list the bytes that differ between two clone files (exit 1 if any)", RunDiff});

}  // namespace
}  // namespace twk::cli
