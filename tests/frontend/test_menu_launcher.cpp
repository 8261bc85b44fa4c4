// The real process launcher: where programs are looked up, and that the engine
// is started inside a terminal, detached, in the study folder. Stand-in
// terminal and programs on PATH record how they were called.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "frontend/process_launcher.h"

using namespace velmora;

namespace {

// A shell script that appends its working directory and arguments to `logPath`.
void writeRecorder(const QString& path, const QString& logPath) {
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > '" + QFile::encodeName(logPath) + ".part'\n"
                 "/bin/mv '" + QFile::encodeName(logPath) + ".part' '" + QFile::encodeName(logPath) + "'\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool besideTheTests(const char* program) {
    return QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(program)));
}

}  // namespace

class LauncherTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void findsProgramsOnThePathAndReportsMissingOnes();
    void engineRunsInTheFirstTerminalFoundInTheStudyFolder();
    void engineWithoutAnyTerminalIsAFailureWithAReason();
    void spectrumToolStartsWithoutArgumentsInTheStudyFolder();
    void missingSpectrumToolIsAFailureNamingIt();

private:
    QByteArray savedPath_;
    std::unique_ptr<QTemporaryDir> binFolder_;    // stands for PATH
    std::unique_ptr<QTemporaryDir> studyFolder_;  // the working directory
    QString bin(const QString& name) const { return binFolder_->filePath(name); }
    QString study() const { return studyFolder_->path(); }
};

void LauncherTest::init() {
    binFolder_ = std::make_unique<QTemporaryDir>();
    studyFolder_ = std::make_unique<QTemporaryDir>();
    savedPath_ = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(binFolder_->path()));
}

void LauncherTest::cleanup() { qputenv("PATH", savedPath_); }

void LauncherTest::findsProgramsOnThePathAndReportsMissingOnes() {
    writeRecorder(bin(QStringLiteral("some-tool")), bin(QStringLiteral("unused")));
    QCOMPARE(SystemProcessLauncher::findProgram(QStringLiteral("some-tool")),
             bin(QStringLiteral("some-tool")));
    QVERIFY(SystemProcessLauncher::findProgram(QStringLiteral("velmora-no-such-program")).isEmpty());
}

void LauncherTest::engineRunsInTheFirstTerminalFoundInTheStudyFolder() {
    if (!besideTheTests(kEngineProgram))
        writeRecorder(bin(QStringLiteral("velmc")), bin(QStringLiteral("velmc.log")));
    // Two terminals present: the desktop's choice comes first.
    const QString log = bin(QStringLiteral("terminal.log"));
    writeRecorder(bin(QStringLiteral("xterm")), bin(QStringLiteral("xterm.log")));
    writeRecorder(bin(QStringLiteral("x-terminal-emulator")), log);

    SystemProcessLauncher launcher;
    const LaunchResult result = launcher.startEngine(study());
    QVERIFY2(result.started, qPrintable(result.reason));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 5000);
    const QStringList call = readLines(log);
    QCOMPARE(call.size(), 3);
    QCOMPARE(QFileInfo(call[0]).canonicalFilePath(), QFileInfo(study()).canonicalFilePath());
    QCOMPARE(call[1], QStringLiteral("-e"));
    QCOMPARE(QFileInfo(call[2]).fileName(), QStringLiteral("velmc"));
    QVERIFY(QFileInfo(call[2]).isAbsolute());
    QVERIFY(!QFile::exists(bin(QStringLiteral("xterm.log"))));
}

void LauncherTest::engineWithoutAnyTerminalIsAFailureWithAReason() {
    if (!besideTheTests(kEngineProgram))
        writeRecorder(bin(QStringLiteral("velmc")), bin(QStringLiteral("velmc.log")));
    SystemProcessLauncher launcher;
    const LaunchResult result = launcher.startEngine(study());
    QVERIFY(!result.started);
    QVERIFY(result.reason.contains(QStringLiteral("端末")));
}

void LauncherTest::spectrumToolStartsWithoutArgumentsInTheStudyFolder() {
    if (besideTheTests(kSpectrumToolProgram)) QSKIP("a real X-TUBEX lies beside the tests; not started here");
    const QString log = bin(QStringLiteral("xtubex.log"));
    writeRecorder(bin(QStringLiteral("X-TUBEX")), log);
    SystemProcessLauncher launcher;
    const LaunchResult result = launcher.startSpectrumTool(study());
    QVERIFY2(result.started, qPrintable(result.reason));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 5000);
    const QStringList call = readLines(log);
    QCOMPARE(call.size(), 1);  // the working directory, no arguments
    QCOMPARE(QFileInfo(call[0]).canonicalFilePath(), QFileInfo(study()).canonicalFilePath());
}

void LauncherTest::missingSpectrumToolIsAFailureNamingIt() {
    if (besideTheTests(kSpectrumToolProgram)) QSKIP("X-TUBEX lies beside the tests");
    SystemProcessLauncher launcher;
    const LaunchResult result = launcher.startSpectrumTool(study());
    QVERIFY(!result.started);
    QVERIFY(result.reason.contains(QStringLiteral("X-TUBEX")));
}

QTEST_GUILESS_MAIN(LauncherTest)
#include "test_menu_launcher.moc"
