#include "data/Normalize.h"

#include <cstdint>

#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/NameChars.h"

namespace twk {

namespace {

void CopyByte(EepromImage& image, const EepromImage& tmpl, int address) {
  image.SetByte(address, tmpl.GetByte(address));
}

void CopyBlock(EepromImage& image, const EepromImage& tmpl, int address, int length) {
  for (int i = 0; i < length; ++i) CopyByte(image, tmpl, address + i);
}

void CopyBits(EepromImage& image, const EepromImage& tmpl, int address, int mask) {
  const int kept = image.GetByte(address) & ~mask;
  image.SetByte(address, static_cast<std::uint8_t>(kept | (tmpl.GetByte(address) & mask)));
}

}  // namespace

void NormalizeImage(EepromImage& image, const EepromImage& tmplIn, int modelIndex) {
  // The template may be the image itself; work from a snapshot of it.
  const EepromImage* tmplPtr = &tmplIn;
  EepromImage snapshot;
  if (&tmplIn == &image) {
    snapshot.Assign(tmplIn);
    tmplPtr = &snapshot;
  }
  const EepromImage& tmpl = *tmplPtr;
  ItemRecord rec(&image);

  // 1. Fixed identification bytes.
  CopyBlock(image, tmpl, mem::kFixedBlock1, mem::kFixedBlock1Size);
  CopyBlock(image, tmpl, mem::kFixedBlock2, mem::kFixedBlock2Size);
  CopyByte(image, tmpl, mem::kFixed3D8);
  CopyByte(image, tmpl, mem::kFormatMarker);
  CopyByte(image, tmpl, mem::kModelIndex);

  // 2. Attribute bytes: the carried bits stay, bits 0, 3, 4 from the template.
  for (int k : {mem::kPlanUsa, mem::kPlanInt, mem::kPlanCanada}) {
    for (int slot = 0; slot < mem::kSlotCount; ++slot) {
      rec.Load(PlanKindOf(k), slot);
      CopyByte(image, tmpl, mem::PlanTable(k) + slot);
      rec.Store();
    }
  }

  // 3. Names.
  for (int slot = 0; slot < mem::kSlotCount; ++slot) {
    rec.Load(RecordKind::IntChannel, slot);
    CleanNameChars(rec.name.data(), mem::kNameLength);
    rec.Store();
  }
  for (int i = 0; i < mem::kWeatherCount; ++i) {
    rec.Load(RecordKind::Weather, i);
    CleanNameChars(rec.name.data(), mem::kNameLength);
    rec.Store();
  }
  for (int i = 0; i < mem::kDscIdCount; ++i) {
    rec.Load(RecordKind::DscId, i);
    CleanNameChars(rec.name.data(), mem::kNameLength);
    rec.Store();
  }

  // 4. Free channels: the record's spare byte from the template, and the
  // equal-frequency rule applied again.
  for (int i = 0; i < mem::kFreeChannelCount; ++i) {
    rec.Load(RecordKind::FreeChannel, i);
    CopyBlock(image, tmpl, mem::FreeChannel(i), mem::kFreeChannelSize);
    rec.Store();
  }

  // 5. DSC records: spare byte from the template; an invalid ID becomes empty.
  for (int i = 0; i < mem::kDscIdCount; ++i) {
    rec.Load(RecordKind::DscId, i);
    CopyBlock(image, tmpl, mem::DscId(i), mem::kDscIdSize);
    rec.Store();
  }

  // 6. Per-plan slot words follow the P channels.
  for (int k = 0; k < mem::kPlanCount; ++k)
    image.SetWord(mem::PSlotWord(k), image.GetWord(mem::PChannelWord(k)));

  // 7. Current weather channel: the first one in use, else the template's.
  CopyByte(image, tmpl, mem::kCurrentWeather);
  const int weatherFlags = image.GetWord(mem::kWeatherFlags);
  for (int i = 0; i < mem::kWeatherCount; ++i) {
    if (!(weatherFlags & (1 << i))) {
      image.SetByte(mem::kCurrentWeather, static_cast<std::uint8_t>(i));
      break;
    }
  }

  // 8. Settings from the template.
  for (int a : {mem::kSetting409, mem::kSetting40A, mem::kSetting40C, mem::kSetting40D,
                mem::kSetting40E})
    CopyByte(image, tmpl, a);
  if (image.GetByte(mem::kPlanSwitches) & mem::kSwitchUsa)
    CopyByte(image, tmpl, mem::kSetting40B);
  else
    image.SetByte(mem::kSetting40B, 1);

  // 9. Common settings bit 7 and the fixed bytes around it.
  CopyBits(image, tmpl, mem::kCommonSettings, 0x80);
  CopyByte(image, tmpl, mem::kFixed437);
  CopyByte(image, tmpl, mem::kFixedFF7);
  CopyByte(image, tmpl, mem::kFixed421);

  // 10. Display plan bits belong to the model for other models.
  if (modelIndex != 0) CopyBits(image, tmpl, mem::kDisplayHigh, mem::kDisplayHighPlanBits);

  // 11.
  CopyByte(image, tmpl, mem::kFixedFF6);

  // 12. Self ID: kept when valid with a correct check byte, else the template's.
  std::uint8_t selfId[mem::kPackedIdSize];
  for (int i = 0; i < mem::kPackedIdSize; ++i) selfId[i] = image.GetByte(mem::kSelfId + i);
  if (modelIndex == 0 && IsValidPackedId(selfId) &&
      image.GetByte(mem::kSelfIdCheck) == PackedIdCheckByte(selfId))
    image.SetByte(mem::kSelfIdState, 0);
  else
    CopyBlock(image, tmpl, mem::kSelfId, mem::kPackedIdSize + 2);
}

}  // namespace twk
