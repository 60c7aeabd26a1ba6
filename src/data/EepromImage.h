// The in-memory copy of the radio's EEPROM: a sized byte array with checked
// byte access. Images are replaced by copying into them (Assign), never by
// swapping objects, so every view keeps its reference to the current image.
#pragma once

#include <cstdint>
#include <vector>

namespace twk {

class EepromImage {
 public:
  // Every image of the model has this many bytes (0x000-0x1000); the clone
  // file and Clone Read cover 0x000-0xFFF.
  static constexpr int kModelSize = 0x1001;
  static constexpr int kClonedSize = 0x1000;

  EepromImage() = default;
  explicit EepromImage(int size) { Resize(size); }

  // Reallocates when the size changes; always leaves every byte 0.
  void Resize(int n);
  void Assign(const EepromImage& other);
  void Fill(std::uint8_t value);
  bool Equals(const EepromImage& other) const;
  bool NotEquals(const EepromImage& other) const { return !Equals(other); }
  bool InRange(int address) const { return address >= 0 && address < Size(); }
  int Size() const { return static_cast<int>(data_.size()); }

  // Checked: an address outside the image is a fatal stop.
  std::uint8_t GetByte(int address) const;
  void SetByte(int address, std::uint8_t value);

  // Little-endian 16-bit word built from two checked byte accesses.
  int GetWord(int address) const { return GetByte(address) | (GetByte(address + 1) << 8); }
  void SetWord(int address, int value) {
    SetByte(address, static_cast<std::uint8_t>(value & 0xFF));
    SetByte(address + 1, static_cast<std::uint8_t>((value >> 8) & 0xFF));
  }

  // Block copies; do nothing unless the whole block lies inside the image.
  void WriteBlock(int address, const std::uint8_t* bytes, int length);
  void ReadBlock(int address, std::uint8_t* buffer, int length) const;

  const std::uint8_t* Data() const { return data_.data(); }

 private:
  std::vector<std::uint8_t> data_;
};

}  // namespace twk
