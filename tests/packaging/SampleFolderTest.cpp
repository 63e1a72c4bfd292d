// The sample-folder maker gives a newcomer something worth sorting, and never harms a folder it did not make.
#include "engine/Categories.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include <sys/wait.h>

namespace foldwise {
namespace {

using testing::TempFolder;

// Runs the script with `arguments` (already quoted for the shell) and returns its exit status.
int makeSampleFolder(const std::string& arguments, const std::string& environment = {}) {
    const std::string command = environment + " bash '" FOLDWISE_SAMPLE_SCRIPT "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

bool hasUpperCase(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c >= 'A' && c <= 'Z'; });
}

bool hasNonAscii(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c >= 0x80; });
}

TEST(SampleFolder, HoldsEveryKindOfFileASortShouldMeet) {
    TempFolder temp;
    const fs::path sample = temp / "Sample";
    ASSERT_EQ(makeSampleFolder(quoted(sample)), 0);

    std::map<std::string, int> perCategory;
    int files = 0;
    bool upperCaseExtension = false, space = false, accent = false, hidden = false;
    for (const auto& entry : fs::directory_iterator(sample)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".")) {
            hidden = hidden || (entry.is_regular_file() && name != ".foldwise-sample");
            continue;
        }
        if (!entry.is_regular_file()) {
            continue;
        }
        ++files;
        ++perCategory[categoryForFile(entry.path())];
        upperCaseExtension = upperCaseExtension || hasUpperCase(entry.path().extension().string());
        space = space || name.find(' ') != std::string::npos;
        accent = accent || hasNonAscii(name);
    }

    EXPECT_GE(files, 200);
    EXPECT_LE(files, 500);
    for (const char* category : {"Images", "Video", "Audio", "Documents", "Archives", "Code", "Other"}) {
        EXPECT_GE(perCategory[category], 3) << category;
    }
    EXPECT_TRUE(upperCaseExtension);
    EXPECT_TRUE(space);
    EXPECT_TRUE(accent);
    EXPECT_TRUE(hidden);

    int inSubFolder = 0;
    for (const auto& entry : fs::directory_iterator(sample / "Old stuff")) {
        inSubFolder += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_GE(inSubFolder, 3);
}

TEST(SampleFolder, DefaultsToAFolderInTheHomeFolder) {
    TempFolder home;
    ASSERT_EQ(makeSampleFolder({}, "HOME=" + quoted(home.path())), 0);
    EXPECT_TRUE(fs::exists(home / "Foldwise-Sample/Old stuff"));
}

TEST(SampleFolder, RefusesAFolderItDidNotMakeAndTouchesNothing) {
    TempFolder temp;
    testing::writeFile(temp / "mine.txt", "my own notes");
    const auto before = testing::treeOf(temp.path());

    EXPECT_NE(makeSampleFolder(quoted(temp.path())), 0);
    EXPECT_EQ(testing::treeOf(temp.path()), before);
    EXPECT_EQ(testing::readFile(temp / "mine.txt"), "my own notes");

    EXPECT_NE(makeSampleFolder(quoted(temp / "mine.txt")), 0);
    EXPECT_EQ(testing::readFile(temp / "mine.txt"), "my own notes");
}

TEST(SampleFolder, RefillsItsOwnFolderWithoutOverwriting) {
    TempFolder temp;
    const fs::path sample = temp / "Sample";
    ASSERT_EQ(makeSampleFolder(quoted(sample)), 0);
    const auto complete = testing::treeOf(sample);

    // As after a Sort into another folder: some files gone, one edited by the user, one of the user's own.
    fs::remove(sample / "IMG_4101.JPG");
    fs::remove(sample / "Old stuff/song.mp3");
    testing::writeFile(sample / "notes.txt", "edited by the user");
    testing::writeFile(sample / "added by the user.txt", "keep me");

    ASSERT_EQ(makeSampleFolder(quoted(sample)), 0);
    auto expected = complete;
    expected.insert("added by the user.txt");
    EXPECT_EQ(testing::treeOf(sample), expected);
    EXPECT_EQ(testing::readFile(sample / "notes.txt"), "edited by the user");
    EXPECT_EQ(testing::readFile(sample / "added by the user.txt"), "keep me");
}

} // namespace
} // namespace foldwise
