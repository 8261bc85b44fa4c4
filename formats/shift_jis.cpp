#include "formats/shift_jis.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace velmora {

namespace {

// glibc names Windows code page 932 "CP932" (Shift_JIS with the NEC and IBM
// extensions, 0x5C as backslash and 0x7E as tilde, as the exchanged files use it).
constexpr const char* kShiftJisName = "CP932";

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns the errno of the stop (0 when all
    // input was converted). `in` and `inLeft` advance past what was converted.
    int convert(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* inPointer = const_cast<char*>(in);
            char* outPointer = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, &inPointer, &inLeft, &outPointer, &outLeft);
            const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
            out.append(buffer, outPointer);
            in = inPointer;
            if (error != 0 && error != E2BIG) return error;
        }
        return 0;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> utf8ToShiftJis(std::string_view utf8) {
    Converter converter(kShiftJisName, "UTF-8");
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    std::string out;
    out.reserve(utf8.size());
    if (converter.convert(in, inLeft, out) != 0) return std::nullopt;
    return out;
}

std::string shiftJisToUtf8(std::string_view shiftJis) {
    Converter converter("UTF-8", kShiftJisName);
    const char* in = shiftJis.data();
    std::size_t inLeft = shiftJis.size();
    std::string out;
    out.reserve(shiftJis.size() * 3 / 2);
    while (converter.convert(in, inLeft, out) != 0) {
        // An invalid or truncated sequence: one replacement character for its
        // first byte, then carry on with the next.
        out += "\xEF\xBF\xBD";
        ++in;
        --inLeft;
    }
    return out;
}

}  // namespace velmora
