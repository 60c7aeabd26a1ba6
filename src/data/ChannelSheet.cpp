#include "data/ChannelSheet.h"

#include <cstdlib>

#include "data/DocumentHooks.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "sheet/Fonts.h"
#include "text/TextStore.h"

namespace twk {

namespace {

bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

}  // namespace

int ChannelSheetCategory(const std::string& key) {
  if (key == "GI_Sheet_IntCh") return CT_IntCh;
  if (key == "GI_Sheet_UsaCh") return CT_UsaCh;
  if (key == "GI_Sheet_CanCh") return CT_CanCh;
  return -1;
}

bool SlotShown(EepromImage& image, RecordKind kind, int slot) {
  ItemRecord r(&image);
  r.Load(kind, slot);
  return r.IsLoaded() && (!(r.flags & ItemRecord::kFlagNotInUse) || (r.planMarks & 0x03));
}

int ShownSlotCount(EepromImage& image, RecordKind kind) {
  int n = 0;
  for (int s = 0; s < mem::kSlotCount; ++s) n += SlotShown(image, kind, s) ? 1 : 0;
  return n;
}

int NextShownSlot(EepromImage& image, RecordKind kind, int slot) {
  for (int s = slot; s >= 0 && s < mem::kSlotCount; ++s)
    if (SlotShown(image, kind, s)) return s;
  return slot;
}

ChannelSheet::ChannelSheet(void* parentWindow, const CellAccessContext* parentContext,
                           int requestedLabel, int requestedIndex, TextStore& store, std::string key,
                           ImageList* images)
    : Sheet(parentWindow, parentContext, requestedLabel, requestedIndex, store, key, images),
      category_(ChannelSheetCategory(key)) {
  if (DocumentHooks* hooks = CurrentDocumentHooks()) {
    usedView_ = hooks->UsedChannelsView();
    model_ = hooks->ModelIndex();
    image_ = &hooks->CurrentImage();
  }
}

void ChannelSheet::ApplyStyleAttribute(const std::string& text) {
  if (StartsWith(text, "WithUsable")) {
    if (usedView_) {
      title_ = title_.value_or(std::string()) + " " +
               Store().GetFirstLine("GI_AppInd_chSheet_Usable_Title");
      Font f;
      ApplyFontSpec(Store().GetFirstLine("GI_AppInd_chSheet_Usable_Font"), f);
      titleFont_ = f;
    }
    return;
  }
  Sheet::ApplyStyleAttribute(text);
}

void ChannelSheet::ApplyControlAttribute(const std::string& text, int line) {
  if (StartsWith(text, "LoopFrom") && text.find(' ') == std::string::npos) {
    loopStart_ = line;
    int count = mem::kSlotCount;
    if (usedView_ && image_ != nullptr && category_ >= 0)
      count = ShownSlotCount(*image_, static_cast<RecordKind>(KindOfCategory(category_)));
    loopCount_ = count > 0 ? count : 1;
    return;
  }
  if (StartsWith(text, "Only_UsaModel")) {
    if (model_ != 0) {
      const std::size_t space = text.find(' ');
      if (space != std::string::npos) skipCount_ = std::atoi(text.c_str() + space + 1);
    }
    return;
  }
  Sheet::ApplyControlAttribute(text, line);
}

bool ChannelSheet::MovesRows() const { return usedView_ && image_ != nullptr && category_ >= 0; }

void ChannelSheet::MoveRow(int row) {
  const auto kind = static_cast<RecordKind>(KindOfCategory(category_));
  // A channel row (one with a bound cell of the sheet's plan) moves as a
  // whole, cells of another category included; other rows (headers) keep
  // their indexes.
  bool channelRow = false;
  for (int c = 0; c < ColCount() && !channelRow; ++c) {
    const CellDescriptor& cell = SlotAt(c, row).cell;
    channelRow = cell.Bound() && cell.category == category_;
  }
  if (!channelRow) return;
  for (int c = 0; c < ColCount(); ++c) {
    CellDescriptor& cell = SlotAt(c, row).cell;
    cell.index = NextShownSlot(*image_, kind, cell.index);
  }
}

void ChannelSheet::BeginRow(int row) {
  // The row above is complete: move it before a repeat copies it.
  if (MovesRows() && row > 0) MoveRow(row - 1);
}

void ChannelSheet::FillCells() {
  Sheet::FillCells();
  if (MovesRows() && RowCount() > 0) MoveRow(RowCount() - 1);
}

std::unique_ptr<Sheet> CreateSheetFor(void* parentWindow, const CellAccessContext* parentContext,
                                      int requestedLabel, int requestedIndex, TextStore& store,
                                      const std::string& key, ImageList* images) {
  if (ChannelSheetCategory(key) >= 0)
    return std::make_unique<ChannelSheet>(parentWindow, parentContext, requestedLabel,
                                          requestedIndex, store, key, images);
  return std::make_unique<Sheet>(parentWindow, parentContext, requestedLabel, requestedIndex, store,
                                 key, images);
}

std::vector<KeyUse> ChannelSheetKeys() {
  return {{"GI_AppInd_chSheet_Usable_Title", ResourceFile::Main, 1},
          {"GI_AppInd_chSheet_Usable_Font", ResourceFile::Main, 1}};
}

}  // namespace twk
