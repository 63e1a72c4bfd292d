#include "prefs/FolderBookmarks.h"

#include "prefs/Bookmarks.h"
#include "prefs/Preferences.h"
#include "tests/prefs/PrefsTestSupport.h"

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using test::capturedStdout;

class FolderBookmarksTest : public testing::Test {
protected:
    void SetUp() override { test::clearPreferences(); }

    // Restores into `input` and `output` and returns what that printed.
    std::string restore() {
        return capturedStdout([&] { restoreFolders(preferences, input, output); });
    }

    Preferences& preferences = Preferences::shared();
    test::TempFolder temp;
    std::optional<fs::path> input;
    std::optional<fs::path> output;
};

TEST_F(FolderBookmarksTest, SavingAFolderWritesOnlyItsOwnEntry) {
    const fs::path outputFolder = temp.makeFolder("Sorted");
    std::optional<std::string> failure;
    EXPECT_EQ(capturedStdout([&] { failure = saveBookmark(preferences, outputFolder, false); }), "");
    EXPECT_FALSE(failure);
    EXPECT_FALSE(preferences.inputFolderBookmark());
    ASSERT_TRUE(preferences.outputFolderBookmark());
    EXPECT_EQ(Bookmarks::resolve(*preferences.outputFolderBookmark()).folder, outputFolder);

    const fs::path inputFolder = temp.makeFolder("Inbox");
    EXPECT_FALSE(saveBookmark(preferences, inputFolder, true));
    EXPECT_EQ(Bookmarks::resolve(*preferences.inputFolderBookmark()).folder, inputFolder);
    EXPECT_EQ(Bookmarks::resolve(*preferences.outputFolderBookmark()).folder, outputFolder);

    EXPECT_EQ(restore(), "");
    EXPECT_EQ(input, inputFolder);
    EXPECT_EQ(output, outputFolder);
}

TEST_F(FolderBookmarksTest, AFolderThatCannotBeAccessedIsNotBookmarked) {
    ASSERT_FALSE(saveBookmark(preferences, temp.makeFolder("Before"), true));
    const QByteArray stored = *preferences.inputFolderBookmark();

    std::optional<std::string> failure;
    EXPECT_EQ(capturedStdout([&] { failure = saveBookmark(preferences, temp.path() / "missing", true); }), "");
    EXPECT_EQ(failure, "Failed to access folder for bookmarking.");
    EXPECT_EQ(preferences.inputFolderBookmark(), stored);
    EXPECT_FALSE(preferences.outputFolderBookmark());
}

TEST_F(FolderBookmarksTest, ABookmarkThatCannotBeStoredIsReportedAndTheOldOneKept) {
    ASSERT_FALSE(saveBookmark(preferences, temp.makeFolder("Before"), false));
    const QByteArray stored = *preferences.outputFolderBookmark();
    const std::string text =
        "Failed to save bookmark: Could not write the preferences file “" + test::preferencesFile().string() + "”.";

    std::optional<std::string> failure;
    {
        const test::UnwritablePreferences unwritable;
        EXPECT_EQ(capturedStdout([&] { failure = saveBookmark(preferences, temp.makeFolder("After"), false); }),
                  text + "\n");
    }
    EXPECT_EQ(failure, text);
    EXPECT_EQ(preferences.outputFolderBookmark(), stored);
}

TEST_F(FolderBookmarksTest, AFolderThatIsGoneIsReportedEachTimeWithoutStoppingTheOther) {
    const fs::path inputFolder = temp.makeFolder("Inbox");
    const fs::path outputFolder = temp.makeFolder("Sorted");
    ASSERT_FALSE(saveBookmark(preferences, inputFolder, true));
    ASSERT_FALSE(saveBookmark(preferences, outputFolder, false));
    const QByteArray stored = *preferences.inputFolderBookmark();
    fs::remove(inputFolder);

    const std::string line = "Failed to restore URL: The folder “" + inputFolder.string() + "” no longer exists.\n";
    input = temp.path() / "picked earlier";
    EXPECT_EQ(restore(), line);
    EXPECT_EQ(input, temp.path() / "picked earlier");
    EXPECT_EQ(output, outputFolder);

    input.reset();
    EXPECT_EQ(restore(), line);
    EXPECT_FALSE(input);
    EXPECT_EQ(preferences.inputFolderBookmark(), stored);

    // The input folder is restored first, then the output folder.
    fs::remove(outputFolder);
    EXPECT_EQ(restore(),
              line + "Failed to restore URL: The folder “" + outputFolder.string() + "” no longer exists.\n");
}

TEST_F(FolderBookmarksTest, AStaleBookmarkIsUsedAndReportedEachTime) {
    const fs::path inputFolder = temp.makeFolder("Inbox");
    ASSERT_FALSE(saveBookmark(preferences, inputFolder, true));
    const QByteArray stored = *preferences.inputFolderBookmark();
    // Made before the old one goes, so it cannot get the old one's inode number.
    temp.makeFolder("Inbox.new");
    fs::remove(inputFolder);
    fs::rename(temp.path() / "Inbox.new", inputFolder);

    for (int launch = 0; launch < 2; ++launch) {
        input.reset();
        EXPECT_EQ(restore(), "Bookmark is stale for " + inputFolder.string() + "\n");
        EXPECT_EQ(input, inputFolder);
    }
    EXPECT_EQ(preferences.inputFolderBookmark(), stored);
}

TEST_F(FolderBookmarksTest, ARenamedFolderIsFollowedAndReportedStale) {
    ASSERT_FALSE(saveBookmark(preferences, temp.makeFolder("Sorted"), false));
    fs::rename(temp.path() / "Sorted", temp.path() / "Sorted \xe9");

    EXPECT_EQ(restore(), "Bookmark is stale for " + temp.path().string() + "/Sorted \xef\xbf\xbd\n");
    EXPECT_EQ(output->native(), (temp.path() / "Sorted \xe9").native());
    EXPECT_FALSE(input);
}

TEST_F(FolderBookmarksTest, ForeignBytesInTheStoreAreReportedAndKept) {
    const QByteArray foreign("book\0mark", 9);
    ASSERT_TRUE(preferences.setInputFolderBookmark(foreign));
    ASSERT_TRUE(preferences.setOutputFolderBookmark(""));
    EXPECT_EQ(restore(), "Failed to restore URL: The stored data is not a folder bookmark.\n"
                         "Failed to restore URL: The folder bookmark is empty.\n");
    EXPECT_FALSE(input);
    EXPECT_FALSE(output);
    EXPECT_EQ(preferences.inputFolderBookmark(), foreign);
}

} // namespace
} // namespace foldwise
