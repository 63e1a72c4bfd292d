#include "prefs/Bookmarks.h"

#include "engine/FileError.h"
#include "tests/prefs/PrefsTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace foldwise {
namespace {

// The description of the FileError that resolving `bytes` throws, or "" when it does not throw.
std::string resolveError(const QByteArray& bytes) {
    try {
        Bookmarks::resolve(bytes);
    } catch (const FileError& error) {
        return error.localizedDescription();
    }
    return {};
}

std::string createError(const fs::path& folder) {
    try {
        Bookmarks::create(folder);
    } catch (const FileError& error) {
        return error.localizedDescription();
    }
    return {};
}

class BookmarksTest : public testing::Test {
protected:
    test::TempFolder temp;
};

TEST_F(BookmarksTest, CreationFailsClearlyWhereThereIsNoFolder) {
    const fs::path missing = temp.path() / "missing";
    EXPECT_EQ(createError(missing),
              "Could not bookmark the folder “" + missing.string() + "”: No such file or directory");
    std::ofstream(temp.path() / "file.txt") << "text";
    EXPECT_EQ(createError(temp.path() / "file.txt"),
              "Could not bookmark the folder “" + (temp.path() / "file.txt").string() + "”: Not a directory");
    EXPECT_NE(createError(""), "");
}

TEST_F(BookmarksTest, AnUnchangedFolderResolvesToItselfAndIsNotStale) {
    const fs::path folder = temp.makeFolder("Inbox");
    for (const fs::path& given : {folder, fs::path(folder.native() + "/")}) {
        const ResolvedBookmark resolved = Bookmarks::resolve(Bookmarks::create(given));
        EXPECT_EQ(resolved.folder, folder);
        EXPECT_FALSE(resolved.isStale);
    }
}

TEST_F(BookmarksTest, ANameThatIsNotUtf8SurvivesByteForByte) {
    const fs::path folder = temp.makeFolder("caf\xe9 \xff");
    const ResolvedBookmark resolved = Bookmarks::resolve(Bookmarks::create(folder));
    EXPECT_EQ(resolved.folder.native(), folder.native());
    EXPECT_FALSE(resolved.isStale);
}

TEST_F(BookmarksTest, AReplacedFolderIsStaleAtItsPath) {
    const fs::path folder = temp.makeFolder("Inbox");
    const QByteArray bookmark = Bookmarks::create(folder);
    fs::rename(folder, temp.path() / "Elsewhere");
    temp.makeFolder("Inbox");

    // The folder now at the path wins over the bookmarked one under its new name.
    const ResolvedBookmark resolved = Bookmarks::resolve(bookmark);
    EXPECT_EQ(resolved.folder, folder);
    EXPECT_TRUE(resolved.isStale);
}

TEST_F(BookmarksTest, AFolderRenamedWithinItsParentIsFoundUnderItsNewName) {
    const fs::path folder = temp.makeFolder("Inbox");
    temp.makeFolder("Another");
    const QByteArray bookmark = Bookmarks::create(folder);
    fs::rename(folder, temp.path() / "Inbox 2");

    const ResolvedBookmark resolved = Bookmarks::resolve(bookmark);
    EXPECT_EQ(resolved.folder, temp.path() / "Inbox 2");
    EXPECT_TRUE(resolved.isStale);

    // A file put where the folder was does not hide the renamed folder.
    std::ofstream(folder) << "text";
    EXPECT_EQ(Bookmarks::resolve(bookmark).folder, temp.path() / "Inbox 2");
}

TEST_F(BookmarksTest, AFolderThatIsGoneFailsClearly) {
    const fs::path folder = temp.makeFolder("Parent/Inbox");
    const QByteArray bookmark = Bookmarks::create(folder);
    const std::string gone = "The folder “" + folder.string() + "” no longer exists.";

    fs::rename(folder, temp.makeFolder("Other") / "Inbox"); // moved to another parent
    EXPECT_EQ(resolveError(bookmark), gone);

    std::ofstream(folder) << "text";
    EXPECT_EQ(resolveError(bookmark), "The folder “" + folder.string() + "” is no longer a folder.");

    fs::remove_all(temp.path() / "Parent");
    EXPECT_EQ(resolveError(bookmark), gone);

    std::ofstream(temp.path() / "Parent") << "a file where the parent was";
    EXPECT_EQ(resolveError(bookmark), gone);
}

TEST_F(BookmarksTest, BytesThatAreNotOurBookmarkFailCleanly) {
    const QByteArray bookmark = Bookmarks::create(temp.makeFolder("Inbox"));
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

    std::mt19937 random(4);
    for (int round = 0; round < 2000; ++round) {
        QByteArray noise(static_cast<qsizetype>(random() % 64), '\0');
        for (char& byte : noise) {
            byte = static_cast<char>(random());
        }
        if (round % 2 == 0 && noise.size() >= 5) {
            noise.replace(0, 5, QByteArray("FWBM\x01", 5)); // get past the first checks
        }
        EXPECT_NE(resolveError(noise), "");
    }
}

} // namespace
} // namespace foldwise
