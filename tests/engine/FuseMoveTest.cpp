#include "engine/Folder.h"
#include "engine/Volume.h"

#include "tests/support/FuseMount.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <fstream>
#include <functional>
#include <memory>

namespace {

// Run once, when armed, in the moment a move falls back to a slower way: another program taking the name
// just then, which no mount can be made to do on cue. It runs after the last refusal before the fallback:
// of RENAME_NOREPLACE where the drive has hard links, of the link where it has none.
std::function<void()> takeTheName;
bool afterTheLink = false;

void takeTheNameIfArmed(bool isTheLastRefusal) {
    if (isTheLastRefusal && takeTheName) {
        const int error = errno;
        std::exchange(takeTheName, {})();
        errno = error;
    }
}

} // namespace

// Every renameat2 and linkat of the engine linked into this program comes here first.
extern "C" int renameat2(int fromFd, const char* from, int toFd, const char* to, unsigned int flags) noexcept {
    using Call = int (*)(int, const char*, int, const char*, unsigned int);
    static const auto real = reinterpret_cast<Call>(::dlsym(RTLD_NEXT, "renameat2"));
    const int result = real(fromFd, from, toFd, to, flags);
    takeTheNameIfArmed(result != 0 && errno == EINVAL && (flags & RENAME_NOREPLACE) != 0 && !afterTheLink);
    return result;
}

extern "C" int linkat(int fromFd, const char* from, int toFd, const char* to, int flags) noexcept {
    using Call = int (*)(int, const char*, int, const char*, int);
    static const auto real = reinterpret_cast<Call>(::dlsym(RTLD_NEXT, "linkat"));
    const int result = real(fromFd, from, toFd, to, flags);
    takeTheNameIfArmed(result != 0 && errno != EEXIST && afterTheLink);
    return result;
}

namespace foldwise {
namespace {

using namespace test;
using Format = FuseMount::Format;

// Names each format refuses, as its FUSE tool answers them: fusefat with EPERM, exfat-fuse with ENOENT
// for the characters and EILSEQ for bytes that are not UTF-8, ntfs-3g (with windows_names) with EINVAL.
std::vector<std::string> refusedNamesOf(Format format) {
    std::vector<std::string> names{"what?.txt", "caf\xE9.txt"};
    if (format == Format::Ntfs) {
        names.insert(names.end(), {"con.txt", "trailing."});
    }
    if (format == Format::Fat) {
        names.push_back("R\u00e9sum\u00e9.txt"); // fusefat keeps long names in ASCII alone
    }
    return names;
}

// A drive formatted for Windows, mounted through FUSE, and a folder on tmpfs, another file system.
class FuseMove : public ::testing::TestWithParam<Format> {
protected:
    void SetUp() override {
        if (const std::string missing = FuseMount::missingFor(GetParam()); !missing.empty()) {
            GTEST_SKIP() << "cannot mount " << FuseMount::nameOf(GetParam()) << ": " << missing;
        }
        drive_ = std::make_unique<FuseMount>(GetParam(), FuseMount::Options{.windowsNames = true});
    }

    FuseMount& drive() { return *drive_; }
    const fs::path& tmpfs() const { return tmpfs_.path(); }

private:
    const TempFolder tmpfs_{"/dev/shm"};
    std::unique_ptr<FuseMount> drive_;
};

// Moves into the drive are the sorts and undos of DriveSortTest; here, the moves that must not happen:
// onto a name taken just as the move falls back to a way of its own, within the drive and at the end of
// a copy onto it.
TEST_P(FuseMove, TellsTheFormatAndNeverReplacesATakenName) {
    const fs::path mounted = drive().path();
    const fs::path sub = makeFolder(mounted / "sub");
    writeFile(mounted / "raced.txt", "mine");
    writeFile(tmpfs() / "copied.txt", "mine");
    afterTheLink = GetParam() != Format::Ntfs; // FAT and exFAT have no hard links
    {
        const Folder root(mounted), into(sub), shm(tmpfs());
        const Volume volume = Volume::of(into.fd());
        EXPECT_EQ(volume.kind, (std::array{Volume::Kind::Fat, Volume::Kind::ExFat,
                                           Volume::Kind::Ntfs})[static_cast<int>(GetParam())]);
        EXPECT_FALSE(volume.stableInodes);
        EXPECT_FALSE(into.listsTrueInodes());
        for (const auto& [from, name] : {std::pair{&root, "raced.txt"}, std::pair{&shm, "copied.txt"}}) {
            takeTheName = [&sub, name] {
                writeFile(sub / name, "theirs");
            };
            EXPECT_EQ(from->moveNoReplace(name, into, name), MoveResult::DestinationExists) << name;
            EXPECT_FALSE(takeTheName) << "the drive took RENAME_NOREPLACE, or a link";
        }
    }
    EXPECT_EQ(readFile(tmpfs() / "copied.txt"), "mine");

    drive().unmount();
    drive().mount();
    EXPECT_EQ(treeOf(mounted), (std::set<std::string>{"raced.txt", "sub/", "sub/copied.txt", "sub/raced.txt"}));
    EXPECT_EQ(readFile(mounted / "raced.txt"), "mine");
    EXPECT_EQ(readFile(sub / "raced.txt"), "theirs");
    EXPECT_EQ(readFile(sub / "copied.txt"), "theirs");
}

// A name the format refuses, and on FAT a file of 4 GiB, stay where they are; the big file is refused
// before any byte is copied.
TEST_P(FuseMove, KeepsAFileWhoseNameTheFormatRefuses) {
    const fs::path mounted = drive().path();
    makeFolder(mounted / "sub");
    for (const std::string& name : refusedNamesOf(GetParam())) {
        SCOPED_TRACE(FileSystem::displayName(name));
        writeFile(mounted / "plain.txt", "within");
        writeFile(tmpfs() / "plain.txt", "into");
        {
            const Folder root(mounted), sub(mounted / "sub"), shm(tmpfs());
            EXPECT_EQ(root.moveNoReplace("plain.txt", sub, name), MoveResult::NameRefused);
            EXPECT_EQ(shm.moveNoReplace("plain.txt", sub, name), MoveResult::NameRefused);
        }
        EXPECT_EQ(readFile(mounted / "plain.txt"), "within");
        EXPECT_EQ(readFile(tmpfs() / "plain.txt"), "into");
        EXPECT_EQ(treeOf(mounted), (std::set<std::string>{"plain.txt", "sub/"}));
    }
    if (GetParam() == Format::Fat) {
        std::ofstream(tmpfs() / "disk.img").seekp(std::streamoff{4} << 30) << "end"; // sparse: 4 GiB of holes
        MoveControl control;
        control.copied = [](std::uint64_t, std::uint64_t) {
            ADD_FAILURE() << "copied a byte";
        };
        EXPECT_EQ(Folder(tmpfs()).moveNoReplace("disk.img", Folder(mounted), "disk.img", control),
                  MoveResult::TooLarge);
        EXPECT_EQ(fs::file_size(tmpfs() / "disk.img"), (std::uintmax_t{4} << 30) + 3);
        EXPECT_EQ(treeOf(mounted), (std::set<std::string>{"plain.txt", "sub/"}));
    }
}

// What a move predicts before it tries; the mounts above show the formats really refusing such names.
TEST(WindowsNames, FollowEachFormatsRules) {
    for (const Volume::Kind kind : {Volume::Kind::Fat, Volume::Kind::ExFat, Volume::Kind::Ntfs}) {
        SCOPED_TRACE(static_cast<int>(kind));
        Volume volume;
        volume.kind = kind;
        for (const std::string& name : std::vector<std::string>{"a*b", "a\"b", "a|b", "a<b", "tab\t", "caf\xE9",
                                                                std::string(256, 'n'), "😀" + std::string(254, 'n')}) {
            EXPECT_TRUE(volume.refusesName(name)) << name;
        }
        for (const std::string& name : {"café " + std::string(246, 'n') + ".txt", "😀" + std::string(253, 'n'),
                                        std::string("COM0.txt"), std::string("console.txt")}) {
            EXPECT_FALSE(volume.refusesName(name)) << name;
        }
        for (const char* name : {"aux", "Lpt9.tar.gz", "con.txt", "Nul", "trailing.", "trailing "}) {
            EXPECT_EQ(volume.refusesName(name), kind != Volume::Kind::ExFat) << name; // Windows' own rules
        }
    }
    EXPECT_FALSE(Volume{}.refusesName("a:b?\xE9."));
}

INSTANTIATE_TEST_SUITE_P(Formats, FuseMove, ::testing::Values(Format::Fat, Format::ExFat, Format::Ntfs),
                         [](const auto& format) { return FuseMount::nameOf(format.param); });

// bindfs hands the kernel attributes that it caches: a file moved in, its times set on the copy and
// then renamed, must move straight back out without seeming to have changed in between.
TEST(FuseMoveThroughBindfs, AFileMovedInMovesStraightBackOut) {
    if (const std::string missing = FuseMount::missingFor(Format::Bind); !missing.empty()) {
        GTEST_SKIP() << "cannot mount bindfs: " << missing;
    }
    const TempFolder shown, tmpfs("/dev/shm");
    FuseMount bound(Format::Bind, FuseMount::Options{.shown = shown.path()});
    writeFile(tmpfs / "photo.jpg", std::string(100000, 'p'));
    const Folder there(bound.path()), here(tmpfs.path());
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(here.moveNoReplace("photo.jpg", there, "photo.jpg"), MoveResult::Moved);
        ASSERT_EQ(there.moveNoReplace("photo.jpg", here, "photo.jpg"), MoveResult::Moved);
    }
    EXPECT_EQ(readFile(tmpfs / "photo.jpg"), std::string(100000, 'p'));
    EXPECT_FALSE(fs::exists(shown / "photo.jpg"));
}

} // namespace
} // namespace foldwise
