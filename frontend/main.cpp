// Velmora, the operator front end: opens on the main menu; the study folder is
// the current directory.
#include <QApplication>
#include <QDir>

#include "frontend/application.h"
#include "frontend/drawings.h"
#include "frontend/process_launcher.h"

int main(int argc, char** argv) {
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setWindowIcon(velmora::programIcon());
    // The program ends only through the main menu's end button or its close
    // button, both of which clean up first; hiding the main menu while the
    // result viewer opens must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    velmora::SystemProcessLauncher launcher;
    velmora::Application application(launcher, QDir::currentPath());
    application.start();
    return QApplication::exec();
}
