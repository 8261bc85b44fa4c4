// velmora-dose-png as the operator runs it: a result file in, a PNG out,
// without a display; one clear message and a non-zero exit on failure.
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "frontend/dose_plot.h"
#include "synthetic_result.h"

namespace {

struct Run {
    int exitCode = -1;
    QString errors;
};

// Runs the renderer with no display and no platform chosen, as from a
// console or a script on a headless machine.
Run render(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELMORA_DOSE_PNG), arguments);
    if (!process.waitForFinished(30000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// The renderer's own lines on the error stream (the platform may add notices).
QStringList messages(const Run& run) {
    QStringList own;
    for (const QString& line : run.errors.split('\n', Qt::SkipEmptyParts))
        if (line.startsWith(QStringLiteral("velmora-dose-png: "))) own << line;
    return own;
}

void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace

class TestDosePng : public QObject {
    Q_OBJECT
private slots:
    void rendersMapLegendAndProfiles();
    void failuresExitWithOneMessage_data();
    void failuresExitWithOneMessage();
};

void TestDosePng::rendersMapLegendAndProfiles() {
    QTemporaryDir directory;
    const QString result = directory.filePath("run.ddat");
    const QString png = directory.filePath("run.png");
    writeFile(result, velmora::testing::syntheticResultBytes({}));
    const Run run = render({result, png});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(messages(run), QStringList());

    const QImage image(png);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= 600 && image.height() >= 700);
    // Every band colour of the map shows (a smooth field covers the whole
    // range from bandMax down), the legend's own grey for band 11 too, and
    // the three profile colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) | 0xff000000u);
    for (int band = 0; band < velmora::plot::kBandCount; ++band) {
        QVERIFY2(colours.contains(velmora::plot::mapBandColour(band).rgb()), qPrintable(QString::number(band)));
    }
    QVERIFY(colours.contains(QColor(200, 200, 200).rgb()));
    QVERIFY(colours.contains(QColor(64, 64, 64).rgb()));
    QVERIFY(colours.contains(QColor(0, 255, 255).rgb()));
}

void TestDosePng::failuresExitWithOneMessage_data() {
    QTest::addColumn<QString>("input");  // "" for no arguments at all
    QTest::addColumn<bool>("writableOutput");
    QTest::addColumn<QString>("message");
    QTest::newRow("no arguments") << "" << true << "usage: velmora-dose-png RESULT.ddat OUT.png";
    QTest::newRow("missing result file") << "missing.ddat" << true << "missing.ddat";
    QTest::newRow("no primary on the central row") << "noprimary.ddat" << true << "no primary dose";
    QTest::newRow("output folder missing") << "run.ddat" << false << "cannot write";
}

void TestDosePng::failuresExitWithOneMessage() {
    QFETCH(QString, input);
    QFETCH(bool, writableOutput);
    QFETCH(QString, message);
    QTemporaryDir directory;
    writeFile(directory.filePath("run.ddat"), velmora::testing::syntheticResultBytes({}));
    velmora::testing::SyntheticResult noPrimary;
    noPrimary.primaryOnCentralRow = false;
    writeFile(directory.filePath("noprimary.ddat"), velmora::testing::syntheticResultBytes(noPrimary));
    const QString png = directory.filePath(writableOutput ? "out.png" : "no/such/folder/out.png");

    const Run run = input.isEmpty() ? render({}) : render({directory.filePath(input), png});
    QCOMPARE(run.exitCode, 1);
    const QStringList said = messages(run);
    QCOMPARE(said.size(), 1);
    QVERIFY2(said[0].contains(message), qPrintable(said[0]));
    QVERIFY(!QFile::exists(png));
}

QTEST_GUILESS_MAIN(TestDosePng)
#include "test_dose_png.moc"
