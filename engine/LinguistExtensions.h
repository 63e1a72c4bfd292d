#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace foldwise {

// What Linguist's languages.yml calls the languages of an extension.
enum class LinguistKind { Programming, Markup };

// A file-name extension that Linguist gives one or more programming or markup languages.
struct LinguistExtension {
    std::string_view extension; // lower case, without the dot
    std::string_view languages; // Linguist's names, separated by ", "
    LinguistKind kind;          // Programming when any of the languages is one
};

// The whole generated table, sorted by extension.
std::span<const LinguistExtension> linguistExtensions();

// The table's entry for `extension`, matched without regard to ASCII case; nothing when Linguist
// knows no programming or markup language by it.
std::optional<LinguistExtension> linguistEntryFor(std::string_view extension);

} // namespace foldwise
