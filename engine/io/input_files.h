// The only engine code that opens files: the physics tables, the spectrum and
// the run parameters, read in the order the run needs them.
#pragma once

#include <string>
#include <string_view>

#include "engine/physics/interaction_data.h"
#include "engine/spectrum/spectrum.h"
#include "formats/run_parameters.h"

namespace velmora {

inline constexpr const char* kCrossSectionFileName = "Water.mix";
inline constexpr const char* kScatteringFactorFileName = "Water.xfs";
inline constexpr const char* kAirCoefficientFileName = "Mus-XP.dat";

// Parsers of the table files' bytes; each throws InputError naming the file,
// the row and the field, also when the data break the limits the lookups rely on.
CrossSectionTable parseCrossSectionTable(std::string_view bytes, const std::string& fileName);
ScatteringFactorTable parseScatteringFactorTable(std::string_view bytes, const std::string& fileName);
AirCoefficients parseAirCoefficients(std::string_view bytes, const std::string& fileName);

// Reads "Water.mix", "Water.xfs" (and builds the coherent CDF), then "Mus-XP.dat".
InteractionData loadInteractionData(const std::string& directory);

Spectrum loadSpectrum(const std::string& directory);
RunParameters loadRunParameters(const std::string& directory);

}  // namespace velmora
