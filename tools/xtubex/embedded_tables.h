// The data tables of tools/xtubex/data, compiled into the program at build time
// (bytes exactly as in the files).
#pragma once

#include <string_view>

namespace velmora::xtubex {

std::string_view embeddedTasmicsCsv();
std::string_view embeddedTasmipCsv();
std::string_view embeddedReferenceHvlCsv();
std::string_view embeddedAirCoefficientsTxt();

}  // namespace velmora::xtubex
