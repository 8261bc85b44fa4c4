// Form4, "入射角度計算": the incidence angle of the central axis on the phantom
// surface from the two tube angulations (RAO/LAO and cranio-caudal).
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace velmora {

class Application;

// θ in degrees from α (RAO/LAO) and β (cranio-caudal) in degrees. The central
// axis is the unit vector (sin α, cos α sin β, cos α cos β); θ is the arc tangent
// of its lateral over its depth component, principal value, so for angulations
// below 90° it equals arccos(cos α cos β). Degrees and radians are converted
// with 3.14159, as the displayed values have always been computed.
double incidenceAngleDegrees(double raoLaoDegrees, double cranioCaudalDegrees);

class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(Application& application, QWidget* parent = nullptr);

    // The geometry dialog empties all three boxes each time it opens the calculator.
    void clearFields();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onCommand1Clicked();  // "O K": compute
    void onCommand2Clicked();  // "Exit"

    Application& application_;
    QLineEdit* text1_ = nullptr;  // α
    QLineEdit* text2_ = nullptr;  // β
    QLineEdit* text3_ = nullptr;  // θ
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

}  // namespace velmora
