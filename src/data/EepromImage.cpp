#include "data/EepromImage.h"

#include <algorithm>
#include <cstring>

#include "app/Fatal.h"

namespace twk {

void EepromImage::Resize(int n) {
  if (n < 0) n = 0;
  if (n != Size()) {
    data_.assign(static_cast<std::size_t>(n), 0);
  } else {
    std::fill(data_.begin(), data_.end(), 0);
  }
}

void EepromImage::Assign(const EepromImage& other) {
  if (&other == this) return;
  Resize(other.Size());
  std::copy(other.data_.begin(), other.data_.end(), data_.begin());
}

void EepromImage::Fill(std::uint8_t value) { std::fill(data_.begin(), data_.end(), value); }

bool EepromImage::Equals(const EepromImage& other) const { return data_ == other.data_; }

std::uint8_t EepromImage::GetByte(int address) const {
  if (!InRange(address)) Fatal("Out of EEPROM image address (GetByte).");
  return data_[static_cast<std::size_t>(address)];
}

void EepromImage::SetByte(int address, std::uint8_t value) {
  if (!InRange(address)) Fatal("Out of EEPROM image address (SetByte).");
  data_[static_cast<std::size_t>(address)] = value;
}

void EepromImage::WriteBlock(int address, const std::uint8_t* bytes, int length) {
  if (address < 0 || address >= Size() || length <= 0 || length > Size() - address) return;
  std::memcpy(data_.data() + address, bytes, static_cast<std::size_t>(length));
}

void EepromImage::ReadBlock(int address, std::uint8_t* buffer, int length) const {
  if (address < 0 || address >= Size() || length <= 0 || length > Size() - address) return;
  std::memcpy(buffer, data_.data() + address, static_cast<std::size_t>(length));
}

}  // namespace twk
