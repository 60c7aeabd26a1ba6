#include "cli/CloneCli.h"

#include <cstdio>

#include "app/Dialogs.h"
#include "app/Fatal.h"
#include "data/MemoryMap.h"
#include "file/CloneOpen.h"
#include "text/TextStore.h"

namespace twk::cli {

void UseProgramResources() {
  static bool done = false;
  if (done) return;
  done = true;
  static TextStore mainStore;
  static TextStore helpStore;
  mainStore.SetFile(MainResourceName(ProgramFolder(), kShortCode));
  helpStore.SetFile(HelpResourceName(ProgramFolder(), kShortCode));
  SetTextStores(&mainStore, &helpStore);
}

int OpenForCli(const std::string& path, EepromImage& image) {
  UseProgramResources();
  StderrDialogs dialogs;
  return LoadCloneFile(path, mem::kImageSize, image, &dialogs);
}

int LoadTemplateForCli(EepromImage& tmpl) {
  UseProgramResources();
  StderrDialogs dialogs;
  if (int code = LoadTemplateImage(InitialFilePath(ProgramFolder(), 0), tmpl, &dialogs)) {
    std::fprintf(stderr, "twk208-cli: the model's initial file cannot be used (code %d)\n", code);
    return kCloneFileExitBase + code;
  }
  return 0;
}

}  // namespace twk::cli
