#include "engine/Organizer.h"
#include "engine/Reverter.h"
#include "tests/cli/CommandLineTest.h"

namespace foldwise::test {
namespace {

class UndoCommand : public CommandLineTest {};

// The command line and the window share one history: each undoes what the other sorted, through the
// window's own calls (the two- and three-argument organizeFiles and revertFiles).
TEST_F(UndoCommand, UndoesTheWindowsSortAndTheWindowUndoesItsSort) {
    const Finished nothing = runFoldwise({"undo", input, output});
    EXPECT_EQ(nothing.status, 0);
    EXPECT_EQ(nothing.out, "Nothing to undo: no sort from “in” into “out” is on record.\n");
    EXPECT_EQ(runFoldwise({"undo", input, output, "--dry-run"}).status, 0);
    EXPECT_FALSE(fs::exists(history)) << "looking for nothing to undo makes no history";

    addFiles({"photo.jpg", "notes.txt"});
    const auto before = treeOf(input);
    organizeFiles(input, output, true);
    const Finished undone = runFoldwise({"undo", input, output});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.out, "2 files moved back from 2 folders of “out” into “in”.\n");
    EXPECT_EQ(treeOf(input), before);

    ASSERT_EQ(runFoldwise({"sort", input / ".", output}).status, 0); // the same folder, spelt another way
    EXPECT_TRUE(treeOf(input).empty());
    revertFiles(input, output);
    EXPECT_EQ(treeOf(input), before);
    EXPECT_TRUE(
        jsonOf(runFoldwise({"undo", input, output, "--json"})).value(QStringLiteral("nothingOnRecord")).toBool());
    EXPECT_EQ(runFoldwise({"undo", input, output}).out,
              "Nothing to undo: every sort from “in” into “out” is already undone.\n");
}

// One sort, chosen by the id the history shows, is undone alone, from its own folders.
TEST_F(UndoCommand, UndoesTheSortWithTheIdGivenAlone) {
    EXPECT_EQ(runFoldwise({"undo", "--run", "1"}).status, 1) << "no history, no such sort";
    addFiles({"a.txt", "b.jpg"});
    ASSERT_EQ(runFoldwise({"sort", input, output}).status, 0);
    addFiles({"c.txt"});
    ASSERT_EQ(runFoldwise({"sort", input, output}).status, 0);
    const QJsonArray runs = jsonOf(runFoldwise({"history", "--json"})).value(QStringLiteral("runs")).toArray();
    const std::string older = std::to_string(runs.at(1).toObject().value(QStringLiteral("id")).toInteger());
    EXPECT_EQ(older, "1");
    EXPECT_NE(runFoldwise({"history"}).out.find("\n 1  "), std::string::npos) << "the table shows ids";

    const Finished undone = runFoldwise({"undo", "--run", older});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "b.jpg"}));
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"Documents/", "Documents/c.txt"}));

    EXPECT_EQ(runFoldwise({"undo", "--run", "x"}).status, 2);
    EXPECT_EQ(runFoldwise({"undo", "--run", "99"}).status, 1);
}

TEST_F(UndoCommand, DryRunForeseesTheRealUndoFileForFile) {
    addFiles({"a.jpg", "b.jpg", "c.txt", "d.mp3", "gone.pdf"});
    ASSERT_EQ(runFoldwise({"sort", input, output}).status, 0);
    fs::remove(output / "Documents/gone.pdf");
    writeFile(input / "a.jpg", "a newer a.jpg took the name");
    const auto inputBefore = treeOf(input);
    const auto outputBefore = treeOf(output);

    const Finished human = runFoldwise({"undo", input, output, "--dry-run"});
    EXPECT_EQ(human.out, "Undoing the sorts from “in” into “out” would move 3 files back from 3 folders:\n"
                         "  Audio      1\n"
                         "  Documents  1\n"
                         "  Images     1\n"
                         "1 would stay: its name is taken in “in”:\n"
                         "  Images/a.jpg\n"
                         "1 is no longer where Foldwise put it:\n"
                         "  Documents/gone.pdf\n");
    const Finished planned = runFoldwise({"undo", input, output, "--dry-run", "--json"});
    ASSERT_EQ(planned.status, 0) << planned.err;
    EXPECT_EQ(treeOf(input), inputBefore);
    EXPECT_EQ(treeOf(output), outputBefore);
    const QJsonObject plan = jsonOf(planned);

    const Finished undone = runFoldwise({"undo", input, output, "--json"});
    ASSERT_EQ(undone.status, 0) << undone.err;
    const QJsonObject outcome = jsonOf(undone);
    EXPECT_EQ(filesIn(outcome), filesIn(plan));
    EXPECT_EQ(runFoldwise({"undo", input, output}).out,
              "Nothing was undone: the name of the one file is taken in “in”.\n");
}

} // namespace
} // namespace foldwise::test
