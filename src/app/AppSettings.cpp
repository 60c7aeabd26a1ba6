#include "app/AppSettings.h"

#include <algorithm>
#include <cctype>

#include "app/Fatal.h"
#include "app/SingleInstance.h"

namespace twk {

// ---------------------------------------------------------------- recent list

bool SameTextNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string WithoutTrailingSeparator(std::string folder) {
  if (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  return folder;
}

}  // namespace

void RecentFileList::RemoveEqual(const std::string& path) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const std::string& e) { return SameTextNoCase(e, path); }),
                 entries_.end());
}

void RecentFileList::Trim() {
  while (static_cast<int>(entries_.size()) > kCapacity) entries_.pop_back();
}

void RecentFileList::AddToFront(const std::string& path) {
  RemoveEqual(path);
  entries_.insert(entries_.begin(), path);
  Trim();
}

void RecentFileList::Append(const std::string& path) {
  RemoveEqual(path);
  entries_.push_back(path);
  Trim();
}

int RecentFileList::Count() {
  Trim();
  return static_cast<int>(entries_.size());
}

std::string RecentFileList::Entry(int index) {
  if (index < 0 || index >= Count()) return {};
  return entries_[index];
}

std::string RecentFileList::DisplayName(int index, const std::string& folder) {
  if (index < 0 || index >= Count()) return {};
  const std::string& path = entries_[index];
  std::size_t slash = path.find_last_of("/\\");
  std::string entryFolder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  if (SameTextNoCase(WithoutTrailingSeparator(entryFolder), WithoutTrailingSeparator(folder)))
    return slash == std::string::npos ? path : path.substr(slash + 1);
  return path;
}

// ---------------------------------------------------------------- settings

namespace {

constexpr const char* kGlobal = "Global";
constexpr const char* kRecent = "Recent File List";
constexpr const char* kView = "View Option";
constexpr const char* kWindow = "Window Position";
constexpr const char* kSetup = "Setup";

std::int32_t Clamp(std::int32_t v, std::int32_t lo, std::int32_t hi) {
  return std::min(std::max(v, lo), hi);
}

std::string RecentName(int i) { return "Recent" + std::to_string(i); }

// A read that fails throws this; Load() catches it and defaults everything.
struct ReadFailed {};

std::int32_t MustInt(SettingsKey& key, const char* name) {
  auto v = key.ReadInteger(name);
  if (!v) throw ReadFailed{};
  return *v;
}

std::string MustString(SettingsKey& key, const std::string& name) {
  auto v = key.ReadString(name);
  if (!v) throw ReadFailed{};
  return *v;
}

AppSettings* g_settings = nullptr;

}  // namespace

AppSettings::AppSettings(SettingsBackend& backend, ScreenSize screen,
                         std::unique_ptr<SingleInstance> instance)
    : backend_(backend), screen_(screen), instance_(std::move(instance)) {
  firstInstance_ = !instance_ || instance_->IsFirst();
  SetDefaults();
  // A second instance keeps the defaults in memory but never reads the store
  // and never writes it back.
  if (firstInstance_) {
    Load();
  } else {
    marker = 0;
  }
}

AppSettings::~AppSettings() {
  SaveAtExit();
  if (g_settings == this) g_settings = nullptr;
  instance_.reset();
}

std::string AppSettings::KeyPath(const std::string& subkey) {
  return std::string(kUserRoot) + "\\" + subkey;
}

std::string AppSettings::ColumnWidthKeyPath(const std::string& listName) {
  return std::string(kUserRoot) + "\\Display\\" + listName + "\\colwidth";
}

void AppSettings::SetDefaults() {
  marker = kValidMarker;
  comPort = 1;
  comSpeedHigh = 1;
  recent.Clear();
  fontSizePercentage = 100;
  toolbarVisible = 1;
  fontSizePrinter = 10;
  // Width and height first, then the position from them.
  width = std::min(800, static_cast<int>(screen_.width * 0.9));
  height = std::min(600, static_cast<int>(screen_.height * 0.9));
  left = (screen_.width - width) / 2;
  top = static_cast<int>((screen_.height - height) * 0.3);
  splitterV = 200;
  modelType = 0;
  chListType = 0;
}

bool AppSettings::Load() {
  try {
    {
      auto key = backend_.Open(KeyPath(kGlobal), KeyAccess::Read);
      if (!key) throw ReadFailed{};
      marker = MustInt(*key, "BBT");
      comPort = Clamp(MustInt(*key, "ComPort"), 1, 256);
      comSpeedHigh = Clamp(MustInt(*key, "ComSpeedHigh"), 0, 1);
    }
    {
      auto key = backend_.Open(KeyPath(kRecent), KeyAccess::Read);
      if (!key) throw ReadFailed{};
      recent.Clear();
      for (int i = 0; i < RecentFileList::kCapacity; ++i)
        recent.Append(MustString(*key, RecentName(i)));
    }
    {
      auto key = backend_.Open(KeyPath(kView), KeyAccess::Read);
      if (!key) throw ReadFailed{};
      fontSizePercentage = Clamp(MustInt(*key, "FontSize Percentage"), 25, 1000);
      toolbarVisible = MustInt(*key, "Toolbar Visible") != 0 ? 1 : 0;
      fontSizePrinter = Clamp(MustInt(*key, "FontSize Printer"), 8, 12);
    }
    {
      auto key = backend_.Open(KeyPath(kWindow), KeyAccess::Read);
      if (!key) throw ReadFailed{};
      left = MustInt(*key, "Left");
      top = MustInt(*key, "Top");
      width = MustInt(*key, "Width");
      height = MustInt(*key, "Height");
      splitterV = MustInt(*key, "SplitterV");
    }
    {
      auto key = backend_.Open(KeyPath(kSetup), KeyAccess::Read);
      if (!key) throw ReadFailed{};
      modelType = MustInt(*key, "ModelType");
      chListType = MustInt(*key, "ChListType") != 0 ? 1 : 0;
    }
  } catch (const ReadFailed&) {
    SetDefaults();
    return false;
  }
  if (marker != kValidMarker) {
    SetDefaults();
    return false;
  }
  return true;
}

bool AppSettings::Save() {
  auto open = [&](const char* subkey) { return backend_.Open(KeyPath(subkey), KeyAccess::Create); };
  {
    auto key = open(kGlobal);
    if (!key || !key->WriteInteger("BBT", marker) || !key->WriteInteger("ComPort", comPort) ||
        !key->WriteInteger("ComSpeedHigh", comSpeedHigh))
      return false;
  }
  {
    auto key = open(kRecent);
    if (!key) return false;
    for (int i = 0; i < RecentFileList::kCapacity; ++i)
      if (!key->WriteString(RecentName(i), recent.DisplayName(i, ""))) return false;
  }
  {
    auto key = open(kView);
    if (!key || !key->WriteInteger("FontSize Percentage", fontSizePercentage) ||
        !key->WriteInteger("Toolbar Visible", toolbarVisible) ||
        !key->WriteInteger("FontSize Printer", fontSizePrinter))
      return false;
  }
  {
    auto key = open(kWindow);
    if (!key || !key->WriteInteger("Left", left) || !key->WriteInteger("Top", top) ||
        !key->WriteInteger("Width", width) || !key->WriteInteger("Height", height) ||
        !key->WriteInteger("SplitterV", splitterV))
      return false;
  }
  {
    auto key = open(kSetup);
    if (!key || !key->WriteInteger("ModelType", modelType) ||
        !key->WriteInteger("ChListType", chListType))
      return false;
  }
  return true;
}

void AppSettings::SaveAtExit() {
  if (saved_ || !firstInstance_ || marker != kValidMarker ||
      (stopCheck_ ? stopCheck_() : FatalStopHappened()))
    return;
  saved_ = true;
  Save();
}

int AppSettings::ReadInteger(SettingsBackend& root, const std::string& keyPath,
                             const std::string& valueName) {
  auto key = root.Open(keyPath, KeyAccess::Read);
  if (!key) return -1;
  auto v = key->ReadInteger(valueName);
  return v ? *v : -1;
}

void AppSettings::WriteInteger(SettingsBackend& root, const std::string& keyPath, int value,
                               const std::string& valueName) {
  auto key = root.Open(keyPath, KeyAccess::Create);
  if (key) key->WriteInteger(valueName, value);
}

void AppSettings::DeleteKey(SettingsBackend& root, const std::string& parentPath,
                            const std::string& subkeyName) {
  if (!root.KeyExists(parentPath)) return;
  root.DeleteSubKey(parentPath, subkeyName);
}

AppSettings& Settings() {
  if (!g_settings) Fatal("Settings are not available.");
  return *g_settings;
}

AppSettings* SetSettings(AppSettings* settings) {
  AppSettings* old = g_settings;
  g_settings = settings;
  return old;
}

bool HaveSettings() { return g_settings != nullptr; }

}  // namespace twk
