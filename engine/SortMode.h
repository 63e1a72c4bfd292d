#pragma once

#include <optional>
#include <string_view>

namespace foldwise {

// How a sort names its sub-folders: after each file's category ("Images", "Documents" …) or after its
// extension. The preference and the engine's parameter keep the name `useSmartCategories` (true: by category).
enum class SortMode { ByCategory, ByExtension };

inline SortMode sortModeOf(bool useSmartCategories) {
    return useSmartCategories ? SortMode::ByCategory : SortMode::ByExtension;
}
inline bool usesSmartCategories(SortMode mode) {
    return mode == SortMode::ByCategory;
}

// The mode as the command line and the JSON output write it: "category" or "extension".
std::string_view sortModeKey(SortMode mode);
// The mode a key names; nothing for any other text.
std::optional<SortMode> sortModeFromKey(std::string_view key);

} // namespace foldwise
