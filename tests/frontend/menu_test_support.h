// Shared pieces of the main-menu and dialog tests: a stand-in for the process
// launcher and a study folder with an application whose warnings and program
// end are captured instead of blocking or exiting.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "frontend/application.h"
#include "frontend/process_launcher.h"

namespace velmora::testing {

class StubLauncher : public ProcessLauncher {
public:
    LaunchResult startSpectrumTool(const QString& workingDirectory) override {
        spectrumStartDirectories << workingDirectory;
        if (onSpectrumTool) onSpectrumTool(workingDirectory);
        return spectrumResult;
    }
    LaunchResult startEngine(const QString& workingDirectory) override {
        engineStartDirectories << workingDirectory;
        if (onEngine) onEngine(workingDirectory);
        return engineResult;
    }

    QStringList spectrumStartDirectories;
    QStringList engineStartDirectories;
    LaunchResult spectrumResult = LaunchResult::success();
    LaunchResult engineResult = LaunchResult::success();
    std::function<void(const QString&)> onSpectrumTool;
    std::function<void(const QString&)> onEngine;
};

// An application over a fresh, empty study folder.
struct Study {
    QTemporaryDir folder;
    StubLauncher launcher;
    std::unique_ptr<Application> application;
    QStringList warnings;
    int programEnds = 0;

    Study() { application = makeApplication(folder.path()); }

    std::unique_ptr<Application> makeApplication(const QString& directory) {
        auto app = std::make_unique<Application>(launcher, directory);
        app->setWarningHandler([this](QWidget*, const QString& text) { warnings << text; });
        app->setEndProgramHandler([this] { ++programEnds; });
        return app;
    }

    QString path(const QString& fileName) const { return folder.filePath(fileName); }
};

template <typename Control>
Control* control(QWidget& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("control %s not found in %s", name, qPrintable(window.objectName()));
    return found;
}

inline QPushButton* button(QWidget& window, const char* name) { return control<QPushButton>(window, name); }
inline QLineEdit* textBox(QWidget& window, const char* name) { return control<QLineEdit>(window, name); }

inline void click(QWidget& window, const char* buttonName) {
    QTest::mouseClick(button(window, buttonName), Qt::LeftButton);
}

}  // namespace velmora::testing
