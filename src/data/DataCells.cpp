#include "data/DataCells.h"

#include <algorithm>
#include <cstdint>

#include "data/MemoryMap.h"

namespace twk {

namespace {

constexpr int kNoGrey = -1;
constexpr int Bit(int n) { return 1 << n; }

const std::vector<SettingCell> kSettingCells = {
    // Common settings and their appearance in the user menu.
    {CL_ComSet_ScanF, 0x436, Bit(0), "GI_Sheet_Sel_ScanF", 0x418, Bit(4), false},
    {CL_ComSet_USetM_ScanF, 0x41C, Bit(0), "GI_Sheet_Sel_Misc_Appear", 0x418, Bit(4), false},
    {CL_ComSet_ScanT, 0x436, Bit(1), "GI_Sheet_Sel_Misc_OnOff", 0x418, Bit(4), false},
    {CL_ComSet_USetM_ScanT, 0x41C, Bit(1), "GI_Sheet_Sel_Misc_Appear", 0x418, Bit(4), false},
    {CL_ComSet_WxAlert, 0x438, 0, "GI_Sheet_Sel_Misc_OnOff", 0x418, Bit(1), false},
    {CL_ComSet_USetM_WxAlert, 0x41C, Bit(2), "GI_Sheet_Sel_Misc_Appear", 0x418, Bit(1), false},
    {CL_ComSet_DTCommandMic, 0x436, Bit(3), "GI_Sheet_Sel_DualTri", 0x419, Bit(6), false},
    {CL_ComSet_USetM_DTCommandMic, 0x41C, Bit(3), "GI_Sheet_Sel_Misc_Appear", 0x419, Bit(6), false},
    {CL_ComSet_Beep, 0x436, Bit(4), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComSet_FavoriteCH, 0x436, Bit(6), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    // DSC.
    {CL_ComDsc_IntCh, 0x426, Bit(5), "GI_Sheet_Sel_Misc_Able", kNoGrey, 0, false},
    {CL_ComDsc_UsaCh, 0x426, Bit(4), "GI_Sheet_Sel_Misc_Able", 0x418, Bit(0), false},
    {CL_ComDsc_CanCh, 0x426, Bit(6), "GI_Sheet_Sel_Misc_Able", 0x418, Bit(2), false},
    {CL_ComDsc_CallRepeatF, 0x42C, Bit(0), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_CancelAckF, 0x42C, Bit(1), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_PositionRequestF, 0x42C, Bit(2), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_PositionReportF, 0x42C, Bit(4), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_DscWatch, 0x436, Bit(2), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComSet_USetM_DscWatch, 0x41C, Bit(5), "GI_Sheet_Sel_Misc_Appear", kNoGrey, 0, false},
    {CL_ComDsc_AutoAck, 0x436, Bit(5), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_AutoAckF, 0x41C, Bit(4), "GI_Sheet_Sel_Misc_Appear", kNoGrey, 0, false},
    {CL_ComDsc_TX_Distress, 0x428, Bit(3), "GI_Sheet_Sel_Misc_I_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_TX_Urgency, 0x428, Bit(2), "GI_Sheet_Sel_Misc_I_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_TX_Safety, 0x428, Bit(1), "GI_Sheet_Sel_Misc_I_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_TX_Routine, 0x428, Bit(0), "GI_Sheet_Sel_Misc_I_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_RX_Distress, 0x427, Bit(3), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_RX_Urgency, 0x427, Bit(2), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_RX_Safety, 0x427, Bit(1), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_RX_Routine, 0x427, Bit(0), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComDsc_AllCall_ChCall, 0x429, Bit(6), "GI_Sheet_Sel_ChCall_AllShips", kNoGrey, 0, false},
    {CL_ComDsc_AllCall_Routine_Pow, 0x429, Bit(0), "GI_Sheet_Sel_DSC_Call", kNoGrey, 0, false},
    {CL_ComDsc_IndvCall_ChCall, 0x42A, Bit(6), "GI_Sheet_Sel_ChCall", kNoGrey, 0, false},
    {CL_ComDsc_IndvCall_Routine_Pow, 0x42A, Bit(0), "GI_Sheet_Sel_DSC_Call", kNoGrey, 0, false},
    {CL_ComDsc_GroupCall_ChCall, 0x42B, Bit(6), "GI_Sheet_Sel_ChCall", kNoGrey, 0, false},
    {CL_ComDsc_GroupCall_Routine_Pow, 0x42B, Bit(0), "GI_Sheet_Sel_DSC_Call", kNoGrey, 0, false},
    // Options.
    {CL_ComCom_DualWatchF, 0x419, Bit(6), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComCom_ScanF, 0x418, Bit(4), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComExp_Usa, 0x418, Bit(0), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, true},
    {CL_ComExp_Canada, 0x418, Bit(2), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, true},
    {CL_ComExp_Wx, 0x418, Bit(1), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, true},
    {CL_ComExp_TotFun, 0x419, Bit(5), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComExp_BandEx, 0x418, Bit(5), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_ComExp_PttScan, 0x418, Bit(3), "GI_Sheet_Sel_Misc_I_Accept", kNoGrey, 0, false},
    // Maker switches.
    {CL_MakerR_AdjMode, 0x439, Bit(6), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
    {CL_MakerR_UsaIni, 0x439, Bit(7), "GI_Sheet_Sel_Misc_OnOff", kNoGrey, 0, false},
};

const std::vector<DisplayCell> kDisplayCells = {
    {CL_ComExp_LcdInt, Bit(5), Bit(1), "GI_Sheet_Sel_UserSetLcdIntU", "GI_Sheet_Sel_UserSetLcdIntE"},
    {CL_ComExp_LcdUsa, Bit(4), Bit(0), "GI_Sheet_Sel_UserSetLcdUsaU", "GI_Sheet_Sel_UserSetLcdUsaE"},
    {CL_ComExp_LcdCan, Bit(6), Bit(2), "GI_Sheet_Sel_UserSetLcdCanU", "GI_Sheet_Sel_UserSetLcdCanE"},
};

// Labels that exist in the resources' vocabulary but carry no behaviour in
// this model: the handler leaves their cells empty and unchanged.
bool ComputeWithoutBehaviour(int label) {
  switch (label) {
    case CL_Null: case CL_Sel_Mode_U: case CL_FBits: case CL_Free_Byte_Hex: case CL_Free_DscId:
    case CL_Menu_Port_SpeedHigh: case CL_Menu_Debug_Compare: case CL_Menu_Debug_CorrectComp:
    case CL_Menu_Debug_Window: case CL_Menu_Debug_EeWindow: case CL_Check_Atis_Call:
    case CL_PMenu_Edit: case CL_PMenu_Copy: case CL_PMenu_Help: case CL_Fch_WN:
    case CL_DscIndId_Atr: case CL_AtisCall_Digit: case CL_AtisCall_Display:
    case CL_ComSet_Contrast: case CL_ComSet_Att: case CL_ComSet_ScrUnit:
    case CL_ComSet_USetM_ScrUnit: case CL_ComSet_ScrCode: case CL_ComSet_USetM_ScrCode:
    case CL_ComDsc_IndvAckF: case CL_ComDsc_TimeOffset: case CL_ComExp_ScrRe:
    case CL_MakerR_AtisAmp13: case CL_MakerR_AtisAmp21: case CL_MakerR_RmuteDelay:
      return true;
    default:
      break;
  }
  if (label >= CL_Check_UserCh && label <= CL_Check_Dsc_Cate) return true;
  if (label >= CL_Debug_Mtx_AbsCtrl && label <= CL_Debug_Mtx_Podn) return true;
  if (label >= CL_Deb_Index && label <= CL_Deb_RxFrqNo) return true;
  if (label >= CL_INT_ChNo && label <= CL_CANADA_ChComment) return true;
  if (label >= CL_ComAtis_AtisId && label <= CL_ComAtis_TxnoAtis) return true;
  // The DSC call groups: only the channel-call and routine-power items of
  // each group (all ships, individual, group) are stored by this model.
  if (label >= CL_ComDsc_AllCall_Distress && label <= CL_ComDsc_GroupCall_ChCall_Pow) {
    return label != CL_ComDsc_AllCall_ChCall && label != CL_ComDsc_AllCall_Routine_Pow &&
           label != CL_ComDsc_IndvCall_ChCall && label != CL_ComDsc_IndvCall_Routine_Pow &&
           label != CL_ComDsc_GroupCall_ChCall && label != CL_ComDsc_GroupCall_Routine_Pow;
  }
  return false;
}

}  // namespace

const std::vector<SettingCell>& SettingCells() { return kSettingCells; }
const std::vector<DisplayCell>& DisplayCells() { return kDisplayCells; }

const SettingCell* FindSettingCell(int label) {
  // A direct table by label id: the handler asks on every paint.
  static const std::vector<const SettingCell*> byLabel = [] {
    std::vector<const SettingCell*> v(kLabelCount + 1, nullptr);
    for (const SettingCell& c : kSettingCells) v[c.label] = &c;
    return v;
  }();
  if (label < 0 || label > kLabelCount) return nullptr;
  return byLabel[label];
}

const DisplayCell* FindDisplayCell(int label) {
  for (const DisplayCell& c : kDisplayCells)
    if (c.label == label) return &c;
  return nullptr;
}

int ReadSetting(const EepromImage& image, const SettingCell& cell) {
  const std::uint8_t b = image.GetByte(cell.address);
  if (cell.mask == 0) return static_cast<std::int8_t>(b);
  return (b & cell.mask) ? 1 : 0;
}

void WriteSetting(EepromImage& image, const SettingCell& cell, int value) {
  if (cell.mask == 0) {
    image.SetByte(cell.address, static_cast<std::uint8_t>(value & 0xFF));
    return;
  }
  std::uint8_t b = image.GetByte(cell.address);
  if (value != 0)
    b = static_cast<std::uint8_t>(b | cell.mask);
  else
    b = static_cast<std::uint8_t>(b & ~cell.mask);
  image.SetByte(cell.address, b);
}

bool SettingIsGrey(const EepromImage& image, const SettingCell& cell) {
  if (cell.greyAddress < 0) return false;
  return (image.GetByte(cell.greyAddress) & cell.greyMask) == 0;
}

int ReadDisplay(const EepromImage& image, const DisplayCell& cell) {
  const int hi = (image.GetByte(mem::kDisplayHigh) & cell.highMask) ? 1 : 0;
  const int lo = (image.GetByte(mem::kDisplayLow) & cell.lowMask) ? 1 : 0;
  return hi * 2 + lo;
}

void WriteDisplay(EepromImage& image, const DisplayCell& cell, int value) {
  std::uint8_t hi = image.GetByte(mem::kDisplayHigh);
  std::uint8_t lo = image.GetByte(mem::kDisplayLow);
  hi = static_cast<std::uint8_t>((value & 2) ? (hi | cell.highMask) : (hi & ~cell.highMask));
  lo = static_cast<std::uint8_t>((value & 1) ? (lo | cell.lowMask) : (lo & ~cell.lowMask));
  image.SetByte(mem::kDisplayHigh, hi);
  image.SetByte(mem::kDisplayLow, lo);
}

const char* DisplayList(const DisplayCell& cell, int modelIndex) {
  return modelIndex == 0 ? cell.listU : cell.listE;
}

bool LabelWithoutBehaviour(int label) {
  static const std::vector<bool> table = [] {
    std::vector<bool> v(kLabelCount + 1, false);
    for (int i = 0; i < kLabelCount; ++i) v[i] = ComputeWithoutBehaviour(i);
    return v;
  }();
  if (label < 0 || label >= kLabelCount) return false;
  return table[label];
}

std::vector<std::string> DataCellListKeys() {
  std::vector<std::string> keys = {
      "GI_Sheet_Sel_ChTag",    "GI_Sheet_Sel_ChTxInh",  "GI_Sheet_Sel_ChPoc",
      "GI_Sheet_Sel_ChSimp",   "GI_Sheet_Sel_ChATRAll", "GI_Sheet_Sel_ChATRUse",
      "GI_Sheet_Sel_WxChAtr",
  };
  auto add = [&keys](const std::string& k) {
    if (std::find(keys.begin(), keys.end(), k) == keys.end()) keys.push_back(k);
  };
  for (const SettingCell& c : kSettingCells) add(c.list);
  for (const DisplayCell& c : kDisplayCells) {
    add(c.listU);
    add(c.listE);
  }
  return keys;
}

std::vector<KeyUse> DataCellKeys() {
  std::vector<KeyUse> uses;
  for (const std::string& k : DataCellListKeys()) {
    uses.push_back({k + "_Style", ResourceFile::Main, 1});
    uses.push_back({k + "_BasicCell", ResourceFile::Main, 1});
    uses.push_back({k + "_Cells", ResourceFile::Main, 1});
  }
  for (const char* k : {"GI_AppInd_TimerOff", "GI_AppInd_Dsc_SelfIdOff", "GI_AppInd_Mode",
                        "GI_AppInd_Model", "GI_Botttom_EditRestrected"})
    uses.push_back({k, ResourceFile::Main, 1});
  return uses;
}

}  // namespace twk
