#include "engine/SortMode.h"

namespace foldwise {

std::string_view sortModeKey(SortMode mode) {
    return mode == SortMode::ByCategory ? "category" : "extension";
}

std::optional<SortMode> sortModeFromKey(std::string_view key) {
    if (key == "category") {
        return SortMode::ByCategory;
    }
    if (key == "extension") {
        return SortMode::ByExtension;
    }
    return std::nullopt;
}

} // namespace foldwise
