#include "data/ItemRecord.h"

#include "data/MemoryMap.h"

namespace twk {

int RecordCount(RecordKind kind) {
  switch (kind) {
    case RecordKind::IntChannel:
    case RecordKind::UsaChannel:
    case RecordKind::CanadaChannel: return mem::kSlotCount;
    case RecordKind::Weather: return mem::kWeatherCount;
    case RecordKind::FreeChannel: return mem::kFreeChannelCount;
    case RecordKind::DscId: return mem::kDscIdCount;
    default: return 0;
  }
}

bool IsPlanKind(RecordKind kind) { return PlanIndexOf(kind) >= 0; }

int PlanIndexOf(RecordKind kind) {
  switch (kind) {
    case RecordKind::UsaChannel: return mem::kPlanUsa;
    case RecordKind::IntChannel: return mem::kPlanInt;
    case RecordKind::CanadaChannel: return mem::kPlanCanada;
    default: return -1;
  }
}

RecordKind PlanKindOf(int k) {
  switch (k) {
    case mem::kPlanUsa: return RecordKind::UsaChannel;
    case mem::kPlanInt: return RecordKind::IntChannel;
    case mem::kPlanCanada: return RecordKind::CanadaChannel;
    default: return RecordKind::None;
  }
}

bool IsValidPackedId(const std::uint8_t* id) {
  for (int i = 0; i < mem::kPackedIdSize; ++i)
    if (id[i] > 99) return false;
  return true;
}

std::uint8_t PackedIdCheckByte(const std::uint8_t* id) {
  unsigned sum = 0;
  for (int i = 0; i < mem::kPackedIdSize; ++i) sum += id[i];
  return static_cast<std::uint8_t>(~sum & 0xFF);
}

void ItemRecord::ReadChars(int address, char* out, int length) const {
  for (int i = 0; i < length; ++i) out[i] = static_cast<char>(image->GetByte(address + i));
}

void ItemRecord::WriteChars(int address, const char* chars, int length) {
  for (int i = 0; i < length; ++i) image->SetByte(address + i, static_cast<std::uint8_t>(chars[i]));
}

void ItemRecord::Load(RecordKind newKind, int newIndex) {
  EepromImage* keep = image;
  *this = ItemRecord(keep);
  if (!image || newIndex < 0 || newIndex >= RecordCount(newKind)) return;
  kind = newKind;
  index = newIndex;
  switch (kind) {
    case RecordKind::IntChannel:
    case RecordKind::UsaChannel:
    case RecordKind::CanadaChannel: LoadPlan(); break;
    case RecordKind::Weather:
      if (image->GetWord(mem::kWeatherFlags) & (1 << index)) flags |= kFlagWeatherOff;
      ReadChars(mem::WeatherName(index), name.data(), mem::kNameLength);
      break;
    case RecordKind::FreeChannel: LoadFree(); break;
    case RecordKind::DscId: LoadDsc(); break;
    default: break;
  }
}

void ItemRecord::Store() {
  if (!image) return;
  switch (kind) {
    case RecordKind::IntChannel:
    case RecordKind::UsaChannel:
    case RecordKind::CanadaChannel: StorePlan(); break;
    case RecordKind::Weather: {
      int word = image->GetWord(mem::kWeatherFlags);
      if (flags & kFlagWeatherOff)
        word |= 1 << index;
      else
        word &= ~(1 << index);
      image->SetWord(mem::kWeatherFlags, word);
      WriteChars(mem::WeatherName(index), name.data(), mem::kNameLength);
      break;
    }
    case RecordKind::FreeChannel: StoreFree(); break;
    case RecordKind::DscId: StoreDsc(); break;
    default: break;
  }
}

void ItemRecord::LoadPlan() {
  const int k = PlanIndexOf(kind);
  const int attr = image->GetByte(mem::PlanTable(k) + index);
  if (image->GetWord(mem::PChannelWord(k)) == index) planMarks |= kMarkP;
  if (image->GetWord(mem::CChannelWord(k)) == index) planMarks |= kMarkC;
  if (attr & mem::kAttrNotInUse) flags |= kFlagNotInUse;
  if (attr & mem::kAttrTag) flags |= kFlagTag;
  if (attr & mem::kAttrTxInhibit) flags |= kFlagTxInhibit;
  if (attr & mem::kAttrLowPower) flags |= kFlagLowPower;
  // Odd slots below the free channels are the simplex "A" channels.
  if ((attr & mem::kAttrSimplex) || (index % 2 == 1 && index < mem::kFirstFreeSlot))
    flags |= kFlagSimplex;
  ReadChars(mem::ChannelName(index), name.data(), mem::kNameLength);
}

void ItemRecord::StorePlan() {
  const int k = PlanIndexOf(kind);
  if (planMarks & kMarkP) image->SetWord(mem::PChannelWord(k), index);
  if (planMarks & kMarkC) image->SetWord(mem::CChannelWord(k), index);
  const int address = mem::PlanTable(k) + index;
  int attr = image->GetByte(address) & mem::kAttrFromTemplate;
  if (flags & kFlagNotInUse) attr |= mem::kAttrNotInUse;
  if (flags & kFlagTag) attr |= mem::kAttrTag;
  if (flags & kFlagTxInhibit) attr |= mem::kAttrTxInhibit;
  if (flags & kFlagLowPower) attr |= mem::kAttrLowPower;
  if (flags & kFlagSimplex) attr |= mem::kAttrSimplex;
  image->SetByte(address, static_cast<std::uint8_t>(attr));
  WriteChars(mem::ChannelName(index), name.data(), mem::kNameLength);
}

void ItemRecord::LoadFree() {
  const int base = mem::FreeChannel(index);
  const unsigned first = static_cast<unsigned>(image->GetWord(base + mem::kFreeFirstCode));
  const unsigned second = static_cast<unsigned>(image->GetWord(base + mem::kFreeSecondCode));
  firstEmpty = first == 0xFFFF;
  secondEmpty = second == 0xFFFF;
  if (!firstEmpty) firstFrequency = first * mem::kFreqStep + mem::kFirstFreqOffset;
  if (!secondEmpty) secondFrequency = second * mem::kFreqStep;
  ReadChars(base + mem::kFreeShortName, shortName.data(), mem::kFreeShortNameLength);
}

void ItemRecord::StoreFree() {
  const int base = mem::FreeChannel(index);
  // Unsigned 32-bit arithmetic, low 16 bits kept: the radio's own encoding.
  const std::uint32_t first =
      firstEmpty ? 0xFFFFu : ((firstFrequency - mem::kFirstFreqOffset) / mem::kFreqStep) & 0xFFFFu;
  const std::uint32_t second = secondEmpty ? 0xFFFFu : (secondFrequency / mem::kFreqStep) & 0xFFFFu;
  image->SetWord(base + mem::kFreeFirstCode, static_cast<int>(first));
  image->SetWord(base + mem::kFreeSecondCode, static_cast<int>(second));
  WriteChars(base + mem::kFreeShortName, shortName.data(), mem::kFreeShortNameLength);
  // Equal frequencies make the free channel simplex in all three plans.
  const bool equal = !firstEmpty && !secondEmpty && firstFrequency == secondFrequency;
  const int slot = mem::kFirstFreeSlot + index;
  for (int k = 0; k < mem::kPlanCount; ++k) {
    const int address = mem::PlanTable(k) + slot;
    int attr = image->GetByte(address);
    attr = equal ? (attr | mem::kAttrSimplex) : (attr & ~mem::kAttrSimplex);
    image->SetByte(address, static_cast<std::uint8_t>(attr));
  }
}

void ItemRecord::LoadDsc() {
  const int base = mem::DscId(index);
  for (int i = 0; i < mem::kPackedIdSize; ++i) id[i] = image->GetByte(base + mem::kDscIdDigits + i);
  valid = IsValidPackedId(id.data());
  if (!valid) id.fill(0xFF);
  name.fill(' ');
  ReadChars(base + mem::kDscIdName, name.data(), mem::kDscNameLength);
}

void ItemRecord::StoreDsc() {
  // Validity is decided by the bytes themselves, so an ID just typed into an
  // empty record is stored.
  valid = IsValidPackedId(id.data());
  if (valid) {
    id[4] = static_cast<std::uint8_t>(id[4] / 10 * 10);  // digit 9 is always 0
  } else {
    id.fill(0xFF);
    name.fill(' ');
  }
  const int base = mem::DscId(index);
  for (int i = 0; i < mem::kPackedIdSize; ++i) image->SetByte(base + mem::kDscIdDigits + i, id[i]);
  WriteChars(base + mem::kDscIdName, name.data(), mem::kDscNameLength);
}

}  // namespace twk
