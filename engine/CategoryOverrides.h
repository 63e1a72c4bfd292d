#pragma once

#include <span>
#include <string_view>

namespace foldwise {

// A group of extensions whose category Foldwise decides itself, ahead of the MIME database and
// Linguist, with the reason a user is told. A group with no category leaves its extensions to the
// MIME database alone, where Linguist names a rarer language for them.
struct CategoryOverride {
    std::string_view category;   // one of the seven, or empty: the MIME database decides
    std::string_view extensions; // lower case, separated by spaces
    std::string_view reason;     // e.g. "installer or package"
};

// The whole table, for its tests and for listing.
std::span<const CategoryOverride> categoryOverrides();

// The table's group for `extension`, matched without regard to ASCII case as the database matches
// its own globs, or none.
const CategoryOverride* overrideFor(std::string_view extension);

} // namespace foldwise
