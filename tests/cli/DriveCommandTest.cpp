#include "tests/cli/CommandLineTest.h"
#include "tests/support/FuseMount.h"

namespace foldwise::test {
namespace {

class DriveCommand : public CommandLineTest {};

// A FAT stick: the dry run foresees the file whose name FAT refuses, the sort leaves it with its reason
// and sorts the rest, and every line says why it stayed.
TEST_F(DriveCommand, SaysWhichFilesTheStickCannotStoreAndSortsTheRest) {
    if (const std::string missing = FuseMount::missingFor(FuseMount::Format::Fat); !missing.empty()) {
        GTEST_SKIP() << "cannot mount FAT: " << missing;
    }
    FuseMount stick(FuseMount::Format::Fat);
    addFiles({"photo.jpg", "notes.txt", "what?.txt"});

    const Finished planned = runFoldwise({"sort", input, stick.path(), "--dry-run", "--json"});
    const Finished sorted = runFoldwise({"sort", input, stick.path(), "--json"});
    const Finished again = runFoldwise({"sort", input, stick.path()});

    EXPECT_EQ(countIn(jsonOf(planned), "nameRefused"), 1) << planned.out;
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    const QJsonObject document = jsonOf(sorted);
    EXPECT_EQ(countIn(document, "moved"), 2);
    EXPECT_EQ(countIn(document, "nameRefused"), 1);
    const QJsonArray stayed = document.value(QStringLiteral("stayed")).toArray();
    ASSERT_EQ(stayed.size(), 1);
    EXPECT_EQ(stayed[0].toObject().value(QStringLiteral("reason")).toString(), QStringLiteral("nameRefused"));
    const std::string stickName = "“" + stick.path().filename().string() + "”";
    EXPECT_EQ(again.out, "Nothing was sorted: " + stickName + " cannot store the name of the one file.\n") << again.out;
    EXPECT_EQ(treeOf(input), std::set<std::string>{"what?.txt"});
}

} // namespace
} // namespace foldwise::test
