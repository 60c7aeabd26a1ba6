#include "app/qt/QtSettingsBackend.h"

#include <cstdint>

#include "app/AppSettings.h"

namespace twk {
namespace {

class QtKey : public SettingsKey {
 public:
  QtKey(QSettings& s, QString group, bool writable)
      : s_(s), prefix_(group.isEmpty() ? QString() : group + "/"), writable_(writable) {}

  std::optional<std::int32_t> ReadInteger(const std::string& name) override {
    QVariant v = s_.value(prefix_ + QString::fromStdString(name));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    qlonglong n = v.toString().trimmed().toLongLong(&ok);
    if (!ok || n < INT32_MIN || n > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(n);
  }
  std::optional<std::string> ReadString(const std::string& name) override {
    QVariant v = s_.value(prefix_ + QString::fromStdString(name));
    if (!v.isValid()) return std::nullopt;
    // The values are single-byte text.
    return v.toString().toLatin1().toStdString();
  }
  bool HasValue(const std::string& name) override {
    return s_.contains(prefix_ + QString::fromStdString(name));
  }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    if (!writable_) return false;
    s_.setValue(prefix_ + QString::fromStdString(name), value);
    return s_.status() == QSettings::NoError;
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    if (!writable_) return false;
    s_.setValue(prefix_ + QString::fromStdString(name), QString::fromLatin1(value));
    return s_.status() == QSettings::NoError;
  }

 private:
  QSettings& s_;
  QString prefix_;
  bool writable_;
};

}  // namespace

QtSettingsBackend::QtSettingsBackend() : settings_("Zelt", "TW-K208") {}

QtSettingsBackend::~QtSettingsBackend() { settings_.sync(); }

bool QtSettingsBackend::GroupOf(const std::string& path, QString& group) {
  const QString root = QString::fromLatin1(AppSettings::kUserRoot);
  QString p = QString::fromLatin1(path);
  while (p.endsWith('\\')) p.chop(1);
  if (p.compare(root, Qt::CaseInsensitive) == 0) {
    group.clear();
    return true;
  }
  if (!p.startsWith(root + "\\", Qt::CaseInsensitive)) return false;
  group = p.mid(root.size() + 1);
  group.replace('\\', '/');
  return !group.isEmpty();
}

bool QtSettingsBackend::KeyExists(const std::string& path) {
  QString group;
  if (!GroupOf(path, group)) return false;
  if (group.isEmpty()) return !settings_.allKeys().isEmpty();
  settings_.beginGroup(group);
  bool exists = !settings_.allKeys().isEmpty();
  settings_.endGroup();
  return exists;
}

std::unique_ptr<SettingsKey> QtSettingsBackend::Open(const std::string& path, KeyAccess access) {
  QString group;
  if (!GroupOf(path, group)) return nullptr;
  if (access == KeyAccess::Read && !KeyExists(path)) return nullptr;
  if (access == KeyAccess::Create && !settings_.isWritable()) return nullptr;
  return std::make_unique<QtKey>(settings_, group, access == KeyAccess::Create);
}

bool QtSettingsBackend::DeleteSubKey(const std::string& parentPath, const std::string& subkey) {
  QString group;
  if (!GroupOf(parentPath + "\\" + subkey, group) || group.isEmpty()) return false;
  bool existed = KeyExists(parentPath + "\\" + subkey);
  settings_.remove(group);
  return existed;
}

}  // namespace twk
