// Form5, "Monte Carlo simulation": photon count and result-file name; OK writes
// "Phantom.dat" from them and the confirmed geometry, then starts the engine.
#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <string>

class QLineEdit;

namespace velmora {

class Application;

// Why a typed result-file name cannot be used, or nothing when it can. The
// engine keeps 30 bytes of the name with its extension, in Shift_JIS, and the
// name becomes a file in the study folder.
std::optional<QString> resultNameProblem(const QString& typedName);

class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(Application& application, QWidget* parent = nullptr);

    // The main menu's presets, put in each time it opens the dialog.
    void presetFields();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onCommand1Clicked();  // OK
    void onCommand2Clicked();  // Cancel

    Application& application_;
    QLineEdit* text1_ = nullptr;  // result-file name without extension
    QLineEdit* text2_ = nullptr;  // number of incident photons
};

}  // namespace velmora
