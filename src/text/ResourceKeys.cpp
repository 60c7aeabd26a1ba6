#include "text/ResourceKeys.h"

#include "app/MainFrame.h"
#include "file/CloneFile.h"
#include "file/CloneOpen.h"
#include "clone/CloneCommandKeys.h"
#include "clone/cmcCloneControl.h"
#include "data/Codecs.h"
#include "data/LabelHandler.h"
#include "data/SheetCsv.h"
#include "sheet/ColumnWidths.h"

namespace twk {

// The keys of the resources themselves: the program's title, used as the
// caption of every message box, and the two help tables, each read until
// its "#" line.
std::vector<KeyUse> ResourceBaseKeys() {
  return {
      {"GI_Sys_AppTitle", ResourceFile::Main, 1},
      {"GI_AppItem_Topic_ID", ResourceFile::Help, 0},
      {"GI_AppItem_Context_ID", ResourceFile::Help, 0},
  };
}

std::vector<KeyUse> AllRequiredKeys() {
  std::vector<KeyUse> keys;
  auto add = [&keys](std::vector<KeyUse> more) {
    keys.insert(keys.end(), more.begin(), more.end());
  };
  add(ResourceBaseKeys());
  add(CloneFileKeys());
  add(InitialFileKeys());
  add(CloneKeys());
  add(CloneCommandKeys());
  add(MainFrameKeys());
  add(codec::CodecKeys());
  add(ColumnWidthKeys());
  add(LabelHandlerKeys());
  add(SheetCsvKeys());
  // Each module appends its list here: add(ModuleKeys());
  return keys;
}

}  // namespace twk
