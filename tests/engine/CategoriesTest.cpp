#include "engine/Categories.h"
#include "engine/CategoryOverrides.h"
#include "engine/Organizer.h"
#include "engine/TypeRegistry.h"
#include "stats/FileAnalyzer.h"

#include "tests/support/StdoutCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <numeric>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace foldwise {
namespace {

// Points the MIME database away from the user's own additions (~/.local/share/mime) before its
// first use, so that only the system database decides.
class IsolatedMimeData : public ::testing::Environment {
public:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "foldwise-xdg-data-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        ASSERT_EQ(setenv("XDG_DATA_HOME", folder_.c_str(), 1), 0);
    }
    void TearDown() override { fs::remove_all(folder_); }

private:
    fs::path folder_;
};

[[maybe_unused]] const auto* const isolatedMimeData = ::testing::AddGlobalTestEnvironment(new IsolatedMimeData);

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
// application type listed first, and last the table of overrides, whose entries ignore case too.
constexpr std::pair<const char*, const char*> categoryRows[] = {
    {"Images", "jpg JPG png heic svg cr2"},
    {"Video", "mp4 mov mkv webm MOV mjpg qtl"},
    {"Audio", "mp3 m4a flac ogg m4r"},
    {"Documents", "pdf txt md csv log doc docx odt xlsx pptx epub fb2 docm pages wwf xhtml rtf"},
    {"Archives", "zip gz tgz tar 7z rar zst iso deb bz2 xz jar"},
    {"Code", "c cpp h py js java rs go sh json xml html yaml toml C hpp kt scala mk cmake rb pl lua php sql css "
             "scss dart hs coffee cs"},
    {"Other", "qqqxyz exe ttf woff woff2"},

    {"Images", "jpx"},    // JPEG 2000, beside a JBuilder project
    {"Audio", "m3u"},     // a playlist, beside an Apple playlist type
    {"Other", "otf OTF"}, // a font, beside an OpenDocument formula template

    {"Code", "jsx tsx vue svelte cjs bat cmd ps1 psm1 r jl kts clj zig nix tf asm swift vb ts ini cfg conf"},
    {"Code", "PS1 R Tsx Swift TS BAT Conf"},
    {"Documents", "mobi azw azw3 djvu AZW3 DjVu"},
};

std::vector<std::string> words(std::string_view text) {
    std::istringstream stream{std::string(text)};
    std::vector<std::string> all;
    for (std::string word; stream >> word;) {
        all.push_back(word);
    }
    return all;
}

std::vector<Expectation> expectations() {
    std::vector<Expectation> all;
    for (const auto& [category, extensions] : categoryRows) {
        for (std::string& extension : words(extensions)) {
            all.push_back({std::move(extension), category});
        }
    }
    return all;
}

class CategoryTable : public ::testing::TestWithParam<Expectation> {};

TEST_P(CategoryTable, ExtensionLandsInItsCategory) {
    EXPECT_EQ(categoryForExtension(GetParam().extension), GetParam().category);
    EXPECT_EQ(categoryForFile(fs::path("/some/folder") / ("name." + GetParam().extension)), GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(DatabaseAndRules, CategoryTable, ::testing::ValuesIn(expectations()));

// One file of the row's extension alone in an input folder, so that the sort and the statistics each
// have to place it themselves: the Statistics tab must count a file where Sort puts it.
class CategoryPaths : public ::testing::TestWithParam<Expectation> {
protected:
    void SetUp() override {
        fs::create_directory(input);
        fs::create_directory(output);
        testing::writeFile(input / name);
    }

    testing::TempFolder root;
    fs::path input = root / "in";
    fs::path output = root / "out";
    std::string name = "file." + GetParam().extension;
};

TEST_P(CategoryPaths, SortMovesTheFileIntoItsCategory) {
    organizeFiles(input, output, true);
    const std::string& category = GetParam().category;
    EXPECT_EQ(testing::treeOf(output), (std::set<std::string>{category + "/", category + "/" + name}));
}

TEST_P(CategoryPaths, StatisticsCountTheFileInItsCategory) {
    FileStatistics statistics;
    testing::captureStdout([&] { statistics = FileAnalyzer::analyzeFolder(input); });
    ASSERT_EQ(statistics.categories.size(), 1u);
    EXPECT_EQ(statistics.categories.front().category(), GetParam().category);
    EXPECT_EQ(statistics.categories.front().count(), 1);
}

INSTANTIATE_TEST_SUITE_P(SortAndStatistics, CategoryPaths, ::testing::ValuesIn(expectations()));

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

TEST(Categories, NoTypesAreOther) {
    EXPECT_EQ(categoryForTypes({}), "Other");
}

std::vector<std::string> overriddenExtensions() {
    std::vector<std::string> all;
    for (const CategoryOverride& group : categoryOverrides()) {
        std::ranges::move(words(group.extensions), std::back_inserter(all));
    }
    return all;
}

TEST(CategoryOverrides, EachEntryIsListedOnce) {
    std::vector<std::string> all = overriddenExtensions();
    std::ranges::sort(all);
    EXPECT_EQ(std::ranges::adjacent_find(all), all.end()) << ::testing::PrintToString(all);
}

TEST(CategoryOverrides, EachEntryHasATestRowWithItsCategory) {
    const std::vector<Expectation> rows = expectations();
    for (const std::string& extension : overriddenExtensions()) {
        const auto row = std::ranges::find(rows, extension, &Expectation::extension);
        ASSERT_NE(row, rows.end()) << extension;
        EXPECT_EQ(row->category, overriddenCategory(extension)) << extension;
    }
}

// An entry is for a type the database does not know or places where a user would not look: once the
// database alone gives the same category, the entry should go.
TEST(CategoryOverrides, EachEntryChangesWhatTheDatabaseGives) {
    for (const std::string& extension : overriddenExtensions()) {
        EXPECT_NE(categoryForTypes(TypeRegistry::typesForExtension(extension)), overriddenCategory(extension))
            << extension;
    }
}

TEST(CategoryOverrides, OtherExtensionsAreLeftToTheDatabase) {
    for (const char* extension : {"", "t", "tsx2", "iniz", "ps", "r ", "jpg"}) {
        EXPECT_EQ(overriddenCategory(extension), std::nullopt) << '"' << extension << '"';
    }
}

TEST(Categories, OnlyTheLastExtensionOfTheNameCounts) {
    EXPECT_EQ(categoryForFile("backup.tar.gz"), "Archives");
    EXPECT_EQ(categoryForFile("report.pdf.zip"), "Archives");
    EXPECT_EQ(categoryForFile("photo.tar.jpg"), "Images");
    EXPECT_EQ(categoryForFile("/data/archive.d/notes"), "Other");
}

TEST(Categories, NamesWithoutExtensionAreOther) {
    for (const char* name : {"Makefile", "README", ".profile", "trailing.", "/tmp/.hidden"}) {
        EXPECT_EQ(categoryForFile(name), "Other") << name;
    }
    EXPECT_EQ(categoryForExtension(""), "Other");
    EXPECT_EQ(categoryForFile("name.\xff\xfe"), "Other"); // not valid UTF-8
}

TEST(Categories, CacheAgreesWithTheRule) {
    CategoryCache cache;
    for (const Expectation& e : expectations()) {
        const std::string& first = cache.categoryForExtension(e.extension);
        EXPECT_EQ(first, categoryForExtension(e.extension)) << e;
        EXPECT_EQ(&cache.categoryForExtension(e.extension), &first) << "classified twice: " << e;
    }
}

TEST(Categories, ThreadsClassifyAlike) {
    const std::vector<Expectation> rows = expectations();
    std::vector<std::vector<std::string>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&rows, &result] {
            for (int round = 0; round < 20; ++round) {
                for (const Expectation& e : rows) {
                    result.push_back(categoryForExtension(e.extension));
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& result : results) {
        ASSERT_EQ(result.size(), rows.size() * 20);
        for (std::size_t i = 0; i < result.size(); ++i) {
            EXPECT_EQ(result[i], rows[i % rows.size()].category) << rows[i % rows.size()];
        }
    }
}

TEST(TypeRegistry, LineageStartsWithTheTypeAndHoldsItsAncestors) {
    const std::vector<ContentType> cpp = TypeRegistry::typesForExtension("cpp");
    ASSERT_EQ(cpp.size(), 1u);
    EXPECT_EQ(cpp.front().lineage.front(), cpp.front().name);
    EXPECT_NE(std::ranges::find(cpp.front().lineage, "text/x-csrc"), cpp.front().lineage.end());
    EXPECT_NE(std::ranges::find(cpp.front().lineage, "text/plain"), cpp.front().lineage.end());
}

TEST(TypeRegistry, GivesEveryTypeOfAnExtension) {
    std::vector<std::string> names;
    std::ranges::transform(TypeRegistry::typesForExtension("otf"), std::back_inserter(names), &ContentType::name);
    std::ranges::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"application/vnd.oasis.opendocument.formula-template", "font/otf"}));
}

TEST(TypeRegistry, NoTypeForEmptyOrUnknownExtensions) {
    EXPECT_TRUE(TypeRegistry::typesForExtension("").empty());
    EXPECT_TRUE(TypeRegistry::typesForExtension("qqqxyz").empty());
}

} // namespace
} // namespace foldwise
