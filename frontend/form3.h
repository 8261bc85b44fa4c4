// Form3, "Geometry": the five quantities of the irradiation (incidence angle,
// FID, FSD, field size, couch thickness), confirmed into Module1.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace velmora {

class Application;

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(Application& application, QWidget* parent = nullptr);

    // The main menu's presets, put in each time it opens the dialog.
    void presetFields();

    // The calculator's result lands here.
    void setIncidenceAngleText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onCommand1Clicked();  // OK
    void onCommand2Clicked();  // Cancel
    void onCommand3Clicked();  // open the calculator

    Application& application_;
    QLineEdit* text1_ = nullptr;  // FID
    QLineEdit* text2_ = nullptr;  // FSD
    QLineEdit* text3_ = nullptr;  // incidence angle
    QLineEdit* text4_ = nullptr;  // field size
    QLineEdit* text5_ = nullptr;  // couch thickness
};

}  // namespace velmora
