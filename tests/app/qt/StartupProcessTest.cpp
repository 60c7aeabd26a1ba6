// The editor as a process on the offscreen platform, each run with its own
// configuration and runtime folders: the single instance, the settings
// written at a normal exit, the fatal stop for a missing initial file.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

#include "app/AppSettings.h"
#include "app/SingleInstance.h"

using namespace twk;

namespace {

const QString kBin = QStringLiteral(TWK208_BIN_DIR);

struct Sandbox {
  Sandbox() {
    QDir(dir.path()).mkpath("config");
    QDir(dir.path()).mkpath("runtime");
    QFile::setPermissions(Runtime(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ExeOwner);
  }
  QString Config() const { return dir.path() + "/config"; }
  QString Runtime() const { return dir.path() + "/runtime"; }
  QString SettingsFile() const { return Config() + "/Zelt/TW-K208.conf"; }

  std::unique_ptr<QProcess> Start(const QString& program = kBin + "/twk208") const {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", Config());
    env.insert("HOME", dir.path());
    env.insert("XDG_RUNTIME_DIR", Runtime());
    p->setProcessEnvironment(env);
    p->start(program, {});
    return p;
  }
  // True while some process holds the editor's lock in this sandbox.
  bool LockHeld() const {
    SingleInstance probe(AppSettings::kMutexName, Runtime().toStdString());
    return probe.HaveHandle() && !probe.IsFirst();
  }
  bool WaitForLock() const {
    for (int i = 0; i < 200; ++i) {
      if (LockHeld()) return true;
      QTest::qWait(25);
    }
    return false;
  }

  QTemporaryDir dir;
};

bool Terminate(QProcess& p) {
  ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
  return p.waitForFinished(10000);
}

}  // namespace

class StartupProcessTest : public QObject {
  Q_OBJECT
 private slots:
  void secondInstanceExitsAtOnceTouchingNothing() {
    Sandbox s;
    auto first = s.Start();
    QVERIFY(first->waitForStarted());
    QVERIFY(s.WaitForLock());
    auto second = s.Start();
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(!QFile::exists(s.SettingsFile()));  // the second wrote nothing
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(Terminate(*first));
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(QFile::exists(s.SettingsFile()));
  }

  void lockOfAKilledProcessDoesNotBlock() {
    Sandbox s;
    auto crashed = s.Start();
    QVERIFY(crashed->waitForStarted());
    QVERIFY(s.WaitForLock());
    crashed->kill();
    QVERIFY(crashed->waitForFinished(5000));
    QVERIFY(QFile::exists(s.Runtime() + "/Zelt_TW-K208_APP_Exclusive_Mutex.lock"));
    QVERIFY(!QFile::exists(s.SettingsFile()));  // killed: nothing saved
    auto next = s.Start();
    QVERIFY(next->waitForStarted());
    QVERIFY(s.WaitForLock());
    QTest::qWait(200);
    QCOMPARE(next->state(), QProcess::Running);
    QVERIFY(Terminate(*next));
    QCOMPARE(next->exitCode(), 0);
  }

  void settingsAreWrittenAtANormalExit() {
    Sandbox s;
    {
      QSettings seed(s.SettingsFile(), QSettings::IniFormat);
      seed.setValue("Global/BBT", 753951);
      seed.setValue("Global/ComPort", 300);
      seed.setValue("Global/ComSpeedHigh", 1);
      for (int i = 0; i < 10; ++i)
        seed.setValue(QString("Recent File List/Recent%1").arg(i), i == 0 ? "/b/x.cln" : "");
      seed.setValue("View Option/FontSize Percentage", 10);
      seed.setValue("View Option/Toolbar Visible", 7);
      seed.setValue("View Option/FontSize Printer", 20);
      seed.setValue("Window Position/Left", 30);
      seed.setValue("Window Position/Top", 40);
      seed.setValue("Window Position/Width", 500);
      seed.setValue("Window Position/Height", 300);
      seed.setValue("Window Position/SplitterV", 120);
      seed.setValue("Setup/ModelType", 3);
      seed.setValue("Setup/ChListType", 0);
    }
    auto p = s.Start();
    QVERIFY(p->waitForStarted());
    QVERIFY(s.WaitForLock());
    QTest::qWait(300);
    QVERIFY(Terminate(*p));
    QCOMPARE(p->exitCode(), 0);
    QSettings out(s.SettingsFile(), QSettings::IniFormat);
    QCOMPARE(out.value("Global/BBT").toInt(), 753951);
    QCOMPARE(out.value("Global/ComPort").toInt(), 256);
    QCOMPARE(out.value("View Option/FontSize Percentage").toInt(), 25);
    QCOMPARE(out.value("View Option/Toolbar Visible").toInt(), 1);
    QCOMPARE(out.value("View Option/FontSize Printer").toInt(), 12);
    QCOMPARE(out.value("Setup/ModelType").toInt(), 0);
    QCOMPARE(out.value("Recent File List/Recent0").toString(), QString("/b/x.cln"));
    QCOMPARE(out.value("Recent File List/Recent9").toString(), QString(""));
    QCOMPARE(out.value("Window Position/Width").toInt(), 500);
    QCOMPARE(out.value("Window Position/Height").toInt(), 300);
    QVERIFY(out.value("Window Position/SplitterV").toInt() >= 8);
    QCOMPARE(out.childGroups().size(), 5);
  }

  void missingInitialFileStopsWithStatus3() {
    Sandbox s;
    // A program folder with the resources but without the initial file.
    const QString folder = s.dir.path() + "/prog";
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::copy(kBin + "/twk208", folder + "/twk208"));
    QFile::setPermissions(folder + "/twk208", QFile::permissions(kBin + "/twk208"));
    QVERIFY(QFile::copy(kBin + "/TWK208.OVL", folder + "/TWK208.OVL"));
    QVERIFY(QFile::copy(kBin + "/TWK208H.OVL", folder + "/TWK208H.OVL"));
    auto p = s.Start(folder + "/twk208");
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 3);
    const QString err = QString::fromLocal8Bit(p->readAllStandardError());
    QVERIFY2(err.contains("Cannot open '" + folder + "/TWK208_Initial.cln'."), qPrintable(err));
    QVERIFY(!QFile::exists(s.SettingsFile()));  // a fatal stop saves nothing
  }
};

QTEST_MAIN(StartupProcessTest)
#include "StartupProcessTest.moc"
