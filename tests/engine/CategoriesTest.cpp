#include "engine/Categories.h"
#include "engine/Organizer.h"
#include "engine/TypeRegistry.h"
#include "stats/FileAnalyzer.h"

#include "tests/engine/InputOutputFolders.h"
#include "tests/support/StdoutCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <ranges>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace foldwise {
namespace {

struct Expectation {
    std::string extension;
    std::string category;
};

// The extensions a user expects in each category: first what the database decides alone, with cases that
// pin the order of the tests (mjpg is video inheriting an image, m4r audio inheriting video, qtl an
// application type inheriting video, wwf inherits PDF, xhtml and svg are XML-based yet a document and an
// image) and upper case as the database matches it (its globs ignore case; "C" is its own C++ glob).
// Then extensions the database gives several types, of which the kind of content wins over the
// application type listed first; languages only Linguist knows; and extensions of Linguist's languages
// whose media type the database decides.
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

std::vector<Expectation> expectations() {
    std::vector<Expectation> all;
    for (const auto& [category, extensions] : categoryRows) {
        std::istringstream words{std::string(extensions)};
        for (std::string extension; words >> extension;) {
            all.push_back({extension, category});
        }
    }
    return all;
}

// The Statistics tab must count a file where Sort puts it: a file of each extension, statistics of the
// folder, then a sort of it. (One test for the whole table: a thousand extensions would otherwise be a
// thousand test processes.)
class CategoryPaths : public test::InputOutputFolders {};

TEST_F(CategoryPaths, SortAndStatisticsPlaceEachFileInItsCategory) {
    std::map<std::string, std::int64_t> expected;
    for (const Expectation& e : expectations()) {
        EXPECT_EQ(categoryForFile(fs::path("/some/folder") / ("name." + e.extension)), e.category) << e.extension;
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
        EXPECT_TRUE(fs::exists(output / e.category / ("file." + e.extension))) << e.extension;
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

TEST(Categories, OnlyTheLastExtensionOfTheNameCountsAndNoneIsOther) {
    EXPECT_EQ(categoryForFile("backup.tar.gz"), "Archives");
    EXPECT_EQ(categoryForFile("photo.tar.jpg"), "Images");
    // Extensions that only begin like one of the overrides are left to the database.
    for (const char* name :
         {"Makefile", ".profile", "trailing.", "/data/archive.d/notes", "name.\xff\xfe", "a.tsx2", "a.iniz", "a.r "}) {
        EXPECT_EQ(categoryForFile(name), "Other") << name;
    }
    EXPECT_EQ(categoryForTypes({}), "Other");
}

} // namespace
} // namespace foldwise
