// Fuzzes the viewer's reader of the 160,000 dose values.
#include <cmath>

#include "formats/input_error.h"
#include "formats/result_file.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    try {
        const ResultDoses doses = parseResultDoses(fuzz::bytesOf(data, size), "fuzz.ddat");
        fuzz::require(doses.primary.size() == kResultCellsPerComponent);
        fuzz::require(doses.scatter.size() == kResultCellsPerComponent);
        for (double value : doses.primary) fuzz::require(std::isfinite(value));
        for (double value : doses.scatter) fuzz::require(std::isfinite(value));
    } catch (const InputError& error) {
        fuzz::require(error.file() == "fuzz.ddat" && error.line() >= 1);
    }
    return 0;
}
