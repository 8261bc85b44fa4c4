// A whole study through the main menu: spectrum, geometry via the calculator,
// launch, with the real engine run in the study folder (its two Enter waits
// answered by end of input), then the exit clean-up.
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QScopeGuard>

#include "formats/shift_jis.h"
#include "frontend/form1.h"
#include "frontend/form2.h"
#include "frontend/form3.h"
#include "frontend/form4.h"
#include "frontend/form5.h"
#include "menu_test_support.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const QString kEnginePath = QStringLiteral(VELMORA_VELMC_PATH);
const QString kDataDirectory = QStringLiteral(VELMORA_DATA_DIR);
const QString kFixtureDirectory = QStringLiteral(VELMORA_FIXTURE_DIR);

QList<QByteArray> linesOf(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void studyThroughTheMainMenuLeavesAResultFile();
};

void EndToEndTest::studyThroughTheMainMenuLeavesAResultFile() {
    if (kEnginePath.isEmpty() || !QFile::exists(kEnginePath)) QSKIP("velmc is not built");
    const QStringList tables{QStringLiteral("Water.mix"), QStringLiteral("Water.xfs"), QStringLiteral("Mus-XP.dat")};
    for (const QString& table : tables)
        if (!QFile::exists(QDir(kDataDirectory).filePath(table))) QSKIP("the physics tables are not there yet");

    Study study;
    // The result viewer lists the current directory, the study folder.
    const QString previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(study.folder.path()));
    auto restoreDirectory = qScopeGuard([&] { QDir::setCurrent(previousDirectory); });
    for (const QString& table : tables)
        QVERIFY(QFile::copy(QDir(kDataDirectory).filePath(table), study.path(table)));

    // The spectrum tool leaves its file; the engine runs to its end.
    study.launcher.onSpectrumTool = [&](const QString& directory) {
        QFile::copy(QDir(kFixtureDirectory).filePath(QStringLiteral("B_TUBEX.dat")),
                    QDir(directory).filePath(QStringLiteral("B_TUBEX.dat")));
    };
    QByteArray engineOutput;
    int engineExitCode = -1;
    study.launcher.onEngine = [&](const QString& directory) {
        QProcess engine;
        engine.setWorkingDirectory(directory);
        engine.setStandardInputFile(QProcess::nullDevice());
        engine.setProcessChannelMode(QProcess::MergedChannels);
        engine.start(kEnginePath, {});
        engine.waitForFinished(60000);
        engineOutput = engine.readAll();
        engineExitCode = engine.exitStatus() == QProcess::NormalExit ? engine.exitCode() : -1;
    };

    study.application->start();
    Form2& menu = study.application->form2();
    click(menu, "Command1");
    click(menu, "Command2");
    Form3& geometry = study.application->form3();
    click(geometry, "Command3");
    Form4& calculator = study.application->form4();
    textBox(calculator, "Text1")->setText(QStringLiteral("30"));
    textBox(calculator, "Text2")->setText(QStringLiteral("20"));
    click(calculator, "Command1");
    click(calculator, "Command2");
    QCOMPARE(textBox(geometry, "Text3")->text(), QStringLiteral("35.5"));
    click(geometry, "Command1");

    click(menu, "Command3");
    Form5& launch = study.application->form5();
    textBox(launch, "Text1")->setText(QStringLiteral("e2e"));
    textBox(launch, "Text2")->setText(QStringLiteral("1.00E+04"));
    click(launch, "Command1");
    QVERIFY2(study.warnings.isEmpty(), qPrintable(study.warnings.join(QLatin1Char('|'))));
    QCOMPARE(study.launcher.engineStartDirectories.size(), 1);
    QVERIFY2(engineExitCode == 0, engineOutput.constData());

    QFile result(study.path(QStringLiteral("e2e.ddat")));
    QVERIFY2(result.open(QIODevice::ReadOnly), engineOutput.constData());
    const QByteArray bytes = result.readAll();
    const QList<QByteArray> lines = linesOf(bytes);
    QCOMPARE(lines.size(), 816);
    QCOMPARE(bytes.size(), 1762046);
    QCOMPARE(lines[0], QByteArray(" Hand-made test spectrum      \r"));
    QCOMPARE(QString::fromStdString(shiftJisToUtf8(lines[9].toStdString())),
             QStringLiteral(" 入射角度 =  35.5 度\r"));
    QCOMPARE(lines[10], QByteArray(" FID =  100.0 cm\r"));
    QCOMPARE(lines[11], QByteArray(" FSD =   55.0 cm\r"));
    QCOMPARE(lines[14], QByteArray("  .1E+05\r"));
    // Some primary dose was scored on the entrance surface.
    bool anyDose = false;
    for (int line = 15; line < 415 && !anyDose; ++line)
        anyDose = lines[line].contains("E-") && !lines[line].trimmed().replace(".0000E+00", "").isEmpty();
    QVERIFY(anyDose);

    // The result shows in the viewer's list.
    click(menu, "Command4");
    auto* fileList = study.application->form1().findChild<QListWidget*>(QStringLiteral("File1"));
    QVERIFY(fileList != nullptr);
    QCOMPARE(fileList->findItems(QStringLiteral("e2e.ddat"), Qt::MatchExactly).size(), 1);
    emit study.application->form1().returnToMainMenu();

    // End: the hand-over files go, the result stays.
    click(menu, "Command6");
    QCOMPARE(study.programEnds, 1);
    QVERIFY(!QFile::exists(study.path(QStringLiteral("B_TUBEX.dat"))));
    QVERIFY(!QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
    QVERIFY(QFile::exists(study.path(QStringLiteral("e2e.ddat"))));
}

QTEST_MAIN(EndToEndTest)
#include "test_menu_end_to_end.moc"
