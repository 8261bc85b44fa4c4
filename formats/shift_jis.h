// Shift_JIS (code page 932) is the encoding of every file the programs exchange.
// Conversion lives here and nowhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// UTF-8 to Shift_JIS (CP932); nothing when a character has no Shift_JIS form.
std::optional<std::string> utf8ToShiftJis(std::string_view utf8);

// Shift_JIS (CP932) to UTF-8; an invalid byte sequence is replaced by U+FFFD.
std::string shiftJisToUtf8(std::string_view shiftJis);

}  // namespace velmora
