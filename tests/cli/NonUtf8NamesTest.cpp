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
    const std::string odd = "caf\xe9.\xe9t\xe9";
};

TEST_F(NonUtf8Names, AreSortedCountedShownEscapedAndGivenExactlyInJson) {
    writeFile(makeFolder(latin1Input) / resume, resume);
    writeFile(latin1Input / odd, odd);
    writeFile(makeFolder(latin1Output / "Other") / odd, "taken");

    const Finished planned = runFoldwise({"sort", latin1Input, latin1Output, "--dry-run"});
    EXPECT_EQ(planned.status, 0) << planned.err;
    EXPECT_EQ(planned.out, "Sorting “Eing\\xE4nge” into “Sortiert\\xFF” by category would move 1 file into 1 folder:\n"
                           "  Documents  1\n"
                           "1 would stay: its name is taken there:\n"
                           "  Other/caf\\xE9.\\xE9t\\xE9\n");

    const Finished sorted = runFoldwise({"sort", latin1Input, latin1Output, "--json"});
    ASSERT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(readFile(latin1Output / "Documents" / resume), resume);
    const QJsonObject document = jsonOf(sorted);
    EXPECT_EQ(nameIn(document, QStringLiteral("input")), latin1Input.string());
    EXPECT_EQ(nameIn(document, QStringLiteral("output")), latin1Output.string());
    EXPECT_EQ(filesIn(document), (Files{{resume, "Documents"}}));
    const QJsonObject file = document.value(QStringLiteral("files")).toArray().first().toObject();
    EXPECT_EQ(file.value(QStringLiteral("name")).toString(), QStringLiteral("r\uFFFDsum\uFFFD.pdf"));

    const Finished counted = runFoldwise({"stats", latin1Input});
    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_NE(counted.out.find("  \\xE9t\\xE9  1\n"), std::string::npos) << counted.out;
    const QJsonObject stats = jsonOf(runFoldwise({"stats", latin1Input, "--json"}));
    const QJsonObject top = stats.value(QStringLiteral("types")).toArray().first().toObject();
    EXPECT_EQ(nameIn(top, QStringLiteral("type")), "\xe9t\xe9");

    const Finished undone = runFoldwise({"undo", latin1Input, latin1Output});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.out, "1 file moved back from 1 folder of “Sortiert\\xFF” into “Eing\\xE4nge”.\n");
    EXPECT_EQ(readFile(latin1Input / resume), resume);

    const fs::path missing = root / "Fehlt\xe4";
    const Finished failed = runFoldwise({"sort", missing, latin1Output});
    EXPECT_EQ(runFoldwise({"sort", missing, latin1Output, "--by", "Kategorie\xe4"}).err,
              "foldwise: --by takes “category” or “extension”, not “Kategorie\\xE4”\nTry “foldwise sort --help”.\n");
    EXPECT_EQ(failed.err, "foldwise: Sorting failed: Could not open the folder “" + root.path().string() +
                              "/Fehlt\\xE4”: No such file or directory\n");
}

} // namespace
} // namespace foldwise::test
