#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"
#include "tests/cli/CommandLineTest.h"

#include <QSettings>

namespace foldwise::test {
namespace {

// Folders and mode left out come from the window's preferences, written here as the window writes them.
class RememberedChoices : public CommandLineTest {
protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        forget();
    }
    void TearDown() override { forget(); }

    static void forget() { QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).clear(); }
};

TEST_F(RememberedChoices, GiveTheFoldersAndModeACommandLeavesOutOrFailWithTheReasonWhenGone) {
    ASSERT_EQ(saveBookmark(Preferences::shared(), input, true), std::nullopt);
    ASSERT_EQ(saveBookmark(Preferences::shared(), output, false), std::nullopt);
    ASSERT_TRUE(Preferences::shared().setUseSmartCategories(false));
    addFiles({"photo.JPG", "notes.txt"});

    const QJsonObject counted = jsonOf(runFoldwise({"stats", "--json"}));
    EXPECT_EQ(nameIn(counted, QStringLiteral("folder")), input.string());
    EXPECT_EQ(counted.value(QStringLiteral("files")).toInt(), 2);

    const Finished sorted = runFoldwise({"sort"});
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"jpg/", "jpg/photo.JPG", "txt/", "txt/notes.txt"}));

    const Finished undone = runFoldwise({"undo"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"photo.JPG", "notes.txt"}));

    const Finished byCategory = runFoldwise({"sort", "--by", "category"});
    EXPECT_EQ(byCategory.status, 0) << byCategory.err;
    EXPECT_TRUE(fs::exists(output / "Images/photo.JPG")) << "--by wins over the remembered mode";

    // A remembered folder that is gone fails with the reason, and nothing else is sorted instead.
    fs::remove(input);
    const auto outputBefore = treeOf(output);
    const Finished failed = runFoldwise({"sort"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("Failed to restore URL: "), std::string::npos) << failed.err;
    EXPECT_NE(failed.err.find("The remembered input folder could not be found"), std::string::npos) << failed.err;
    EXPECT_EQ(treeOf(output), outputBefore);
}

} // namespace
} // namespace foldwise::test
