#include "clone/CloneCommandKeys.h"

namespace twk {

std::vector<KeyUse> CloneCommandKeys() {
  return {{"GI_Mess_Confirm_CloneWrite", ResourceFile::Main, 1},
          {"GI_Mess_CloneWrite_Succeeded", ResourceFile::Main, 1},
          {"GI_AppInd_Opt_ComSel_Caption", ResourceFile::Main, 1},
          {"GI_AppInd_Opt_ComSel_Notice", ResourceFile::Main, 1},
          {"GI_AppInd_Opt_ComSel_Buttons", ResourceFile::Main, 2},
          {"GI_AppInd_Opt_ComSel_SizeOfButtons", ResourceFile::Main, 1},
          {"GI_AppInd_Opt_ComSel_OutofRange", ResourceFile::Main, 1},
          {"GI_AppInd_Button_OkCancel", ResourceFile::Main, 1},
          {"GI_Sheet_CloneInfo_Cells", ResourceFile::Main, 1}};
}

}  // namespace twk
