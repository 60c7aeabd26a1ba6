// A view on one record of an EEPROM image: a channel slot of one plan, a
// weather channel, a free channel or a DSC individual ID. Load decodes the
// record into the fields, the caller edits the fields, Store encodes them
// back with the record kind's rules. One object is created over an image and
// reused for many records.
#pragma once

#include <array>
#include <cstdint>

#include "data/EepromImage.h"

namespace twk {

// Record kinds, numbered as the cell categories that use them.
enum class RecordKind : int {
  None = 0,
  IntChannel = 1,
  UsaChannel = 2,
  CanadaChannel = 3,
  Weather = 4,
  FreeChannel = 5,
  DscId = 6,
  Atis = 7,  // the ATIS items are plain settings: no record storage
};

// Number of records of a kind (0 for None and Atis).
int RecordCount(RecordKind kind);
bool IsPlanKind(RecordKind kind);
// Plan index k of a plan kind (USA 0, INT 1, CANADA 2); -1 for other kinds.
int PlanIndexOf(RecordKind kind);
// The plan kind of plan index k.
RecordKind PlanKindOf(int k);

// A packed 10-digit ID (DSC IDs, the self ID) is valid when every byte is at
// most 99.
bool IsValidPackedId(const std::uint8_t* id);
// Check byte of the self ID: ones' complement of the low byte of the sum of
// the 5 packed bytes.
std::uint8_t PackedIdCheckByte(const std::uint8_t* id);

class ItemRecord {
 public:
  // Plan marks.
  static constexpr int kMarkP = 0x01;  // this slot is the plan's P channel
  static constexpr int kMarkC = 0x02;  // this slot is the plan's C channel
  // Attribute flags of a plan slot (bit n = attribute flag n).
  static constexpr int kFlagNotInUse = 0x01;  // flag 0
  static constexpr int kFlagTag = 0x02;       // flag 1
  static constexpr int kFlagTxInhibit = 0x04; // flag 2
  static constexpr int kFlagLowPower = 0x08;  // flag 3
  static constexpr int kFlagSimplex = 0x10;   // flag 4
  // Weather kind: flag 0 set = the weather channel is not used.
  static constexpr int kFlagWeatherOff = 0x01;

  explicit ItemRecord(EepromImage* image = nullptr) : image(image) {}

  // Points the view at another image (the fields are kept).
  void Attach(EepromImage* other) { image = other; }
  // Clears every field except the image, sets kind and index and decodes the
  // record. An index outside the kind's table leaves the record empty
  // (kind None), as does a missing image.
  void Load(RecordKind kind, int index);
  // Encodes the fields into the image; nothing for kind None or Atis.
  void Store();
  void Reload() { Load(kind, index); }
  void StoreAndReload() {
    Store();
    Reload();
  }
  bool IsLoaded() const { return kind != RecordKind::None; }

  RecordKind kind = RecordKind::None;
  int index = 0;
  EepromImage* image = nullptr;
  int planMarks = 0;
  int flags = 0;
  // 10 characters for the plan and weather kinds; the DSC kind uses the
  // first 5.
  std::array<char, 10> name{};
  std::array<std::uint8_t, 5> id{};
  bool valid = false;
  // Free channel kind, in Hz. An erased code (0xFFFF) loads as an empty
  // frequency; storing an empty frequency writes 0xFFFF again.
  std::uint32_t firstFrequency = 0;
  std::uint32_t secondFrequency = 0;
  bool firstEmpty = false;
  bool secondEmpty = false;
  std::array<char, 3> shortName{};

 private:
  void LoadPlan();
  void StorePlan();
  void LoadFree();
  void StoreFree();
  void LoadDsc();
  void StoreDsc();
  void ReadChars(int address, char* out, int length) const;
  void WriteChars(int address, const char* chars, int length);
};

}  // namespace twk
