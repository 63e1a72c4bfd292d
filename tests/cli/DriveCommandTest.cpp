#include "tests/cli/CommandLineTest.h"
#include "tests/support/FuseMount.h"

#include <fstream>

namespace foldwise::test {
namespace {

class DriveCommand : public CommandLineTest {};

// A FAT stick: the dry run foresees the files whose names FAT refuses and the one it cannot hold, the
// sort leaves them with their reasons and sorts the rest, and every line says why they stayed.
TEST_F(DriveCommand, SaysWhichFilesTheStickCannotStoreAndSortsTheRest) {
    if (const std::string missing = FuseMount::missingFor(FuseMount::Format::Fat); !missing.empty()) {
        GTEST_SKIP() << "cannot mount FAT: " << missing;
    }
    FuseMount stick(FuseMount::Format::Fat);
    addFiles({"photo.jpg", "notes.txt", "song.mp3", "what?.txt", "a*b.txt"});
    std::ofstream(input / "disk.img").seekp(std::streamoff{4} << 30) << "end"; // sparse: 4 GiB of holes

    const QJsonObject plan = jsonOf(runFoldwise({"sort", input, stick.path(), "--dry-run", "--json"}));
    const Finished sorted = runFoldwise({"sort", input, stick.path(), "--json"});
    const Finished again = runFoldwise({"sort", input, stick.path()});

    EXPECT_EQ(countIn(plan, "tooLarge"), 1);
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    const QJsonObject document = jsonOf(sorted);
    EXPECT_EQ(countIn(document, "moved"), 3);
    EXPECT_EQ(countIn(document, "nameRefused"), 2);
    EXPECT_EQ(countIn(document, "tooLarge"), 1);
    const std::string stickName = "“" + stick.path().filename().string() + "”";
    EXPECT_EQ(again.out, "Nothing was sorted: of 3 files, 2 have names that " + stickName +
                             " cannot store and 1 is larger than 4 GiB, which " + stickName + " cannot store.\n");
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a*b.txt", "disk.img", "what?.txt"}));
}

} // namespace
} // namespace foldwise::test
