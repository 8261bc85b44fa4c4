// velmc: the console Monte Carlo engine.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "engine/driver/velmc_program.h"
#include "engine/io/console.h"

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return velmora::runVelmc(arguments, {std::cout, std::cerr, std::cin, velmora::Console::terminalEncoding()},
                             ".");
}
