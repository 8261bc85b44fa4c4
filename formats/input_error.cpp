#include "formats/input_error.h"

namespace velmora {

namespace {
std::string describe(const std::string& file, int line, const std::string& field,
                     const std::string& reason) {
    std::string text = "\"" + file + "\"";
    if (line > 0) text += ", line " + std::to_string(line);
    if (!field.empty()) text += ", " + field;
    return text + ": " + reason;
}
}  // namespace

InputError::InputError(std::string file, int line, std::string field, std::string reason)
    : std::runtime_error(describe(file, line, field, reason)),
      file_(std::move(file)),
      line_(line),
      field_(std::move(field)),
      reason_(std::move(reason)) {}

}  // namespace velmora
