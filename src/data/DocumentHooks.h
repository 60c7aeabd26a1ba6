// What the label handler needs from the document's owner (the main frame):
// the current image and the program-wide switches, the settle deadline and
// the dirty update after an edit, message broadcasts, popup windows, message
// boxes, and the operations behind the menu and toolbar commands. The main
// frame implements it; tests use small fakes. Every operation has a harmless
// default so that a headless user (the command-line tool) implements only
// what it needs.
#pragma once

#include <cstdint>
#include <string>

#include "app/Dialogs.h"
#include "data/EepromImage.h"
#include "sheet/Fonts.h"

namespace twk {

struct CellAccessContext;

// Status line colours (0x00BBGGRR).
inline constexpr Color kAlertText = 0x00FFFF;  // yellow
inline constexpr Color kAlertBack = 0x000080;  // dark red

class DocumentHooks {
 public:
  virtual ~DocumentHooks() = default;

  // ---- the document ----
  virtual EepromImage& CurrentImage() = 0;
  virtual int ModelIndex() const { return 0; }
  // The used-channels view of the channel sheets.
  virtual bool UsedChannelsView() const { return false; }
  // After every key, committed input or popup command: the warning check
  // runs 250 ms after the last one, and the dirty flag follows the image.
  virtual void RestartSettleDeadline() {}
  virtual void UpdateDirty() {}

  // ---- the message bus ----
  // The defaults broadcast on the program's message bus (sheet/MessageBus.h),
  // when one is installed.
  virtual void Send(int type, std::intptr_t v1, std::int32_t v2);
  virtual void Post(int type, std::intptr_t v1, std::int32_t v2);
  virtual void SendText(int type, std::intptr_t v1, std::int32_t v2, const std::string& text);
  // Status line text (message 4); ordinary colours unless given.
  void Status(const std::string& text, Color fg = clWindowText, Color bg = clBtnFace);

  // ---- popups and boxes ----
  // Opens the popup selection window of list `listKey` at `value` for the
  // cell of `ctx`; the choice comes back as a call with input kind 2. The
  // default hands it to the installed popup opener (the front end's).
  virtual void OpenSelectionPopup(CellAccessContext& ctx, const std::string& listKey, int value);
  // Opens the bit-field window (EEPROM debug cells) with value << 18.
  virtual void OpenBitFieldPopup(CellAccessContext& ctx, int value);
  virtual Dialogs& Boxes() {
    static StderrDialogs boxes;
    return boxes;
  }
  // Context help for a cell label (help file of "GI_Sys_MyHelpFile").
  virtual void ShowHelpFor(int label) { (void)label; }

  // ---- commands of menus, toolbar and tree ----
  // Runs the command of a command label (File New, Clone Read, CallSheet ...)
  // with the cell's index and option text. CL_Menu_Edit_Top comes with the
  // option "GI_PMenu_NoItem" when the Edit menu item has no sub items: the
  // menu owner fills it from that popup key (message 11).
  virtual void RunCommand(int label, int index, const std::string& option) {
    (void)label, (void)index, (void)option;
  }
  virtual bool CanPrintCurrent() const { return false; }
  virtual std::string RecentFile(int index) const { (void)index; return {}; }
  virtual int FontSizeIndex() const { return -1; }
  virtual bool ToolbarVisible() const { return true; }
  virtual int ComPort() const { return 1; }
  // Number of sub items under the Edit menu item (for CL_Menu_Edit_Top and
  // CL_PMenu_NoItem); -1 when unknown.
  virtual int EditMenuItemCount() const { return -1; }

  // ---- identification reported by the radio (Clone Info) ----
  virtual int CloneInfoModel() const { return 0; }
  virtual int CloneInfoRevision() const { return 0; }
  virtual std::string CloneInfoComment() const { return std::string(16, ' '); }

  // ---- the EEPROM debug window's two images ----
  // The image the debug cells compare against (the reference image); none:
  // nothing differs.
  virtual const EepromImage* DebugCompareImage() const { return nullptr; }
};

// The popup windows of the front end, which the default hooks open.
class PopupOpener {
 public:
  virtual ~PopupOpener() = default;
  virtual void OpenSelectionPopup(CellAccessContext& ctx, const std::string& listKey, int value) = 0;
  virtual void OpenBitFieldPopup(CellAccessContext& ctx, int value) { (void)ctx, (void)value; }
};
// Installs the opener (none: popups open nowhere); returns the previous one.
PopupOpener* SetPopupOpener(PopupOpener* opener);
PopupOpener* CurrentPopupOpener();

// The hooks the standard label handler uses. The main frame installs itself
// at start-up; returns the previous one.
DocumentHooks* SetDocumentHooks(DocumentHooks* hooks);
DocumentHooks* CurrentDocumentHooks();

}  // namespace twk
