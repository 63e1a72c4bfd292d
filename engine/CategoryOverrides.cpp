#include "engine/CategoryOverrides.h"

#include <algorithm>
#include <array>
#include <ranges>

namespace foldwise {

namespace {

// Kinds of file a user looks for in one folder, which the MIME database spreads over several or
// does not know, and extensions that Linguist claims for a language though a user means something
// else by them. Every extension here is checked by tests/engine/CategoriesTest.cpp.
//
// Fonts stay in Other: the database gives most a font/* type, which lands there, and where it also
// lists another type for the extension (otf, an OpenDocument template) the font is preferred; the
// Type 1 fonts it reads as PostScript text are set here.
constexpr std::array overrides{
    CategoryOverride{"Archives", "deb rpm apk dmg pkg msi msix appx exe appimage flatpak snap", "installer or package"},
    CategoryOverride{"Video", "srt vtt ass ssa sub", "subtitles, kept with their videos"},
    CategoryOverride{"Images", "srw 3fr mos iiq erf mef fff rwl gpr mdc rwz dcs drf bay",
                     "camera raw image the MIME database does not know"},
    CategoryOverride{"Images", "ai kra sketch fig xcf psd afdesign afphoto xd cdr", "design document"},
    CategoryOverride{"Other", "pfa pfb", "font"},
    // Known to the database as a video stream and a Qt translation file: in a projects folder, TypeScript.
    CategoryOverride{"Code", "ts", "TypeScript, not a video stream"},
    // Configuration files, decided once: Code, beside the YAML and TOML the database puts there.
    // Neither the database nor Linguist's languages has a type for these.
    CategoryOverride{"Code", "ini cfg conf", "configuration file"},
    // E-books join epub and fb2: the database has no type for azw, no document type for mobi, azw3 and
    // prc (a Palm database), and reads djvu, scanned books and papers, as an image.
    CategoryOverride{"Documents", "mobi azw azw3 prc djvu", "e-book"},
    // Files a user receives far more often than the language Linguist names for them.
    CategoryOverride{"", "sig p8 spc", "key, certificate or signature (not a program)"},
    CategoryOverride{"", "cue", "CD track list (not a program)"},
    CategoryOverride{"", "pm6 por cdf nc gf vhd ws", "another program's data, disk or ROM image (not a program)"},
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

const CategoryOverride* overrideFor(std::string_view extension) {
    const auto found = std::ranges::find_if(
        overrides, [&](const CategoryOverride& group) { return listHolds(group.extensions, extension); });
    return found == overrides.end() ? nullptr : &*found;
}

} // namespace foldwise
