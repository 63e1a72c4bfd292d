#include "engine/Categories.h"

#include "engine/CategoryOverrides.h"
#include "engine/FileSystem.h"
#include "engine/LinguistExtensions.h"
#include "engine/UserCategories.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>

namespace foldwise {

namespace {

// How a root type is recognised in a type's lineage.
enum class Match {
    InLineage,  // the root is the type itself or one of its ancestors
    PrefixOf,   // some type of the lineage begins with the root's text (a family of types)
    TypeItself, // only the type itself, not its descendants
};

struct Root {
    std::string_view name;
    Match match = Match::InLineage;
};

// The MIME database has no notion of "document", "archive" or "source code": these roots are
// ours, and together with the tests below they make every category reachable by the files a
// user expects there.
constexpr std::array documentRoots{
    Root{"application/msword"},
    Root{"application/vnd.ms-excel"},
    Root{"application/vnd.ms-powerpoint"},
    Root{"application/vnd.openxmlformats-officedocument.", Match::PrefixOf},
    Root{"application/vnd.oasis.opendocument.", Match::PrefixOf},
    Root{"application/epub+zip"},
    Root{"application/vnd.apple.pages"},
    Root{"application/vnd.apple.numbers"},
    Root{"application/vnd.apple.keynote"},
};

constexpr std::array archiveRoots{
    Root{"application/zip"},
    Root{"application/gzip"},
    Root{"application/x-tar"},
    Root{"application/x-bzip"},
    Root{"application/x-xz"},
    Root{"application/x-7z-compressed"},
    Root{"application/vnd.rar"},
    Root{"application/zstd"},
    Root{"application/x-apple-diskimage"},
    Root{"application/x-raw-disk-image"},
    Root{"application/vnd.debian.binary-package"},
    Root{"application/x-lzip"},
    Root{"application/x-compress"},
    Root{"application/vnd.ms-cab-compressed"},
    Root{"application/x-rpm"},
    Root{"application/x-lz4"},
    Root{"application/x-lzma"},
    Root{"application/x-cpio"},
};

// Source code is text that also descends from one of these. application/x-executable covers the
// scripting languages (shell, Python, Perl, Ruby, Lua, awk, JavaScript and JSON); text/x-csrc
// covers the C family (C++, Objective-C, Java, C#, D, Vala, Groovy). XML counts only as itself,
// so that XML-based document formats stay documents.
constexpr std::array codeRoots{
    Root{"application/x-executable"},
    Root{"text/x-csrc"},
    Root{"text/rust"},
    Root{"text/x-go"},
    Root{"text/x-kotlin"},
    Root{"application/x-php"},
    Root{"application/sql"},
    Root{"text/css"},
    Root{"text/html"},
    Root{"application/x-yaml"},
    Root{"application/toml"},
    Root{"application/xml", Match::TypeItself},
    // Languages and build files the database knows only as plain text.
    Root{"text/x-makefile"},
    Root{"text/x-cmake"},
    Root{"text/x-meson"},
    Root{"text/x-scala"},
    Root{"text/x-dart"},
    Root{"text/x-haskell"},
    Root{"text/x-literate-haskell"},
    Root{"text/x-erlang"},
    Root{"text/x-elixir"},
    Root{"text/x-crystal"},
    Root{"text/x-ocaml"},
    Root{"text/x-common-lisp"},
    Root{"text/x-emacs-lisp"},
    Root{"text/x-scheme"},
    Root{"text/tcl"},
    Root{"text/vbscript"},
    Root{"text/x-fortran"},
    Root{"text/x-pascal"},
    Root{"text/x-adasrc"},
    Root{"text/x-cobol"},
    Root{"text/x-eiffel"},
    Root{"text/x-matlab"},
    Root{"text/x-genie"},
    Root{"text/x-modelica"},
    Root{"text/x-verilog"},
    Root{"text/x-vhdl"},
    Root{"text/x-qml"},
    Root{"text/x-idl"},
    Root{"text/x-moc"},
    Root{"text/x-scss"},
    Root{"text/x-sass"},
    Root{"application/vnd.coffeescript"},
    Root{"application/x-gdscript"},
    Root{"application/x-asp"},
    Root{"application/x-m4"},
};

constexpr Root textRoot{"text/plain"};
constexpr Root pdfRoot{"application/pdf"};

bool holds(const ContentType& type, const Root& root) {
    switch (root.match) {
    case Match::TypeItself:
        return type.name == root.name;
    case Match::PrefixOf:
        return std::ranges::any_of(type.lineage, [&](const std::string& t) { return t.starts_with(root.name); });
    case Match::InLineage:
        break;
    }
    return std::ranges::find(type.lineage, root.name) != type.lineage.end();
}

template <std::size_t N> bool holdsAny(const ContentType& type, const std::array<Root, N>& roots) {
    return std::ranges::any_of(roots, [&](const Root& root) { return holds(type, root); });
}

std::string_view topLevel(std::string_view typeName) {
    return typeName.substr(0, typeName.find('/'));
}

// A type is media of `kind` when that is its own top-level type, or when it is no media type of its
// own and inherits from one of `kind` (an application/* container of images, say).
bool isMedia(const ContentType& type, std::string_view kind) {
    const std::string_view own = topLevel(type.name);
    if (own == kind) {
        return true;
    }
    if (own == "image" || own == "video" || own == "audio") {
        return false;
    }
    return std::ranges::any_of(type.lineage, [&](const std::string& t) { return topLevel(t) == kind; });
}

// Top-level types that name a kind of content, where application/* and text/* leave it open.
constexpr std::array contentKinds{std::string_view{"image"}, std::string_view{"video"}, std::string_view{"audio"},
                                  std::string_view{"font"}};

bool namesItsKind(const ContentType& type) {
    return std::ranges::find(contentKinds, topLevel(type.name)) != contentKinds.end();
}

// Of several types for one extension, a kind of content beats the rest (a font stays a font beside an
// OpenDocument template), then the name decides: never the position the database lists it in.
const ContentType& preferredType(std::span<const ContentType> types) {
    return *std::ranges::min_element(
        types, {}, [](const ContentType& type) { return std::pair(!namesItsKind(type), std::string_view(type.name)); });
}

// Where the MIME database's word is final: Linguist names languages for many extensions of media and
// archive types too (mod, pls, mts).
bool isMediaOrArchive(std::string_view category) {
    return category == "Images" || category == "Video" || category == "Audio" || category == "Archives";
}

std::string linguistReason(const LinguistExtension& entry) {
    const char* kind = entry.kind == LinguistKind::Programming ? "programming" : "markup";
    return std::string(kind) + " language (Linguist: " + std::string(entry.languages) + ")";
}

// The seven tests, in order; the first that holds decides.
std::string_view categoryForType(const ContentType& type) {
    if (isMedia(type, "image")) {
        return "Images";
    }
    if (isMedia(type, "video")) {
        return "Video";
    }
    if (isMedia(type, "audio")) {
        return "Audio";
    }
    if (holds(type, pdfRoot)) {
        return "Documents";
    }
    const bool isText = holds(type, textRoot);
    const bool isCode = holdsAny(type, codeRoots);
    if (holdsAny(type, documentRoots) || (isText && !isCode)) {
        return "Documents";
    }
    if (holdsAny(type, archiveRoots)) {
        return "Archives";
    }
    if (isText && isCode) {
        return "Code";
    }
    return "Other";
}

} // namespace

std::string categoryForTypes(std::span<const ContentType> types) {
    return std::string(types.empty() ? "Other" : categoryForType(preferredType(types)));
}

CategoryExplanation explainCategory(std::string_view extension, const UserCategories* rules) {
    std::shared_ptr<const UserCategories> installed;
    if (rules == nullptr) {
        installed = UserCategories::installed();
        rules = installed.get();
    }
    if (const std::optional<std::string_view> folder = rules->folderFor(extension)) {
        return {std::string(*folder), "your rule"};
    }
    const CategoryOverride* group = overrideFor(extension);
    if (group != nullptr && !group->category.empty()) {
        return {std::string(group->category), std::string(group->reason)};
    }
    const std::vector<ContentType> types = TypeRegistry::typesForExtension(extension);
    const std::optional<LinguistExtension> language = group ? std::nullopt : linguistEntryFor(extension);
    if (types.empty()) {
        if (language) {
            return {"Code", linguistReason(*language)};
        }
        return {"Other", "no type known"};
    }
    const ContentType& type = preferredType(types);
    const std::string category(categoryForType(type));
    if (language && language->kind == LinguistKind::Programming && !isMediaOrArchive(category)) {
        return {"Code", linguistReason(*language)};
    }
    std::string reason = "MIME type " + type.name;
    if (group != nullptr) {
        reason += ", " + std::string(group->reason);
    }
    return {category, reason};
}

std::string categoryForExtension(std::string_view extension) {
    return explainCategory(extension).category;
}

std::string categoryForFile(const fs::path& file) {
    return categoryForExtension(FileSystem::pathExtension(file));
}

CategoryCache::CategoryCache() : rules_(UserCategories::installed()) {}

const std::string& CategoryCache::categoryForExtension(const std::string& extension) {
    auto found = categories_.find(extension);
    if (found == categories_.end()) {
        found = categories_.emplace(extension, explainCategory(extension, rules_.get()).category).first;
    }
    return found->second;
}

} // namespace foldwise
