// Form2, "Velmora": the main menu. One button per step of a study (spectrum,
// geometry, simulation, results) and the end button with the exit clean-up.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace velmora {

class Application;

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(Application& application, QWidget* parent = nullptr);

    // The geometry dialog's OK: the simulation step becomes available and
    // takes the focus (when the menu is hidden, as soon as it shows again).
    void enableSimulationStep();

    // The result viewer's way back.
    void showMainMenu();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onCommand1Clicked();  // spectrum
    void onCommand2Clicked();  // geometry
    void onCommand3Clicked();  // simulation
    void onCommand4Clicked();  // results
    void onCommand6Clicked();  // end
    void endWithCleanUp();

    Application& application_;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* command6_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
};

}  // namespace velmora
