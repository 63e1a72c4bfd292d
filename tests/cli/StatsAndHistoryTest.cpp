#include "tests/cli/CommandLineTest.h"

#include "engine/History.h"
#include "engine/UserCategories.h"

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise::test {
namespace {

class StatsCommand : public CommandLineTest {};

TEST_F(StatsCommand, SaysWhenTheFolderIsMissingOrEmptyAndOtherwisePrintsBothTablesAligned) {
    const Finished missing = runFoldwise({"stats", root / "missing"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("foldwise: Folder Not Available: ", 0), 0u) << missing.err;
    const Finished empty = runFoldwise({"stats", input});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "No Files Found: “in” appears to be empty.\n");

    addFiles({"a.jpg", "b.JPG", "c.jpg", "d.txt", "e.txt", "README"});

    const Finished counted = runFoldwise({"stats", input, "--top", "2"});

    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_EQ(counted.out, "Statistics for “in”: 6 files\n"
                           "\n"
                           "File Categories\n"
                           "  Images     3\n"
                           "  Documents  2\n"
                           "  Other      1\n"
                           "\n"
                           "File Types (top 2 of 3)\n"
                           "  jpg  3\n"
                           "  txt  2\n");
    EXPECT_EQ(counted.err, ""); // the analyzer's diagnostic lines only with --verbose
    EXPECT_NE(runFoldwise({"stats", input, "--verbose"}).err.find("[FileAnalyzer] Found 6 files.\n"),
              std::string::npos);

    // Each file holds its own name; one grows to a size of its own.
    fs::resize_file(input / "d.txt", 1'234'567);
    const Finished sized = runFoldwise({"stats", input, "--sizes"});
    EXPECT_EQ(sized.out, "Statistics for “in”: 6 files\n"
                         "\n"
                         "File Categories\n"
                         "  Images     3  15 bytes\n"
                         "  Documents  2    1.2 MB\n"
                         "  Other      1   6 bytes\n"
                         "\n"
                         "File Types\n"
                         "  jpg           3  15 bytes\n"
                         "  txt           2    1.2 MB\n"
                         "  No Extension  1   6 bytes\n");
}

// The user's categories reach every command: the plan puts a file in the user's folder, a line that cannot
// be used is told on standard error, and --explain says what decided.
TEST_F(StatsCommand, CommandsUseTheUsersCategoriesAndTellTheirBadLines) {
    const fs::path file = UserCategories::defaultFile();
    fs::create_directories(file.parent_path());
    writeFile(file, "[Extensions]\nblend = 3D Models\nx = a/b\n");
    addFiles({"scene.BLEND"});

    const Finished plan = runFoldwise({"sort", input, output, "--dry-run", "--json"});
    EXPECT_EQ(filesIn(jsonOf(plan)), (Files{{"scene.BLEND", "3D Models"}}));
    EXPECT_NE(plan.err.find("foldwise: categories.ini, line 3: “a/b” is not a folder name; the line is left out.\n"),
              std::string::npos)
        << plan.err;
    const Finished explained = runFoldwise({"categories", "--explain", "init.zsh", "scene.BLEND", "x.qqqq"});
    EXPECT_EQ(explained.out, "“init.zsh”: Code, programming language (Linguist: Shell)\n"
                             "“scene.BLEND”: 3D Models, your rule\n"
                             "“x.qqqq”: Other, no type known\n");
    fs::remove(file);
}

class HistoryCommand : public CommandLineTest {};

TEST_F(HistoryCommand, ListsRunsNewestFirstAndWhetherASortWasUndone) {
    const Finished none = runFoldwise({"history"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "No sorts on record yet.\n");
    EXPECT_FALSE(fs::exists(history)) << "reading no history makes none";

    addFiles({"a.jpg", "b.txt"});
    ASSERT_EQ(runFoldwise({"sort", input, output, "--by", "extension"}).status, 0);
    ASSERT_EQ(runFoldwise({"undo", input, output}).status, 0);

    const QJsonArray runs = jsonOf(runFoldwise({"history", "--json"})).value(QStringLiteral("runs")).toArray();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_TRUE(runs.at(1).toObject().value(QStringLiteral("undone")).toBool());

    const Finished table = runFoldwise({"history"});
    EXPECT_EQ(table.status, 0);
    const std::string header = "Id  When                 Kind  Mode       Moved  Stayed  Result             Folders\n";
    EXPECT_EQ(table.out.substr(0, header.size()), header) << table.out;
    EXPECT_NE(table.out.find("  undo  -              2       0  completed          “"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("  sort  extension      2       0  completed, undone  “" + input.string() + "” → “" +
                             output.string() + "”\n"),
              std::string::npos)
        << table.out;

    const QJsonObject newest = jsonOf(runFoldwise({"history", "--limit", "1", "--json"}));
    EXPECT_EQ(newest.value(QStringLiteral("runs")).toArray().size(), 1);
}

TEST_F(HistoryCommand, ShowsARunWhoseProcessWasKilledAsInterrupted) {
    std::fflush(nullptr);
    const pid_t killed = ::fork();
    if (killed == 0) {
        History(history).beginRun(RunKind::Sort, {input, output, std::nullopt, std::nullopt}, false);
        ::kill(::getpid(), SIGKILL);
    }
    ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);

    const QJsonArray runs = jsonOf(runFoldwise({"history", "--json"})).value(QStringLiteral("runs")).toArray();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs.at(0).toObject().value(QStringLiteral("state")).toString(), QStringLiteral("interrupted"));
    const Finished table = runFoldwise({"history"});
    EXPECT_NE(table.out.find("  sort  extension      0       0  interrupted  “"), std::string::npos) << table.out;
}

// Without a display: the commands run, --help and --version answer, and without arguments the window is
// what starts (and says it has no display to open on), or in the build without it, the usage error. Each command's own
// --help is checked against the man page and the completion by check-resources.sh.
TEST(Headless, CommandsRunAndTheWindowIsWhatOpensWithoutArguments) {
    const Finished version = runFoldwise({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("foldwise ", 0), 0u) << version.out;

    const Finished help = runFoldwise({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  watch   [INPUT OUTPUT] [--by category|extension] [--settle SECONDS]\n"),
              std::string::npos)
        << help.out;

    const Finished window = runFoldwise({});
#if FOLDWISE_HAS_WINDOW
    EXPECT_EQ(window.status, 1);
    EXPECT_NE(window.err.find("no display"), std::string::npos) << window.err;
#else
    EXPECT_EQ(window.status, 2);
    EXPECT_EQ(window.err.rfind("foldwise: this build has no window; ", 0), 0u) << window.err;
#endif
}

} // namespace
} // namespace foldwise::test
