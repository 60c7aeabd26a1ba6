// Cell categories (CT_) and cell labels (CL_): every grid cell, tree node and
// menu item is bound to one of each. The ids are the positions in the lists
// below; 9 means "no category" and 262 "no label". The lists are the only
// copy of the names: the enums, the name lookups and LabelName() all derive
// from them.
#pragma once

#include <string>

namespace twk {

// clang-format off
// X(enum name, record kind of its cells)
#define TWK_CATEGORY_LIST(X) \
  X(CT_Null, 0) X(CT_PopupMenu, 0) X(CT_IntCh, 1) X(CT_UsaCh, 2) X(CT_CanCh, 3) \
  X(CT_WxCh, 4) X(CT_FreeCh, 5) X(CT_DscIndId, 6) X(CT_AtisCall, 7)

#define TWK_LABEL_LIST(X) \
  X(CL_Null) X(Flex0) X(CL_Sel_Mode_U) X(CL_Sel_Mode_F) X(CL_FBits) \
  X(CL_EeDebugWin_Adr) X(CL_EeDebugWin_0) X(CL_EeDebugWin_1) X(CL_EeDebugWin_2) \
  X(CL_EeDebugWin_3) X(CL_EeDebugWin_4) X(CL_EeDebugWin_5) X(CL_EeDebugWin_6) \
  X(CL_EeDebugWin_7) X(CL_EeDebugWin_8) X(CL_EeDebugWin_9) X(CL_EeDebugWin_A) \
  X(CL_EeDebugWin_B) X(CL_EeDebugWin_C) X(CL_EeDebugWin_D) X(CL_EeDebugWin_E) \
  X(CL_EeDebugWin_F) \
  X(CL_Free_Byte_Dec) X(CL_Free_Byte_Hex) X(CL_Free_DscId) \
  X(CL_Menu_File_New) X(CL_Menu_File_Open) X(CL_Menu_File_Save) X(CL_Menu_File_SaveAs) \
  X(CL_Menu_File_Print_Current) X(CL_Menu_File_Print_All) X(CL_Menu_File_Recent) \
  X(CL_Menu_File_Exit) X(CL_Menu_Edit_Top) X(CL_Menu_View_FontSize) X(CL_Menu_View_ToolBar) \
  X(CL_Menu_Port_Com) X(CL_Menu_Port_Usb) X(CL_Menu_Port_SpeedHigh) X(CL_Menu_Clone_Read) \
  X(CL_Menu_Clone_Write) X(CL_Menu_Clone_Info) X(CL_Model) X(CL_Help_About) \
  X(CL_Help_Contents) X(CL_Menu_Debug_Compare) X(CL_Menu_Debug_CorrectComp) \
  X(CL_Menu_Debug_Window) X(CL_Menu_Debug_EeWindow) X(CallSheet) \
  X(CL_Check_Int_ChInh) X(CL_Check_Usa_ChInh) X(CL_Check_Can_ChInh) X(CL_Check_WX_ChInh) \
  X(CL_Check_Dsc_Id) X(CL_Check_Atis_Call) X(CL_Check_Dsc_SelfId) X(CL_Check_UserCh) \
  X(CL_Check_ItuCh) X(CL_Check_EMail) X(CL_Check_FreqRange) X(CL_Check_ModeReg) \
  X(CL_Check_Dsc_AdrId) X(CL_Check_Dsc_RxTxFreq) X(CL_Check_Dsc_Cate) \
  X(CL_CloneInfo_Model) X(CL_CloneInfo_Revision) X(CL_CloneInfo_Comment) \
  X(CL_PMenu_NoItem) X(CL_PMenu_Edit) X(CL_PMenu_Copy) X(CL_PMenu_Paste) \
  X(CL_PMenu_CarryUp) X(CL_PMenu_CarryDown) X(CL_PMenu_Clear) X(CL_PMenu_Delete) \
  X(CL_PMenu_Insert) X(CL_PMenu_Help) \
  X(CL_Debug_Mtx_AbsCtrl) X(CL_Debug_Mtx_Write) X(CL_Debug_Mtx_Itu) X(CL_Debug_Mtx_Gene) \
  X(CL_Debug_Mtx_Stmd) X(CL_Debug_Mtx_Usas) X(CL_Debug_Mtx_Txvs) X(CL_Debug_Mtx_Trvs) \
  X(CL_Debug_Mtx_Amas) X(CL_Debug_Mtx_Podn) \
  X(CL_Misc_ChNo_0Base) X(CL_Misc_ChNo_1Base) X(CL_Misc_QuarterPillar) X(CL_CannotEdit) \
  X(CL_Dummy) \
  X(CL_Deb_Index) X(CL_Deb_Kind) X(CL_Deb_Adr) X(CL_Deb_Id_Caller) X(CL_Deb_Id_Distress) \
  X(CL_Deb_Cate) X(CL_Deb_Tel1) X(CL_Deb_Tel2) X(CL_Deb_Mess0) X(CL_Deb_Mess1) \
  X(CL_Deb_Mess2) X(CL_Deb_Mess3) X(CL_Deb_Mess4) X(CL_Deb_Mess5) X(CL_Deb_TimeH) \
  X(CL_Deb_TimeM) X(CL_Deb_FreqT0) X(CL_Deb_FreqT1) X(CL_Deb_FreqT2) X(CL_Deb_FreqR0) \
  X(CL_Deb_FreqR1) X(CL_Deb_FreqR2) X(CL_Deb_Form) X(CL_Deb_Pos0) X(CL_Deb_Pos1) \
  X(CL_Deb_Pos2) X(CL_Deb_Pos3) X(CL_Deb_Pos4) X(CL_Deb_Yet) X(CL_Deb_RxFrqNo) \
  X(CL_ChList_No) X(CL_ChList_Atr) X(CL_ChList_Tag) X(CL_ChList_TxInh) X(CL_ChList_Poc) \
  X(CL_ChList_Simp) X(CL_ChList_Comment) \
  X(CL_INT_ChNo) X(CL_INT_ChAtr) X(CL_INT_ChInh) X(CL_INT_ChTag) X(CL_INT_ChTxInh) \
  X(CL_INT_ChPoc) X(CL_INT_ChSimp) X(CL_INT_ChComment) \
  X(CL_USA_ChNo) X(CL_USA_ChAtr) X(CL_USA_ChInh) X(CL_USA_ChTag) X(CL_USA_ChTxInh) \
  X(CL_USA_ChPoc) X(CL_USA_ChSimp) X(CL_USA_ChComment) \
  X(CL_CANADA_ChNo) X(CL_CANADA_ChAtr) X(CL_CANADA_ChInh) X(CL_CANADA_ChTag) \
  X(CL_CANADA_ChTxInh) X(CL_CANADA_ChPoc) X(CL_CANADA_ChSimp) X(CL_CANADA_ChComment) \
  X(CL_WX_ChAtr) X(CL_WX_ChComment) \
  X(CL_Fch_FreqR) X(CL_Fch_FreqT) X(CL_Fch_WN) X(CL_Fch_ChName) \
  X(CL_DscIndId_Id) X(CL_DscIndId_Atr) X(CL_DscIndId_Comment) \
  X(CL_AtisCall_Digit) X(CL_AtisCall_Display) \
  X(CL_ComSet_ScanF) X(CL_ComSet_USetM_ScanF) X(CL_ComSet_ScanT) X(CL_ComSet_USetM_ScanT) \
  X(CL_ComSet_WxAlert) X(CL_ComSet_USetM_WxAlert) X(CL_ComSet_DTCommandMic) \
  X(CL_ComSet_USetM_DTCommandMic) X(CL_ComSet_Beep) X(CL_ComSet_Contrast) X(CL_ComSet_Att) \
  X(CL_ComSet_ScrUnit) X(CL_ComSet_USetM_ScrUnit) X(CL_ComSet_ScrCode) \
  X(CL_ComSet_USetM_ScrCode) X(CL_ComSet_FavoriteCH) \
  X(CL_ComAtis_AtisId) X(CL_ComAtis_IntCh) X(CL_ComAtis_UsaCh) X(CL_ComAtis_CanCh) \
  X(CL_ComAtis_TxnoAtis) \
  X(CL_ComDsc_SelfId) X(CL_ComDsc_IntCh) X(CL_ComDsc_UsaCh) X(CL_ComDsc_CanCh) \
  X(CL_ComDsc_CallRepeatF) X(CL_ComDsc_CancelAckF) X(CL_ComDsc_IndvAckF) \
  X(CL_ComDsc_PositionRequestF) X(CL_ComDsc_PositionReportF) X(CL_ComDsc_DscWatch) \
  X(CL_ComSet_USetM_DscWatch) X(CL_ComDsc_AutoAck) X(CL_ComDsc_AutoAckF) \
  X(CL_ComDsc_TimeOffset) \
  X(CL_ComDsc_TX_Distress) X(CL_ComDsc_TX_Urgency) X(CL_ComDsc_TX_Safety) \
  X(CL_ComDsc_TX_Routine) X(CL_ComDsc_RX_Distress) X(CL_ComDsc_RX_Urgency) \
  X(CL_ComDsc_RX_Safety) X(CL_ComDsc_RX_Routine) \
  X(CL_ComDsc_AllCall_Distress) X(CL_ComDsc_AllCall_Urgency) X(CL_ComDsc_ALLCall_Safety) \
  X(CL_ComDsc_AllCall_Routine) X(CL_ComDsc_AllCall_ChCall) X(CL_ComDsc_AllCall_Distress_Pow) \
  X(CL_ComDsc_AllCall_Urgency_Pow) X(CL_ComDsc_ALLCall_Safety_Pow) \
  X(CL_ComDsc_AllCall_Routine_Pow) X(CL_ComDsc_AllCall_ChCall_Pow) \
  X(CL_ComDsc_IndvCall_Distress) X(CL_ComDsc_IndvCall_Urgency) X(CL_ComDsc_IndvCall_Safety) \
  X(CL_ComDsc_IndvCall_Routine) X(CL_ComDsc_IndvCall_ChCall) \
  X(CL_ComDsc_IndvCall_Distress_Pow) X(CL_ComDsc_IndvCall_Urgency_Pow) \
  X(CL_ComDsc_IndvCall_Safety_Pow) X(CL_ComDsc_IndvCall_Routine_Pow) \
  X(CL_ComDsc_IndvCall_ChCall_Pow) \
  X(CL_ComDsc_GroupCall_Distress) X(CL_ComDsc_GroupCall_Urgency) \
  X(CL_ComDsc_GroupCall_Safety) X(CL_ComDsc_GroupCall_Routine) X(CL_ComDsc_GroupCall_ChCall) \
  X(CL_ComDsc_GroupCall_Distress_Pow) X(CL_ComDsc_GroupCall_Urgency_Pow) \
  X(CL_ComDsc_GroupCall_Safety_Pow) X(CL_ComDsc_GroupCall_Routine_Pow) \
  X(CL_ComDsc_GroupCall_ChCall_Pow) \
  X(CL_ComCom_CloneComment) X(CL_ComCom_DualWatchF) X(CL_ComCom_ScanF) \
  X(CL_ComExp_Int) X(CL_ComExp_Usa) X(CL_ComExp_Canada) X(CL_ComExp_Wx) X(CL_ComExp_ScrRe) \
  X(CL_ComExp_TotFun) X(CL_ComExp_BandEx) X(CL_ComExp_PttScan) X(CL_ComExp_LcdInt) \
  X(CL_ComExp_LcdUsa) X(CL_ComExp_LcdCan) X(CL_ComExp_LcdWx) \
  X(CL_MakerR_DscAmp13) X(CL_MakerR_DscAmp21) X(CL_MakerR_AtisAmp13) X(CL_MakerR_AtisAmp21) \
  X(CL_MakerR_ScanSpeed) X(CL_MakerR_TotTimer) X(CL_MakerR_RmuteDelay) X(CL_MakerR_AdjMode) \
  X(CL_MakerR_UsaIni)
// clang-format on

#define TWK_ENUM_CATEGORY(name, kind) name,
enum CellCategory : int { TWK_CATEGORY_LIST(TWK_ENUM_CATEGORY) CT_None };
#undef TWK_ENUM_CATEGORY

#define TWK_ENUM_LABEL(name) name,
enum CellLabel : int { TWK_LABEL_LIST(TWK_ENUM_LABEL) CL_None };
#undef TWK_ENUM_LABEL

constexpr int kCategoryCount = CT_None;  // 9, also the id of "no category"
constexpr int kLabelCount = CL_None;     // 262, also the id of "no label"
static_assert(kCategoryCount == 9, "the category list holds 9 names");
static_assert(kLabelCount == 262, "the label list holds 262 names");

// Name lookups for cell texts. The empty name gives 9 (none) / 262 (none);
// an unknown name is a fatal stop ("Cannot use the specified category.\n'%s'"
// / "Cannot use the specified cell.\n'%s'").
int CategoryId(const std::string& name);
int LabelId(const std::string& name);

// The name of a label; an id outside 0-261 gives the empty text.
std::string LabelName(int id);
// The name of a category; an id outside 0-8 gives the empty text.
std::string CategoryName(int id);

// The record kind (memory map of the image) of a category's cells:
// 0 none, 1 INT, 2 USA, 3 CANADA, 4 weather, 5 free channel, 6 DSC
// individual ID, 7 ATIS call. An id outside 0-9 is a fatal stop
// ("Unknown Cell Category. (%d)").
int KindOfCategory(int id);

}  // namespace twk
