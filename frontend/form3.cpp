#include "frontend/form3.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "formats/number_patterns.h"
#include "frontend/application.h"
#include "frontend/controls.h"
#include "frontend/drawings.h"
#include "frontend/form2.h"
#include "frontend/form4.h"
#include "frontend/ui_common.h"

namespace velmora {

namespace {
double lenientValue(const QLineEdit* box) { return leadingNumber(box->text().toStdString()); }
}  // namespace

Form3::Form3(Application& application, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      application_(application) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Geometry"));
    setWindowIcon(programIcon());
    ui::setFixedClientSize(this, 8505, 10755);

    auto* picture1 = new SetupPicture(SetupDrawingKind::Geometry, Qt::white, this);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setGeometry(ui::twipsRect(1680, 120, 5055, 5895));

    const QString roundGothic = QStringLiteral("HG丸ｺﾞｼｯｸM-PRO");
    const QFont labelFont = ui::namedFont(roundGothic, 14.25);
    const QFont boxFont = ui::namedFont(QStringLiteral("Times New Roman"), 15.75);
    auto label = [&](const char* name, const QString& text, int left, int top) {
        ui::makeLabel(this, QString::fromLatin1(name), text, left, top, labelFont);
    };
    auto box = [&](const char* name, int left, int top, int width) {
        return ui::makeTextBox(this, QString::fromLatin1(name), left, top, width, 450, boxFont);
    };

    label("Label2", QStringLiteral("均一水ファントム：40×40×20 cm"), 1800, 6120);
    label("Label1", QStringLiteral("入射角度（θ）＝"), 2160, 6840);
    text3_ = box("Text3", 4680, 6720, 1215);
    label("Label4", QStringLiteral("度"), 6120, 6840);
    auto* command3 = ui::makeButton(this, QStringLiteral("Command3"), QStringLiteral("計算する"), 6600,
                                    6720, 1575, 495, ui::namedFont(QStringLiteral("メイリオ"), 12),
                                    ui::kButtonYellow);
    label("Label14", QStringLiteral("焦点 - 画像検出器距離（FID）＝"), 240, 7440);
    text1_ = box("Text1", 4680, 7320, 1215);
    label("Label15", QStringLiteral("cm"), 6120, 7440);
    label("Label12", QStringLiteral("焦点 - 入射表面間距離（FSD）＝"), 120, 7920);
    text2_ = box("Text2", 4680, 7860, 1215);
    label("Label3", QStringLiteral("cm"), 6120, 7920);
    label("Label9", QStringLiteral("照射野サイズ (at FID) ＝"), 1320, 8520);
    text4_ = box("Text4", 4680, 8400, 1335);
    label("Label10", QStringLiteral("cm 正方形"), 6120, 8520);
    ui::makeLabel(this, QStringLiteral("Label13"), QStringLiteral("（最大30 cm）"), 4680, 8880,
                  ui::namedFont(roundGothic, 12));
    label("Label5", QStringLiteral("寝台の水等価厚 ＝"), 2040, 9360);
    text5_ = box("Text5", 4680, 9240, 1335);
    label("Label6", QStringLiteral("cm"), 6120, 9360);

    const QFont buttonFont = ui::namedFont(QStringLiteral("Times New Roman"), 18);
    auto* command1 = ui::makeButton(this, QStringLiteral("Command1"), QStringLiteral("OK"), 2640, 9960,
                                    1335, 495, buttonFont, ui::kButtonYellow);
    auto* command2 = ui::makeButton(this, QStringLiteral("Command2"), QStringLiteral("Cancel"), 4680,
                                    9960, 1335, 495, buttonFont, ui::kButtonYellow);

    connect(command1, &QPushButton::clicked, this, &Form3::onCommand1Clicked);
    connect(command2, &QPushButton::clicked, this, &Form3::onCommand2Clicked);
    connect(command3, &QPushButton::clicked, this, &Form3::onCommand3Clicked);

    ui::centreOnScreen(this);
}

void Form3::presetFields() {
    text1_->setText(QStringLiteral("100"));
    text2_->setText(QStringLiteral("55"));
    text3_->clear();
    text4_->setText(QStringLiteral("20"));
    text5_->setText(QStringLiteral("1.5"));
}

void Form3::setIncidenceAngleText(const QString& text) { text3_->setText(text); }

void Form3::onCommand1Clicked() {
    // Only emptiness is tested: a blank counts as filled, and no range is checked.
    for (const QLineEdit* box : {text1_, text2_, text3_, text4_, text5_}) {
        if (box->text().isEmpty()) {
            application_.warn(this, QStringLiteral("未入力のデータがあります"));
            return;
        }
    }
    const double incidenceAngle = lenientValue(text3_);
    const double fid = lenientValue(text1_);
    const double fsd = lenientValue(text2_);
    const double fieldSize = lenientValue(text4_);
    const double couchThickness = lenientValue(text5_);
    // An exponent beyond the range of a double ("1E999") would reach the
    // engine as a word instead of a number.
    for (const double value : {incidenceAngle, fid, fsd, fieldSize, couchThickness}) {
        if (!std::isfinite(value)) {
            application_.warn(this, QStringLiteral("数値が大きすぎます"));
            return;
        }
    }
    Module1& module1 = application_.module1();
    module1.incidenceAngle = incidenceAngle;
    module1.fid = fid;
    module1.fsd = fsd;
    module1.fieldSize = fieldSize;
    module1.couchThickness = couchThickness;

    application_.form2().enableSimulationStep();
    hide();
}

void Form3::onCommand2Clicked() { hide(); }

void Form3::onCommand3Clicked() {
    Form4& calculator = application_.form4();
    calculator.clearFields();
    calculator.show();
    calculator.raise();
    calculator.activateWindow();
}

void Form3::closeEvent(QCloseEvent* event) {
    // The title-bar close acts as Cancel; the window is discarded.
    event->accept();
    application_.discardWindow(this);
}

}  // namespace velmora
