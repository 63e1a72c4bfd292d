#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace foldwise {

// A group of extensions whose category Foldwise decides itself, ahead of the MIME database.
struct CategoryOverride {
    std::string_view category;
    std::string_view extensions; // lower case, separated by spaces
};

// The whole table, for its tests.
std::span<const CategoryOverride> categoryOverrides();

// The table's category for `extension`, matched without regard to ASCII case as the database
// matches its own globs, or nothing when the database decides.
std::optional<std::string_view> overriddenCategory(std::string_view extension);

} // namespace foldwise
