// Fuzzes the engine's reader of "Phantom.dat".
#include <cmath>

#include "formats/input_error.h"
#include "formats/run_parameters.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    try {
        const RunParameters p = parseRunParameterFile(fuzz::bytesOf(data, size), "Phantom.dat");
        fuzz::require(p.resultFileName.size() == kResultFileNameBytes);
        fuzz::require(!trimmedResultFileName(p).empty());
        for (float value : {p.incidenceAngle, p.fid, p.fsd, p.fieldSize, p.couchThickness,
                            p.photonCount})
            fuzz::require(std::isfinite(value));
    } catch (const InputError& error) {
        fuzz::require(error.file() == "Phantom.dat" && error.line() >= 1 && error.line() <= 7);
    }
    return 0;
}
