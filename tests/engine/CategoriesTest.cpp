#include "engine/Categories.h"
#include "engine/TypeRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>
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

// The extensions a user expects in each category, then cases that pin the order of the tests: mjpg is
// video inheriting an image, m4r audio inheriting video, qtl an application type inheriting video, wwf
// inherits PDF, xhtml and svg are XML-based yet a document and an image. Upper case as the database
// matches it (its globs ignore case; "C" is its own C++ glob).
constexpr std::pair<const char*, const char*> categoryRows[] = {
    {"Images", "jpg JPG png heic svg cr2"},
    {"Video", "mp4 mov mkv webm MOV mjpg qtl"},
    {"Audio", "mp3 m4a flac ogg m4r"},
    {"Documents", "pdf txt md csv log doc docx odt xlsx pptx epub docm pages wwf xhtml rtf"},
    {"Archives", "zip gz tgz tar 7z rar zst iso deb bz2 xz jar"},
    {"Code", "c cpp h py js ts java rs go sh swift json xml html yaml toml ini C TS Swift hpp kt scala mk cmake "
             "rb pl lua php sql css scss dart hs coffee cs"},
    {"Other", "qqqxyz exe ttf"},
};

std::vector<Expectation> expectations() {
    std::vector<Expectation> all;
    for (const auto& [category, extensions] : categoryRows) {
        std::istringstream words(extensions);
        for (std::string extension; words >> extension;) {
            all.push_back({extension, category});
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
    const auto cpp = TypeRegistry::typeForExtension("cpp");
    ASSERT_TRUE(cpp.has_value());
    EXPECT_EQ(cpp->lineage.front(), cpp->name);
    EXPECT_NE(std::ranges::find(cpp->lineage, "text/x-csrc"), cpp->lineage.end());
    EXPECT_NE(std::ranges::find(cpp->lineage, "text/plain"), cpp->lineage.end());
}

TEST(TypeRegistry, NoTypeForEmptyOrUnknownExtensions) {
    EXPECT_FALSE(TypeRegistry::typeForExtension("").has_value());
    EXPECT_FALSE(TypeRegistry::typeForExtension("qqqxyz").has_value());
    EXPECT_FALSE(TypeRegistry::typeForExtension("swift").has_value());
}

} // namespace
} // namespace foldwise
