#include "engine/LinguistExtensions.h"

#include <algorithm>
#include <string>

namespace foldwise {

std::optional<LinguistExtension> linguistEntryFor(std::string_view extension) {
    std::string lower(extension);
    std::ranges::transform(lower, lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    const std::span<const LinguistExtension> table = linguistExtensions();
    const auto found = std::ranges::lower_bound(table, std::string_view(lower), {}, &LinguistExtension::extension);
    if (found == table.end() || found->extension != lower) {
        return std::nullopt;
    }
    return *found;
}

} // namespace foldwise
