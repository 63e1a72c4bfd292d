#include "engine/Categories.h"
#include "engine/CategoryOverrides.h"
#include "engine/LinguistExtensions.h"
#include "engine/Lowercase.h"
#include "engine/Organizer.h"
#include "engine/TypeRegistry.h"
#include "stats/FileAnalyzer.h"

#include "tests/engine/InputOutputFolders.h"
#include "tests/support/StdoutCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <glob.h>
#include <map>
#include <numeric>
#include <optional>
#include <ostream>
#include <ranges>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace foldwise {
namespace {

struct Expectation {
    std::string extension;
    std::string category;
};

std::ostream& operator<<(std::ostream& out, const Expectation& e) {
    return out << '"' << e.extension << "\" -> " << e.category;
}

// The extensions a user expects in each category: first what the database decides alone, with cases that
// pin the order of the tests (mjpg is video inheriting an image, m4r audio inheriting video, qtl an
// application type inheriting video, wwf inherits PDF, xhtml and svg are XML-based yet a document and an
// image) and upper case as the database matches it (its globs ignore case; "C" is its own C++ glob).
// Then extensions the database gives several types, of which the kind of content wins over the
// application type listed first; languages only Linguist knows; and extensions of Linguist's languages
// whose media type the database decides. Every extension of the overrides and of Linguist's table is
// added to these by expectations().
constexpr std::pair<const char*, const char*> categoryRows[] = {
    {"Images", "jpg JPG png heic svg cr2 SRW Psd"},
    {"Video", "mp4 mov mkv webm MOV mjpg qtl SRT"},
    {"Audio", "mp3 m4a flac ogg m4r"},
    {"Documents", "pdf txt md csv log doc docx odt xlsx pptx epub fb2 docm "
                  "pages wwf xhtml rtf tex sig cue"},
    {"Archives", "zip gz tgz tar 7z rar zst iso deb bz2 xz jar EXE AppImage"},
    {"Code", "c cpp h py js java rs go sh json xml html yaml toml C hpp kt "
             "scala mk cmake rb pl lua php sql css "
             "scss dart hs coffee cs"},
    {"Other", "qqqxyz ttf woff woff2 p8 vhd"},

    {"Images", "jpx"},    // JPEG 2000, beside a JBuilder project
    {"Audio", "m3u"},     // a playlist, beside an Apple playlist type
    {"Other", "otf OTF"}, // a font, beside an OpenDocument formula template

    {"Code", "zsh fish cljs less psd1 PS1 R Tsx Swift TS BAT Conf vue"},
    {"Audio", "mod pls xi xm"},
    {"Images", "pat"},
    {"Video", "mpl mts smk"},
};

// Where the tables say a file of `extension` goes: its override group's category, else Code for a
// programming language of Linguist's table, or a markup language the database has no type for; nothing
// for an extension the database decides.
std::optional<std::string> tableCategory(std::string_view extension) {
    if (const CategoryOverride* group = overrideFor(extension)) {
        return group->category.empty() ? std::nullopt : std::optional<std::string>(group->category);
    }
    const std::optional<LinguistExtension> language = linguistEntryFor(extension);
    const bool isCode =
        language && (language->kind == LinguistKind::Programming || TypeRegistry::typesForExtension(extension).empty());
    return isCode ? std::optional<std::string>("Code") : std::nullopt;
}

std::vector<Expectation> expectations() {
    std::vector<Expectation> all;
    std::set<std::string> named;
    for (const auto& [category, extensions] : categoryRows) {
        std::istringstream words{std::string(extensions)};
        for (std::string extension; words >> extension;) {
            all.push_back({extension, category});
            named.insert(extension);
        }
    }
    const auto addFromTable = [&](std::string_view extension) {
        const std::optional<std::string> category = tableCategory(extension);
        if (category && named.insert(std::string(extension)).second) {
            all.push_back({std::string(extension), *category});
        }
    };
    for (const CategoryOverride& group : categoryOverrides()) {
        for (const auto word : std::views::split(group.extensions, ' ')) {
            addFromTable(std::string_view(word.begin(), word.end()));
        }
    }
    for (const LinguistExtension& entry : linguistExtensions()) {
        addFromTable(entry.extension);
    }
    return all;
}

// One test for the whole table: a thousand extensions would otherwise be a thousand test processes.
TEST(CategoryTable, EachExtensionLandsInItsCategory) {
    for (const Expectation& e : expectations()) {
        EXPECT_EQ(categoryForExtension(e.extension), e.category) << e;
        EXPECT_EQ(categoryForFile(fs::path("/some/folder") / ("name." + e.extension)), e.category) << e;
    }
}

// The Statistics tab must count a file where Sort puts it: a file of each extension, statistics of the
// folder, then a sort of it.
class CategoryPaths : public test::InputOutputFolders {};

TEST_F(CategoryPaths, SortAndStatisticsPlaceEachFileInItsCategory) {
    std::map<std::string, std::int64_t> expected;
    for (const Expectation& e : expectations()) {
        test::writeFile(input / ("file." + e.extension));
        ++expected[e.category];
    }
    FileStatistics statistics;
    test::captureStdout([&] { statistics = FileAnalyzer::analyzeFolder(input); });
    std::map<std::string, std::int64_t> counted;
    for (const FileCategoryCount& category : statistics.categories) {
        counted[category.category()] = category.count();
    }
    EXPECT_EQ(counted, expected);

    organizeFiles(input, output, true);
    for (const Expectation& e : expectations()) {
        EXPECT_TRUE(fs::exists(output / e.category / ("file." + e.extension))) << e;
    }
}

// The database promises no order for the types of one extension: every order must give one category.
TEST(Categories, TheOrderOfSeveralTypesForAnExtensionDoesNotMatter) {
    for (const char* extension : {"otf", "jpx", "m3u", "ogg", "mp2", "ts", "dot", "mm"}) {
        const std::vector<ContentType> types = TypeRegistry::typesForExtension(extension);
        ASSERT_GE(types.size(), 2u) << extension;
        std::vector<std::size_t> order(types.size());
        std::iota(order.begin(), order.end(), 0);
        std::set<std::string> categories;
        do {
            std::vector<ContentType> reordered;
            for (std::size_t i : order) {
                reordered.push_back(types[i]);
            }
            categories.insert(categoryForTypes(reordered));
        } while (std::ranges::next_permutation(order).found);
        EXPECT_EQ(categories.size(), 1u) << extension << ": " << ::testing::PrintToString(categories);
    }
}

TEST(CategoryOverrides, OtherExtensionsAreLeftToTheDatabase) {
    for (const char* extension : {"", "t", "tsx2", "iniz", "ps", "r ", "jpg"}) {
        EXPECT_EQ(overrideFor(extension), nullptr) << '"' << extension << '"';
    }
}

// Linguist's languages.yml, where Debian's ruby-github-linguist installs it: each extension (one part, lower
// case) of a `type: programming` language, and those a prose language claims too.
struct LinguistSource {
    std::set<std::string> programming;
    std::set<std::string> prose;
};

std::optional<LinguistSource> installedLinguist() {
    glob_t found{};
    ::glob("/usr/lib/*/rubygems-integration/*/gems/github-linguist-*/lib/linguist/languages.yml", 0, nullptr, &found);
    std::ifstream in(found.gl_pathc > 0 ? found.gl_pathv[found.gl_pathc - 1] : "");
    ::globfree(&found);
    if (!in) {
        return std::nullopt;
    }
    LinguistSource source;
    std::string type;
    std::vector<std::string> extensions;
    const auto endLanguage = [&] {
        for (const std::string& extension : extensions) {
            if (type == "programming") {
                source.programming.insert(extension);
            } else if (type == "prose") {
                source.prose.insert(extension);
            }
        }
        type.clear();
        extensions.clear();
    };
    bool inExtensions = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != ' ' && line[0] != '#') {
            endLanguage();
        } else if (line.starts_with("  type: ")) {
            type = line.substr(8);
        } else if (line.starts_with("  - \".") && line.ends_with("\"")) {
            const std::string extension = lowercased(line.substr(6, line.size() - 7));
            if (inExtensions && extension.find('.') == std::string::npos) {
                extensions.push_back(extension);
            }
            continue;
        }
        inExtensions = line == "  extensions:";
    }
    endLanguage();
    return source;
}

// Every extension of a programming language in the installed Linguist is Code, unless the explanation
// says why not: an override group, a media or archive type the database gives, or a prose language.
TEST(LinguistTable, EveryProgrammingExtensionOfTheSourceIsCodeOrExplained) {
    const std::optional<LinguistSource> source = installedLinguist();
    if (!source) {
        GTEST_SKIP() << "ruby-github-linguist is not installed";
    }
    ASSERT_GT(source->programming.size(), 500u);
    for (const std::string& extension : source->programming) {
        const CategoryExplanation explained = explainCategory(extension);
        if (explained.category == "Code") {
            continue;
        }
        const bool mediaFirst =
            explained.reason.starts_with("MIME type ") &&
            std::set<std::string>{"Images", "Video", "Audio", "Archives"}.contains(explained.category);
        EXPECT_TRUE(overrideFor(extension) != nullptr || mediaFirst || source->prose.contains(extension))
            << extension << " -> " << explained.category << " (" << explained.reason << ")";
    }
}

TEST(Categories, OnlyTheLastExtensionOfTheNameCountsAndNoneIsOther) {
    EXPECT_EQ(categoryForFile("backup.tar.gz"), "Archives");
    EXPECT_EQ(categoryForFile("photo.tar.jpg"), "Images");
    for (const char* name : {"Makefile", ".profile", "trailing.", "/data/archive.d/notes", "name.\xff\xfe"}) {
        EXPECT_EQ(categoryForFile(name), "Other") << name;
    }
    EXPECT_EQ(categoryForTypes({}), "Other");
}

} // namespace
} // namespace foldwise
