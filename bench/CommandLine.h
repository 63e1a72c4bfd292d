#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace foldwise::bench {

// A whole, non-negative number given on the command line; anything else throws.
inline std::size_t parseCount(const char* text) {
    std::size_t used = 0;
    const unsigned long long value = std::stoull(text, &used);
    if (text[used] != '\0') {
        throw std::invalid_argument(text);
    }
    return static_cast<std::size_t>(value);
}

} // namespace foldwise::bench
