// A typed error for every file the two programs read or write: it carries the
// file, the 1-based line and the field, so that the message can name all three.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class InputError : public std::runtime_error {
public:
    // line 0 means "the file as a whole" (missing, unreadable, cannot be written).
    InputError(std::string file, int line, std::string field, std::string reason);

    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& field() const { return field_; }
    const std::string& reason() const { return reason_; }

private:
    std::string file_;
    int line_;
    std::string field_;
    std::string reason_;
};

}  // namespace velmora
