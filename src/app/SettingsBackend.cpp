#include "app/SettingsBackend.h"

#include <cctype>

namespace twk {

std::string MemorySettingsBackend::Fold(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

bool MemorySettingsBackend::ConsumeWrite() {
  if (writesAllowed == 0) return false;
  if (writesAllowed > 0) --writesAllowed;
  ++writeCount;
  return true;
}

class MemoryKey : public SettingsKey {
 public:
  MemoryKey(MemorySettingsBackend& store, std::string path, bool writable)
      : store_(store), path_(std::move(path)), writable_(writable) {}

  std::optional<std::int32_t> ReadInteger(const std::string& name) override {
    auto* v = Find(name);
    if (!v) return std::nullopt;
    if (auto* i = std::get_if<std::int32_t>(v)) return *i;
    return std::nullopt;
  }
  std::optional<std::string> ReadString(const std::string& name) override {
    auto* v = Find(name);
    if (!v) return std::nullopt;
    if (auto* s = std::get_if<std::string>(v)) return *s;
    return std::nullopt;
  }
  bool HasValue(const std::string& name) override { return Find(name) != nullptr; }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    return Write(name, value);
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return Write(name, value);
  }

 private:
  MemorySettingsBackend::Value* Find(const std::string& name) {
    auto k = store_.keys_.find(path_);
    if (k == store_.keys_.end()) return nullptr;  // deleted meanwhile
    auto v = k->second.find(MemorySettingsBackend::Fold(name));
    return v == k->second.end() ? nullptr : &v->second;
  }
  bool Write(const std::string& name, MemorySettingsBackend::Value value) {
    if (!writable_) return false;
    auto k = store_.keys_.find(path_);
    if (k == store_.keys_.end()) return false;
    if (!store_.ConsumeWrite()) return false;
    k->second[MemorySettingsBackend::Fold(name)] = std::move(value);
    return true;
  }

  MemorySettingsBackend& store_;
  std::string path_;
  bool writable_;
};

std::unique_ptr<SettingsKey> MemorySettingsBackend::Open(const std::string& path,
                                                         KeyAccess access) {
  std::string p = Fold(path);
  if (p.empty()) return nullptr;
  if (access == KeyAccess::Read) {
    if (!keys_.count(p)) return nullptr;
    return std::make_unique<MemoryKey>(*this, p, false);
  }
  if (refuseCreate) return nullptr;
  // Create the key and every parent.
  for (std::size_t pos = p.find('\\'); pos != std::string::npos; pos = p.find('\\', pos + 1))
    keys_[p.substr(0, pos)];
  keys_[p];
  return std::make_unique<MemoryKey>(*this, p, true);
}

bool MemorySettingsBackend::KeyExists(const std::string& path) {
  return keys_.count(Fold(path)) != 0;
}

bool MemorySettingsBackend::DeleteSubKey(const std::string& parentPath,
                                         const std::string& subkey) {
  std::string parent = Fold(parentPath);
  if (!keys_.count(parent) || subkey.empty()) return false;
  std::string target = parent + "\\" + Fold(subkey);
  bool any = false;
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == target || it->first.rfind(target + "\\", 0) == 0) {
      it = keys_.erase(it);
      any = true;
    } else {
      ++it;
    }
  }
  return any;
}

void MemorySettingsBackend::Set(const std::string& path, const std::string& name, Value value) {
  int saved = writesAllowed;
  bool refuse = refuseCreate;
  writesAllowed = -1;
  refuseCreate = false;
  Open(path, KeyAccess::Create);
  keys_[Fold(path)][Fold(name)] = std::move(value);
  writesAllowed = saved;
  refuseCreate = refuse;
}

std::optional<MemorySettingsBackend::Value> MemorySettingsBackend::Get(
    const std::string& path, const std::string& name) const {
  auto k = keys_.find(Fold(path));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(Fold(name));
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

void MemorySettingsBackend::RemoveValue(const std::string& path, const std::string& name) {
  auto k = keys_.find(Fold(path));
  if (k != keys_.end()) k->second.erase(Fold(name));
}

int MemorySettingsBackend::ValueCount(const std::string& path) const {
  auto k = keys_.find(Fold(path));
  return k == keys_.end() ? 0 : static_cast<int>(k->second.size());
}

}  // namespace twk
