// The INT, USA and CANADA channel lists: a sheet whose body repeats one
// template row for every channel slot. It differs from the generic sheet in
// three steps: the "WithUsable" style option (a title suffix and font in the
// used-channels view), the body options ("LoopFrom" without a count repeats
// once per slot, or once per shown slot in the used-channels view;
// "Only_UsaModel n" hides n body lines for models other than 0), and the
// filling, which in the used-channels view moves each row to the next shown
// slot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/ItemRecord.h"
#include "sheet/Sheet.h"
#include "text/ResourceKeys.h"

namespace twk {

// The category of a channel list sheet's key (CT_IntCh, CT_UsaCh, CT_CanCh),
// or -1 for any other key.
int ChannelSheetCategory(const std::string& key);

// A slot counts as shown in the used-channels view when it is in use or is
// the plan's P or C channel.
bool SlotShown(EepromImage& image, RecordKind kind, int slot);
int ShownSlotCount(EepromImage& image, RecordKind kind);
// The first shown slot at or after `slot` (below 256); `slot` itself when
// there is none.
int NextShownSlot(EepromImage& image, RecordKind kind, int slot);

class ChannelSheet : public Sheet {
 public:
  // The used-channels view, the model index and the image come from the
  // document hooks unless set.
  ChannelSheet(void* parentWindow, const CellAccessContext* parentContext, int requestedLabel,
               int requestedIndex, TextStore& store, std::string key, ImageList* images);

  void SetUsedChannelsView(bool on) { usedView_ = on; }
  void SetModelIndex(int model) { model_ = model; }
  void SetImage(EepromImage* image) { image_ = image; }

  void ApplyStyleAttribute(const std::string& text) override;
  void ApplyControlAttribute(const std::string& text, int line) override;
  void FillCells() override;
  void BeginRow(int row) override;

 private:
  bool MovesRows() const;
  void MoveRow(int row);

  bool usedView_ = false;
  int model_ = 0;
  EepromImage* image_ = nullptr;
  int category_ = -1;
};

// The main frame's sheet factory: a ChannelSheet for the channel list keys,
// the generic sheet for every other key.
std::unique_ptr<Sheet> CreateSheetFor(void* parentWindow, const CellAccessContext* parentContext,
                                      int requestedLabel, int requestedIndex, TextStore& store,
                                      const std::string& key, ImageList* images);

std::vector<KeyUse> ChannelSheetKeys();

}  // namespace twk
