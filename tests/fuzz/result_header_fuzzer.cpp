// Fuzzes the viewer's reader of the first fifteen lines of a result file.
#include "formats/input_error.h"
#include "formats/result_file.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    try {
        const auto header = parseResultHeader(bytes, "fuzz.ddat");
        std::size_t total = 0;
        for (const std::string& line : header) {
            fuzz::require(line.find_first_of("\r\n") == std::string::npos);
            total += line.size();
        }
        fuzz::require(total <= bytes.size());
    } catch (const InputError& error) {
        fuzz::require(error.line() >= 1 && error.line() <= kResultHeaderLines);
    }
    return 0;
}
