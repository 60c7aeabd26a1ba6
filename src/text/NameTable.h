// String-to-integer hash table used for category, label and colour names.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace twk {

class NameTable {
 public:
  // bucketCount 0 means 1031. `overlapText` is the fatal text for a
  // duplicate insert ("Overlapped Hash table." by default).
  explicit NameTable(int bucketCount = 0,
                     std::string overlapText = "Overlapped Hash table.");

  // The bucket of a key for a table of n buckets (the exact hash the
  // resources' tables were laid out with).
  static std::uint32_t Bucket(const std::string& key, int n);

  void Insert(const std::string& key, std::intptr_t value);  // duplicate: fatal stop
  // Returns a pointer to the value, or nullptr when the key is absent.
  const std::intptr_t* Find(const std::string& key) const;
  int BucketCount() const { return static_cast<int>(buckets_.size()); }

 private:
  struct Entry {
    std::string key;
    std::intptr_t value;
    std::unique_ptr<Entry> next;
  };
  std::vector<std::unique_ptr<Entry>> buckets_;
  std::string overlapText_;
};

}  // namespace twk
