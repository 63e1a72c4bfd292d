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

// `foldwise settings` remembers folders and mode for the commands that leave them out, as the window's
// Settings do, and shows them; a value that cannot be used changes none of them.
TEST_F(RememberedChoices, AreSetAndShownBySettingsAndAWrongValueChangesNone) {
    const Finished set =
        runFoldwise({"settings", "--input", input.string(), "--output", output.string(), "--by", "extension"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "Input folder:  “" + input.string() + "”\nOutput folder: “" + output.string() +
                           "”\nMode:          extension\n");

    const std::vector<std::vector<std::string>> wrong{
        {"settings", "--input", output.string(), "--output", (root / "missing").string()},
        {"settings", "--input", output.string(), "--by", "size"},
        {"settings", "--output", ""},
        {"settings", output.string()},
    };
    for (const auto& arguments : wrong) {
        const Finished refused = runFoldwise(arguments);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_NE(refused.err.find("Try “foldwise settings --help”."), std::string::npos) << refused.err;
    }
    EXPECT_EQ(runFoldwise({"settings"}).out, set.out);

    addFiles({"notes.txt"});
    const Finished sorted = runFoldwise({"sort"});
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"txt/", "txt/notes.txt"}));
}

// What becomes of a file whose name is taken is the window's choice unless --if-taken says otherwise.
TEST_F(RememberedChoices, GiveTheChoiceForATakenNameACommandLeavesOut) {
    addFiles({"a.txt", "b.txt"});
    const fs::path documents = makeFolder(output / "Documents");
    writeFile(documents / "a.txt", "theirs");
    writeFile(documents / "b.txt", "b.txt");
    ASSERT_TRUE(Preferences::shared().setOnNameTaken(OnNameTaken::KeepBoth));

    const Finished left = runFoldwise({"sort", input, output, "--if-taken", "leave", "--json"});
    ASSERT_EQ(left.status, 0) << left.err;
    EXPECT_EQ(countIn(jsonOf(left), "nameTaken"), 2);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "b.txt"})) << "--if-taken wins over the remembered choice";

    const Finished kept = runFoldwise({"sort", input, output});
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(treeOf(documents), (std::set<std::string>{"a.txt", "a (2).txt", "b.txt", "b (2).txt"}));
    EXPECT_EQ(readFile(documents / "a (2).txt"), "a.txt");
}

} // namespace
} // namespace foldwise::test
