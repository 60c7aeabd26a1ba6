#include "cli/CloneRun.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "cli/CloneCli.h"
#include "clone/LoopTimerService.h"
#include "text/TextStore.h"

namespace twk::cli {
namespace {

void DrawProgress(const cmcCloneControl& control, const char* what) {
  const int cells = std::min(control.ProgressCells(), 32);
  char bar[33];
  for (int i = 0; i < 32; ++i) bar[i] = i < cells ? '#' : '.';
  bar[32] = 0;
  std::fprintf(stderr, "\r%s [%s] %4d/%d bytes", what, bar, control.DataBytes(),
               control.ExpectedDataBytes());
  std::fflush(stderr);
}

}  // namespace

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string* value) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end() || it + 1 == args.end()) return false;
  *value = *(it + 1);
  args.erase(it, it + 2);
  return true;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

bool TakePortOption(std::vector<std::string>& args, std::string* port) {
  if (!TakeOption(args, "--port", port)) return false;
  int n;
  std::string path;
  if (!ParsePortArgument(*port, &n, &path)) {
    std::fprintf(stderr, "twk208-cli: --port takes a port number 1-256 or a device path, not '%s'\n",
                 port->c_str());
    return false;
  }
  return true;
}

CloneOutcome RunClone(const CloneJob& job) {
  UseProgramResources();
  CloneOutcome out;
  int comPort = 0;
  std::string device;
  ParsePortArgument(job.portArg, &comPort, &device);

  LoopTimerService loop;
  cmcCloneControl control(loop);
  control.SetPort(comPort ? comPort : 1, device);
  control.SetTextStore(&MainText());
  control.SetIdentificationHandler([&](cmcCloneResult& r) { CheckIdentity(r, out.info); });
  control.SetReadHandler([](cmcCloneResult& r) { CheckImage(r); });
  const bool tty = isatty(STDERR_FILENO);
  const char* what = job.mode == cmcCloneMode::Write ? "Writing" : "Reading";
  control.SetProgressHooks(
      [&] { if (tty) DrawProgress(control, what); },
      [&] {
        if (tty) {
          DrawProgress(control, what);
          std::fputc('\n', stderr);
        }
      },
      [&] { if (tty) DrawProgress(control, what); });
  control.SetErrorSink([&](const std::string& text, const cmcCloneResult& r) {
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!r.portError.empty()) std::fprintf(stderr, "\n%s\n", r.portError.c_str());
  });

  bool finished = false;
  auto finish = [&](cmcCloneResult& r) {
    out.code = r.code;
    finished = true;
  };
  control.SetCodes(kModelCode, 0);
  control.StartIdentification([&](cmcCloneResult& r) {
    if (r.code != kCmcOk || job.mode == cmcCloneMode::Identify) {
      finish(r);
      return;
    }
    control.SetImageSize(EepromImage::kModelSize);
    if (job.mode == cmcCloneMode::Read) {
      control.StartRead(ReadRangeList(), [&](cmcCloneResult& rr) {
        if (rr.code == kCmcOk) out.image.Assign(rr.image);
        finish(rr);
      });
    } else {
      control.StartWrite(*job.image, WriteRangeList(job.makerMode), finish);
    }
  });
  // Every transfer ends by its own deadlines; the limit only guards a hung
  // driver (a full image at 9600 baud takes about 13 s).
  loop.RunUntil([&] { return finished; }, 120000);
  if (!finished) {
    out.code = kCmcNoAnswer;
    std::fprintf(stderr, "twk208-cli: the transfer did not end\n");
  }
  out.tracePath = control.LastTracePath();
  if (out.code != 0 && !out.tracePath.empty())
    std::fprintf(stderr, "Serial trace: %s\n", out.tracePath.c_str());
  return out;
}

}  // namespace twk::cli
