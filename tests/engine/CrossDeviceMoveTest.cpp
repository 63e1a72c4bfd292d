#include "engine/CrossDeviceMove.h"
#include "engine/Folder.h"
#include "engine/TemporaryCopies.h"

#include "tests/support/FileErrorText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <optional>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace test;

constexpr off_t MiB = off_t{1} << 20;

struct stat statusOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

std::optional<std::string> attributeOf(const fs::path& file, const char* name) {
    std::string value(4096, '\0');
    const ssize_t length = ::lgetxattr(file.c_str(), name, value.data(), value.size());
    if (length < 0) {
        return std::nullopt;
    }
    value.resize(static_cast<size_t>(length));
    return value;
}

// Sets or clears ("+i", "-i") the immutable flag of a folder on a file system that has one; false when it cannot.
bool chattr(const char* flag, const fs::path& folder) {
    return std::system(("chattr " + std::string(flag) + " '" + folder.string() + "' 2>/dev/null").c_str()) == 0;
}

// A folder on tmpfs and one on the disk, so that every move between them crosses file systems.
class CrossDeviceMove : public ::testing::Test {
protected:
    static MoveResult move(const fs::path& from, const fs::path& to, const std::string& name,
                           const MoveControl& control = {}, const std::string& toName = {}) {
        const Folder source(from);
        const Folder destination(to);
        return moveAcrossDevices(source.fd(), name, destination.fd(), toName.empty() ? name : toName, control,
                                 MoveFailure(name, from, to));
    }

    const TempFolder tmpfsFolder{"/dev/shm"}, diskFolder;
    const fs::path& tmpfs() const { return tmpfsFolder.path(); }
    const fs::path& disk() const { return diskFolder.path(); }
};

TEST_F(CrossDeviceMove, KeepsContentModeOwnerAndTimesAndLeavesNoTemporaryFile) {
    const fs::path file = tmpfs() / "report.txt";
    writeFile(file, std::string(200000, 'x'));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    // Set-user-ID survives only when the owner is set before the mode.
    ASSERT_EQ(::chmod(file.c_str(), 04750), 0);
    const struct timespec times[2] = {{1000000000, 123}, {1234567890, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    ASSERT_EQ(move(tmpfs(), disk(), "report.txt"), MoveResult::Moved);

    const struct stat moved = statusOf(disk() / "report.txt");
    EXPECT_EQ(readFile(disk() / "report.txt"), std::string(200000, 'x'));
    EXPECT_EQ(moved.st_mode & 07777, 04750u);
    EXPECT_EQ(moved.st_uid, root ? 65534u : ::geteuid());
    EXPECT_EQ(moved.st_gid, root ? 65534u : ::getegid());
    EXPECT_EQ(std::pair(moved.st_atim.tv_sec, moved.st_atim.tv_nsec), std::pair(1000000000L, 123L));
    EXPECT_EQ(std::pair(moved.st_mtim.tv_sec, moved.st_mtim.tv_nsec), std::pair(1234567890L, 500L));
    EXPECT_TRUE(treeOf(tmpfs()).empty());
    EXPECT_EQ(treeOf(disk()), std::set<std::string>{"report.txt"});
}

TEST_F(CrossDeviceMove, ReCreatesALinkAndNeverReplaces) {
    fs::create_symlink("target", tmpfs() / "link");
    writeFile(tmpfs() / "taken.txt", "new");
    writeFile(disk() / "taken.txt", "old");

    ASSERT_EQ(move(tmpfs(), disk(), "link"), MoveResult::Moved);
    EXPECT_EQ(fs::read_symlink(disk() / "link"), "target");

    EXPECT_EQ(move(tmpfs(), disk(), "taken.txt"), MoveResult::DestinationExists);
    EXPECT_EQ(readFile(tmpfs() / "taken.txt"), "new");
    EXPECT_EQ(readFile(disk() / "taken.txt"), "old");
    EXPECT_EQ(treeOf(disk()), (std::set<std::string>{"link", "taken.txt"}));
}

// Both are found only when the copy is renamed into place.
TEST_F(CrossDeviceMove, AFailedCopyLeavesTheSourceUntouchedAndNamesTheFolderThatRefused) {
    writeFile(tmpfs() / "a.txt", "keep me");

    EXPECT_EQ(errorOf([&] { move(tmpfs(), disk(), "a.txt", {}, "missing/a.txt"); }),
              "Could not move “a.txt” to “" + disk().string() + "”: No such file or directory");
    EXPECT_EQ(move(tmpfs(), disk(), "a.txt", {}, std::string(300, 'n')), MoveResult::NameRefused);
    EXPECT_EQ(readFile(tmpfs() / "a.txt"), "keep me");
    EXPECT_TRUE(treeOf(disk()).empty());
}

TEST_F(CrossDeviceMove, ShowsTheFinishedCopyBeforePublishingAndKeepsTheSourceWhenRefused) {
    writeFile(tmpfs() / "a.txt", "keep me");
    std::optional<struct stat> shown;
    MoveControl control;
    control.beforePublish = [&](const struct stat& copy) {
        shown = copy;
        EXPECT_EQ(treeOf(disk()).size(), 1u) << "only the hidden copy";
        throw std::runtime_error("not recorded");
    };

    EXPECT_THROW(move(tmpfs(), disk(), "a.txt", control), std::runtime_error);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->st_size, 7);
    EXPECT_EQ(readFile(tmpfs() / "a.txt"), "keep me");
    EXPECT_TRUE(treeOf(disk()).empty());
}

TEST_F(CrossDeviceMove, KeepsTheSourceWhenItCannotBeRemovedAndSaysWhy) {
    writeFile(disk() / "a.txt", "keep me");
    if (!chattr("+i", disk())) {
        GTEST_SKIP() << "cannot make a folder immutable here (needs root and a "
                        "file system that supports it)";
    }
    const std::string error = errorOf([&] { move(disk(), tmpfs(), "a.txt"); });
    chattr("-i", disk());

    EXPECT_EQ(error, "Could not move “a.txt” out of “" + disk().string() + "”: Operation not permitted");
    EXPECT_EQ(readFile(disk() / "a.txt"), "keep me");
    EXPECT_TRUE(treeOf(tmpfs()).empty());
}

TEST_F(CrossDeviceMove, RefusesAFileThatChangesWhileItIsCopied) {
    const fs::path file = tmpfs() / "big.log";
    writeFile(file, std::string(10 * MiB, 'x'));
    MoveControl control;
    control.copied = [&, appended = false](std::uint64_t, std::uint64_t) mutable {
        if (!std::exchange(appended, true)) {
            std::ofstream(file, std::ios::app) << std::string(MiB, 'y'); // a writer still at work
        }
    };

    EXPECT_EQ(errorOf([&] { move(tmpfs(), disk(), "big.log", control); }),
              "Could not move “big.log” to “" + disk().string() +
                  "”: it changed while it was being copied; it stays where it was");
    EXPECT_EQ(fs::file_size(file), static_cast<std::uintmax_t>(11 * MiB));
    EXPECT_TRUE(treeOf(disk()).empty());
}

TEST_F(CrossDeviceMove, KeepsHolesInBothDirections) {
    const off_t size = 64 * MiB;
    for (const auto& [from, to] : {std::pair{tmpfs(), disk()}, std::pair{disk(), tmpfs()}}) {
        SCOPED_TRACE(from.string() + " to " + to.string());
        std::ofstream(from / "disk.img", std::ios::binary) << "data";
        std::ofstream(from / "disk.img", std::ios::binary | std::ios::in).seekp(48 * MiB) << "data";
        fs::resize_file(from / "disk.img", size);

        ASSERT_EQ(move(from, to, "disk.img"), MoveResult::Moved);

        const struct stat moved = statusOf(to / "disk.img");
        EXPECT_EQ(moved.st_size, size);
        EXPECT_LT(moved.st_blocks * 512, MiB);
        const std::string content = readFile(to / "disk.img");
        EXPECT_EQ(content.substr(0, 4), "data");
        EXPECT_EQ(content.substr(48 * MiB, 4), "data");
        EXPECT_EQ(content.substr(32 * MiB, 4), std::string(4, '\0'));
        fs::remove(to / "disk.img");
    }
}

TEST_F(CrossDeviceMove, KeepsExtendedAttributesAndTheAccessControlList) {
    const fs::path file = tmpfs() / "notes.txt";
    writeFile(file, "notes");
    const std::string origin = "https://example.org/notes.txt";
    const acl_t granting = acl_from_text("u::rw-,u:nobody:r--,g::r--,m::r--,o::---");
    const bool isSet = ::setxattr(file.c_str(), "user.xdg.origin.url", origin.data(), origin.size(), 0) == 0 &&
                       acl_set_file(file.c_str(), ACL_TYPE_ACCESS, granting) == 0;
    acl_free(granting);
    if (!isSet) {
        GTEST_SKIP() << "tmpfs here keeps no user attributes or ACLs: " << std::strerror(errno);
    }
    const auto acl = attributeOf(file, "system.posix_acl_access");

    ASSERT_EQ(move(tmpfs(), disk(), "notes.txt"), MoveResult::Moved);

    EXPECT_EQ(attributeOf(disk() / "notes.txt", "user.xdg.origin.url"), origin);
    EXPECT_EQ(attributeOf(disk() / "notes.txt", "system.posix_acl_access"), acl);
    EXPECT_EQ(statusOf(disk() / "notes.txt").st_mode & 0777,
              0640u); // the mask shows as the group's bits
}

TEST_F(CrossDeviceMove, RefusesAFifoWithoutWaitingForAWriter) {
    ASSERT_EQ(::mkfifo((tmpfs() / "pipe").c_str(), 0644), 0);

    auto moving = std::async(std::launch::async, [&] { return errorOf([&] { move(tmpfs(), disk(), "pipe"); }); });
    if (moving.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ::close(::open((tmpfs() / "pipe").c_str(),
                       O_WRONLY | O_NONBLOCK)); // lets the stuck move go
        FAIL() << "the move waited for a writer of the FIFO";
    }
    EXPECT_EQ(moving.get(), "Could not move “pipe” out of “" + tmpfs().string() +
                                "”: it is neither a file nor a link, so it "
                                "cannot be copied to another file system");
    EXPECT_TRUE(fs::is_fifo(tmpfs() / "pipe"));
    EXPECT_TRUE(treeOf(disk()).empty());
}

// Another process sweeps the folder all the while: no copy is taken for abandoned in the moment
// between its creation and its lock. The folder is kept small, so that each sweep is quick.
TEST_F(CrossDeviceMove, ACleanUpInAnotherProcessNeverTakesACopyBeingMade) {
    const pid_t sweeper = ::fork();
    if (sweeper == 0) {
        const Folder folder(tmpfs());
        for (;;) {
            removeAbandonedCopies(folder.fd());
        }
    }
    std::string failure;
    for (int i = 0; i < 3000 && failure.empty(); ++i) {
        writeFile(disk() / "a.txt", "x");
        failure = errorOf([&] { EXPECT_EQ(move(disk(), tmpfs(), "a.txt"), MoveResult::Moved); });
        fs::remove(tmpfs() / "a.txt");
    }
    ::kill(sweeper, SIGKILL);
    ::waitpid(sweeper, nullptr, 0);

    EXPECT_EQ(failure, "");
}

// Progress comes a chunk at a time and at the end; a stop between chunks keeps the source and no copy.
TEST_F(CrossDeviceMove, ReportsProgressInChunksAndStopsWhenAsked) {
    const std::string content(12 * MiB, 'z');
    writeFile(tmpfs() / "video.mp4", content);
    std::stop_source stop;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    MoveControl control{stop.get_token(), [&](std::uint64_t done, std::uint64_t total) {
                            reports.emplace_back(done, total);
                            stop.request_stop();
                        }};

    EXPECT_EQ(move(tmpfs(), disk(), "video.mp4", control), MoveResult::Cancelled);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(readFile(tmpfs() / "video.mp4"), content);
    EXPECT_TRUE(treeOf(disk()).empty());

    control.stop = {};
    ASSERT_EQ(move(tmpfs(), disk(), "video.mp4", control), MoveResult::Moved);
    EXPECT_LE(reports[1].first, static_cast<std::uint64_t>(8 * MiB));
    EXPECT_EQ(reports[1].second, content.size());
    EXPECT_EQ(reports.back(), std::pair(std::uint64_t{content.size()}, std::uint64_t{content.size()}));
}

TEST_F(CrossDeviceMove, TellsAVanishedSourceFromARemovedDestinationFolder) {
    writeFile(tmpfs() / "a.txt", "keep me");
    EXPECT_EQ(move(tmpfs(), disk(), "gone.txt"), MoveResult::SourceVanished);

    fs::create_directory(disk() / "txt");
    const Folder source(tmpfs());
    const Folder removed(disk() / "txt");
    fs::remove(disk() / "txt");
    EXPECT_EQ(moveAcrossDevices(source.fd(), "a.txt", removed.fd(), "a.txt", {},
                                MoveFailure("a.txt", tmpfs(), disk() / "txt")),
              MoveResult::DestinationFolderGone);
    EXPECT_EQ(readFile(tmpfs() / "a.txt"), "keep me");
}

} // namespace
} // namespace foldwise
