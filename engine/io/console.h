// The engine's console: lines of text (held as UTF-8) converted to the
// terminal's encoding, and the waits for Enter.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace velmora {

class Console {
public:
    // `encoding` is the terminal's character set as iconv names it; empty or
    // an ASCII/UTF-8 name leaves the text as UTF-8.
    Console(std::ostream& out, std::istream& in, std::string encoding);

    // The character set of the current locale (LC_CTYPE), as the terminal uses it.
    static std::string terminalEncoding();

    void line(std::string_view utf8Text);
    void emptyLine() { line(""); }

    // Waits until a line is read; end of input counts as Enter, so a batch run
    // with no input never hangs.
    void waitForEnter();

    // Skip both waits (for scripts).
    void setBatch(bool batch) { batch_ = batch; }

private:
    std::ostream& out_;
    std::istream& in_;
    std::string encoding_;
    bool batch_ = false;
};

}  // namespace velmora
