// The sample-folder maker gives a newcomer something worth sorting, and never harms a folder it did not make.
#include "engine/Categories.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include <sys/wait.h>

namespace foldwise {
namespace {

using namespace test;

// Runs the script with HOME at `home`, on `folder` when one is given, and returns its exit status.
int makeSampleFolder(const fs::path& home, const std::optional<fs::path>& folder = std::nullopt) {
    const std::string command = "HOME='" + home.string() + "' bash '" FOLDWISE_SAMPLE_SCRIPT "' " +
                                (folder ? "'" + folder->string() + "'" : "") + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SampleFolder, HoldsEveryKindOfFileASortShouldMeetAndIsRefilledWithoutOverwriting) {
    TempFolder temp;
    const fs::path sample = temp / "Sample";
    ASSERT_EQ(makeSampleFolder(temp.path(), sample), 0);

    std::map<std::string, int> perCategory;
    for (const auto& entry : fs::directory_iterator(sample)) {
        if (entry.is_regular_file() && !entry.path().filename().string().starts_with(".")) {
            ++perCategory[categoryForFile(entry.path())];
        }
    }
    for (const char* category : {"Images", "Video", "Audio", "Documents", "Archives", "Code", "Other"}) {
        EXPECT_GE(perCategory[category], 3) << category;
    }

    // As after a Sort into another folder: some files gone, one edited by the user, one of the user's own.
    auto expected = treeOf(sample);
    fs::remove(sample / "IMG_4101.JPG");
    fs::remove(sample / "Old stuff/song.mp3");
    writeFile(sample / "notes.txt", "edited by the user");
    writeFile(sample / "added by the user.txt", "keep me");

    ASSERT_EQ(makeSampleFolder(temp.path(), sample), 0);
    expected.insert("added by the user.txt");
    EXPECT_EQ(treeOf(sample), expected);
    EXPECT_EQ(readFile(sample / "notes.txt"), "edited by the user");
    EXPECT_EQ(readFile(sample / "added by the user.txt"), "keep me");
}

TEST(SampleFolder, RefusesWhatItDidNotMakeAndDefaultsToTheHomeFolder) {
    TempFolder home;
    writeFile(home / "mine.txt", "my own notes");
    const auto before = treeOf(home.path());
    EXPECT_NE(makeSampleFolder(home.path(), home.path()), 0);
    EXPECT_NE(makeSampleFolder(home.path(), home / "mine.txt"), 0);
    EXPECT_EQ(treeOf(home.path()), before);
    EXPECT_EQ(readFile(home / "mine.txt"), "my own notes");

    ASSERT_EQ(makeSampleFolder(home.path()), 0);
    EXPECT_TRUE(fs::exists(home / "Foldwise-Sample/Old stuff"));
}

} // namespace
} // namespace foldwise
