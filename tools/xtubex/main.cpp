// X-TUBEX: without arguments the window; with arguments the command-line mode,
// which never touches a display.
#include <QApplication>
#include <QMessageBox>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/xtubex/command_line.h"
#include "tools/xtubex/spectrum_model.h"
#include "tools/xtubex/tables.h"
#include "tools/xtubex/xtubex_window.h"

int main(int argc, char* argv[]) {
    if (argc > 1) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return velmora::xtubex::runCommandLine(arguments, std::cout, std::cerr);
    }

    QApplication application(argc, argv);
    try {
        const velmora::xtubex::SpectrumModel model(velmora::xtubex::loadEmbeddedTables());
        velmora::xtubex::XTubexWindow window(model);
        window.show();
        return application.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "X-TUBEX", QString("X-TUBEX cannot start: %1").arg(error.what()));
        return 1;
    }
}
