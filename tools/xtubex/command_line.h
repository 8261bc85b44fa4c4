// The command-line mode of X-TUBEX, for scripts:
//   X-TUBEX --kv 80 --al 3 --cu 0.1 [--anode-angle 12] [--ripple 0]
//           [--filter Sn --filter-mm 0.1] [--output B_TUBEX.dat]
// Writes the spectrum file and prints the beam's figures. No Qt.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace velmora::xtubex {

// `arguments` without the program name. Returns the exit status: 0 when the
// file was written, 2 for bad arguments (nothing written), 1 when the model or
// the file failed. Messages go to `errors`, figures to `output`.
int runCommandLine(std::span<const std::string> arguments, std::ostream& output, std::ostream& errors);

}  // namespace velmora::xtubex
