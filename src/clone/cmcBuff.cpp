#include "clone/cmcBuff.h"

#include <algorithm>
#include <cstring>

#include "app/Fatal.h"

namespace twk {

void cmcBuff::Reset() {
  storage_.assign(1, 0);
  pos_ = 0;
  length_ = 0;
}

void cmcBuff::SetLength(int n) {
  if (n < 0) n = 0;
  if (n > Capacity()) {
    std::vector<std::uint8_t> grown(std::max(n + length_ / 4, 1), 0);
    if (length_) std::memcpy(grown.data(), Data(), length_);
    storage_.swap(grown);
    pos_ = 0;
  } else if (n > length_) {
    std::memset(storage_.data() + pos_ + length_, 0, n - length_);
  }
  length_ = n;
}

std::uint8_t cmcBuff::At(int i) const {
  if (i < 0 || i >= length_) Fatal("Out of cmcBuff element !");
  return storage_[pos_ + i];
}

void cmcBuff::Push(std::uint8_t b) {
  SetLength(length_ + 1);
  storage_[pos_ + length_ - 1] = b;
}

void cmcBuff::PushN(std::uint8_t b, int n) {
  if (n <= 0) return;
  const int old = length_;
  SetLength(length_ + n);
  std::memset(storage_.data() + pos_ + old, b, n);
}

void cmcBuff::Append(const std::uint8_t* bytes, int n) {
  if (n <= 0) return;
  if (bytes >= storage_.data() && bytes < storage_.data() + storage_.size()) {
    std::vector<std::uint8_t> copy(bytes, bytes + n);  // appending from itself
    Append(copy.data(), n);
    return;
  }
  const int old = length_;
  SetLength(length_ + n);
  std::memcpy(storage_.data() + pos_ + old, bytes, n);
}

void cmcBuff::Assign(const std::uint8_t* bytes, int n) {
  std::vector<std::uint8_t> copy(bytes, bytes + std::max(n, 0));
  pos_ = 0;
  length_ = 0;
  if (storage_.empty()) storage_.assign(1, 0);
  Append(copy.data(), static_cast<int>(copy.size()));
}

void cmcBuff::RemoveFront(int n) {
  if (n <= 0) return;
  if (n >= length_) {
    pos_ += length_;
    length_ = 0;
  } else {
    pos_ += n;
    length_ -= n;
  }
  if (pos_ > 4096) Compact();
}

int cmcBuff::TakeFront() {
  if (length_ == 0) return -1;
  const int b = storage_[pos_];
  ++pos_;
  --length_;
  if (pos_ > 4096) Compact();
  return b;
}

void cmcBuff::Compact() {
  std::vector<std::uint8_t> exact(std::max(length_, 1), 0);
  if (length_) std::memcpy(exact.data(), Data(), length_);
  storage_.swap(exact);
  pos_ = 0;
}

}  // namespace twk
