#include "text/NameTable.h"

#include "app/Fatal.h"

namespace twk {
namespace {
constexpr int kDefaultBuckets = 1031;
}

NameTable::NameTable(int bucketCount, std::string overlapText)
    : buckets_(static_cast<std::size_t>(bucketCount > 0 ? bucketCount : kDefaultBuckets)),
      overlapText_(std::move(overlapText)) {}

// Each byte is taken as a signed 8-bit value. The step halves whenever the
// byte after the current one (the terminating zero after the last) is odd,
// and starts again at n / 2 when it reaches zero.
std::uint32_t NameTable::Bucket(const std::string& key, int n) {
  if (n <= 0) n = kDefaultBuckets;
  std::uint32_t h = 0;
  std::int32_t step = n / 2;
  const std::int32_t reset = n / 2;
  for (std::size_t i = 0; i < key.size(); ++i) {
    std::int32_t b = static_cast<std::int8_t>(key[i]);
    h = 2u * h + static_cast<std::uint32_t>(step) + static_cast<std::uint32_t>(b);
    unsigned char next = i + 1 < key.size() ? static_cast<unsigned char>(key[i + 1]) : 0;
    if (next & 1u) {
      step >>= 1;
      if (step == 0) step = reset;
    }
  }
  return h % static_cast<std::uint32_t>(n);
}

void NameTable::Insert(const std::string& key, std::intptr_t value) {
  if (Find(key)) Fatal(overlapText_);
  auto& head = buckets_[Bucket(key, BucketCount())];
  auto entry = std::make_unique<Entry>(Entry{key, value, std::move(head)});
  head = std::move(entry);
}

const std::intptr_t* NameTable::Find(const std::string& key) const {
  for (const Entry* e = buckets_[Bucket(key, BucketCount())].get(); e; e = e->next.get()) {
    if (e->key == key) return &e->value;
  }
  return nullptr;
}

}  // namespace twk
