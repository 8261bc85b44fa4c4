// Fuzzes the engine's reader of the spectrum file "B_TUBEX.dat".
#include <cmath>

#include "engine/spectrum/spectrum.h"
#include "formats/input_error.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    try {
        const Spectrum spectrum = parseSpectrumFile(fuzz::bytesOf(data, size), "B_TUBEX.dat");
        fuzz::require(spectrum.binLimit >= 2 && spectrum.binLimit <= kSpectrumBins + 1);
        for (const std::string& line : spectrum.header) fuzz::require(line.size() == 30);
        for (int k = 1; k <= kSpectrumBins; ++k) fuzz::require(std::isfinite(spectrum.weight[k]));
    } catch (const InputError& error) {
        fuzz::require(error.file() == "B_TUBEX.dat");
    }
    return 0;
}
