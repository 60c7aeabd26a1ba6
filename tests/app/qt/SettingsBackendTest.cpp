// The QSettings store in a temporary configuration folder: key paths under
// Software\Zelt\TW-K208 map to groups, reads create nothing, types are
// checked, subkeys delete, and the settings round-trip through it.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/AppSettings.h"
#include "app/qt/QtSettingsBackend.h"

using namespace twk;

namespace {
bool NeverStopped() { return false; }
const std::string kRoot = AppSettings::kUserRoot;
}  // namespace

class SettingsBackendTest : public QObject {
  Q_OBJECT
  QTemporaryDir config_;

 private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
  }
  void cleanup() { QFile::remove(config_.path() + "/Zelt/TW-K208.conf"); }

  void groupsFollowTheUserRoot() {
    QString g;
    QVERIFY(QtSettingsBackend::GroupOf(kRoot + "\\Global", g));
    QCOMPARE(g, QString("Global"));
    QVERIFY(QtSettingsBackend::GroupOf(kRoot + "\\Display\\IntCh\\colwidth", g));
    QCOMPARE(g, QString("Display/IntCh/colwidth"));
    QVERIFY(QtSettingsBackend::GroupOf("software\\zelt\\tw-k208\\Setup", g));
    QCOMPARE(g, QString("Setup"));
    QVERIFY(!QtSettingsBackend::GroupOf("Software\\Other\\Thing", g));
    QtSettingsBackend store;
    QVERIFY(store.Open("Software\\Other\\Thing", KeyAccess::Create) == nullptr);
  }

  void readCreatesNothingAndTypesAreChecked() {
    {
      QtSettingsBackend store;
      QVERIFY(store.Open(kRoot + "\\Global", KeyAccess::Read) == nullptr);
      QCOMPARE(AppSettings::ReadInteger(store, kRoot + "\\Global", "BBT"), -1);
      auto key = store.Open(kRoot + "\\Global", KeyAccess::Create);
      QVERIFY(key != nullptr);
      QVERIFY(key->WriteInteger("ComPort", -12));
      QVERIFY(key->WriteString("Name", "not a number"));
      QVERIFY(key->WriteString("Path", "/a b/c.cln"));
    }
    QtSettingsBackend store;  // a fresh object reads the file
    auto key = store.Open(kRoot + "\\Global", KeyAccess::Read);
    QVERIFY(key != nullptr);
    QCOMPARE(key->ReadInteger("ComPort").value_or(0), -12);
    QVERIFY(!key->ReadInteger("Name").has_value());
    QVERIFY(!key->ReadInteger("Missing").has_value());
    QCOMPARE(QString::fromStdString(key->ReadString("Path").value_or("")), QString("/a b/c.cln"));
    QVERIFY(!key->WriteInteger("ComPort", 1));  // opened read-only
  }

  void columnWidthKeysDelete() {
    QtSettingsBackend store;
    const std::string a = AppSettings::ColumnWidthKeyPath("IntCh");
    const std::string b = AppSettings::ColumnWidthKeyPath("WxCh");
    AppSettings::WriteInteger(store, a, 44, "2");
    AppSettings::WriteInteger(store, b, 55, "2");
    QCOMPARE(AppSettings::ReadInteger(store, a, "2"), 44);
    AppSettings::DeleteKey(store, kRoot + "\\Display", "IntCh");
    QCOMPARE(AppSettings::ReadInteger(store, a, "2"), -1);
    QCOMPARE(AppSettings::ReadInteger(store, b, "2"), 55);
    AppSettings::DeleteKey(store, kRoot + "\\Nowhere", "WxCh");
    QCOMPARE(AppSettings::ReadInteger(store, b, "2"), 55);
  }

  void settingsRoundTrip() {
    {
      QtSettingsBackend store;
      AppSettings s(store, ScreenSize{1000, 700});
      s.SetStopCheck(NeverStopped);
      QCOMPARE(s.width, 800);
      s.comPort = 7;
      s.recent.AddToFront("/x/one.cln");
      s.recent.AddToFront("/x/two.cln");
      s.left = -30;
    }
    QtSettingsBackend store;
    AppSettings s(store, ScreenSize{1000, 700});
    s.SetStopCheck(NeverStopped);
    QCOMPARE(s.comPort, 7);
    QCOMPARE(s.left, -30);
    QCOMPARE(s.recent.Count(), 3);  // two files and the empty entry
    QCOMPARE(QString::fromStdString(s.recent.Entry(0)), QString("/x/two.cln"));
    QCOMPARE(QString::fromStdString(s.recent.Entry(1)), QString("/x/one.cln"));
  }
};

QTEST_GUILESS_MAIN(SettingsBackendTest)
#include "SettingsBackendTest.moc"
