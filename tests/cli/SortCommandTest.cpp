#include "tests/cli/CommandLineTest.h"

#include <sys/stat.h>

namespace foldwise::test {
namespace {

class SortCommand : public CommandLineTest {};

// The lines of `text` in any order: a plan lists files in the order the run would take them.
using Lines = std::multiset<std::string>;
Lines linesOf(const std::string& text) {
    Lines lines;
    for (std::size_t start = 0, end = 0; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.insert(text.substr(start, end - start));
    }
    return lines;
}

// A dry run in words, then the run they foresee, and one with nothing left to move.
TEST_F(SortCommand, DryRunsChangeNothingForeseeTheRunAndAllSayWhatMovedAndWhatStayed) {
    addFiles({"a.jpg", "b.jpg", "c.txt", "taken.pdf"});
    writeFile(makeFolder(output / "Documents") / "taken.pdf");
    ::mkfifo((input / "pipe").c_str(), 0600);
    const auto inputBefore = treeOf(input);
    const auto outputBefore = treeOf(output);

    const Finished planned = runFoldwise({"sort", input, output, "--dry-run"});
    EXPECT_EQ(planned.status, 0) << planned.err;
    EXPECT_EQ(planned.out, "Sorting “in” into “out” by category would move 3 files into 2 folders:\n"
                           "  Images     2\n"
                           "  Documents  1\n"
                           "1 would stay: its name is taken there:\n"
                           "  Documents/taken.pdf\n"
                           "1 would stay: it is not a regular file:\n"
                           "  pipe\n");
    EXPECT_EQ(treeOf(input), inputBefore);
    EXPECT_EQ(treeOf(output), outputBefore);
    EXPECT_FALSE(fs::exists(history)) << "a dry run writes no history";

    const Finished sorted = runFoldwise({"sort", input, output});
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(sorted.out,
              "3 files moved into 2 folders of “out”. 1 file stayed: its name is taken in “out”. 1 file is not a "
              "regular file and stayed.\n");
    EXPECT_EQ(sorted.err, "");

    const Finished nothing = runFoldwise({"sort", input.string() + "/", output});
    EXPECT_EQ(nothing.status, 0);
    EXPECT_EQ(nothing.out, "Nothing was sorted: of 2 files, 1 has its name taken in “out” and 1 is not a regular "
                           "file.\n");
}

// Files that stay because a file holds their sub-folder's name, or because they are unfinished downloads
// and lock files, are listed by the dry run and counted by the run, each with its reason.
TEST_F(SortCommand, SaysWhichFilesStayedAndWhy) {
    addFiles({"a.jpg", "b.jpg", "c.txt", "film.mkv.part", "~$report.docx"});
    writeFile(output / "Images", "a file where the sub-folder belongs");

    EXPECT_EQ(
        linesOf(runFoldwise({"sort", input, output, "--dry-run"}).out),
        (Lines{"Sorting “in” into “out” by category would move 1 file into 1 folder:", "  Documents  1",
               "2 would stay: they are still being written or downloaded:", "  film.mkv.part", "  ~$report.docx",
               "2 would stay: files in “out” have the names of their folders:", "  Images/a.jpg", "  Images/b.jpg"}));
    EXPECT_EQ(runFoldwise({"sort", input, output}).out,
              "1 file moved into 1 folder of “out”. 2 files are still being written or downloaded and stayed. 2 "
              "files stayed: files in “out” have the names of their folders.\n");
    fs::remove(input / "~$report.docx");
    fs::remove(output / "Images");
    EXPECT_EQ(runFoldwise({"sort", input, output, "--dry-run"}).out,
              "Sorting “in” into “out” by category would move 2 files into 1 folder:\n"
              "  Images  2\n"
              "1 would stay: it is still being written or downloaded:\n"
              "  film.mkv.part\n");
}

// On a terminal, a sort and an undo show how many files are done of how many in all.
TEST_F(SortCommand, ShowsOnATerminalHowManyFilesAreDoneOfHowMany) {
    addFiles({"a.txt", "b.txt", "c.txt"});
    const Finished sorted = runOnTerminal({"sort", input, output});
    EXPECT_EQ(sorted.status, 0) << sorted.out;
    EXPECT_NE(sorted.out.find("\rSorting… 1 of 3 files\x1b[K"), std::string::npos) << sorted.out;
    EXPECT_NE(sorted.out.find("\rSorting… 3 of 3 files\x1b[K"), std::string::npos) << sorted.out;
    const Finished undone = runOnTerminal({"undo", input, output});
    EXPECT_NE(undone.out.find("\rMoving files back… 1 of 3 files\x1b[K"), std::string::npos) << undone.out;
}

// A folder that is not there fails each command, dry run or not, before anything is written: no history.
TEST_F(SortCommand, AMissingInputFailsEveryRunBeforeTheHistoryIsMade) {
    const std::string missing = root / "missing";
    const std::string sortFailure =
        "foldwise: Sorting failed: Could not open the folder “" + missing + "”: No such file or directory\n";
    const std::string undoFailure =
        "foldwise: Revert failed: Could not open the folder “" + missing + "”: No such file or directory\n";
    for (const auto& [arguments, failure] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"sort", missing, output}, sortFailure},
             {{"sort", missing, output, "--dry-run"}, sortFailure},
             {{"undo", missing, output}, undoFailure},
             {{"undo", missing, output, "--dry-run", "--json"}, undoFailure},
         }) {
        const Finished failed = runFoldwise(arguments);
        EXPECT_EQ(failed.status, 1) << arguments[0];
        EXPECT_EQ(failed.err, failure);
        EXPECT_EQ(failed.out, "");
    }
    EXPECT_FALSE(fs::exists(history));
}

// A missing output folder is made, but only the last folder of its path: a mistyped parent is an error.
TEST_F(SortCommand, MakesAMissingOutputFolderButNeverItsParents) {
    addFiles({"a.txt"});
    const fs::path typo = root / "Typo/Sorted";
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"sort", input, typo, "--dry-run"}, {"sort", input, typo}}) {
        const Finished refused = runFoldwise(arguments);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "foldwise: Sorting failed: Could not create the folder “" + typo.string() +
                                   "”: the folder “" + typo.parent_path().string() + "” does not exist\n");
        EXPECT_EQ(refused.out, "");
    }
    EXPECT_FALSE(fs::exists(typo.parent_path()));
    EXPECT_FALSE(fs::exists(history));

    const ::mode_t umask = ::umask(022); // the folders made get what the user's umask gives any folder
    const Finished sorted = runFoldwise({"sort", input, root / "Sorted"});
    ::umask(umask);
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(sorted.err, "Made the folder “Sorted”.\n");
    EXPECT_EQ(sorted.out, "1 file moved into 1 folder of “Sorted”.\n");
    EXPECT_TRUE(fs::exists(root / "Sorted/Documents/a.txt"));
    for (const fs::path& made : {root / "Sorted", root / "Sorted/Documents"}) {
        EXPECT_EQ(fs::status(made).permissions(), static_cast<fs::perms>(0755)) << made;
    }

    addFiles({"b.txt"});
    const Finished inJson = runFoldwise({"sort", input, root / "Sorted again", "--json"});
    EXPECT_TRUE(jsonOf(inJson).value(QStringLiteral("madeOutput")).toBool()) << inJson.out;
    EXPECT_FALSE(jsonOf(runFoldwise({"sort", input, output, "--json"})).value(QStringLiteral("madeOutput")).toBool());
}

// With --if-taken keep-both a file whose name is taken moves under the first free name beside its namesake,
// in the plan, the run and its JSON document alike; files identical to their namesake are told apart.
TEST_F(SortCommand, KeepsBothFilesWhenANameIsTakenAndSaysWhichAreIdentical) {
    addFiles({"a.jpg", "b.jpg"});
    const fs::path images = makeFolder(output / "Images");
    writeFile(images / "a.jpg", "theirs");
    writeFile(images / "a (2).jpg", "theirs too");
    writeFile(images / "b.jpg", "b.jpg"); // the same bytes as the one that arrives

    const Finished planned = runFoldwise({"sort", input, output, "--if-taken", "keep-both", "--dry-run"});
    EXPECT_EQ(planned.status, 0) << planned.err;
    const std::string head = "Sorting “in” into “out” by category would move 2 files into 1 folder:\n"
                             "  Images  2\n"
                             "2 would be moved under new names beside their namesakes in “out”:\n";
    const std::string a = "  a.jpg → Images/a (3).jpg\n";
    const std::string b = "  b.jpg → Images/b (2).jpg\n"; // in the order the run would take them
    const std::string tail = "1 of them is identical to the file already in “out”.\n";
    EXPECT_TRUE(planned.out == head + a + b + tail || planned.out == head + b + a + tail) << planned.out;

    const Finished sorted = runFoldwise({"sort", input, output, "--if-taken", "keep-both", "--json"});
    ASSERT_EQ(sorted.status, 0) << sorted.err;
    const QJsonObject document = jsonOf(sorted);
    EXPECT_EQ(countIn(document, "renamed"), 2);
    EXPECT_EQ(countIn(document, "identical"), 1);
    std::set<std::string> entries;
    for (const QJsonValue& value : document.value(QStringLiteral("files")).toArray()) {
        const QJsonObject file = value.toObject();
        entries.insert(nameIn(file, QStringLiteral("name")) + " → " + nameIn(file, QStringLiteral("newName")) +
                       (file.value(QStringLiteral("identical")).toBool() ? " identical" : ""));
    }
    EXPECT_EQ(entries, (std::set<std::string>{"a.jpg → a (3).jpg", "b.jpg → b (2).jpg identical"}));

    addFiles({"b.jpg"});
    const Finished again = runFoldwise({"sort", input, output, "--if-taken", "keep-both"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "1 file moved into 1 folder of “out”. 1 file was moved under a new name beside its namesake "
                         "in “out”. 1 of them is identical to the file already in “out”.\n");
}

// Wrong arguments are refused before anything is looked at: status 2, the reason and a hint on standard
// error, nothing on standard output, and the folders and the history as they were.
TEST_F(SortCommand, BadArgumentsChangeNothingAndExitWithTwo) {
    addFiles({"a.txt", "b.jpg"});
    const std::string in = input;
    const std::string out = output;
    const std::vector<std::vector<std::string>> cases{
        {"sort", in, out, "--bogus"},
        {"sort", in},
        {"sort", in, out, "third"},
        {"sort", in, out, "--by", "colour"},
        {"sort", in, out, "--if-taken", "overwrite"},
        {"sort"}, // nothing remembered
        {"undo", in, out, "--by", "category"},
        {"stats", in, "--top", "many"},
        {"history", "--limit", "0"},
        {"watch", in, out, "--settle", "-1"},
        {"watch", in, out, "--settle", "soon"},
        {"sortt", in, out},
        {"sort", in, ""},
        {"stats", ""},
        {"-platform", "offscreen", "--bogus"},
    };
    const auto before = treeOf(root.path());
    for (const auto& arguments : cases) {
        const Finished refused = runFoldwise(arguments);
        const std::string call = ::testing::PrintToString(arguments);
        EXPECT_EQ(refused.status, 2) << call;
        EXPECT_EQ(refused.out, "") << call;
        EXPECT_EQ(refused.err.rfind("foldwise: ", 0), 0u) << call << ": " << refused.err;
        EXPECT_EQ(refused.err.find(" '"), std::string::npos) << call << ": " << refused.err; // quoted as “x”
        EXPECT_NE(refused.err.find("Try “foldwise"), std::string::npos) << call << ": " << refused.err;
        EXPECT_EQ(treeOf(root.path()), before) << call;
    }
    EXPECT_FALSE(fs::exists(history));
}

} // namespace
} // namespace foldwise::test
