#include "prefs/FolderBookmarks.h"

#include "prefs/Preferences.h"
#include "tests/prefs/PrefsTestSupport.h"
#include "tests/support/StdoutCapture.h"

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using namespace test;

class FolderBookmarksTest : public ::testing::Test {
protected:
    void SetUp() override { clearPreferences(); }

    // Restores into `input` and `output` and returns what that printed.
    std::string restore() {
        return captureStdout([&] { restoreFolders(preferences, input, output); });
    }

    Preferences& preferences = Preferences::shared();
    TempFolder temp;
    std::optional<fs::path> input;
    std::optional<fs::path> output;
};

TEST_F(FolderBookmarksTest, ASaveWritesOnlyItsOwnEntryAndAFailedOneIsReportedAndKeepsTheStoredBookmark) {
    const fs::path outputFolder = makeFolder(temp / "Sorted");
    EXPECT_EQ(captureStdout([&] { EXPECT_FALSE(saveBookmark(preferences, outputFolder, false)); }), "");
    EXPECT_FALSE(preferences.inputFolderBookmark());
    const fs::path inputFolder = makeFolder(temp / "Inbox");
    EXPECT_FALSE(saveBookmark(preferences, inputFolder, true));
    EXPECT_EQ(restore(), "");
    EXPECT_EQ(input, inputFolder);
    EXPECT_EQ(output, outputFolder);
    const std::optional<QByteArray> stored = preferences.inputFolderBookmark();

    std::optional<std::string> failure;
    EXPECT_EQ(captureStdout([&] { failure = saveBookmark(preferences, temp / "missing", true); }), "");
    EXPECT_EQ(failure, "Failed to access folder for bookmarking.");

    const std::string text =
        "Failed to save bookmark: Could not write the preferences file “" + preferencesFile().string() + "”.";
    whileUnwritable([&] {
        EXPECT_EQ(captureStdout([&] { failure = saveBookmark(preferences, makeFolder(temp / "After"), true); }),
                  text + "\n");
    });
    EXPECT_EQ(failure, text);
    EXPECT_EQ(preferences.inputFolderBookmark(), stored);
}

TEST_F(FolderBookmarksTest, AFolderThatIsGoneIsReportedWithoutStoppingTheOtherAndItsBookmarkKept) {
    const fs::path inputFolder = makeFolder(temp / "Inbox");
    const fs::path outputFolder = makeFolder(temp / "Sorted");
    ASSERT_FALSE(saveBookmark(preferences, inputFolder, true));
    ASSERT_FALSE(saveBookmark(preferences, outputFolder, false));
    const std::optional<QByteArray> stored = preferences.inputFolderBookmark();
    fs::remove(inputFolder);

    input = temp / "picked earlier";
    EXPECT_EQ(restore(), "Failed to restore URL: The folder “" + inputFolder.string() + "” no longer exists.\n");
    EXPECT_EQ(input, temp / "picked earlier");
    EXPECT_EQ(output, outputFolder);
    EXPECT_EQ(preferences.inputFolderBookmark(), stored);
}

// A bookmarked folder renamed within its parent is followed, unless another folder now has its path: that
// one wins. Either way the bookmark is stale and kept, so that the next launch finds it stale again.
TEST_F(FolderBookmarksTest, ARenamedFolderIsFollowedUnlessReplacedAndReportedStaleEachTime) {
    const fs::path inputFolder = makeFolder(temp / "Inbox");
    ASSERT_FALSE(saveBookmark(preferences, inputFolder, true));
    ASSERT_FALSE(saveBookmark(preferences, makeFolder(temp / "Sorted"), false));
    const std::optional<QByteArray> stored = preferences.inputFolderBookmark();
    fs::rename(inputFolder, temp / "Elsewhere");
    makeFolder(inputFolder);
    fs::rename(temp / "Sorted", temp / "Sorted \xe9");
    const std::string lines = "Bookmark is stale for " + inputFolder.string() + "\nBookmark is stale for " +
                              temp.path().string() + "/Sorted \\xE9\n";

    for (int launch = 0; launch < 2; ++launch) {
        EXPECT_EQ(restore(), lines);
        EXPECT_EQ(input, inputFolder);
        EXPECT_EQ(output->native(), (temp / "Sorted \xe9").native());
        EXPECT_EQ(preferences.inputFolderBookmark(), stored);
        writeFile(temp / "Sorted"); // a file where the folder was does not hide it
        output.reset();
    }
}

} // namespace
} // namespace foldwise
