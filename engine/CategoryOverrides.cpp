#include "engine/CategoryOverrides.h"

#include <algorithm>
#include <array>
#include <ranges>

namespace foldwise {

namespace {

// Types a user keeps in a downloads or projects folder that the MIME database does not know, or
// knows only as something a user would not look for there. Each entry needs a row in
// tests/engine/CategoriesTest.cpp, whose tests also fail on an entry the database alone places right.
//
// Fonts need no entry: the database gives each a font/* type, which lands in Other, and where it
// also lists another type for the extension (otf, an OpenDocument template) the font is preferred.
constexpr std::array overrides{
    // Source the database does not know: React and Vue/Svelte components, CommonJS, Windows batch
    // and PowerShell, R, Julia, Kotlin script, Clojure, Zig, Nix, Terraform, assembly and Swift.
    CategoryOverride{"Code", "jsx tsx vue svelte cjs bat cmd ps1 psm1 r jl kts clj zig nix tf asm swift"},
    // Known to the database only as a game-console ROM (vb) and as a Qt translation file or a video
    // stream (ts); in a projects folder they are Visual Basic and TypeScript.
    CategoryOverride{"Code", "vb ts"},
    // Configuration files, decided once: Code, beside the YAML and TOML the database puts there.
    // It has no type for any of these.
    CategoryOverride{"Code", "ini cfg conf"},
    // E-books join epub and fb2: the database has no type for azw, no document type for mobi and
    // azw3 (a Palm database), and reads djvu, scanned books and papers, as an image.
    CategoryOverride{"Documents", "mobi azw azw3 djvu"},
};

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// The words of `list` as std::views::split(list, ' ') gives them, walked by hand: clang 14, which clang-tidy
// parses with on Debian 12, cannot compile that view against libstdc++ 12.
bool listHolds(std::string_view list, std::string_view extension) {
    if (list.empty()) {
        return false;
    }
    for (std::size_t start = 0;;) {
        const std::size_t end = list.find(' ', start);
        if (equalsIgnoringAsciiCase(list.substr(start, end == std::string_view::npos ? end : end - start), extension)) {
            return true;
        }
        if (end == std::string_view::npos) {
            return false;
        }
        start = end + 1;
    }
}

} // namespace

std::span<const CategoryOverride> categoryOverrides() {
    return overrides;
}

std::optional<std::string_view> overriddenCategory(std::string_view extension) {
    const auto found = std::ranges::find_if(
        overrides, [&](const CategoryOverride& group) { return listHolds(group.extensions, extension); });
    if (found == overrides.end()) {
        return std::nullopt;
    }
    return found->category;
}

} // namespace foldwise
