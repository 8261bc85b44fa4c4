#include "frontend/form2.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "formats/run_parameters.h"
#include "frontend/application.h"
#include "frontend/controls.h"
#include "frontend/drawings.h"
#include "frontend/form1.h"
#include "frontend/form3.h"
#include "frontend/form5.h"
#include "frontend/process_launcher.h"
#include "frontend/ui_common.h"

namespace velmora {

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "0.1"
#endif

namespace {
constexpr const char* kSpectrumFile = "B_TUBEX.dat";
}

Form2::Form2(Application& application, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      application_(application) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(programIcon());
    // Near the top left corner of the screen; the position is the client area's.
    setGeometry(ui::twipsRect(240, 585, 10140, 7545));
    ui::setFixedClientSize(this, 10140, 7545);

    const QFont buttonFont = ui::namedFont(QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), 12);
    command1_ = ui::makeButton(this, QStringLiteral("Command1"), QStringLiteral("入射Ｘ線スペクトルの設定"),
                               240, 2400, 3975, 615, buttonFont, ui::kButtonYellow);
    command2_ = ui::makeButton(this, QStringLiteral("Command2"),
                               QStringLiteral("入射角度、照射野サイズの設定"), 240, 3240, 3975, 615,
                               buttonFont, ui::kButtonYellow);
    command3_ = ui::makeButton(this, QStringLiteral("Command3"),
                               QStringLiteral("モンテカルロシミュレーション"), 240, 4080, 3975, 495,
                               buttonFont, ui::kButtonYellow);
    command4_ = ui::makeButton(this, QStringLiteral("Command4"), QStringLiteral("シミュレーション結果表示"),
                               240, 5040, 3975, 615, buttonFont, ui::kButtonYellow);
    command6_ = ui::makeButton(this, QStringLiteral("Command6"), QStringLiteral("終\u3000了"), 240, 6120,
                               3960, 600, buttonFont, ui::kButtonYellow);

    // The title in two colours: the red one lies 2 pixels up and left of the
    // yellow one, which shows as its shadow.
    const QFont titleFont = ui::namedFont(QStringLiteral("Times New Roman"), 27.75, true);
    label2_ = ui::makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Velmora"), 480, 840,
                            titleFont, QColor(255, 255, 0));
    label3_ = ui::makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Velmora"), 450, 825,
                            titleFont, QColor(255, 0, 0));
    label3_->raise();
    label1_ = ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Version " VELMORA_VERSION), 3720, 7080,
                            ui::namedFont(QStringLiteral("Times New Roman"), 9.75),
                            QColor(128, 128, 128));

    auto* picture2 = new SetupPicture(SetupDrawingKind::MainMenu, palette().color(QPalette::Base), this);
    picture2->setObjectName(QStringLiteral("Picture2"));
    picture2->setGeometry(ui::twipsRect(4800, 240, 4935, 6495));

    auto* picture1 = new QLabel(this);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setGeometry(ui::twipsRect(6120, 6840, 615, 495));
    picture1->setPixmap(programIconPixmap(32));
    picture1->setAlignment(Qt::AlignCenter);

    connect(command1_, &QPushButton::clicked, this, &Form2::onCommand1Clicked);
    connect(command2_, &QPushButton::clicked, this, &Form2::onCommand2Clicked);
    connect(command3_, &QPushButton::clicked, this, &Form2::onCommand3Clicked);
    connect(command4_, &QPushButton::clicked, this, &Form2::onCommand4Clicked);
    connect(command6_, &QPushButton::clicked, this, &Form2::onCommand6Clicked);

    // Load: only the spectrum, results and end buttons are available.
    command1_->setEnabled(true);
    command2_->setEnabled(false);
    command3_->setEnabled(false);
    command4_->setEnabled(true);
}

void Form2::enableSimulationStep() {
    command3_->setEnabled(true);
    command3_->setFocus();
    // The focus is the keyboard's: the menu becomes the active window, so that
    // Enter or Space starts the simulation step even with the calculator still open.
    if (isVisible()) activateWindow();
}

void Form2::showMainMenu() {
    show();
    raise();
    activateWindow();
}

void Form2::onCommand1Clicked() {
    const LaunchResult result = application_.launcher().startSpectrumTool(application_.workingDirectory());
    if (!result.started) {
        // The geometry button stays as it was.
        application_.warn(this, QStringLiteral("%1 を起動できませんでした。\n%2")
                                    .arg(QString::fromLatin1(kSpectrumToolProgram), result.reason));
        return;
    }
    command2_->setEnabled(true);
}

void Form2::onCommand2Clicked() {
    Form3& geometry = application_.form3();
    geometry.presetFields();
    geometry.show();
    geometry.raise();
    geometry.activateWindow();
}

void Form2::onCommand3Clicked() {
    Form5& launch = application_.form5();
    launch.presetFields();
    launch.show();
    launch.raise();
    launch.activateWindow();
}

void Form2::onCommand4Clicked() {
    Form1& viewer = application_.form1();
    viewer.prepareForMainMenu();
    application_.module1().mapDrawn = 0;
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
    hide();
}

void Form2::onCommand6Clicked() { endWithCleanUp(); }

void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    endWithCleanUp();
}

void Form2::endWithCleanUp() {
    // The hand-over files go; a missing or locked file is the normal case when
    // a step was skipped, so failures are ignored. Result files stay.
    QFile::remove(application_.workingFilePath(QString::fromLatin1(kSpectrumFile)));
    QFile::remove(application_.workingFilePath(QString::fromLatin1(kRunParameterFileName)));
    application_.endProgram();
}

}  // namespace velmora
