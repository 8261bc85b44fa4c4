// Reading and writing the exchanged text files: lines end in CR LF, and output
// files are written under a temporary name and renamed when complete.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Splits file bytes into lines at LF, removing one CR directly before each LF;
// a last line without LF counts as a line. Bytes are kept as they are.
std::vector<std::string> splitLines(std::string_view bytes);

// Reads a whole file; throws InputError naming the file (with the OS reason)
// when it cannot be opened or read.
std::string readWholeFile(const std::string& path);

// Writes `bytes` to `path` atomically: a temporary file in the same directory,
// flushed and closed, then renamed over `path`. Throws InputError with the OS
// reason; on failure no file of either name is left behind.
void writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace velmora
