// The settings store on QSettings, organisation "Zelt", application
// "TW-K208": the registry key Software\Zelt\TW-K208 on Windows, an INI file
// in the user's configuration folder elsewhere. Key paths below that root
// become QSettings groups; paths outside it cannot be opened.
#pragma once

#include <QSettings>
#include <memory>

#include "app/SettingsBackend.h"

namespace twk {

class QtSettingsBackend : public SettingsBackend {
 public:
  QtSettingsBackend();
  ~QtSettingsBackend() override;  // flushes to disk

  std::unique_ptr<SettingsKey> Open(const std::string& path, KeyAccess access) override;
  bool KeyExists(const std::string& path) override;
  bool DeleteSubKey(const std::string& parentPath, const std::string& subkey) override;

  // Where the values are kept (the file on Linux).
  QString Location() const { return settings_.fileName(); }
  // Maps "Software\Zelt\TW-K208\A\B" to "A/B"; false outside the root.
  static bool GroupOf(const std::string& path, QString& group);

 private:
  QSettings settings_;
};

}  // namespace twk
