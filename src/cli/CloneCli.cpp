#include "cli/CloneCli.h"

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

}  // namespace twk::cli
