// Shared by the fuzz targets: every input must end in a value or an InputError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora::fuzz {

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A broken invariant is a finding: stop at once so that libFuzzer keeps the input.
inline void require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace velmora::fuzz
