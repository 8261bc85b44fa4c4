// The velmc program: the console dialogue around one study. main() only
// forwards to runVelmc, so tests can run the whole program in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora {

struct ConsoleStreams {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    std::string encoding;  // the terminal's character set
};

// Runs a study in `directory` (the working directory of the process); returns
// the exit status.
int runVelmc(const std::vector<std::string>& arguments, ConsoleStreams streams, const std::string& directory);

}  // namespace velmora
