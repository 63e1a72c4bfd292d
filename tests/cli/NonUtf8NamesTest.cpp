#include "tests/cli/CommandLineTest.h"

namespace foldwise::test {
namespace {

// Names are bytes: folders given on the command line and files in them that are not valid UTF-8 are used
// exactly, shown with \xNN in the human output and given exactly in base64 in the JSON output.
class NonUtf8Names : public CommandLineTest {
protected:
    const fs::path latin1Input = root / "Eing\xe4nge";
    const fs::path latin1Output = root / "Sortiert\xff";
    const std::string resume = "r\xe9sum\xe9.pdf";
    const std::string cafe = "caf\xe9.txt";
};

TEST_F(NonUtf8Names, AreSortedShownEscapedAndGivenExactlyInJson) {
    fs::create_directories(latin1Input);
    fs::create_directories(latin1Output / "Documents");
    writeFile(latin1Input / resume, resume);
    writeFile(latin1Input / cafe, cafe);
    writeFile(latin1Output / "Documents" / cafe, "taken");

    const Finished planned = runFoldwise({"sort", latin1Input, latin1Output, "--dry-run"});
    EXPECT_EQ(planned.status, 0) << planned.err;
    EXPECT_EQ(planned.out, "Sorting “Eing\\xE4nge” into “Sortiert\\xFF” by category would move 1 file into 1 folder:\n"
                           "  Documents  1\n"
                           "1 would stay: its name is taken there:\n"
                           "  Documents/caf\\xE9.txt\n");

    const Finished sorted = runFoldwise({"sort", latin1Input, latin1Output, "--json"});

    ASSERT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(readFile(latin1Output / "Documents" / resume), resume);
    const QJsonObject document = jsonOf(sorted);
    EXPECT_EQ(nameIn(document, QStringLiteral("input")), latin1Input.string());
    EXPECT_EQ(nameIn(document, QStringLiteral("output")), latin1Output.string());
    EXPECT_EQ(filesIn(document),
              (std::set<std::tuple<std::string, std::string, std::string>>{{resume, "Documents", ""}}));
    const QJsonObject file = document.value(QStringLiteral("files")).toArray().first().toObject();
    EXPECT_EQ(file.value(QStringLiteral("name")).toString(), QStringLiteral("r\uFFFDsum\uFFFD.pdf"));

    const Finished undone = runFoldwise({"undo", latin1Input, latin1Output});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.out, "Moved 1 file back from 1 folder of “Sortiert\\xFF” into “Eing\\xE4nge”.\n");
    EXPECT_EQ(readFile(latin1Input / resume), resume);
}

TEST_F(NonUtf8Names, AreCountedAndShownInStatistics) {
    addFiles({"a.txt"});
    writeFile(input / "b.\xe9t\xe9", "x");
    writeFile(input / "c.\xe9t\xe9", "x");

    const Finished counted = runFoldwise({"stats", input});
    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_NE(counted.out.find("  \\xE9t\\xE9  2\n"), std::string::npos) << counted.out;

    const QJsonObject document = jsonOf(runFoldwise({"stats", input, "--json"}));
    const QJsonObject top = document.value(QStringLiteral("types")).toArray().first().toObject();
    EXPECT_EQ(nameIn(top, QStringLiteral("type")), "\xe9t\xe9");
    EXPECT_EQ(top.value(QStringLiteral("count")).toInt(), 2);
}

} // namespace
} // namespace foldwise::test
