#include "engine/Organizer.h"
#include "engine/FileError.h"

#include "tests/engine/InputOutputFolders.h"
#include "tests/support/InChild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace test;

class Organizer : public test::InputOutputFolders {};

// Category mode is checked extension by extension in CategoriesTest.
TEST_F(Organizer, SortsByTheLowercasedLastExtensionAndLeavesHiddenEntriesFoldersAndTakenNamesAlone) {
    addFiles({"Photo.JPG", "notes.txt", "README", "backup.tar.gz", "Ärger.ÄBC", "caf\xe9-\xff.TXT", ".hidden.txt",
              "taken.txt"});
    fs::create_directories(input / "sub");
    writeFile(input / "sub/inner.txt");
    fs::create_directories(output / "txt");
    writeFile(output / "txt/taken.txt", "older");
    addFiles({"link.txt"});
    fs::create_symlink("nowhere", output / "txt/link.txt"); // a dangling link takes its name too

    organizeFiles(input, output, false);
    addFiles({"b.txt"}); // a second run adds to the sub-folders there are
    organizeFiles(input, output, false);

    EXPECT_EQ(treeOf(output),
              (std::set<std::string>{"jpg/", "jpg/Photo.JPG", "txt/", "txt/notes.txt", "txt/b.txt", "txt/taken.txt",
                                     "txt/link.txt", "txt/caf\xe9-\xff.TXT", "other/", "other/README", "gz/",
                                     "gz/backup.tar.gz", "äbc/", "äbc/Ärger.ÄBC"}));
    EXPECT_EQ(treeOf(input), (std::set<std::string>{".hidden.txt", "taken.txt", "link.txt", "sub/", "sub/inner.txt"}));
    EXPECT_EQ(readFile(output / "txt/taken.txt"), "older");
    EXPECT_EQ(readFile(output / "txt/caf\xe9-\xff.TXT"), "caf\xe9-\xff.TXT");
}

TEST_F(Organizer, JudgesLinksByTheirTargetAndMovesTheLinkItself) {
    writeFile(root / "target.txt", "target");
    fs::create_symlink(root / "target.txt", input / "link.txt");
    fs::create_directory_symlink(root.path(), input / "folder-link");

    organizeFiles(input, output, false);

    EXPECT_TRUE(fs::is_symlink(output / "txt/link.txt"));
    EXPECT_EQ(readFile(root / "target.txt"), "target");
    EXPECT_EQ(treeOf(input), std::set<std::string>{"folder-link"});
}

// A link where a sub-folder belongs, to a folder or dangling, is never followed: the run stops before any
// move, and its preview foresees the stop in the same words.
TEST_F(Organizer, NeverFollowsALinkWhereASubFolderBelongsAndThePreviewForeseesIt) {
    addFiles({"photo.jpg", "notes.txt"});
    fs::create_directory(root / "elsewhere");
    fs::create_directory_symlink("../elsewhere", output / "Images");
    fs::create_symlink("nowhere", output / "Documents"); // dangling

    const Plan plan = previewSort(input, output, true, {});
    const RunOutcome outcome = organizeFiles(input, output, true, {});

    ASSERT_TRUE(outcome.failure && plan.failure);
    EXPECT_EQ(plan.failure->localizedDescription(), outcome.failure->localizedDescription());
    EXPECT_TRUE(fs::is_empty(root / "elsewhere"));
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"photo.jpg", "notes.txt"}));
    const std::string& text = outcome.failure->localizedDescription();
    EXPECT_NE(text.find("is a link, not a folder"), std::string::npos) << text;
    EXPECT_EQ(outcome.moved, 0);
    EXPECT_EQ(outcome.notReached, 2);
}

TEST_F(Organizer, LandsEachFileInWhatIsAtTheSubFolderNameAtThatMoment) {
    addFiles({"a.txt", "b.txt", "c.txt", "d.txt"});
    bool renamed = false;
    RunOptions options;
    options.progress = [&](const RunProgress&) {
        if (!std::exchange(renamed, true)) {
            fs::rename(output / "txt", root / "trash"); // the user throws the sub-folder away mid-run
        }
    };

    const RunOutcome outcome = organizeFiles(input, output, false, options);

    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.moved, 4);
    EXPECT_EQ(treeOf(root / "trash").size(), 1u);
    EXPECT_EQ(treeOf(output / "txt").size(), 3u);
}

TEST_F(Organizer, LeavesPipesAndDanglingLinksWhereTheyAreWithoutOpeningThem) {
    addFiles({"a.txt"});
    ASSERT_EQ(::mkfifo((input / "pipe.txt").c_str(), 0644), 0);
    fs::create_symlink("nowhere.txt", input / "dangling.txt");

    for (const fs::path& destination : {output, fs::path("/dev/shm") / root.path().filename()}) {
        const RunOutcome outcome = organizeFiles(input, destination, false, {});
        EXPECT_FALSE(outcome.failure) << outcome.failure->localizedDescription();
        EXPECT_EQ(outcome.notRegular, 2);
        EXPECT_EQ(treeOf(input), (std::set<std::string>{"pipe.txt", "dangling.txt"}));
        EXPECT_EQ(outcome.moved, 1);
        fs::remove_all(destination);
        writeFile(input / "a.txt");
    }
}

TEST_F(Organizer, SkipsAFileThatVanishedBeforeItsMove) {
    addFiles({"a.txt", "b.txt"});
    RunOptions options;
    options.progress = [&](const RunProgress&) { // another program removes the file not yet moved
        fs::remove(input / (fs::exists(input / "a.txt") ? "a.txt" : "b.txt"));
    };
    const RunOutcome outcome = organizeFiles(input, output, false, options);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(outcome.moved, 1);
    EXPECT_EQ(outcome.vanished, 1);
}

TEST_F(Organizer, SweepsCopiesLeftByAKilledMoveFromTheFoldersItMovesInto) {
    const TempFolder other("/dev/shm");
    fs::create_directory(other / "txt");
    writeFile(other / "txt/.foldwise-move-123.part", "half a file");
    writeFile(other / "txt/.foldwise-move-notes.part", "not ours");
    fs::create_directory(other / "txt/.foldwise-move-3.part");
    addFiles({"a.txt"});

    EXPECT_TRUE(organizeFiles(input, other.path(), false, {}).isComplete());
    EXPECT_EQ(treeOf(other.path()), (std::set<std::string>{"txt/", "txt/a.txt", "txt/.foldwise-move-notes.part",
                                                           "txt/.foldwise-move-3.part/"}));
}

// As nobody, with the input folder theirs to read but not to change, the same file system or another.
TEST_F(Organizer, BlamesAnInputFolderThatCannotBeChangedAndNeverLeavesAFileInTwoPlaces) {
    addFiles({"a.txt"});
    const TempFolder other("/dev/shm");
    fs::create_directory(root / "data");
    for (const fs::path& folder : {output, other.path(), root / "data"}) {
        openToNobody(folder);
        ::chown(folder.c_str(), 65534, 65534);
    }
    const bool ran = ranInChild(becomeNobody, [&] {
        for (const fs::path& destination : {output, other.path()}) {
            const RunOutcome outcome = organizeFiles(input, destination, false, {});
            ASSERT_TRUE(outcome.failure);
            EXPECT_EQ(outcome.failure->localizedDescription(),
                      "Could not move “a.txt” out of “" + input.string() + "”: Permission denied");
        }
    });
    if (!ran) {
        GTEST_SKIP() << "needs root to run as nobody";
    }
    EXPECT_EQ(treeOf(input), std::set<std::string>{"a.txt"});
    EXPECT_EQ(treeOf(output), std::set<std::string>{"txt/"});
    EXPECT_EQ(treeOf(other.path()), std::set<std::string>{"txt/"});
}

} // namespace
} // namespace foldwise
