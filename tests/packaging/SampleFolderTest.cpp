// The sample-folder maker gives a newcomer something worth sorting, and never harms a folder it did not make.
#include "engine/Categories.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    int files = 0;
    bool upperCaseExtension = false, space = false, accent = false, hidden = false;
    for (const auto& entry : fs::directory_iterator(sample)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.starts_with(".")) {
            hidden = hidden || (entry.is_regular_file() && name != ".foldwise-sample");
            continue;
        }
        ++files;
        ++perCategory[categoryForFile(entry.path())];
        const std::string extension = entry.path().extension().string();
        upperCaseExtension =
            upperCaseExtension || std::ranges::any_of(extension, [](char c) { return c >= 'A' && c <= 'Z'; });
        space = space || name.find(' ') != std::string::npos;
        accent = accent || std::ranges::any_of(name, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    EXPECT_TRUE(files >= 200 && files <= 500) << files;
    for (const char* category : {"Images", "Video", "Audio", "Documents", "Archives", "Code", "Other"}) {
        EXPECT_GE(perCategory[category], 3) << category;
    }
    EXPECT_TRUE(upperCaseExtension && space && accent && hidden) << upperCaseExtension << space << accent << hidden;
    EXPECT_GE(std::ranges::count_if(fs::directory_iterator(sample / "Old stuff"),
                                    [](const auto& entry) { return entry.is_regular_file(); }),
              3);

    // As after a Sort into another folder: some files gone, one edited by the
    // user, one of the user's own.
    const auto complete = treeOf(sample);
    fs::remove(sample / "IMG_4101.JPG");
    fs::remove(sample / "Old stuff/song.mp3");
    writeFile(sample / "notes.txt", "edited by the user");
    writeFile(sample / "added by the user.txt", "keep me");

    ASSERT_EQ(makeSampleFolder(temp.path(), sample), 0);
    auto expected = complete;
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
