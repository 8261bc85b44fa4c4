// The geometry dialog, the incidence-angle calculator and the launch dialog,
// driven through their controls as the operator does.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

#include "formats/shift_jis.h"
#include "frontend/form2.h"
#include "frontend/form3.h"
#include "frontend/form4.h"
#include "frontend/form5.h"
#include "frontend/module1.h"
#include "menu_test_support.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

// The main menu brought to its last state: spectrum started, geometry confirmed.
void bringToGeometrySet(Study& study, const QString& angle) {
    study.application->start();
    Form2& menu = study.application->form2();
    click(menu, "Command1");
    click(menu, "Command2");
    Form3& geometry = study.application->form3();
    textBox(geometry, "Text3")->setText(angle);
    click(geometry, "Command1");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

Form5& openLaunchDialog(Study& study) {
    click(study.application->form2(), "Command3");
    return study.application->form5();
}

}  // namespace

class DialogTest : public QObject {
    Q_OBJECT
private slots:
    // Geometry dialog
    void geometryOkWithPresetsWarnsBecauseTheAngleIsEmpty();
    void geometryOkStoresTheFiveValuesAndFocusesSimulation();
    void geometryFieldsFollowTheLenientNumberRule_data();
    void geometryFieldsFollowTheLenientNumberRule();
    void geometryCancelKeepsConfirmedValues();
    void geometryRefusesANumberBeyondDoubleRange();
    void geometryLayout();

    // Calculator
    void calculatorOpensEmptyFromGeometry();
    void calculatorAngles_data();
    void calculatorAngles();
    void calculatorEnterMovesTheFocus();
    void calculatorWithAnEmptyAngleWarnsAndChangesNothing();
    void calculatorExitHides();

    // Launch dialog
    void launchWithEmptyNameWarnsAndWritesNothing();
    void launchWritesTheSevenLinesAndStartsTheEngine();
    void launchRoundsAndWritesTheLenientPhotonCount_data();
    void launchRoundsAndWritesTheLenientPhotonCount();
    void launchTwiceStartsTwoEnginesAndReplacesTheFile();
    void launchCancelLeavesAnEarlierFileUntouched();
    void launchRefusesNamesThatWouldNotSurvive_data();
    void launchRefusesNamesThatWouldNotSurvive();
    void launchWritesAShiftJisName();
    void launchWhenTheFileCannotBeWrittenWarnsAndStartsNothing();
    void launchWhenTheEngineCannotStartWarnsAndStaysOpen();
};

void DialogTest::geometryOkWithPresetsWarnsBecauseTheAngleIsEmpty() {
    Study study;
    study.application->start();
    Form2& menu = study.application->form2();
    click(menu, "Command1");
    click(menu, "Command2");
    Form3& geometry = study.application->form3();
    click(geometry, "Command1");
    QCOMPARE(study.warnings, QStringList{QStringLiteral("未入力のデータがあります")});
    QVERIFY(geometry.isVisible());
    QCOMPARE(study.application->module1().fid, 0.0);
    QVERIFY(!button(menu, "Command3")->isEnabled());

    // Any one empty field is enough.
    textBox(geometry, "Text3")->setText(QStringLiteral("30"));
    textBox(geometry, "Text5")->clear();
    click(geometry, "Command1");
    QCOMPARE(study.warnings.size(), 2);
    QCOMPARE(study.application->module1().incidenceAngle, 0.0);
}

void DialogTest::geometryOkStoresTheFiveValuesAndFocusesSimulation() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    const Module1& module1 = study.application->module1();
    QCOMPARE(module1.incidenceAngle, 30.0);
    QCOMPARE(module1.fid, 100.0);
    QCOMPARE(module1.fsd, 55.0);
    QCOMPARE(module1.fieldSize, 20.0);
    QCOMPARE(module1.couchThickness, 1.5);
    Form2& menu = study.application->form2();
    QVERIFY(button(menu, "Command3")->isEnabled());
    QCOMPARE(menu.focusWidget(), button(menu, "Command3"));
    QVERIFY(!study.application->form3().isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), button(menu, "Command3"));
}

void DialogTest::geometryFieldsFollowTheLenientNumberRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");
    QTest::newRow("letters only") << QStringLiteral("abc") << 0.0;
    QTest::newRow("a blank passes the check") << QStringLiteral(" ") << 0.0;
    QTest::newRow("unit after the number") << QStringLiteral(" 35cm") << 35.0;
    QTest::newRow("sign, blanks and exponent") << QStringLiteral("- 1 2.5e1x") << -125.0;
}

void DialogTest::geometryFieldsFollowTheLenientNumberRule() {
    QFETCH(QString, typed);
    QFETCH(double, stored);
    Study study;
    study.application->start();
    click(study.application->form2(), "Command1");
    click(study.application->form2(), "Command2");
    Form3& geometry = study.application->form3();
    textBox(geometry, "Text3")->setText(QStringLiteral("30"));
    textBox(geometry, "Text4")->setText(typed);  // the field size: no range check either
    click(geometry, "Command1");
    QVERIFY(study.warnings.isEmpty());
    QCOMPARE(study.application->module1().fieldSize, stored);
}

void DialogTest::geometryCancelKeepsConfirmedValues() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    click(study.application->form2(), "Command2");
    Form3& geometry = study.application->form3();
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5"})
        textBox(geometry, name)->setText(QStringLiteral("7"));
    click(geometry, "Command2");
    QVERIFY(!geometry.isVisible());
    QCOMPARE(study.application->module1().incidenceAngle, 30.0);
    QCOMPARE(study.application->module1().fsd, 55.0);

    // The title-bar close acts the same.
    click(study.application->form2(), "Command2");
    textBox(study.application->form3(), "Text3")->setText(QStringLiteral("7"));
    study.application->form3().close();
    QCOMPARE(study.application->module1().incidenceAngle, 30.0);
}

void DialogTest::geometryRefusesANumberBeyondDoubleRange() {
    Study study;
    study.application->start();
    click(study.application->form2(), "Command1");
    click(study.application->form2(), "Command2");
    Form3& geometry = study.application->form3();
    textBox(geometry, "Text3")->setText(QStringLiteral("30"));
    textBox(geometry, "Text1")->setText(QStringLiteral("1E999"));
    click(geometry, "Command1");
    QCOMPARE(study.warnings, QStringList{QStringLiteral("数値が大きすぎます")});
    QCOMPARE(study.application->module1().incidenceAngle, 0.0);
    QVERIFY(!button(study.application->form2(), "Command3")->isEnabled());
}

void DialogTest::geometryLayout() {
    Study study;
    Form3& geometry = study.application->form3();
    QCOMPARE(geometry.windowTitle(), QStringLiteral("Geometry"));
    QCOMPARE(geometry.size(), QSize(567, 717));
    QCOMPARE(textBox(geometry, "Text3")->geometry(), QRect(312, 448, 81, 30));
    QCOMPARE(textBox(geometry, "Text3")->alignment(), Qt::AlignCenter);
    QCOMPARE(button(geometry, "Command3")->text(), QStringLiteral("計算する"));
    QCOMPARE(control<QLabel>(geometry, "Label14")->text(), QStringLiteral("焦点 - 画像検出器距離（FID）＝"));
    QCOMPARE(control<QLabel>(geometry, "Label13")->text(), QStringLiteral("（最大30 cm）"));
    // Every caption ends before its text box begins.
    for (const char* name : {"Label1", "Label14", "Label12", "Label9", "Label5"})
        QVERIFY2(control<QLabel>(geometry, name)->geometry().right() < 312, name);
}

void DialogTest::calculatorOpensEmptyFromGeometry() {
    Study study;
    study.application->start();
    Form4& calculator = study.application->form4();
    for (const char* name : {"Text1", "Text2", "Text3"}) textBox(calculator, name)->setText(QStringLiteral("9"));

    click(study.application->form2(), "Command1");
    click(study.application->form2(), "Command2");
    click(study.application->form3(), "Command3");
    QVERIFY(calculator.isVisible());
    QVERIFY(study.application->form3().isVisible());
    QCOMPARE(calculator.windowTitle(), QStringLiteral("入射角度計算"));
    for (const char* name : {"Text1", "Text2", "Text3"}) QVERIFY(textBox(calculator, name)->text().isEmpty());
}

void DialogTest::calculatorAngles_data() {
    QTest::addColumn<QString>("raoLao");
    QTest::addColumn<QString>("cranioCaudal");
    QTest::addColumn<QString>("theta");
    QTest::newRow("0/0") << "0" << "0" << "0.0";
    QTest::newRow("30/0") << "30" << "0" << "30.0";
    QTest::newRow("0/30") << "0" << "30" << "30.0";
    QTest::newRow("30/30") << "30" << "30" << "41.4";
    QTest::newRow("30/20") << "30" << "20" << "35.5";
    QTest::newRow("-30/20, sign does not matter") << "-30" << "20" << "35.5";
    QTest::newRow("45/45") << "45" << "45" << "60.0";
    QTest::newRow("60/-25") << "60" << "-25" << "63.1";
    QTest::newRow("90/0, cosine small but positive") << "90" << "0" << "90.0";
    QTest::newRow("120/0, principal value") << "120" << "0" << "-60.0";
    QTest::newRow("lenient: text counts as 0") << "abc" << "30deg" << "30.0";
}

void DialogTest::calculatorAngles() {
    QFETCH(QString, raoLao);
    QFETCH(QString, cranioCaudal);
    QFETCH(QString, theta);
    Study study;
    study.application->start();
    click(study.application->form2(), "Command1");
    click(study.application->form2(), "Command2");
    click(study.application->form3(), "Command3");
    Form4& calculator = study.application->form4();
    textBox(calculator, "Text1")->setText(raoLao);
    textBox(calculator, "Text2")->setText(cranioCaudal);
    click(calculator, "Command1");
    QVERIFY(study.warnings.isEmpty());
    QCOMPARE(textBox(calculator, "Text3")->text(), theta);
    QCOMPARE(textBox(study.application->form3(), "Text3")->text(), theta);
    QCOMPARE(calculator.focusWidget(), button(calculator, "Command2"));
    // Only the dialog's field is written; Module1 waits for the dialog's OK.
    QCOMPARE(study.application->module1().incidenceAngle, 0.0);
}

void DialogTest::calculatorEnterMovesTheFocus() {
    Study study;
    Form4& calculator = study.application->form4();
    calculator.show();
    QLineEdit* text1 = textBox(calculator, "Text1");
    text1->setFocus();
    QTest::keyClicks(text1, QStringLiteral("30"));
    QTest::keyClick(text1, Qt::Key_Return);
    QCOMPARE(calculator.focusWidget(), textBox(calculator, "Text2"));
    QTest::keyClicks(textBox(calculator, "Text2"), QStringLiteral("20"));
    QTest::keyClick(textBox(calculator, "Text2"), Qt::Key_Enter);
    QCOMPARE(calculator.focusWidget(), button(calculator, "Command1"));
    QCOMPARE(textBox(calculator, "Text3")->text(), QString());  // Enter does not compute
    QTest::keyClick(text1, Qt::Key_A);  // other keys are only typed
    QCOMPARE(text1->text(), QStringLiteral("30a"));
}

void DialogTest::calculatorWithAnEmptyAngleWarnsAndChangesNothing() {
    Study study;
    Form3& geometry = study.application->form3();
    textBox(geometry, "Text3")->setText(QStringLiteral("12.0"));
    Form4& calculator = study.application->form4();
    calculator.show();
    textBox(calculator, "Text3")->setText(QStringLiteral("41.4"));
    textBox(calculator, "Text1")->setText(QStringLiteral("30"));
    click(calculator, "Command1");
    QCOMPARE(study.warnings, QStringList{QStringLiteral("傾斜角度を入力して下さい")});
    QCOMPARE(textBox(calculator, "Text3")->text(), QStringLiteral("41.4"));
    QCOMPARE(textBox(geometry, "Text3")->text(), QStringLiteral("12.0"));
}

void DialogTest::calculatorExitHides() {
    Study study;
    Form4& calculator = study.application->form4();
    calculator.show();
    click(calculator, "Command2");
    QVERIFY(!calculator.isVisible());
    QCOMPARE(&study.application->form4(), &calculator);
}

void DialogTest::launchWithEmptyNameWarnsAndWritesNothing() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    Form5& launch = openLaunchDialog(study);
    click(launch, "Command1");
    QCOMPARE(study.warnings, QStringList{QStringLiteral("計算結果保存ファイル名を入力して下さい")});
    QVERIFY(!QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
    QVERIFY(study.launcher.engineStartDirectories.isEmpty());
    QVERIFY(launch.isVisible());
}

void DialogTest::launchWritesTheSevenLinesAndStartsTheEngine() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    Form5& launch = openLaunchDialog(study);
    // The file is complete and closed when the engine is started.
    QByteArray seenByEngine;
    study.launcher.onEngine = [&](const QString& directory) {
        seenByEngine = readFile(QDir(directory).filePath(QStringLiteral("Phantom.dat")));
    };
    textBox(launch, "Text1")->setText(QStringLiteral("abcd"));
    click(launch, "Command1");
    const QByteArray expected = "30.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n1.00E+09\r\nabcd.ddat\r\n";
    QCOMPARE(readFile(study.path(QStringLiteral("Phantom.dat"))), expected);
    QCOMPARE(seenByEngine, expected);
    QCOMPARE(study.launcher.engineStartDirectories, QStringList{study.folder.path()});
    QVERIFY(!launch.isVisible());
    QVERIFY(study.warnings.isEmpty());
    QVERIFY(study.application->form2().isVisible());
}

void DialogTest::launchRoundsAndWritesTheLenientPhotonCount_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("line6");
    QTest::newRow("three significant digits") << QStringLiteral("1234567") << QByteArray("1.23E+06");
    QTest::newRow("empty") << QString() << QByteArray("0.00E+00");
    QTest::newRow("not a number") << QStringLiteral("many") << QByteArray("0.00E+00");
    QTest::newRow("exponent form") << QStringLiteral("1.00E+04") << QByteArray("1.00E+04");
}

void DialogTest::launchRoundsAndWritesTheLenientPhotonCount() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, line6);
    Study study;
    bringToGeometrySet(study, QStringLiteral("5"));
    Form5& launch = openLaunchDialog(study);
    textBox(launch, "Text1")->setText(QStringLiteral("run"));
    textBox(launch, "Text2")->setText(typed);
    click(launch, "Command1");
    QCOMPARE(readFile(study.path(QStringLiteral("Phantom.dat"))),
             "05.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n" + line6 + "\r\nrun.ddat\r\n");
    QCOMPARE(study.launcher.engineStartDirectories.size(), 1);
}

void DialogTest::launchTwiceStartsTwoEnginesAndReplacesTheFile() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    for (const char* name : {"first", "second"}) {
        Form5& launch = openLaunchDialog(study);
        textBox(launch, "Text1")->setText(QString::fromLatin1(name));
        click(launch, "Command1");
    }
    QCOMPARE(study.launcher.engineStartDirectories.size(), 2);
    QVERIFY(readFile(study.path(QStringLiteral("Phantom.dat"))).endsWith("\r\nsecond.ddat\r\n"));
}

void DialogTest::launchCancelLeavesAnEarlierFileUntouched() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    Form5& launch = openLaunchDialog(study);
    textBox(launch, "Text1")->setText(QStringLiteral("first"));
    click(launch, "Command1");
    const QByteArray written = readFile(study.path(QStringLiteral("Phantom.dat")));

    // Another geometry, then Cancel in the launch dialog.
    click(study.application->form2(), "Command2");
    textBox(study.application->form3(), "Text3")->setText(QStringLiteral("60"));
    click(study.application->form3(), "Command1");
    Form5& again = openLaunchDialog(study);
    textBox(again, "Text1")->setText(QStringLiteral("second"));
    click(again, "Command2");
    QCOMPARE(readFile(study.path(QStringLiteral("Phantom.dat"))), written);
    QCOMPARE(study.launcher.engineStartDirectories.size(), 1);
}

void DialogTest::launchRefusesNamesThatWouldNotSurvive_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("warning");  // empty: accepted
    const QString tooLong = QStringLiteral("ファイル名が長すぎます（拡張子を含めて30バイトまで）");
    const QString separator = QStringLiteral("ファイル名に区切り記号（/ や \\）は使えません");
    const QString unusable = QStringLiteral("ファイル名に使えない文字が含まれています");
    QTest::newRow("25 ASCII characters: 30 bytes") << QString(25, QLatin1Char('a')) << QString();
    QTest::newRow("26 ASCII characters: 31 bytes") << QString(26, QLatin1Char('a')) << tooLong;
    QTest::newRow("12 kanji: 29 bytes") << QString(12, QChar(0x7DDA)) << QString();
    QTest::newRow("13 kanji: 31 bytes") << QString(13, QChar(0x7DDA)) << tooLong;
    QTest::newRow("half-width kana count one byte") << QString(25, QChar(0xFF71)) << QString();
    QTest::newRow("blanks are kept") << QStringLiteral(" a b ") << QString();
    QTest::newRow("slash") << QStringLiteral("runs/a") << separator;
    QTest::newRow("backslash") << QStringLiteral("runs\\a") << separator;
    QTest::newRow("tab") << QStringLiteral("a\tb") << unusable;
    QTest::newRow("NUL") << QString(QChar(0)) + QStringLiteral("a") << unusable;
    QTest::newRow("no Shift_JIS form") << QStringLiteral("a\u00E9") << unusable;
}

void DialogTest::launchRefusesNamesThatWouldNotSurvive() {
    QFETCH(QString, name);
    QFETCH(QString, warning);
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    Form5& launch = openLaunchDialog(study);
    textBox(launch, "Text1")->setText(name);
    click(launch, "Command1");
    if (warning.isEmpty()) {
        QVERIFY2(study.warnings.isEmpty(), qPrintable(study.warnings.join(QLatin1Char('|'))));
        QCOMPARE(study.launcher.engineStartDirectories.size(), 1);
        QVERIFY(QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
    } else {
        QCOMPARE(study.warnings, QStringList{warning});
        QVERIFY(study.launcher.engineStartDirectories.isEmpty());
        QVERIFY(!QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
        QVERIFY(launch.isVisible());
    }
}

void DialogTest::launchWritesAShiftJisName() {
    Study study;
    bringToGeometrySet(study, QStringLiteral("30"));
    Form5& launch = openLaunchDialog(study);
    textBox(launch, "Text1")->setText(QStringLiteral("線量"));
    click(launch, "Command1");
    // 線 is 0x90 0xFC and 量 is 0x97 0xCA in Shift_JIS.
    QVERIFY(readFile(study.path(QStringLiteral("Phantom.dat"))).endsWith("1.00E+09\r\n\x90\xFC\x97\xCA.ddat\r\n"));
}

void DialogTest::launchWhenTheFileCannotBeWrittenWarnsAndStartsNothing() {
    Study study;
    // A study folder that does not exist cannot take "Phantom.dat".
    auto app = study.makeApplication(study.path(QStringLiteral("missing-folder")));
    app->module1().incidenceAngle = 30;
    Form5& launch = app->form5();
    launch.presetFields();
    launch.show();
    textBox(launch, "Text1")->setText(QStringLiteral("run"));
    click(launch, "Command1");
    QCOMPARE(study.warnings.size(), 1);
    QVERIFY(study.warnings[0].startsWith(QStringLiteral("Phantom.dat を書き込めませんでした。\n")));
    QVERIFY(study.warnings[0].size() > QStringLiteral("Phantom.dat を書き込めませんでした。\n").size());
    QVERIFY(study.launcher.engineStartDirectories.isEmpty());
    QVERIFY(launch.isVisible());
}

void DialogTest::launchWhenTheEngineCannotStartWarnsAndStaysOpen() {
    Study study;
    study.launcher.engineResult = LaunchResult::failure(QStringLiteral("no terminal"));
    bringToGeometrySet(study, QStringLiteral("30"));
    Form5& launch = openLaunchDialog(study);
    textBox(launch, "Text1")->setText(QStringLiteral("run"));
    click(launch, "Command1");
    QCOMPARE(study.warnings, QStringList{QStringLiteral("velmc を起動できませんでした。\nno terminal")});
    QVERIFY(launch.isVisible());
}

QTEST_MAIN(DialogTest)
#include "test_menu_dialogs.moc"
