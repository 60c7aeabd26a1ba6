#include "data/LabelHandler.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "data/ChannelSheet.h"
#include "data/Codecs.h"
#include "data/DataCells.h"
#include "data/DocumentHooks.h"
#include "data/ItemRecord.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "data/NameChars.h"
#include "data/RowOperation.h"
#include "data/Validation.h"
#include "sheet/Canvas.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {

namespace {

// Repaint criteria bits (matching rules of the grid).
constexpr std::uint8_t kRepaintSameCell = 0x01;
constexpr std::uint8_t kRepaintSameIndex = 0x08;
constexpr std::uint8_t kRepaintAllBound = 0x20;

constexpr int kKeyF3 = 0x7200;
constexpr int kKeyF4 = 0x7300;
constexpr int kListNumber = Flex0;  // list cells are bound to label 1

// Everything one handler call works with.
struct Call {
  CellAccessContext& ctx;
  DocumentHooks& hooks;
  EepromImage& image;
  int mode;
  int category;
  int label;
  int index;
  RecordKind kind;
  ItemRecord rec;
  int key;               // after the double-click and popup translations
  bool readOnly = false;
  bool refused = false;  // a key was swallowed by a read-only cell
  bool attrChanged = false;
  int result = 0;
};

std::string Line(const char* key, int n = 0) { return MainText().GetLine(key, n); }

void SetTextColour(Call& c, Color colour) {
  if (c.ctx.canvas != nullptr) c.ctx.canvas->SetFontColor(colour);
}

// A read-only cell: olive text, and a typed key (1-126) is swallowed and
// reported as refused.
void MakeReadOnly(Call& c) {
  c.readOnly = true;
  SetTextColour(c, kReadOnlyTextColour);
  if (c.key >= 1 && c.key <= 126) {
    c.key = 0;
    c.refused = true;
  }
}

codec::CodecIo IoOf(const Call& c) {
  codec::CodecIo io;
  io.key = c.key;
  io.inputKind = c.ctx.inputKind;
  io.inputText = c.ctx.inputText;
  // Only interactive contexts (a grid, or a menu's owner) react to keys.
  io.hasGrid = c.ctx.grid != nullptr || c.ctx.sender != nullptr;
  if (c.ctx.parent != nullptr && c.ctx.parent->cell != nullptr) {
    io.hasParent = true;
    io.parentLabel = c.ctx.parent->cell->label;
    io.parentIndex = c.ctx.parent->cell->index;
  }
  return io;
}

// Copies the codec's outputs into the context and opens what it asked for.
void Apply(Call& c, const codec::CodecIo& io) {
  c.ctx.outputText = io.outputText;
  c.ctx.selStart = io.selStart;
  c.ctx.selLength = io.selLength;
  if (io.hasTextColor) SetTextColour(c, io.textColor);
  // A codec that decides the alignment (the frequency cells: right-aligned
  // values, a left-aligned "<-") sets it on the cell for this paint; every
  // display call sets it again, so it follows the value.
  if (io.alignment >= 0 && c.ctx.cell != nullptr) {
    c.ctx.cell->layoutFlags = static_cast<std::uint8_t>(
        (c.ctx.cell->layoutFlags & ~layout::kHAlignMask) | (io.alignment & layout::kHAlignMask));
  }
  if (io.request == codec::kPopupOpened) {
    if (io.popup == codec::PopupKind::SelectionList)
      c.hooks.OpenSelectionPopup(c.ctx, io.popupList, io.popupValue);
    else if (io.popup == codec::PopupKind::BitField)
      c.hooks.OpenBitFieldPopup(c.ctx, io.popupValue);
  }
  c.result = io.request;
}

bool RunSelection(Call& c, const std::string& list, int& value) {
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Selection(io, list, kListNumber, value);
  Apply(c, io);
  return changed;
}

bool RunText(Call& c, char* field, int length) {
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Text(io, field, length);
  Apply(c, io);
  return changed;
}

// ---- plan channel rows ---------------------------------------------------------

int PlanFlagOf(int label) {
  switch (label) {
    case CL_ChList_Tag: return ItemRecord::kFlagTag;
    case CL_ChList_TxInh: return ItemRecord::kFlagTxInhibit;
    case CL_ChList_Poc: return ItemRecord::kFlagLowPower;
    case CL_ChList_Simp: return ItemRecord::kFlagSimplex;
    default: return 0;
  }
}

const char* PlanFlagList(int label) {
  switch (label) {
    case CL_ChList_Tag: return "GI_Sheet_Sel_ChTag";
    case CL_ChList_TxInh: return "GI_Sheet_Sel_ChTxInh";
    case CL_ChList_Poc: return "GI_Sheet_Sel_ChPoc";
    default: return "GI_Sheet_Sel_ChSimp";
  }
}

// The channel number: a plain text that no key changes (the column is the
// row header, so it keeps its header colours).
void PlanNumber(Call& c) {
  c.key = 0;
  char buf[32];
  if (c.index < mem::kFirstFreeSlot) {
    std::snprintf(buf, sizeof buf, "%d%s", c.index / 2, (c.index & 1) ? "A" : "  ");
    c.ctx.outputText = buf;
  } else {
    ItemRecord fc(&c.image);
    fc.Load(RecordKind::FreeChannel, c.index - mem::kFirstFreeSlot);
    c.ctx.outputText = std::string(fc.shortName.data(), fc.shortName.size()) + " ";
  }
}

void PlanAttribute(Call& c) {
  const bool used = c.hooks.UsedChannelsView();
  codec::CodecIo io = IoOf(c);
  int marks = c.rec.planMarks;
  const int r = codec::AttributeMenu(io, used ? "GI_Sheet_Sel_ChATRUse" : "GI_Sheet_Sel_ChATRAll",
                                     marks, used);
  Apply(c, io);
  if (r == 1) {
    c.rec.planMarks = marks;
    c.rec.flags &= ~ItemRecord::kFlagNotInUse;
    c.rec.StoreAndReload();
    c.attrChanged = true;
    c.hooks.Post(msg::kAttributeChanged, 0, 0);
  } else if (r == 2) {
    c.rec.flags ^= ItemRecord::kFlagNotInUse;
    c.rec.StoreAndReload();
    c.attrChanged = true;
  } else if (r == 3) {
    c.hooks.Post(msg::kAttributeChanged, 1, 0);
  }
  if ((c.rec.flags & ItemRecord::kFlagNotInUse) && (c.rec.planMarks & 0x03))
    c.ctx.state |= cellstate::kError;
}

void PlanFlag(Call& c) {
  const int flag = PlanFlagOf(c.label);
  int value = (c.rec.flags & flag) ? 1 : 0;
  if (RunSelection(c, PlanFlagList(c.label), value)) {
    if (value != 0)
      c.rec.flags |= flag;
    else
      c.rec.flags &= ~flag;
    c.rec.StoreAndReload();
  }
}

void NameField(Call& c, char* field, int textLength, int cleanLength) {
  if (RunText(c, field, textLength)) {
    CleanNameChars(field, cleanLength);
    c.rec.StoreAndReload();
  }
}

// ---- weather, free channels, DSC IDs ----------------------------------------------

bool NoWeatherChannelInUse(const EepromImage& image) {
  const int flags = image.GetWord(mem::kWeatherFlags);
  return (flags & 0x3FF) == 0x3FF;
}

void WeatherAttribute(Call& c) {
  int value = (c.rec.flags & ItemRecord::kFlagWeatherOff) ? 1 : 0;
  if (RunSelection(c, "GI_Sheet_Sel_WxChAtr", value)) {
    if (value != 0)
      c.rec.flags |= ItemRecord::kFlagWeatherOff;
    else
      c.rec.flags &= ~ItemRecord::kFlagWeatherOff;
    c.rec.StoreAndReload();
    c.hooks.Post(msg::kRepaintLabel, 0, CL_WX_ChAtr);
    c.hooks.Post(msg::kRepaintLabel, 0, CL_WX_ChComment);
  }
  if (NoWeatherChannelInUse(c.image)) c.ctx.state |= cellstate::kError;
}

void WeatherName(Call& c) {
  if (c.rec.flags & ItemRecord::kFlagWeatherOff) {
    // A weather channel that is not used shows no name and takes no edits,
    // like a channel slot that is not in use.
    MakeReadOnly(c);
    c.ctx.outputText = "---";
    return;
  }
  NameField(c, c.rec.name.data(), mem::kNameLength, mem::kNameLength);
}

void FreeFrequency(Call& c, bool second) {
  codec::FreqPair pair;
  pair.loaded = c.rec.IsLoaded();
  pair.first = c.rec.firstFrequency;
  pair.second = c.rec.secondFrequency;
  pair.firstEmpty = c.rec.firstEmpty;
  pair.secondEmpty = c.rec.secondEmpty;
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Frequency(io, pair, second, true);
  Apply(c, io);
  if (changed && c.rec.IsLoaded()) {
    c.rec.firstFrequency = static_cast<std::uint32_t>(pair.first);
    c.rec.secondFrequency = static_cast<std::uint32_t>(pair.second);
    c.rec.firstEmpty = pair.firstEmpty;
    c.rec.secondEmpty = pair.secondEmpty;
    c.rec.StoreAndReload();
  }
}

void FreeShortName(Call& c) {
  if (RunText(c, c.rec.shortName.data(), mem::kFreeShortNameLength)) {
    codec::ShortNameField(c.rec.shortName.data());
    c.rec.StoreAndReload();
  }
}

// True when an earlier DSC record holds the same valid ID.
bool DscIdRepeated(EepromImage& image, const ItemRecord& rec) {
  if (!rec.valid) return false;
  for (int i = 0; i < rec.index; ++i) {
    const int a = mem::DscId(i);
    bool equal = true, valid = true;
    for (int b = 0; b < mem::kPackedIdSize; ++b) {
      const std::uint8_t v = image.GetByte(a + b);
      if (v > 99) valid = false;
      if (v != rec.id[static_cast<size_t>(b)]) equal = false;
    }
    if (valid && equal) return true;
  }
  return false;
}

void DscId(Call& c) {
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Digits(io, c.rec.id.data(), 9);
  Apply(c, io);
  if (changed) {
    c.rec.valid = IsValidPackedId(c.rec.id.data());
    c.rec.StoreAndReload();
    // Other rows' duplicate marks depend on this ID.
    c.hooks.Post(msg::kRepaintLabel, 0, CL_DscIndId_Id);
  }
  if (DscIdRepeated(c.image, c.rec)) c.ctx.state |= cellstate::kWarning;
}

void DscName(Call& c) {
  NameField(c, c.rec.name.data(), mem::kDscNameLength, mem::kDscNameLength);
  bool blank = true;
  for (int i = 0; i < mem::kDscNameLength; ++i)
    if (c.rec.name[static_cast<size_t>(i)] != ' ') blank = false;
  if (blank) c.ctx.state |= cellstate::kError;
}

// ---- settings ---------------------------------------------------------------------

void Setting(Call& c, const SettingCell& cell) {
  int value = ReadSetting(c.image, cell);
  if (RunSelection(c, cell.list, value)) {
    WriteSetting(c.image, cell, value);
    if (cell.plansChanged) {
      // Posted, not sent: the tree and the open sheet are rebuilt, which must
      // not happen while this sheet is still acting on its cell.
      c.hooks.Post(msg::kPlanOptionsChanged, 0, 0);
    }
    c.attrChanged = true;  // grey rules of other cells may change
  }
  if (SettingIsGrey(c.image, cell)) SetTextColour(c, kGreyTextColour);
}

void Display(Call& c, const DisplayCell& cell) {
  int value = ReadDisplay(c.image, cell);
  if (RunSelection(c, DisplayList(cell, c.hooks.ModelIndex()), value))
    WriteDisplay(c.image, cell, value);
}

void SelfId(Call& c) {
  std::array<std::uint8_t, 5> id{};
  c.image.ReadBlock(mem::kSelfId, id.data(), 5);
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Digits(io, id.data(), 9);
  Apply(c, io);
  if (changed) c.image.WriteBlock(mem::kSelfId, id.data(), 5);
  if (IsValidPackedId(id.data())) {
    c.image.SetByte(mem::kSelfIdCheck, PackedIdCheckByte(id.data()));
    if (id[0] / 10 == 0) c.ctx.state |= cellstate::kError;
  } else {
    if (c.result != codec::kOpenEditor) c.ctx.outputText = Line("GI_AppInd_Dsc_SelfIdOff");
    c.image.SetByte(mem::kSelfIdCheck, 0xFF);
  }
}

void CloneComment(Call& c) {
  char field[mem::kCloneCommentLength];
  for (int i = 0; i < mem::kCloneCommentLength; ++i)
    field[i] = static_cast<char>(c.image.GetByte(mem::kCloneComment + i));
  RunText(c, field, mem::kCloneCommentLength);
  for (int i = 0; i < mem::kCloneCommentLength; ++i) {
    std::uint8_t b = static_cast<std::uint8_t>(field[i]);
    if (b < 32 || b > 126) b = ' ';
    if (c.image.GetByte(mem::kCloneComment + i) != b) c.image.SetByte(mem::kCloneComment + i, b);
  }
}

void ByteCell(Call& c, int address, int lo, int hi) {
  if (!c.image.InRange(address)) return;
  int value = c.image.GetByte(address);
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Integer(io, value, lo, hi, 0, 1, nullptr, false);
  Apply(c, io);
  if (changed) c.image.SetByte(address, static_cast<std::uint8_t>(value));
}

void TotTimer(Call& c) {
  int value = c.image.GetWord(mem::kMakerTotTimer);
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Integer(io, value, 0, 600, 0, 1, nullptr, false);
  Apply(c, io);
  if (changed) c.image.SetWord(mem::kMakerTotTimer, value);
}

void ScanSpeed(Call& c) {
  int value = c.image.GetByte(mem::kMakerScanSpeed);
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::Scaled(io, value, 1000, 30, 200, 0, 0);
  Apply(c, io);
  if (changed) c.image.SetByte(mem::kMakerScanSpeed, static_cast<std::uint8_t>(value));
}

// ---- EEPROM debug window ---------------------------------------------------------

void DebugByte(Call& c) {
  const int column = c.label - CL_EeDebugWin_0;
  const int address = c.index * 16 + column;
  if (!c.image.InRange(address) || address >= mem::kOutsideClone) return;
  const EepromImage* other = c.hooks.DebugCompareImage();
  auto differs = [&](int a) {
    return other != nullptr && other->InRange(a) && other->GetByte(a) != c.image.GetByte(a);
  };
  if (c.key == kKeyF3 || c.key == kKeyF4) {
    constexpr int kSpan = mem::kOutsideClone;  // 4096 addresses
    int found = -1;
    if (c.key == kKeyF3) {
      for (int step = 1; step <= kSpan; ++step) {
        const int a = (address + step) % kSpan;
        if (differs(a)) {
          found = a;
          break;
        }
      }
    } else {
      for (int a = address - 1; a >= 0; --a)
        if (differs(a)) {
          found = a;
          break;
        }
    }
    if (found >= 0) c.hooks.Post(msg::kEeDebugFocus, 0, found);
    c.key = 0;
  }
  int value = c.image.GetByte(address);
  const int compare = other != nullptr && other->InRange(address) ? other->GetByte(address) : value;
  codec::CodecIo io = IoOf(c);
  const bool changed = codec::HexByte(io, value, compare);
  Apply(c, io);
  if (changed) {
    c.image.SetByte(address, static_cast<std::uint8_t>(value & 0xFF));
    c.hooks.Post(msg::kRepaintAll, 0, 0);
  }
}

// ---- command labels --------------------------------------------------------------

void SetFlag(Call& c, int flag, bool on) {
  if (c.ctx.cell != nullptr) c.ctx.cell->SetUserFlag(flag, on);
}

void Command(Call& c) {
  const int label = c.label;
  switch (label) {
    case CL_Menu_File_Print_Current:
      SetFlag(c, kMenuDisabled, !c.hooks.CanPrintCurrent());
      break;
    case CL_Menu_File_Recent: {
      const std::string path = c.hooks.RecentFile(c.index);
      char buf[16];
      std::snprintf(buf, sizeof buf, "&%d ", c.index + 1);
      c.ctx.outputText = std::string(buf) + path;
      SetFlag(c, kMenuCaption, true);
      SetFlag(c, kMenuDisabled, path.empty());
      SetFlag(c, kMenuHidden, path.empty() && c.index != 0);
      if (path.empty() && c.key == kKeyEnter) return;
      break;
    }
    case CL_Menu_Edit_Top:
      if (c.hooks.EditMenuItemCount() == 0) c.hooks.RunCommand(label, c.index, "GI_PMenu_NoItem");
      return;
    case CL_Menu_View_FontSize:
      SetFlag(c, kMenuChecked, c.hooks.FontSizeIndex() == c.index);
      break;
    case CL_Menu_View_ToolBar:
      SetFlag(c, kMenuChecked, c.hooks.ToolbarVisible());
      break;
    case CL_Menu_Port_Com:
      SetFlag(c, kMenuChecked, c.hooks.ComPort() == c.index);
      break;
    case CL_Menu_Port_Usb:
      SetFlag(c, kMenuChecked, c.hooks.ComPort() > 4);
      break;
    case CL_Model:
      SetFlag(c, kMenuChecked, c.hooks.ModelIndex() == c.index);
      break;
    default:
      break;
  }
  if (c.key != kKeyEnter) return;
  const std::string option =
      (c.ctx.cell != nullptr && c.ctx.cell->option) ? *c.ctx.cell->option : std::string();
  if (label == CallSheet && option.empty()) return;
  c.hooks.RunCommand(label, c.index, option);
}

void PopupItemState(Call& c) {
  switch (c.label) {
    case CL_PMenu_NoItem:
      SetFlag(c, kMenuDisabled, true);
      SetFlag(c, kMenuHidden, c.hooks.EditMenuItemCount() != 1);
      break;
    case CL_PMenu_Paste:
      SetFlag(c, kMenuDisabled, !RecordClipboard().Holds(c.rec.kind));
      break;
    case CL_PMenu_CarryUp: case CL_PMenu_CarryDown: case CL_PMenu_Clear:
    case CL_PMenu_Delete: case CL_PMenu_Insert:
      SetFlag(c, kMenuDisabled, !KindPermitsRowEditing(c.rec.kind));
      break;
    default:
      break;
  }
}

// ---- information cells -------------------------------------------------------------

void QuarterPillar(Call& c) {
  if (c.ctx.canvas == nullptr) return;
  Rect r = c.ctx.cellRect;
  r.top = r.bottom - (r.bottom - r.top) * 3 / 10;
  c.ctx.canvas->FillRect(r, kMarkLineColour);
}

void CannotEdit(Call& c) {
  MakeReadOnly(c);
  if (c.ctx.canvas == nullptr) return;
  const Rect& r = c.ctx.cellRect;
  c.ctx.canvas->Line({r.right - 1, r.top}, {r.left, r.bottom - 1}, kMarkLineColour, 1);
}

void CloneInfo(Call& c) {
  char buf[32];
  switch (c.label) {
    case CL_CloneInfo_Model: {
      // The index is what the radio reported: read the model list only as
      // far as it goes (past its end lie other sections, and the file's end).
      const int model = c.hooks.CloneInfoModel();
      std::string name;
      for (int i = 0; i <= model; ++i) {
        name = Line("GI_AppInd_Model", i);
        if (!name.empty() && name[0] == '#') {
          name = std::to_string(model);
          break;
        }
      }
      c.ctx.outputText = model >= 0 ? name : std::to_string(model);
      break;
    }
    case CL_CloneInfo_Revision: {
      const int rev = c.hooks.CloneInfoRevision() & 0xFF;
      std::snprintf(buf, sizeof buf, "%d.%d", rev >> 4, rev & 0x0F);
      c.ctx.outputText = buf;
      break;
    }
    default: {
      std::string comment = c.hooks.CloneInfoComment();
      comment.resize(mem::kCloneCommentLength, ' ');
      c.key = 0;  // shown only
      RunText(c, comment.data(), mem::kCloneCommentLength);
      c.result = 0;
      break;
    }
  }
}

const std::string& OwnText(const Call& c) {
  static const std::string empty;
  return c.ctx.cell != nullptr && c.ctx.cell->display ? *c.ctx.cell->display : empty;
}

// ---- dispatch ----------------------------------------------------------------------

void PerLabel(Call& c) {
  const int label = c.label;
  if (label > kLabelCount) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d *Yet*", label);
    c.ctx.outputText = buf;
    return;
  }
  if (LabelWithoutBehaviour(label)) return;
  if (const SettingCell* s = FindSettingCell(label)) return Setting(c, *s);
  if (const DisplayCell* d = FindDisplayCell(label)) return Display(c, *d);
  if (label >= CL_EeDebugWin_0 && label <= CL_EeDebugWin_F) return DebugByte(c);
  if (label >= CL_Menu_File_New && label <= CallSheet) return Command(c);
  switch (label) {
    case Flex0: c.ctx.outputText = OwnText(c); break;
    case CL_Dummy:
    case CL_ComExp_Int:
    case CL_ComExp_LcdWx:
      MakeReadOnly(c);
      c.ctx.outputText = OwnText(c);
      break;
    case CL_Sel_Mode_F: c.ctx.outputText = "(" + Line("GI_AppInd_Mode", c.index) + ")"; break;
    case CL_Misc_ChNo_0Base: c.ctx.outputText = std::to_string(c.index); break;
    case CL_Misc_ChNo_1Base: c.ctx.outputText = std::to_string(c.index + 1); break;
    case CL_Misc_QuarterPillar: QuarterPillar(c); break;
    case CL_CannotEdit: CannotEdit(c); break;
    case CL_CloneInfo_Model:
    case CL_CloneInfo_Revision:
    case CL_CloneInfo_Comment: CloneInfo(c); break;
    case CL_EeDebugWin_Adr: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%4X", c.index * 16);
      c.ctx.outputText = buf;
      break;
    }
    case CL_Free_Byte_Dec: ByteCell(c, c.index, 0, 255); break;
    case CL_Check_Int_ChInh: c.ctx.state |= CheckPlanSlots(CT_IntCh, &c.hooks); break;
    case CL_Check_Usa_ChInh: c.ctx.state |= CheckPlanSlots(CT_UsaCh, &c.hooks); break;
    case CL_Check_Can_ChInh: c.ctx.state |= CheckPlanSlots(CT_CanCh, &c.hooks); break;
    case CL_Check_WX_ChInh: c.ctx.state |= CheckWeather(&c.hooks); break;
    case CL_Check_Dsc_Id: c.ctx.state |= CheckDscIds(&c.hooks); break;
    case CL_Check_Dsc_SelfId: c.ctx.state |= CheckSelfId(&c.hooks); break;
    case CL_PMenu_NoItem: case CL_PMenu_Paste: case CL_PMenu_CarryUp: case CL_PMenu_CarryDown:
    case CL_PMenu_Clear: case CL_PMenu_Delete: case CL_PMenu_Insert:
      PopupItemState(c);
      break;
    case CL_ChList_No: PlanNumber(c); break;
    case CL_ChList_Atr: PlanAttribute(c); break;
    case CL_ChList_Tag: case CL_ChList_TxInh: case CL_ChList_Poc: case CL_ChList_Simp:
      PlanFlag(c);
      break;
    case CL_ChList_Comment: NameField(c, c.rec.name.data(), mem::kNameLength, mem::kNameLength); break;
    case CL_WX_ChAtr: WeatherAttribute(c); break;
    case CL_WX_ChComment: WeatherName(c); break;
    case CL_Fch_FreqR: FreeFrequency(c, false); break;
    case CL_Fch_FreqT: FreeFrequency(c, true); break;
    case CL_Fch_ChName: FreeShortName(c); break;
    case CL_DscIndId_Id: DscId(c); break;
    case CL_DscIndId_Comment: DscName(c); break;
    case CL_ComDsc_SelfId: SelfId(c); break;
    case CL_ComCom_CloneComment: CloneComment(c); break;
    case CL_MakerR_DscAmp13: ByteCell(c, mem::kMakerDscAmp13, 0, 255); break;
    case CL_MakerR_DscAmp21: ByteCell(c, mem::kMakerDscAmp21, 0, 255); break;
    case CL_MakerR_ScanSpeed: ScanSpeed(c); break;
    case CL_MakerR_TotTimer: TotTimer(c); break;
    default: break;
  }
}

bool IsPlanCategory(int category) {
  return category == CT_IntCh || category == CT_UsaCh || category == CT_CanCh;
}

}  // namespace

int HandleLabel(void* handlerObject, CellAccessContext& ctx, int mode) {
  DocumentHooks* hooks =
      handlerObject != nullptr ? static_cast<DocumentHooks*>(handlerObject) : CurrentDocumentHooks();
  if (hooks == nullptr || ctx.cell == nullptr) return 0;
  EepromImage& image = hooks->CurrentImage();

  // 1. The record view and the cell's binding.
  const int category = ctx.cell->category;
  Call c{ctx, *hooks, image, mode, category, ctx.cell->label, ctx.cell->index,
         static_cast<RecordKind>(KindOfCategory(category)), ItemRecord(&image), ctx.key};
  const int originalKey = ctx.key;
  const bool hadInput = ctx.inputKind != kInputNone;
  const bool hadCommand = ctx.command != 0;

  // 2. A key clears the status line; outputs start empty.
  if (originalKey != 0) hooks->Status("");
  ctx.outputText.clear();
  ctx.state &= static_cast<std::uint8_t>(~(cellstate::kWarning | cellstate::kError));

  // 3. The record of the row.
  if (c.kind != RecordKind::None) c.rec.Load(c.kind, c.index);

  // 4. A double click is Enter.
  if (c.key == kKeyDoubleClick) c.key = kKeyEnter;

  // 5. Popup commands.
  bool skip = false;
  switch (ctx.command) {
    case 0: break;
    case CL_PMenu_Edit: c.key = kKeyEnter; break;
    case CL_PMenu_Copy: case CL_PMenu_Paste: case CL_PMenu_CarryUp: case CL_PMenu_CarryDown:
    case CL_PMenu_Clear: case CL_PMenu_Delete: case CL_PMenu_Insert: {
      const RowRange range = RowRangeOf(c.kind);
      if (c.rec.IsLoaded()) RowOperation(ctx, c.rec, range.first, range.last, *hooks);
      c.key = 0;
      skip = true;
      break;
    }
    case CL_PMenu_Help:
      hooks->ShowHelpFor(c.label);
      c.key = 0;
      skip = true;
      break;
    default: break;
  }

  // 6. Row masks.
  if (!skip) {
    if (category == CT_PopupMenu) {
      if (ctx.parent != nullptr && ctx.parent->cell != nullptr) {
        const auto parentKind = static_cast<RecordKind>(KindOfCategory(ctx.parent->cell->category));
        if (parentKind != RecordKind::None) c.rec.Load(parentKind, ctx.parent->cell->index);
      }
    } else if (IsPlanCategory(category) && c.rec.IsLoaded()) {
      if ((c.rec.flags & ItemRecord::kFlagNotInUse) && c.label != CL_ChList_No &&
          c.label != CL_ChList_Atr && c.key < 128) {
        MakeReadOnly(c);
        ctx.outputText = "---";
        skip = true;
      } else if (c.label == CL_ChList_Simp && ((c.index & 1) || c.index > 233)) {
        MakeReadOnly(c);
        if ((c.index & 1) && c.index < mem::kFirstFreeSlot) {
          ctx.outputText = "---";
          skip = true;
        }
      }
    } else if (category == CT_DscIndId && c.rec.IsLoaded() && !c.rec.valid &&
               c.label != CL_DscIndId_Id && c.key < 128) {
      ctx.outputText.clear();
      if (mode == kModeAction && c.key != 0) {
        ctx.jumpRequest = true;
        ctx.jumpCategory = category;
        ctx.jumpLabel = CL_DscIndId_Id;
        ctx.jumpIndex = c.index;
        ctx.repeatKey = c.key;
      }
      skip = true;
    }
  }

  // 7. The label's own code.
  if (!skip) PerLabel(c);

  // 8. Repaint criteria.
  std::uint8_t criteria = kRepaintSameCell;
  if (c.kind != RecordKind::None) criteria |= kRepaintSameIndex;
  if (c.attrChanged) criteria |= kRepaintAllBound;
  if (mode == kModeAction) ctx.Repaint(criteria);

  // 9. After an edit: the settle deadline and the dirty flag.
  if (originalKey != 0 || hadInput || hadCommand) {
    hooks->RestartSettleDeadline();
    hooks->UpdateDirty();
  }

  // 10. A refused edit of a read-only cell.
  if (c.readOnly && c.refused) hooks->Status(Line("GI_Botttom_EditRestrected"), kAlertText, kAlertBack);

  ctx.key = c.key;
  return mode == kModeAction ? c.result : 0;
}

void InstallStandardLabelHandler() { SetStandardLabelHandler({&HandleLabel, nullptr}); }

std::uint8_t MarksOf(int category, int label, int index, DocumentHooks* hooks) {
  CellDescriptor cell;
  cell.category = category;
  cell.label = label;
  cell.index = index;
  CellAccessContext ctx;
  ctx.cell = &cell;
  HandleLabel(hooks, ctx, kModeDisplay);
  return ctx.state & (cellstate::kWarning | cellstate::kError);
}

std::vector<KeyUse> LabelHandlerKeys() {
  std::vector<KeyUse> keys = DataCellKeys();
  const std::vector<KeyUse> rows = RowOperationKeys();
  keys.insert(keys.end(), rows.begin(), rows.end());
  const std::vector<KeyUse> checks = ValidationKeys();
  keys.insert(keys.end(), checks.begin(), checks.end());
  const std::vector<KeyUse> sheets = ChannelSheetKeys();
  keys.insert(keys.end(), sheets.begin(), sheets.end());
  // The navigation tree and the two dialog sheets of the clone info and the
  // EEPROM debug window.
  for (const char* k : {"GI_Tree_Main_BasicCell", "GI_Tree_Main_Body"})
    keys.push_back({k, ResourceFile::Main, 1});
  for (const char* sheet : {"GI_Sheet_CloneInfo", "GI_Sheet_EeDebugWin"})
    for (const char* part : {"_Style", "_BasicCell", "_Cells"})
      keys.push_back({std::string(sheet) + part, ResourceFile::Main, 1});
  return keys;
}

}  // namespace twk
