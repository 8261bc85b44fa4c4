#include "frontend/application.h"

#include <QCoreApplication>
#include <QDir>

#include "frontend/form1.h"
#include "frontend/form2.h"
#include "frontend/form3.h"
#include "frontend/form4.h"
#include "frontend/form5.h"
#include "frontend/ui_common.h"

namespace velmora {

Application::Application(ProcessLauncher& launcher, QString workingDirectory)
    : launcher_(launcher),
      workingDirectory_(std::move(workingDirectory)),
      warningHandler_(&ui::showWarning),
      endProgramHandler_([] { QCoreApplication::exit(0); }) {}

Application::~Application() {
    // Windows still alive are closed without further events.
    closingDown_ = true;
    delete form1_.data();
    delete form3_.data();
    delete form4_.data();
    delete form5_.data();
    delete form2_.data();
}

QString Application::workingFilePath(const QString& fileName) const {
    return QDir(workingDirectory_).filePath(fileName);
}

Form1& Application::form1() {
    if (form1_.isNull()) {
        form1_ = new Form1(module1_);
        // Closing the viewer by its title bar discards it; doseGrid and
        // mapDrawn live on in Module1.
        form1_->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(form1_.data(), &Form1::returnToMainMenu, form1_.data(),
                         [this] { form2().showMainMenu(); });
        // The main menu is hidden while the viewer is open; were it to stay
        // hidden after the viewer is closed, the program would run on with no
        // window left to end it.
        QObject::connect(form1_.data(), &QObject::destroyed, [this] {
            if (!closingDown_ && form2_ && form2_->isHidden()) form2_->showMainMenu();
        });
    }
    return *form1_;
}

Form2& Application::form2() {
    if (form2_.isNull()) form2_ = new Form2(*this);
    return *form2_;
}

Form3& Application::form3() {
    if (form3_.isNull()) form3_ = new Form3(*this);
    return *form3_;
}

Form4& Application::form4() {
    if (form4_.isNull()) form4_ = new Form4(*this);
    return *form4_;
}

Form5& Application::form5() {
    if (form5_.isNull()) form5_ = new Form5(*this);
    return *form5_;
}

void Application::discardWindow(QWidget* window) {
    // Forget it now, so that a touch before the deferred deletion already
    // gets a fresh window.
    if (window == form3_) form3_.clear();
    if (window == form4_) form4_.clear();
    if (window == form5_) form5_.clear();
    window->hide();
    window->deleteLater();
}

void Application::warn(QWidget* parent, const QString& text) const {
    if (warningHandler_) warningHandler_(parent, text);
}

void Application::endProgram() const {
    if (endProgramHandler_) endProgramHandler_();
}

void Application::start() { form2().show(); }

}  // namespace velmora
