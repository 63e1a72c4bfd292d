#include "engine/UserCategories.h"
#include "engine/Categories.h"
#include "stats/FileAnalyzer.h"

#include "tests/engine/InputOutputFolders.h"
#include "tests/support/StdoutCapture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace foldwise {
namespace {

using namespace test;

std::vector<std::pair<std::string, std::string>> rulesOf(const UserCategories& categories) {
    std::vector<std::pair<std::string, std::string>> rules;
    for (const UserCategories::Rule& rule : categories.rules()) {
        rules.emplace_back(rule.extension, rule.folder);
    }
    return rules;
}

TEST(UserCategories, UsableLinesApplyAndEachOtherLineIsToldByItsNumber) {
    const UserCategories categories = UserCategories::parse("# mine\n"
                                                            "kra = Documents\n"
                                                            "[Extensions]\n"
                                                            "KRA = Documents\n"
                                                            "blend = 3D Models\n"
                                                            ".Stl=\"3D Models\"\n"
                                                            "mkv = video\n"
                                                            "x = a/b\n"
                                                            "y = ..\n"
                                                            "z = " +
                                                            std::string(101, 'n') +
                                                            "\n"
                                                            "no equals sign\n"
                                                            "blend = Other\n"
                                                            "[Colours]\n"
                                                            "kra = red\n");
    EXPECT_EQ(rulesOf(categories),
              (std::vector<std::pair<std::string, std::string>>{
                  {"kra", "Documents"}, {"blend", "3D Models"}, {"stl", "3D Models"}, {"mkv", "Video"}}));
    EXPECT_EQ(
        categories.problems(),
        (std::vector<std::string>{
            "categories.ini, line 2: it comes before the [Extensions] line; the line is left out.",
            "categories.ini, line 8: “a/b” is not a folder name; the line is left out.",
            "categories.ini, line 9: “..” is not a folder name; the line is left out.",
            "categories.ini, line 10: “" + std::string(101, 'n') + "” is longer than 100 bytes; the line is left out.",
            "categories.ini, line 11: “no equals sign” is not an “extension = folder” line; the line is left out.",
            "categories.ini, line 12: “blend” has a rule on line 5 already; the line is left out.",
        }));
    EXPECT_EQ(categories.folderFor("BLEND"), "3D Models");
    EXPECT_EQ(categories.folderFor("txt"), std::nullopt);
}

TEST(UserCategories, AMissingFileHasNoRulesAndADamagedOneIsToldAndHasNone) {
    const TempFolder folder;
    EXPECT_TRUE(UserCategories::load(folder / "categories.ini").problems().empty());

    writeFile(folder / "categories.ini", std::string("[Extensions]\nkra = Images\n\0\x01\x02", 29));
    const UserCategories binary = UserCategories::load(folder / "categories.ini");
    EXPECT_TRUE(binary.rules().empty());
    EXPECT_EQ(binary.problems(),
              std::vector<std::string>{"categories.ini is not a text file; none of its rules apply."});

    fs::create_directory(folder / "folder.ini");
    const UserCategories unreadable = UserCategories::load(folder / "folder.ini");
    EXPECT_TRUE(unreadable.rules().empty());
    EXPECT_EQ(unreadable.problems().size(), 1u);
}

TEST(UserCategories, SavingKeepsCommentsAndOtherSectionsAndAKilledWriteLeavesTheOldFile) {
    const TempFolder folder;
    const fs::path file = folder / "Foldwise/categories.ini";
    UserCategories::save(file, {{"kra", "Images"}});
    EXPECT_EQ(readFile(file), "[Extensions]\nkra = Images\n");

    writeFile(file, "# mine\n[Extensions]\n; art\nkra = Images\npsd = Images\n[Colours]\nkra = red\n");
    UserCategories::save(file, {{"blend", "3D Models"}, {"kra", "Documents"}});
    const std::string saved = "# mine\n[Extensions]\n; art\nblend = 3D Models\nkra = Documents\n[Colours]\nkra = red\n";
    EXPECT_EQ(readFile(file), saved);

    // The writer is killed by the system (SIGXFSZ) once the new text passes the size limit it is given.
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<UserCategories::Rule> many;
        for (int i = 0; i < 1000; ++i) {
            many.push_back({"x" + std::to_string(i), "Images"});
        }
        UserCategories::save(file, many);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    EXPECT_EQ(readFile(file), saved);
}

class UserCategoryRuns : public InputOutputFolders {
protected:
    void TearDown() override { UserCategories::install({}); }
};

// The user's rules win over every other, whatever the case of the name. (The window's categories test
// sorts into a folder of the user's own and undoes that sort.)
TEST_F(UserCategoryRuns, StatisticsCountInTheUsersFolders) {
    UserCategories::install(UserCategories::parse("[Extensions]\nblend = 3D Models\nsh = Scripts\nkra = Documents\n"));
    addFiles({"scene.BLEND", "run.sh", "art.kra", "photo.jpg"});
    FileStatistics statistics;
    captureStdout([&] { statistics = FileAnalyzer::analyzeFolder(input); });
    std::set<std::pair<std::string, std::int64_t>> counted;
    for (const FileCategoryCount& category : statistics.categories) {
        counted.emplace(category.category(), category.count());
    }
    EXPECT_EQ(counted, (std::set<std::pair<std::string, std::int64_t>>{
                           {"3D Models", 1}, {"Scripts", 1}, {"Documents", 1}, {"Images", 1}}));
}

} // namespace
} // namespace foldwise
