// The main menu and the application shell: button states through a study,
// presets on each opening, the hand-over to the result viewer, the exit
// clean-up, and windows that exist once and are re-created after a close.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "frontend/form1.h"
#include "frontend/form2.h"
#include "frontend/form3.h"
#include "frontend/form4.h"
#include "frontend/form5.h"
#include "frontend/module1.h"
#include "frontend/ui_common.h"
#include "menu_test_support.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

struct ButtonStates {
    bool spectrum, geometry, simulation, results, end;
};

ButtonStates statesOf(Form2& menu) {
    return {button(menu, "Command1")->isEnabled(), button(menu, "Command2")->isEnabled(),
            button(menu, "Command3")->isEnabled(), button(menu, "Command4")->isEnabled(),
            button(menu, "Command6")->isEnabled()};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void confirmGeometry(Study& study, const QString& angle) {
    Form3& geometry = study.application->form3();
    textBox(geometry, "Text3")->setText(angle);
    click(geometry, "Command1");
}

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithItsCaptionsAndStartState();
    void buttonStatesGrowThroughTheThreeStates();
    void spectrumToolThatCannotStartWarnsAndLeavesGeometryButton();
    void geometryDialogShowsPresetsEachTime();
    void launchDialogShowsPresetsEachTime();
    void resultsButtonHandsOverToTheViewerAndBack();
    void endDeletesHandOverFilesAndKeepsResults();
    void endWithoutHandOverFilesShowsNothing();
    void closingTheMainMenuCleansUpLikeEnd();
    void windowsExistOnceAndAreRecreatedAfterAClose();
    void warningBoxHasExclamationIconAndCaption();
};

void MainMenuTest::opensWithItsCaptionsAndStartState() {
    Study study;
    study.application->start();
    Form2& menu = study.application->form2();
    QVERIFY(menu.isVisible());
    QCOMPARE(menu.windowTitle(), QStringLiteral("Velmora"));
    QCOMPARE(menu.size(), QSize(676, 503));
    QCOMPARE(button(menu, "Command1")->text(), QStringLiteral("入射Ｘ線スペクトルの設定"));
    QCOMPARE(button(menu, "Command2")->text(), QStringLiteral("入射角度、照射野サイズの設定"));
    QCOMPARE(button(menu, "Command3")->text(), QStringLiteral("モンテカルロシミュレーション"));
    QCOMPARE(button(menu, "Command4")->text(), QStringLiteral("シミュレーション結果表示"));
    QCOMPARE(button(menu, "Command6")->text(), QStringLiteral("終\u3000了"));
    QCOMPARE(button(menu, "Command3")->geometry(), QRect(16, 272, 265, 33));
    auto* title = control<QLabel>(menu, "Label3");
    auto* shadow = control<QLabel>(menu, "Label2");
    QCOMPARE(title->text(), QStringLiteral("Velmora"));
    QCOMPARE(shadow->pos() - title->pos(), QPoint(2, 1));
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(shadow->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QVERIFY(title->font().italic());
    QCOMPARE(control<QWidget>(menu, "Picture2")->geometry(), QRect(320, 16, 329, 433));

    const ButtonStates start = statesOf(menu);
    QVERIFY(start.spectrum && !start.geometry && !start.simulation && start.results && start.end);
}

void MainMenuTest::buttonStatesGrowThroughTheThreeStates() {
    Study study;
    study.application->start();
    Form2& menu = study.application->form2();

    click(menu, "Command2");  // disabled: nothing opens
    QVERIFY(!study.application->form3().isVisible());

    click(menu, "Command1");
    QCOMPARE(study.launcher.spectrumStartDirectories, QStringList{study.folder.path()});
    ButtonStates state = statesOf(menu);
    QVERIFY(state.spectrum && state.geometry && !state.simulation && state.results && state.end);

    click(menu, "Command1");  // a second press starts the tool again
    QCOMPARE(study.launcher.spectrumStartDirectories.size(), 2);

    click(menu, "Command2");
    QVERIFY(study.application->form3().isVisible());
    confirmGeometry(study, QStringLiteral("30"));
    QVERIFY(study.warnings.isEmpty());
    QVERIFY(!study.application->form3().isVisible());
    state = statesOf(menu);
    QVERIFY(state.spectrum && state.geometry && state.simulation && state.results && state.end);
    QCOMPARE(menu.focusWidget(), button(menu, "Command3"));

    click(menu, "Command3");
    QVERIFY(study.application->form5().isVisible());
    QCOMPARE(study.programEnds, 0);
}

void MainMenuTest::spectrumToolThatCannotStartWarnsAndLeavesGeometryButton() {
    Study study;
    study.launcher.spectrumResult = LaunchResult::failure(QStringLiteral("No such file or directory"));
    study.application->start();
    Form2& menu = study.application->form2();

    click(menu, "Command1");
    QCOMPARE(study.warnings.size(), 1);
    QVERIFY(study.warnings[0].contains(QStringLiteral("X-TUBEX")));
    QVERIFY(study.warnings[0].contains(QStringLiteral("No such file or directory")));
    QVERIFY(!button(menu, "Command2")->isEnabled());

    study.launcher.spectrumResult = LaunchResult::success();
    click(menu, "Command1");
    QVERIFY(button(menu, "Command2")->isEnabled());
    study.launcher.spectrumResult = LaunchResult::failure(QStringLiteral("busy"));
    click(menu, "Command1");
    QVERIFY(button(menu, "Command2")->isEnabled());
}

void MainMenuTest::geometryDialogShowsPresetsEachTime() {
    Study study;
    study.application->start();
    Form2& menu = study.application->form2();
    click(menu, "Command1");
    for (int opening = 0; opening < 2; ++opening) {
        click(menu, "Command2");
        Form3& geometry = study.application->form3();
        QCOMPARE(textBox(geometry, "Text1")->text(), QStringLiteral("100"));
        QCOMPARE(textBox(geometry, "Text2")->text(), QStringLiteral("55"));
        QCOMPARE(textBox(geometry, "Text3")->text(), QString());
        QCOMPARE(textBox(geometry, "Text4")->text(), QStringLiteral("20"));
        QCOMPARE(textBox(geometry, "Text5")->text(), QStringLiteral("1.5"));
        textBox(geometry, "Text1")->setText(QStringLiteral("120"));
        textBox(geometry, "Text3")->setText(QStringLiteral("12"));
        click(geometry, "Command1");
    }
    // The confirmed values stay in Module1 until the next OK.
    QCOMPARE(study.application->module1().fid, 120.0);
    QCOMPARE(study.application->module1().incidenceAngle, 12.0);
}

void MainMenuTest::launchDialogShowsPresetsEachTime() {
    Study study;
    study.application->start();
    Form2& menu = study.application->form2();
    click(menu, "Command1");
    click(menu, "Command2");
    confirmGeometry(study, QStringLiteral("30"));
    for (int opening = 0; opening < 2; ++opening) {
        click(menu, "Command3");
        Form5& launch = study.application->form5();
        QVERIFY(launch.isVisible());
        QCOMPARE(textBox(launch, "Text1")->text(), QString());
        QCOMPARE(textBox(launch, "Text2")->text(), QStringLiteral("1000000000"));
        textBox(launch, "Text1")->setText(QStringLiteral("run"));
        textBox(launch, "Text2")->setText(QStringLiteral("5"));
        click(launch, "Command2");
        QVERIFY(!launch.isVisible());
    }
    QVERIFY(!QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
}

void MainMenuTest::resultsButtonHandsOverToTheViewerAndBack() {
    Study study;
    study.application->start();
    Form2& menu = study.application->form2();
    study.application->module1().mapDrawn = 1;

    click(menu, "Command4");
    QVERIFY(study.application->form1().isVisible());
    QVERIFY(!menu.isVisible());
    QCOMPARE(study.application->module1().mapDrawn, 0);

    emit study.application->form1().returnToMainMenu();
    QVERIFY(menu.isVisible());

    // Closing the viewer by its title bar discards it and brings the menu back;
    // the next results press creates a fresh viewer.
    click(menu, "Command4");
    QPointer<Form1> viewer(&study.application->form1());
    QVERIFY(!menu.isVisible());
    viewer->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(viewer.isNull());
    QVERIFY(menu.isVisible());
    click(menu, "Command4");
    QVERIFY(study.application->form1().isVisible());
    QCOMPARE(study.programEnds, 0);
}

void MainMenuTest::endDeletesHandOverFilesAndKeepsResults() {
    Study study;
    study.application->start();
    writeFile(study.path(QStringLiteral("B_TUBEX.dat")), "spectrum\r\n");
    writeFile(study.path(QStringLiteral("Phantom.dat")), "30.0\r\n");
    writeFile(study.path(QStringLiteral("run.ddat")), "result\r\n");

    click(study.application->form2(), "Command6");
    QVERIFY(!QFile::exists(study.path(QStringLiteral("B_TUBEX.dat"))));
    QVERIFY(!QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
    QVERIFY(QFile::exists(study.path(QStringLiteral("run.ddat"))));
    QCOMPARE(study.programEnds, 1);
    QVERIFY(study.warnings.isEmpty());
}

void MainMenuTest::endWithoutHandOverFilesShowsNothing() {
    Study study;
    study.application->start();
    // One of the two present, the other missing: the missing one is no error.
    writeFile(study.path(QStringLiteral("Phantom.dat")), "30.0\r\n");
    click(study.application->form2(), "Command6");
    QVERIFY(!QFile::exists(study.path(QStringLiteral("Phantom.dat"))));
    QCOMPARE(study.programEnds, 1);
    QVERIFY(study.warnings.isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void MainMenuTest::closingTheMainMenuCleansUpLikeEnd() {
    Study study;
    study.application->start();
    writeFile(study.path(QStringLiteral("B_TUBEX.dat")), "spectrum\r\n");
    QVERIFY(study.application->form2().close());
    QVERIFY(!QFile::exists(study.path(QStringLiteral("B_TUBEX.dat"))));
    QCOMPARE(study.programEnds, 1);
}

void MainMenuTest::windowsExistOnceAndAreRecreatedAfterAClose() {
    Study study;
    study.application->start();
    Application& app = *study.application;
    QCOMPARE(&app.form3(), &app.form3());
    QCOMPARE(&app.form4(), &app.form4());
    QCOMPARE(&app.form5(), &app.form5());

    // Hiding (OK, Cancel, Exit) keeps the window and what is typed in it.
    Form5& launch = app.form5();
    launch.show();
    textBox(launch, "Text1")->setText(QStringLiteral("kept"));
    click(launch, "Command2");
    QCOMPARE(&app.form5(), &launch);
    QCOMPARE(textBox(app.form5(), "Text1")->text(), QStringLiteral("kept"));

    // The title-bar close acts as Cancel and discards the window.
    for (QWidget* window : std::initializer_list<QWidget*>{&app.form3(), &app.form4(), &app.form5()}) {
        window->show();
        QPointer<QWidget> closed(window);
        QVERIFY(window->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
    }
    QVERIFY(textBox(app.form5(), "Text1")->text().isEmpty());
    QVERIFY(!app.form3().isVisible());
    QCOMPARE(study.programEnds, 0);
    QCOMPARE(app.module1().incidenceAngle, 0.0);
}

void MainMenuTest::warningBoxHasExclamationIconAndCaption() {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    ui::showWarning(nullptr, QStringLiteral("未入力のデータがあります"));
    QCOMPARE(caption, QStringLiteral("Velmora"));
    QCOMPARE(text, QStringLiteral("未入力のデータがあります"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

QTEST_MAIN(MainMenuTest)
#include "test_menu_main.moc"
