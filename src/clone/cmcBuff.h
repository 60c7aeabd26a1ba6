// cmcBuff: a growable byte buffer with cheap removal from the front, used for
// the serial port's output queue and the clone engine's receive, frame and
// echo buffers.
#pragma once

#include <cstdint>
#include <vector>

namespace twk {

class cmcBuff {
 public:
  cmcBuff() { Reset(); }

  // Releases the storage: length 0, a fresh 1-byte block.
  void Reset();
  // Grows (new bytes are the fill byte 0) or shrinks the valid bytes.
  void SetLength(int n);
  void Clear() { SetLength(0); }
  int Length() const { return length_; }
  bool Empty() const { return length_ == 0; }
  int Capacity() const { return static_cast<int>(storage_.size()) - pos_; }
  const std::uint8_t* Data() const { return storage_.data() + pos_; }
  // Checked: an index at or past the length is a fatal stop.
  std::uint8_t At(int i) const;

  void Push(std::uint8_t b);
  void PushN(std::uint8_t b, int n);
  void Append(const std::uint8_t* bytes, int n);
  void Append(const cmcBuff& other) { Append(other.Data(), other.Length()); }
  void Assign(const std::uint8_t* bytes, int n);
  void Assign(const cmcBuff& other) { Assign(other.Data(), other.Length()); }
  // Removes the first n bytes (all when n >= length).
  void RemoveFront(int n);
  // The first byte, removed; -1 when empty.
  int TakeFront();
  // Reallocates exactly max(length, 1) bytes.
  void Compact();
  // Offset of the first valid byte inside the storage (for tests).
  int ReadPosition() const { return pos_; }

 private:
  std::vector<std::uint8_t> storage_;
  int pos_ = 0;
  int length_ = 0;
};

}  // namespace twk
