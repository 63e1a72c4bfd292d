#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

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

// Where the value of each "--name value" option goes.
using OptionTargets =
    std::map<std::string_view,
             std::variant<std::size_t*, int*, std::filesystem::path*, std::optional<std::filesystem::path>*>>;

// Stores the value of each "--name value" pair of the command line where `targets` says: a count, or a
// path. A name it does not know, or one without its value, throws.
inline void takeOptions(int argc, char** argv, const OptionTargets& targets) {
    for (int i = 1; i < argc; i += 2) {
        const auto target = targets.find(argv[i]);
        if (target == targets.end() || i + 1 >= argc) {
            throw std::invalid_argument(argv[i]);
        }
        const char* value = argv[i + 1];
        std::visit(
            [value](auto* field) {
                if constexpr (std::is_arithmetic_v<std::remove_pointer_t<decltype(field)>>) {
                    *field = static_cast<std::remove_pointer_t<decltype(field)>>(parseCount(value));
                } else {
                    *field = std::filesystem::path(value);
                }
            },
            target->second);
    }
}

} // namespace foldwise::bench
