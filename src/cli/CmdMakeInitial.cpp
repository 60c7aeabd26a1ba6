// twk208-cli make-initial CHANNELS WEATHER OUT: builds the model's initial
// clone file from the channel plan data (data/*.csv) and writes it with the
// program's own clone file writer.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/Dialogs.h"
#include "cli/CloneCli.h"
#include "cli/Command.h"
#include "file/CloneOpen.h"
#include "file/InitialImage.h"

namespace twk::cli {
namespace {

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

int RunMakeInitial(const std::vector<std::string>& args) {
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: twk208-cli make-initial CHANNELS.csv WEATHER.csv OUT\n");
    return kUsageExit;
  }
  std::string channels, weather;
  for (const auto& [path, text] : {std::pair{args[0], &channels}, std::pair{args[1], &weather}}) {
    if (!ReadText(path, *text)) {
      std::fprintf(stderr, "make-initial: cannot read '%s'\n", path.c_str());
      return 1;
    }
  }
  EepromImage image;
  std::string error;
  if (!BuildInitialImage(channels, weather, image, &error)) {
    std::fprintf(stderr, "make-initial: %s\n", error.c_str());
    return 1;
  }
  UseProgramResources();
  StderrDialogs dialogs;
  if (int code = WriteCloneFile(args[2], image, &dialogs)) return kCloneFileExitBase + code;
  return 0;
}

Register reg({"make-initial", "make-initial CHANNELS.csv WEATHER.csv OUT",
              "build the model's initial clone file from the channel plan data", RunMakeInitial});

}  // namespace
}  // namespace twk::cli
