#include "frontend/form5.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <cmath>

#include "formats/input_error.h"
#include "formats/number_patterns.h"
#include "formats/run_parameters.h"
#include "formats/shift_jis.h"
#include "frontend/application.h"
#include "frontend/controls.h"
#include "frontend/drawings.h"
#include "frontend/process_launcher.h"
#include "frontend/ui_common.h"

namespace velmora {

namespace {
const QString kResultExtension = QStringLiteral(".ddat");
}

std::optional<QString> resultNameProblem(const QString& typedName) {
    if (typedName.contains(QLatin1Char('/')) || typedName.contains(QLatin1Char('\\')))
        return QStringLiteral("ファイル名に区切り記号（/ や \\）は使えません");
    for (const QChar character : typedName) {
        if (character.unicode() < 0x20 || character.unicode() == 0x7F)
            return QStringLiteral("ファイル名に使えない文字が含まれています");
    }
    const std::optional<std::string> shiftJis = utf8ToShiftJis((typedName + kResultExtension).toStdString());
    if (!shiftJis) return QStringLiteral("ファイル名に使えない文字が含まれています");
    if (static_cast<int>(shiftJis->size()) > kResultFileNameBytes)
        return QStringLiteral("ファイル名が長すぎます（拡張子を含めて30バイトまで）");
    return std::nullopt;
}

Form5::Form5(Application& application, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      application_(application) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Monte Carlo simulation"));
    setWindowIcon(programIcon());
    ui::setFixedClientSize(this, 5715, 4725);

    const QFont labelFont = ui::namedFont(QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), 12);
    const QFont boxFont = ui::namedFont(QStringLiteral("ＭＳ ゴシック"), 12);
    const QColor blue(0, 0, 255);

    ui::makeLabel(this, QStringLiteral("Label4"), QStringLiteral("入射光子数（ヒストリー）"), 240, 480,
                  labelFont, blue);
    text2_ = ui::makeTextBox(this, QStringLiteral("Text2"), 3120, 360, 2295, 375, boxFont);
    ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("計算結果を保存するファイル名（拡張子なしで）"),
                  360, 960, labelFont, blue);
    text1_ = ui::makeTextBox(this, QStringLiteral("Text1"), 600, 1320, 4455, 375, boxFont);

    // The panel behind the five explanation lines.
    auto* label8 = new QLabel(this);
    label8->setObjectName(QStringLiteral("Label8"));
    label8->setGeometry(ui::twipsRect(600, 1920, 4455, 1935));
    label8->setFrameShape(QFrame::Box);
    label8->setAutoFillBackground(true);
    QPalette panelPalette = label8->palette();
    panelPalette.setColor(QPalette::Window, QColor(192, 255, 255));
    label8->setPalette(panelPalette);

    ui::makeLabel(this, QStringLiteral("Label3"), QStringLiteral("これまでに設定した条件を基に"), 720, 2040,
                  labelFont);
    ui::makeLabel(this, QStringLiteral("Label6"), QStringLiteral("一次線成分，散乱線成分に分離した"), 720,
                  2400, labelFont);
    ui::makeLabel(this, QStringLiteral("Label5"), QStringLiteral("ファントム入射表面の吸収線量分布を"), 720,
                  2760, labelFont);
    ui::makeLabel(this, QStringLiteral("Label2"), QStringLiteral("モンテカルロシミュレーションにより"), 720,
                  3120, labelFont);
    ui::makeLabel(this, QStringLiteral("Label7"), QStringLiteral("計算します"), 720, 3480, labelFont);

    const QFont buttonFont = ui::namedFont(QStringLiteral("Times New Roman"), 14.25);
    auto* command1 = ui::makeButton(this, QStringLiteral("Command1"), QStringLiteral("OK"), 1200, 4080,
                                    1575, 495, buttonFont, ui::kButtonYellow);
    auto* command2 = ui::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Cancel"), 3000, 4080,
                                    1575, 495, buttonFont, ui::kButtonYellow);
    connect(command1, &QPushButton::clicked, this, &Form5::onCommand1Clicked);
    connect(command2, &QPushButton::clicked, this, &Form5::onCommand2Clicked);

    ui::centreOnScreen(this);
}

void Form5::presetFields() {
    text1_->clear();
    text2_->setText(QStringLiteral("1000000000"));
}

void Form5::onCommand1Clicked() {
    const QString typedName = text1_->text();
    if (typedName.isEmpty()) {
        application_.warn(this, QStringLiteral("計算結果保存ファイル名を入力して下さい"));
        return;
    }
    // A name the engine would cut, or that is no plain file name, would give a
    // result that never shows in the viewer: refused before anything is written.
    if (const std::optional<QString> problem = resultNameProblem(typedName)) {
        application_.warn(this, *problem);
        return;
    }
    const double photonCount = leadingNumber(text2_->text().toStdString());
    if (!std::isfinite(photonCount)) {
        application_.warn(this, QStringLiteral("数値が大きすぎます"));
        return;
    }

    const Module1& module1 = application_.module1();
    RunParameterInput input;
    input.incidenceAngle = module1.incidenceAngle;
    input.fid = module1.fid;
    input.fsd = module1.fsd;
    input.fieldSize = module1.fieldSize;
    input.couchThickness = module1.couchThickness;
    input.photonCount = photonCount;
    input.resultNameShiftJis = *utf8ToShiftJis(typedName.toStdString());

    const QString parameterPath =
        application_.workingFilePath(QString::fromLatin1(kRunParameterFileName));
    try {
        writeRunParameterFile(QFile::encodeName(parameterPath).toStdString(), input);
    } catch (const InputError& error) {
        application_.warn(this, QStringLiteral("%1 を書き込めませんでした。\n%2")
                                    .arg(QString::fromLatin1(kRunParameterFileName),
                                         QString::fromStdString(error.reason())));
        return;
    }

    // Pending window messages run here; one of them may close this dialog.
    const QPointer<Form5> self(this);
    Application& application = application_;
    QCoreApplication::processEvents();
    const LaunchResult result = application.launcher().startEngine(application.workingDirectory());
    if (!result.started) {
        application.warn(self, QStringLiteral("%1 を起動できませんでした。\n%2")
                                   .arg(QString::fromLatin1(kEngineProgram), result.reason));
        return;
    }
    if (self) hide();
}

void Form5::onCommand2Clicked() { hide(); }

void Form5::closeEvent(QCloseEvent* event) {
    event->accept();
    application_.discardWindow(this);
}

}  // namespace velmora
