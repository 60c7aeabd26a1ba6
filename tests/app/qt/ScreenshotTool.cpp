// Not a test of its own: takes the screenshot of the editor for the docs
// when TWK208_SCREENSHOT names the output file (scripts/screenshot.sh runs
// it under xvfb-run). It starts the real editor as a child process, waits
// until its window is up, grabs the whole X screen and ends the editor with
// SIGTERM (a normal close). Without the variable it is skipped.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

class ScreenshotTool : public QObject {
  Q_OBJECT
 private slots:
  void grabTheMainWindow() {
    const QString out = qEnvironmentVariable("TWK208_SCREENSHOT");
    if (out.isEmpty()) QSKIP("set TWK208_SCREENSHOT to a PNG path to take the screenshot");
    if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X display (xvfb-run)");
    QTemporaryDir home;
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home.path());  // first-run settings
    env.insert("XDG_RUNTIME_DIR", home.path());
    editor.setProcessEnvironment(env);
    editor.start(QStringLiteral(TWK208_BIN_DIR) + "/twk208", {});
    QVERIFY(editor.waitForStarted());
    QTest::qWait(2000);  // window mapped and painted
    QCOMPARE(editor.state(), QProcess::Running);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(out, "PNG"));
    ::kill(static_cast<pid_t>(editor.processId()), SIGTERM);
    QVERIFY(editor.waitForFinished(10000));
    QCOMPARE(editor.exitCode(), 0);
  }
};

QTEST_MAIN(ScreenshotTool)
#include "ScreenshotTool.moc"
