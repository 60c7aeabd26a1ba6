#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/SettingsBackend.h"
#include "app/SingleInstance.h"
#include "common/TestSupport.h"

namespace twk {
namespace {

const ScreenSize kScreen{1280, 1024};
bool NoStop() { return false; }
bool Stopped() { return true; }

std::string Path(const std::string& sub) { return AppSettings::KeyPath(sub); }

std::int32_t IntAt(const MemorySettingsBackend& store, const std::string& sub,
                   const std::string& name) {
  auto v = store.Get(Path(sub), name);
  if (!v || !std::holds_alternative<std::int32_t>(*v)) {
    ADD_FAILURE() << sub << "/" << name << " is not an integer";
    return -99999;
  }
  return std::get<std::int32_t>(*v);
}

std::string StrAt(const MemorySettingsBackend& store, const std::string& sub,
                  const std::string& name) {
  auto v = store.Get(Path(sub), name);
  if (!v || !std::holds_alternative<std::string>(*v)) {
    ADD_FAILURE() << sub << "/" << name << " is not a string";
    return "<none>";
  }
  return std::get<std::string>(*v);
}

// A complete, valid stored set with distinctive values.
void StoreFullSet(MemorySettingsBackend& s) {
  s.Set(Path("Global"), "BBT", 753951);
  s.Set(Path("Global"), "ComPort", 3);
  s.Set(Path("Global"), "ComSpeedHigh", 0);
  for (int i = 0; i < 10; ++i)
    s.Set(Path("Recent File List"), "Recent" + std::to_string(i),
          i < 2 ? std::string("/home/u/f") + std::to_string(i) + ".dat" : std::string());
  s.Set(Path("View Option"), "FontSize Percentage", 150);
  s.Set(Path("View Option"), "Toolbar Visible", 0);
  s.Set(Path("View Option"), "FontSize Printer", 11);
  s.Set(Path("Window Position"), "Left", 11);
  s.Set(Path("Window Position"), "Top", 22);
  s.Set(Path("Window Position"), "Width", 633);
  s.Set(Path("Window Position"), "Height", 444);
  s.Set(Path("Window Position"), "SplitterV", 155);
  s.Set(Path("Setup"), "ModelType", 0);
  s.Set(Path("Setup"), "ChListType", 1);
}

void ExpectDefaults(AppSettings& a) {
  EXPECT_EQ(a.marker, 753951);
  EXPECT_EQ(a.comPort, 1);
  EXPECT_EQ(a.comSpeedHigh, 1);
  EXPECT_EQ(a.recent.Count(), 0);
  EXPECT_EQ(a.fontSizePercentage, 100);
  EXPECT_EQ(a.toolbarVisible, 1);
  EXPECT_EQ(a.fontSizePrinter, 10);
  // 1280 x 1024: width min(800, 1152), height min(600, 921),
  // left (1280-800)/2, top (1024-600)*0.3 truncated.
  EXPECT_EQ(a.width, 800);
  EXPECT_EQ(a.height, 600);
  EXPECT_EQ(a.left, 240);
  EXPECT_EQ(a.top, 127);
  EXPECT_EQ(a.splitterV, 200);
  EXPECT_EQ(a.modelType, 0);
  EXPECT_EQ(a.chListType, 0);
}

TEST(Settings, FirstRunGivesDefaultsAndWritesAllFiveSubkeysAtExit) {
  MemorySettingsBackend store;
  {
    AppSettings a(store, kScreen);
    a.SetStopCheck(NoStop);
    EXPECT_TRUE(a.FirstInstance());
    ExpectDefaults(a);
    EXPECT_EQ(store.KeyCount(), 0) << "loading must not create anything";
  }
  EXPECT_EQ(store.ValueCount(Path("Global")), 3);
  EXPECT_EQ(store.ValueCount(Path("Recent File List")), 10);
  EXPECT_EQ(store.ValueCount(Path("View Option")), 3);
  EXPECT_EQ(store.ValueCount(Path("Window Position")), 5);
  EXPECT_EQ(store.ValueCount(Path("Setup")), 2);
  EXPECT_EQ(IntAt(store, "Global", "BBT"), 753951);
  EXPECT_EQ(IntAt(store, "Global", "ComPort"), 1);
  EXPECT_EQ(IntAt(store, "Global", "ComSpeedHigh"), 1);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(StrAt(store, "Recent File List", "Recent" + std::to_string(i)), "");
  EXPECT_EQ(IntAt(store, "View Option", "FontSize Percentage"), 100);
  EXPECT_EQ(IntAt(store, "View Option", "Toolbar Visible"), 1);
  EXPECT_EQ(IntAt(store, "View Option", "FontSize Printer"), 10);
  EXPECT_EQ(IntAt(store, "Window Position", "Left"), 240);
  EXPECT_EQ(IntAt(store, "Window Position", "Top"), 127);
  EXPECT_EQ(IntAt(store, "Window Position", "Width"), 800);
  EXPECT_EQ(IntAt(store, "Window Position", "Height"), 600);
  EXPECT_EQ(IntAt(store, "Window Position", "SplitterV"), 200);
  EXPECT_EQ(IntAt(store, "Setup", "ModelType"), 0);
  EXPECT_EQ(IntAt(store, "Setup", "ChListType"), 0);
}

TEST(Settings, WindowDefaultsFollowSmallScreens) {
  MemorySettingsBackend store;
  AppSettings a(store, ScreenSize{640, 480});
  a.SetStopCheck(Stopped);
  EXPECT_EQ(a.width, 576);   // 640 * 0.9
  EXPECT_EQ(a.height, 432);  // 480 * 0.9
  EXPECT_EQ(a.left, 32);     // (640 - 576) / 2
  EXPECT_EQ(a.top, 14);      // (480 - 432) * 0.3 = 14.4
}

TEST(Settings, StoredSetLoadsAndWritesBackUnchanged) {
  MemorySettingsBackend store;
  StoreFullSet(store);
  {
    AppSettings a(store, kScreen);
    a.SetStopCheck(NoStop);
    EXPECT_EQ(a.comPort, 3);
    EXPECT_EQ(a.comSpeedHigh, 0);
    ASSERT_EQ(a.recent.Count(), 3);  // two files and one empty entry
    EXPECT_EQ(a.recent.Entry(0), "/home/u/f0.dat");
    EXPECT_EQ(a.recent.Entry(1), "/home/u/f1.dat");
    EXPECT_EQ(a.recent.Entry(2), "");
    EXPECT_EQ(a.fontSizePercentage, 150);
    EXPECT_EQ(a.toolbarVisible, 0);
    EXPECT_EQ(a.fontSizePrinter, 11);
    EXPECT_EQ(a.left, 11);
    EXPECT_EQ(a.top, 22);
    EXPECT_EQ(a.width, 633);
    EXPECT_EQ(a.height, 444);
    EXPECT_EQ(a.splitterV, 155);
    EXPECT_EQ(a.chListType, 1);
    a.left = -7;
    a.recent.AddToFront("/x/new.dat");
  }
  EXPECT_EQ(IntAt(store, "Window Position", "Left"), -7);
  EXPECT_EQ(StrAt(store, "Recent File List", "Recent0"), "/x/new.dat");
  EXPECT_EQ(StrAt(store, "Recent File List", "Recent1"), "/home/u/f0.dat");
  EXPECT_EQ(StrAt(store, "Recent File List", "Recent3"), "");
  EXPECT_EQ(IntAt(store, "View Option", "FontSize Percentage"), 150);
}

// Any hole in the stored set gives every default, also for the values read
// before the failure.
TEST(Settings, IncompleteOrInvalidSetGivesEveryDefault) {
  struct Case {
    const char* what;
    std::function<void(MemorySettingsBackend&)> spoil;
  };
  const std::vector<Case> cases = {
      {"Setup key missing",
       [](MemorySettingsBackend& s) { s.DeleteSubKey(AppSettings::kUserRoot, "Setup"); }},
      {"Global key missing",
       [](MemorySettingsBackend& s) { s.DeleteSubKey(AppSettings::kUserRoot, "Global"); }},
      {"a recent value missing",
       [](MemorySettingsBackend& s) { s.RemoveValue(Path("Recent File List"), "Recent9"); }},
      {"SplitterV missing",
       [](MemorySettingsBackend& s) { s.RemoveValue(Path("Window Position"), "SplitterV"); }},
      {"ComPort is a string",
       [](MemorySettingsBackend& s) { s.Set(Path("Global"), "ComPort", std::string("3")); }},
      {"Recent0 is an integer",
       [](MemorySettingsBackend& s) { s.Set(Path("Recent File List"), "Recent0", 5); }},
      {"wrong marker", [](MemorySettingsBackend& s) { s.Set(Path("Global"), "BBT", 753950); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySettingsBackend store;
    StoreFullSet(store);
    c.spoil(store);
    AppSettings a(store, kScreen);
    a.SetStopCheck(Stopped);
    ExpectDefaults(a);
  }
}

TEST(Settings, LoadClampsAndNormalisesValues) {
  struct Case {
    const char* sub;
    const char* name;
    std::int32_t stored;
    std::int32_t loaded;
    std::int32_t AppSettings::*field;
  };
  const std::vector<Case> cases = {
      {"Global", "ComPort", 0, 1, &AppSettings::comPort},
      {"Global", "ComPort", -5, 1, &AppSettings::comPort},
      {"Global", "ComPort", 300, 256, &AppSettings::comPort},
      {"Global", "ComPort", 256, 256, &AppSettings::comPort},
      {"Global", "ComSpeedHigh", 9, 1, &AppSettings::comSpeedHigh},
      {"Global", "ComSpeedHigh", -1, 0, &AppSettings::comSpeedHigh},
      {"View Option", "FontSize Percentage", 10, 25, &AppSettings::fontSizePercentage},
      {"View Option", "FontSize Percentage", 5000, 1000, &AppSettings::fontSizePercentage},
      {"View Option", "Toolbar Visible", 7, 1, &AppSettings::toolbarVisible},
      {"View Option", "Toolbar Visible", -1, 1, &AppSettings::toolbarVisible},
      {"View Option", "FontSize Printer", 20, 12, &AppSettings::fontSizePrinter},
      {"View Option", "FontSize Printer", 3, 8, &AppSettings::fontSizePrinter},
      {"Window Position", "Left", -5000, -5000, &AppSettings::left},
      {"Window Position", "SplitterV", 3, 3, &AppSettings::splitterV},
      {"Setup", "ModelType", 3, 3, &AppSettings::modelType},
      {"Setup", "ChListType", 5, 1, &AppSettings::chListType},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.stored));
    MemorySettingsBackend store;
    StoreFullSet(store);
    store.Set(Path(c.sub), c.name, c.stored);
    {
      AppSettings a(store, kScreen);
      a.SetStopCheck(NoStop);
      EXPECT_EQ(a.*c.field, c.loaded);
    }
    EXPECT_EQ(IntAt(store, c.sub, c.name), c.loaded) << "written back as loaded";
  }
}

TEST(Settings, RecentValuesDeduplicateCaseInsensitivelyOnLoad) {
  MemorySettingsBackend store;
  StoreFullSet(store);
  store.Set(Path("Recent File List"), "Recent0", std::string("C:\\x\\a"));
  store.Set(Path("Recent File List"), "Recent1", std::string("c:\\X\\A"));
  AppSettings a(store, kScreen);
  a.SetStopCheck(Stopped);
  ASSERT_EQ(a.recent.Count(), 2);
  EXPECT_EQ(a.recent.Entry(0), "c:\\X\\A");
  EXPECT_EQ(a.recent.Entry(1), "");
}

TEST(Settings, NothingIsWrittenAfterAFatalStopOrByASecondInstance) {
  {
    MemorySettingsBackend store;
    { AppSettings a(store, kScreen); a.SetStopCheck(Stopped); }
    EXPECT_EQ(store.KeyCount(), 0);
  }
  {
    test::TempDir dir;
    SingleInstance first("Test Mutex", dir.path().string());
    ASSERT_TRUE(first.IsFirst());
    MemorySettingsBackend store;
    StoreFullSet(store);
    store.Set(Path("Global"), "ComPort", 9);
    {
      AppSettings a(store, kScreen,
                    std::make_unique<SingleInstance>("Test Mutex", dir.path().string()));
      a.SetStopCheck(NoStop);
      EXPECT_FALSE(a.FirstInstance());
      EXPECT_EQ(a.comPort, 1) << "a second instance does not read the store";
      a.comPort = 4;
    }
    EXPECT_EQ(IntAt(store, "Global", "ComPort"), 9) << "nor write it";
  }
}

TEST(Settings, SaveHappensOnceAndStopsSilentlyAtAWriteFailure) {
  MemorySettingsBackend store;
  AppSettings a(store, kScreen);
  a.SetStopCheck(NoStop);
  store.writesAllowed = 4;  // BBT, ComPort, ComSpeedHigh, Recent0
  a.SaveAtExit();
  EXPECT_EQ(store.writeCount, 4);
  EXPECT_EQ(StrAt(store, "Recent File List", "Recent0"), "");
  EXPECT_FALSE(store.Get(Path("Recent File List"), "Recent1").has_value());
  EXPECT_FALSE(store.KeyExists(Path("View Option")));
  store.writesAllowed = -1;
  a.SaveAtExit();
  EXPECT_EQ(store.writeCount, 4) << "written once only";
}

TEST(Settings, ColumnWidthOperations) {
  MemorySettingsBackend store;
  const std::string key = AppSettings::ColumnWidthKeyPath("IntCh");
  EXPECT_EQ(key, "Software\\Zelt\\TW-K208\\Display\\IntCh\\colwidth");
  EXPECT_EQ(AppSettings::ReadInteger(store, key, "3"), -1);
  EXPECT_EQ(store.KeyCount(), 0) << "reading creates nothing";
  AppSettings::WriteInteger(store, key, 57, "3");
  EXPECT_EQ(AppSettings::ReadInteger(store, key, "3"), 57);
  EXPECT_EQ(AppSettings::ReadInteger(store, key, "4"), -1);
  // Deleting under a missing parent does nothing and creates nothing.
  AppSettings::DeleteKey(store, "Software\\Zelt\\TW-K208\\Nowhere", "IntCh");
  EXPECT_FALSE(store.KeyExists("Software\\Zelt\\TW-K208\\Nowhere"));
  AppSettings::DeleteKey(store, "Software\\Zelt\\TW-K208\\Display", "IntCh");
  EXPECT_EQ(AppSettings::ReadInteger(store, key, "3"), -1);
  EXPECT_TRUE(store.KeyExists("Software\\Zelt\\TW-K208\\Display"));
}

TEST(RecentFiles, AddAppendTrimAndDisplayNames) {
  RecentFileList list;
  for (int i = 0; i < 11; ++i) list.AddToFront("/d/f" + std::to_string(i));
  ASSERT_EQ(list.Count(), 10);
  EXPECT_EQ(list.Entry(0), "/d/f10");
  EXPECT_EQ(list.Entry(9), "/d/f1") << "the oldest (f0) fell off";
  list.AddToFront("/D/F5");
  EXPECT_EQ(list.Count(), 10);
  EXPECT_EQ(list.Entry(0), "/D/F5");
  EXPECT_EQ(list.Entry(6), "/d/f4");
  EXPECT_EQ(list.Entry(5), "/d/f6");
  list.Append("/d/F10");
  EXPECT_EQ(list.Entry(0), "/D/F5");
  EXPECT_EQ(list.Entry(9), "/d/F10");

  RecentFileList names;
  names.Append("/home/u/a.dat");
  names.Append("C:\\R\\b.dat");
  names.Append("plain.dat");
  struct Case {
    int index;
    std::string folder;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {0, "/home/u", "a.dat"},         {0, "/home/u/", "a.dat"},
      {0, "/HOME/U", "a.dat"},         {0, "/home", "/home/u/a.dat"},
      {0, "", "/home/u/a.dat"},        {1, "c:\\r\\", "b.dat"},
      {2, "", "plain.dat"},            {3, "", ""},
      {-1, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.index) + " in '" + c.folder + "'");
    EXPECT_EQ(names.DisplayName(c.index, c.folder), c.shown);
  }
}

TEST(SingleInstance, SecondLockFailsUntilTheFirstIsReleased) {
  test::TempDir dir;
  auto first = std::make_unique<SingleInstance>(AppSettings::kMutexName, dir.path().string());
  EXPECT_TRUE(first->IsFirst());
  EXPECT_EQ(first->LockPath(), (dir / "Zelt_TW-K208_APP_Exclusive_Mutex.lock").string());
  SingleInstance second(AppSettings::kMutexName, dir.path().string());
  EXPECT_TRUE(second.HaveHandle());
  EXPECT_FALSE(second.IsFirst());
  first.reset();
  SingleInstance third(AppSettings::kMutexName, dir.path().string());
  EXPECT_TRUE(third.IsFirst()) << "the lock file left behind does not block";
  SingleInstance nowhere(AppSettings::kMutexName, (dir / "missing" / "deeper").string());
  EXPECT_FALSE(nowhere.HaveHandle());
  EXPECT_FALSE(nowhere.IsFirst());
  // A folder others may write to, or a link planted as the lock file, gives
  // no handle: treated as a failed mutex.
  std::filesystem::create_directory(dir / "shared");
  std::filesystem::permissions(dir / "shared", std::filesystem::perms::all);
  SingleInstance shared(AppSettings::kMutexName, (dir / "shared").string());
  EXPECT_FALSE(shared.HaveHandle());
  std::filesystem::create_directory(dir / "linked");
  std::filesystem::permissions(dir / "linked", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  std::filesystem::create_symlink(dir / "target", dir / "linked" / third.LockPath().substr(
                                                       third.LockPath().rfind('/') + 1));
  SingleInstance linked(AppSettings::kMutexName, (dir / "linked").string());
  EXPECT_FALSE(linked.HaveHandle());
  EXPECT_FALSE(std::filesystem::exists(dir / "target"));
}

}  // namespace
}  // namespace twk
