#include "engine/FreeName.h"
#include "engine/Organizer.h"
#include "engine/Reverter.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace test;

class KeepBoth : public test::InputOutputFolders {
protected:
    static RunOptions keepBoth() {
        RunOptions options;
        options.onNameTaken = OnNameTaken::KeepBoth;
        return options;
    }

    // How many times each content is held by the files below `folder`.
    static std::map<std::string, int> contentsBelow(const fs::path& folder) {
        std::map<std::string, int> contents;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                ++contents[readFile(entry.path())];
            }
        }
        return contents;
    }
};

TEST(FreeName, PutsTheNumberBeforeTheLastExtension) {
    EXPECT_EQ(numberedName("report.pdf", 2), "report (2).pdf");
    EXPECT_EQ(numberedName("backup.tar.gz", 3), "backup.tar (3).gz");
    EXPECT_EQ(numberedName("notes", 2), "notes (2)");
    EXPECT_EQ(numberedName(".profile", 2), ".profile (2)");
    EXPECT_EQ(numberedName(".hidden.txt", 2), ".hidden (2).txt");
    EXPECT_EQ(firstFreeName("a.jpg", [](const std::string& name) { return name != "a (4).jpg"; }), "a (4).jpg");
}

TEST_F(KeepBoth, AnUndoGivesBackTheOriginalNamesAndLeavesOneWhoseNameIsTakenAgain) {
    writeFile(input / "a.jpg", "a1");
    makeFolder(output / "jpg");
    organizeFiles(input, output, false, keepBoth());
    writeFile(input / "a.jpg", "a2");
    writeFile(input / "b.jpg", "b2");
    writeFile(output / "jpg/b.jpg", "b1"); // the user's own
    const RunOutcome sorted = organizeFiles(input, output, false, keepBoth());
    EXPECT_EQ(sorted.renamed, 2);
    writeFile(input / "b.jpg", "b3"); // its original name, taken again

    const RunOutcome undone = revertFiles(input, output, {});

    // The second sort is undone first: "a (2).jpg" comes back as "a.jpg", which the first sort's file
    // then finds taken.
    EXPECT_EQ(undone.moved, 1);
    EXPECT_EQ(undone.nameTaken, 2);
    EXPECT_EQ(readFile(input / "a.jpg"), "a2");
    EXPECT_EQ(readFile(input / "b.jpg"), "b3");
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"jpg/", "jpg/a.jpg", "jpg/b.jpg", "jpg/b (2).jpg"}));

    fs::remove(input / "b.jpg");
    fs::remove(input / "a.jpg");
    const RunOutcome again = revertFiles(input, output, {});

    EXPECT_EQ(again.moved, 2);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(readFile(input / "a.jpg"), "a1");
    EXPECT_EQ(readFile(input / "b.jpg"), "b2");
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"jpg/", "jpg/b.jpg"}));
}

// By default a file whose name is taken stays, and one identical to its namesake is told: "same" matches
// its namesake; "twin" has a namesake of its size but other bytes; "long" one of another size. (The
// command line's keep-both test tells identical files that move under new names.)
TEST_F(KeepBoth, IdenticalFilesThatStayAreTold) {
    for (const auto& [name, mine, theirs] :
         {std::tuple{"same.txt", "x", "x"}, std::tuple{"twin.txt", "y", "z"}, std::tuple{"long.txt", "y", "yy"}}) {
        writeFile(input / name, mine);
        writeFile(makeFolder(output / "txt") / name, theirs);
    }
    RunOptions options;
    const Plan plan = previewSort(input, output, false, options);
    std::vector<std::string> identical;
    options.identical = [&](const std::string& name, const std::string& subFolder) {
        identical.push_back(subFolder + "/" + name);
    };

    const RunOutcome outcome = organizeFiles(input, output, false, options);

    EXPECT_EQ(outcome.identical, 1);
    EXPECT_EQ(outcome.nameTaken, 3);
    EXPECT_EQ(identical, std::vector<std::string>{"txt/same.txt"});
    ASSERT_EQ(plan.files.size(), 3u);
    for (const Plan::File& file : plan.files) {
        EXPECT_EQ(file.identical, file.name == "same.txt") << file.name;
        EXPECT_EQ(file.verdict, Plan::Verdict::NameTaken) << file.name;
    }
}

// Two files may want one new name: the input's "a.jpg" numbered (2), and its own "a (2).jpg".
TEST_F(KeepBoth, APreviewForeseesTheNamesTheSortGives) {
    addFiles({"a.jpg", "a (2).jpg", "b.jpg"});
    writeFile(makeFolder(output / "jpg") / "a.jpg", "theirs");

    const Plan plan = previewSort(input, output, false, keepBoth());
    organizeFiles(input, output, false, keepBoth());

    std::set<std::string> foreseen{"jpg/", "jpg/a.jpg"};
    for (const Plan::File& file : plan.files) {
        EXPECT_EQ(file.verdict, Plan::Verdict::Move);
        foreseen.insert(file.subFolder + "/" + (file.newName.empty() ? file.name : file.newName));
    }
    EXPECT_EQ(treeOf(output), foreseen);
}

// Each sort has a history of its own, so that their runs do not wait for each other.
TEST_F(KeepBoth, TwoProcessesSortingIntoOneFolderAtOnceNeverOverwrite) {
    constexpr int kNames = 200;
    const std::vector<fs::path> inputs{makeFolder(root / "in1"), makeFolder(root / "in2")};
    for (int index = 0; index < kNames; ++index) {
        const std::string name = "f" + std::to_string(index) + ".dat";
        writeFile(makeFolder(output / "dat") / name, "old " + name);
        for (const fs::path& in : inputs) {
            writeFile(in / name, in.filename().native() + " " + name);
        }
    }
    const std::map<std::string, int> expected = contentsBelow(root.path()); // each content once
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (const fs::path& in : inputs) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            (void)!::read(gate[0], &go, 1); // returns when the parent closes its end: both start together
            RunOptions options = keepBoth();
            options.historyFile = root / ("history-" + in.filename().native()) / "history.sqlite3";
            const RunOutcome outcome = organizeFiles(in, output, false, options);
            ::_exit(outcome.isComplete() && outcome.renamed == kNames ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    EXPECT_EQ(contentsBelow(output), expected);
    for (const fs::path& in : inputs) {
        EXPECT_TRUE(fs::is_empty(in));
    }
}

} // namespace
} // namespace foldwise
