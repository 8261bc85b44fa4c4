// The application shell: owns the shared state and the five windows. A window
// is created the first time anything touches it and then kept, shown or
// hidden; a window closed by its title-bar button is discarded and the next
// touch creates it afresh.
#pragma once

#include <QPointer>
#include <QString>

#include <functional>

#include "frontend/module1.h"

class QWidget;

namespace velmora {

class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class ProcessLauncher;

class Application {
public:
    using WarningHandler = std::function<void(QWidget* parent, const QString& text)>;
    using EndProgramHandler = std::function<void()>;

    // `workingDirectory` is the study folder: the hand-over files live there and
    // the started programs run there.
    Application(ProcessLauncher& launcher, QString workingDirectory);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Module1& module1() { return module1_; }
    ProcessLauncher& launcher() { return launcher_; }
    const QString& workingDirectory() const { return workingDirectory_; }
    QString workingFilePath(const QString& fileName) const;

    // Touching a window creates it if needed.
    Form1& form1();
    Form2& form2();
    Form3& form3();
    Form4& form4();
    Form5& form5();

    // Called by a dialog whose title-bar close button was used.
    void discardWindow(QWidget* window);

    // The standard warning box; replaceable so that tests can read the text.
    void warn(QWidget* parent, const QString& text) const;
    void setWarningHandler(WarningHandler handler) { warningHandler_ = std::move(handler); }

    // Ends the program at once; by default the event loop is left.
    void endProgram() const;
    void setEndProgramHandler(EndProgramHandler handler) { endProgramHandler_ = std::move(handler); }

    // Start-up: the main menu is loaded and shown.
    void start();

private:
    ProcessLauncher& launcher_;
    QString workingDirectory_;
    Module1 module1_;
    WarningHandler warningHandler_;
    EndProgramHandler endProgramHandler_;
    bool closingDown_ = false;

    QPointer<Form1> form1_;
    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
    QPointer<Form5> form5_;
};

}  // namespace velmora
