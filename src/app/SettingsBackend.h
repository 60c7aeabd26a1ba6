// The per-user settings store behind an interface: hierarchical keys
// ("Software\Zelt\TW-K208\Global") holding named integer and string values.
// The editor uses QSettings; tests use the in-memory store below, which can
// also be told to fail so that the error paths can be exercised.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>

namespace twk {

// An open key. Reads report a missing value (or one of the wrong type) as
// nullopt; writes report failure as false.
class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  virtual std::optional<std::int32_t> ReadInteger(const std::string& name) = 0;
  virtual std::optional<std::string> ReadString(const std::string& name) = 0;
  virtual bool HasValue(const std::string& name) = 0;
  virtual bool WriteInteger(const std::string& name, std::int32_t value) = 0;
  virtual bool WriteString(const std::string& name, const std::string& value) = 0;
};

enum class KeyAccess {
  Read,   // the key must exist; nothing is created
  Create  // full access; the key and its parents are created when missing
};

class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;
  // Key paths use '\' between levels. Returns nullptr when the key cannot
  // be opened (missing for Read, or the store refuses).
  virtual std::unique_ptr<SettingsKey> Open(const std::string& path, KeyAccess access) = 0;
  // True when the key exists.
  virtual bool KeyExists(const std::string& path) = 0;
  // Deletes `subkey` of `parentPath` with everything below it; the parent
  // is not created. Returns whether something was deleted.
  virtual bool DeleteSubKey(const std::string& parentPath, const std::string& subkey) = 0;
};

// The whole store in memory. Key paths and value names compare
// case-insensitively, as in the platform's registry.
class MemorySettingsBackend : public SettingsBackend {
 public:
  using Value = std::variant<std::int32_t, std::string>;

  std::unique_ptr<SettingsKey> Open(const std::string& path, KeyAccess access) override;
  bool KeyExists(const std::string& path) override;
  bool DeleteSubKey(const std::string& parentPath, const std::string& subkey) override;

  // Direct access for tests.
  void Set(const std::string& path, const std::string& name, Value value);
  std::optional<Value> Get(const std::string& path, const std::string& name) const;
  void RemoveValue(const std::string& path, const std::string& name);
  int KeyCount() const { return static_cast<int>(keys_.size()); }
  int ValueCount(const std::string& path) const;

  // Failure injection: after this many more successful writes every write
  // fails (-1: never). Opening with Create fails while `refuseCreate` is set.
  int writesAllowed = -1;
  bool refuseCreate = false;
  int writeCount = 0;  // successful writes so far

 private:
  friend class MemoryKey;
  static std::string Fold(const std::string& s);
  bool ConsumeWrite();
  // folded path -> (folded value name -> value)
  std::map<std::string, std::map<std::string, Value>> keys_;
};

}  // namespace twk
