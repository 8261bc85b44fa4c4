#include "engine/io/console.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

namespace velmora {

namespace {

bool isUtf8OrAscii(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    // With no locale set the character set is ASCII; terminals on Linux then
    // still display UTF-8, which is the most useful thing to send them.
    return name.empty() || name == "UTF-8" || name == "UTF8" || name == "ANSI_X3.4-1968" || name == "ASCII";
}

std::string convert(std::string_view utf8, const std::string& encoding) {
    iconv_t converter = iconv_open((encoding + "//TRANSLIT").c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
    std::string input(utf8);
    std::string output(input.size() * 4 + 16, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t status = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (status == static_cast<std::size_t>(-1)) return std::string(utf8);
    output.resize(output.size() - outLeft);
    return output;
}

}  // namespace

Console::Console(std::ostream& out, std::istream& in, std::string encoding)
    : out_(out), in_(in), encoding_(isUtf8OrAscii(encoding) ? std::string() : std::move(encoding)) {}

std::string Console::terminalEncoding() { return nl_langinfo(CODESET); }

void Console::line(std::string_view utf8Text) {
    if (encoding_.empty()) {
        out_ << utf8Text << '\n';
    } else {
        out_ << convert(utf8Text, encoding_) << '\n';
    }
    out_.flush();
}

void Console::waitForEnter() {
    if (batch_) return;
    std::string ignored;
    std::getline(in_, ignored);
}

}  // namespace velmora
