#include "frontend/form4.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "formats/number_patterns.h"
#include "frontend/application.h"
#include "frontend/controls.h"
#include "frontend/form3.h"
#include "frontend/ui_common.h"

namespace velmora {

namespace {
constexpr double kCalculatorPi = 3.14159;
}

double incidenceAngleDegrees(double raoLaoDegrees, double cranioCaudalDegrees) {
    const double alpha = raoLaoDegrees * kCalculatorPi / 180;
    const double beta = cranioCaudalDegrees * kCalculatorPi / 180;
    const double lateral = std::cos(alpha) * std::sin(beta);
    const double numerator = std::sqrt(std::sin(alpha) * std::sin(alpha) + lateral * lateral);
    const double denominator = std::cos(beta) * std::cos(alpha);
    const double theta = std::atan(numerator / denominator);
    return theta / kCalculatorPi * 180;
}

Form4::Form4(Application& application, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      application_(application) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("入射角度計算"));
    const QFont defaultFont = ui::namedFont(QStringLiteral("メイリオ"), 12);
    setFont(defaultFont);
    ui::setFixedClientSize(this, 6990, 4365);

    const QFont headingFont = ui::namedFont(QStringLiteral("メイリオ"), 14.25);
    const QFont boxFont = ui::namedFont(QStringLiteral("Times New Roman"), 14.25);
    const QFont buttonFont = ui::namedFont(QStringLiteral("Times New Roman"), 14.25);

    ui::makeLabel(this, QStringLiteral("Label3"), QStringLiteral("管球傾斜角度"), 2520, 240, headingFont);
    ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("RAO / LAO"), 1320, 840, defaultFont);
    ui::makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Cranio-caudal"), 4080, 840, defaultFont);
    text1_ = ui::makeTextBox(this, QStringLiteral("Text1"), 1440, 1320, 975, 495, boxFont);
    ui::makeLabel(this, QStringLiteral("Label4"), QStringLiteral("度"), 2640, 1440, defaultFont);
    text2_ = ui::makeTextBox(this, QStringLiteral("Text2"), 4320, 1320, 975, 495, boxFont);
    ui::makeLabel(this, QStringLiteral("Label5"), QStringLiteral("度"), 5400, 1440, defaultFont);
    command1_ = ui::makeButton(this, QStringLiteral("Command1"), QStringLiteral("O K"), 2760, 2040, 1455,
                               615, buttonFont, ui::kButtonYellow);
    ui::makeLabel(this, QStringLiteral("Label6"), QStringLiteral("Ｘ線中心軸入射角度"), 2160, 2880,
                  headingFont);
    text3_ = ui::makeTextBox(this, QStringLiteral("Text3"), 2760, 3480, 1215, 495,
                             ui::namedFont(QStringLiteral("Times New Roman"), 15.75));
    ui::makeLabel(this, QStringLiteral("Label7"), QStringLiteral("度"), 4080, 3600, defaultFont);
    command2_ = ui::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Exit"), 5400, 3600, 1215,
                               495, buttonFont, ui::kButtonYellow);

    // Keyboard path: α, Enter, β, Enter, then "O K".
    connect(text1_, &QLineEdit::returnPressed, this, [this] { text2_->setFocus(); });
    connect(text2_, &QLineEdit::returnPressed, this, [this] { command1_->setFocus(); });
    connect(command1_, &QPushButton::clicked, this, &Form4::onCommand1Clicked);
    connect(command2_, &QPushButton::clicked, this, &Form4::onCommand2Clicked);

    ui::centreOnScreen(this);
}

void Form4::clearFields() {
    text1_->clear();
    text2_->clear();
    text3_->clear();
}

void Form4::onCommand1Clicked() {
    if (text1_->text().isEmpty() || text2_->text().isEmpty()) {
        application_.warn(this, QStringLiteral("傾斜角度を入力して下さい"));
        return;
    }
    const double alpha = leadingNumber(text1_->text().toStdString());
    const double beta = leadingNumber(text2_->text().toStdString());
    // Only an exponent beyond the range of a double gets here unfinished; the
    // angle of an infinite rotation is undefined.
    if (!std::isfinite(alpha) || !std::isfinite(beta)) {
        application_.warn(this, QStringLiteral("数値が大きすぎます"));
        return;
    }
    const QString thetaText =
        QString::fromStdString(formatFixedPattern(incidenceAngleDegrees(alpha, beta), 1, 1));
    text3_->setText(thetaText);
    application_.form3().setIncidenceAngleText(thetaText);
    command2_->setFocus();
}

void Form4::onCommand2Clicked() { hide(); }

void Form4::closeEvent(QCloseEvent* event) {
    event->accept();
    application_.discardWindow(this);
}

}  // namespace velmora
