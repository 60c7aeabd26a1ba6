// Every setting the program keeps between runs, and the recent file list.
// Loaded once at start-up by the first instance only, changed in memory by
// the commands (the fields are public), written back once when the process
// ends normally. Never written after a fatal stop; reading and writing never
// show an error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/SettingsBackend.h"
#include "app/SingleInstance.h"

namespace twk {


// The recent clone files, newest first, at most 10. Paths compare
// case-insensitively (single-byte character set).
class RecentFileList {
 public:
  static constexpr int kCapacity = 10;

  void AddToFront(const std::string& path);
  void Append(const std::string& path);
  // Trims to the capacity, then returns the number of entries.
  int Count();
  // The entry, or "" for an index at or beyond the count.
  std::string Entry(int index);
  // The entry's path; only its file name when its folder equals `folder`
  // (both without a trailing separator, compared case-insensitively).
  // "" for an index at or beyond the count.
  std::string DisplayName(int index, const std::string& folder);
  void Clear() { entries_.clear(); }
  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  void RemoveEqual(const std::string& path);
  void Trim();
  std::vector<std::string> entries_;
};

// Case-insensitive comparison in the single-byte character set.
bool SameTextNoCase(const std::string& a, const std::string& b);

struct ScreenSize {
  int width = 1024;
  int height = 768;
};

class AppSettings {
 public:
  static constexpr const char* kMutexName = "Zelt TW-K208 APP Exclusive Mutex";
  static constexpr const char* kUserRoot = "Software\\Zelt\\TW-K208";
  static constexpr std::int32_t kValidMarker = 753951;  // 0xB811F

  // `instance` is the single-instance lock, already acquired or not; the
  // settings are loaded only when it reports the first instance. A null
  // lock means no single-instance check (tests, tools): first instance.
  // `screen` is the primary screen's size for the window defaults.
  AppSettings(SettingsBackend& backend, ScreenSize screen,
              std::unique_ptr<SingleInstance> instance = nullptr);
  // Writes the settings (once) when this is the first instance, the marker
  // is valid and no fatal stop has happened; then releases the lock.
  ~AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  bool FirstInstance() const { return firstInstance_; }

  // Reads every value in table order; any failure gives all defaults.
  // Returns whether the set was read completely and carried the marker.
  bool Load();
  void SetDefaults();
  // Writes all five subkeys in table order; stops silently at the first
  // failure. Returns whether everything was written.
  bool Save();
  // The save at process end: Save() once, only if allowed (see destructor).
  void SaveAtExit();

  // "Software\Zelt\TW-K208\<subkey>".
  static std::string KeyPath(const std::string& subkey);

  // Column widths of the sheets: key "Software\Zelt\TW-K208\Display\<name>\colwidth",
  // one integer value per column named by its number in decimal.
  static std::string ColumnWidthKeyPath(const std::string& listName);
  // The value, or -1 when the key cannot be opened or the value is missing.
  // Never creates anything.
  static int ReadInteger(SettingsBackend& root, const std::string& keyPath,
                         const std::string& valueName);
  // Opens the key with create and writes; failures are ignored.
  static void WriteInteger(SettingsBackend& root, const std::string& keyPath, int value,
                           const std::string& valueName);
  // Opens the parent without creating it; when it exists, deletes the subkey.
  static void DeleteKey(SettingsBackend& root, const std::string& parentPath,
                        const std::string& subkeyName);
  // The same on this object's own store (the current user's).
  int ReadInteger(const std::string& keyPath, const std::string& valueName) {
    return ReadInteger(backend_, keyPath, valueName);
  }
  void WriteInteger(const std::string& keyPath, int value, const std::string& valueName) {
    WriteInteger(backend_, keyPath, value, valueName);
  }
  void DeleteKey(const std::string& parentPath, const std::string& subkeyName) {
    DeleteKey(backend_, parentPath, subkeyName);
  }
  SettingsBackend& Backend() { return backend_; }
  // What SaveAtExit asks to learn whether a fatal stop has happened
  // (FatalStopHappened by default; tests replace it).
  void SetStopCheck(bool (*check)()) { stopCheck_ = check; }

  // The settings, all signed 32-bit.
  std::int32_t marker = 0;
  std::int32_t comPort = 1;
  std::int32_t comSpeedHigh = 1;
  RecentFileList recent;
  std::int32_t fontSizePercentage = 100;
  std::int32_t toolbarVisible = 1;
  std::int32_t fontSizePrinter = 10;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 800;
  std::int32_t height = 600;
  std::int32_t splitterV = 200;
  std::int32_t modelType = 0;
  std::int32_t chListType = 0;

 private:
  SettingsBackend& backend_;
  ScreenSize screen_;
  std::unique_ptr<SingleInstance> instance_;
  bool firstInstance_ = true;
  bool saved_ = false;
  bool (*stopCheck_)() = nullptr;
};

// The process-wide settings object (installed by start-up and by tests).
AppSettings& Settings();
AppSettings* SetSettings(AppSettings* settings);
bool HaveSettings();

}  // namespace twk
