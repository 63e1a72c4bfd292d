#include "prefs/Bookmarks.h"

#include "tests/prefs/PrefsTestSupport.h"
#include "tests/support/FileErrorText.h"

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using namespace test;

std::string resolveError(const QByteArray& bytes) {
    return errorOf([&] { Bookmarks::resolve(bytes); });
}

class BookmarksTest : public ::testing::Test {
protected:
    TempFolder temp;
};

TEST_F(BookmarksTest, AFolderResolvesToItselfByteForByteAndAnythingElseCannotBeBookmarked) {
    const fs::path folder = makeFolder(temp / "Inbox");
    const fs::path notUtf8 = makeFolder(temp / "caf\xe9 \xff");
    for (const auto& [given, expected] :
         {std::pair{folder, folder}, std::pair{fs::path(folder.native() + "/"), folder}, std::pair{notUtf8, notUtf8}}) {
        const ResolvedBookmark resolved = Bookmarks::resolve(Bookmarks::create(given));
        EXPECT_EQ(resolved.folder.native(), expected.native());
        EXPECT_FALSE(resolved.isStale);
    }

    const fs::path missing = temp / "missing";
    const fs::path file = temp / "file.txt";
    writeFile(file);
    EXPECT_EQ(errorOf([&] { Bookmarks::create(missing); }),
              "Could not bookmark the folder “" + missing.string() + "”: No such file or directory");
    EXPECT_EQ(errorOf([&] { Bookmarks::create(file); }),
              "Could not bookmark the folder “" + file.string() + "”: Not a directory");
    EXPECT_NE(errorOf([] { Bookmarks::create(""); }), "");
}

TEST_F(BookmarksTest, AFolderThatIsGoneFailsClearly) {
    const fs::path folder = makeFolder(temp / "Parent/Inbox");
    const QByteArray bookmark = Bookmarks::create(folder);
    const std::string gone = "The folder “" + folder.string() + "” no longer exists.";

    fs::remove(folder);
    writeFile(folder);
    EXPECT_EQ(resolveError(bookmark), "The folder “" + folder.string() + "” is no longer a folder.");

    fs::remove_all(temp / "Parent");
    EXPECT_EQ(resolveError(bookmark), gone);

    writeFile(temp / "Parent", "a file where the parent was");
    EXPECT_EQ(resolveError(bookmark), gone);
}

TEST_F(BookmarksTest, BytesThatAreNotOurBookmarkFailCleanly) {
    const QByteArray bookmark = Bookmarks::create(makeFolder(temp / "Inbox"));
    EXPECT_EQ(resolveError(""), "The folder bookmark is empty.");
    EXPECT_EQ(resolveError("bplist00 something else"), "The stored data is not a folder bookmark.");

    const std::string damaged = "The folder bookmark is incomplete or damaged.";
    for (qsizetype length = 1; length < bookmark.size(); ++length) {
        EXPECT_EQ(resolveError(bookmark.left(length)), damaged) << "cut to " << length << " bytes";
    }
    EXPECT_EQ(resolveError(bookmark + 'x'), damaged);

    QByteArray otherVersion = bookmark;
    otherVersion[4] = 2;
    EXPECT_EQ(resolveError(otherVersion), "The folder bookmark was made in an unsupported format (version 2).");

    QByteArray hugeLength = bookmark;
    hugeLength[21] = '\xff';
    EXPECT_EQ(resolveError(hugeLength), damaged);

    QByteArray relativePath = bookmark;
    relativePath[25] = 'x';
    EXPECT_EQ(resolveError(relativePath), damaged);
}

} // namespace
} // namespace foldwise
