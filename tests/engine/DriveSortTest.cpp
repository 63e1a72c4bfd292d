#include "engine/Folder.h"
#include "engine/Organizer.h"
#include "engine/Reverter.h"

#include "tests/support/FuseMount.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <tuple>

namespace foldwise {
namespace {

using namespace test;
using Format = FuseMount::Format;

// A drive formatted for Windows and mounted through FUSE and a folder on the local disk, with a history
// of their own; parametrised by the drive's format and the sorting mode.
class DriveSort : public ::testing::TestWithParam<std::tuple<Format, bool>> {
protected:
    void SetUp() override {
        if (const std::string missing = FuseMount::missingFor(format()); !missing.empty()) {
            GTEST_SKIP() << "cannot mount " << FuseMount::nameOf(format()) << ": " << missing;
        }
        ::setenv("XDG_DATA_HOME", (disk / "data").c_str(), 1);
        drive_ = std::make_unique<FuseMount>(format(), FuseMount::Options{.windowsNames = true});
    }

    Format format() const { return std::get<0>(GetParam()); }
    bool byCategory() const { return std::get<1>(GetParam()); }
    FuseMount& drive() { return *drive_; }

    const TempFolder disk;

private:
    std::unique_ptr<FuseMount> drive_;
};

// A file of every kind a user keeps, one whose name the drive refuses, and one whose name is taken in the
// output, each holding its own name, are sorted into the drive. It is plugged in again, other files are
// put in the place of two sorted ones, and the undo brings back only the file the sort moved.
TEST_P(DriveSort, IntoTheDriveThenUndoneAfterItIsPluggedInAgain) {
    const fs::path input = makeFolder(disk / "in");
    const fs::path output = drive().path() / "Sorted";
    // The time of the files: one a drive formatted for Windows can store.
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    for (const char* name : {"photo.jpg", "notes.txt", "README", "what?.txt"}) {
        writeFile(input / name, name);
        fs::last_write_time(input / name, longAgo);
    }
    writeFile(input / "taken.txt", "the input's");
    writeFile(makeFolder(output / (byCategory() ? "Documents" : "txt")) / "taken.txt", "the user's");
    std::set<std::string> stayed;
    RunOptions options;
    options.stayed = [&](const std::string& name, const std::string&, StayReason reason) {
        stayed.insert(name + ": " + std::string(stayReasonKey(reason)));
    };
    const Plan plan = previewSort(input, output, byCategory(), {});
    EXPECT_EQ(std::ranges::count(plan.files, Plan::Verdict::Move, &Plan::File::verdict), 3);
    EXPECT_EQ(std::ranges::count(plan.files, Plan::Verdict::NameRefused, &Plan::File::verdict), 1);

    const RunOutcome sorted = organizeFiles(input, output, byCategory(), options);

    ASSERT_FALSE(sorted.failure) << sorted.failure->localizedDescription();
    EXPECT_EQ(sorted.moved, 3);
    EXPECT_EQ(sorted.nameTaken, 1);
    EXPECT_EQ(sorted.nameRefused, 1);
    EXPECT_EQ(stayed, (std::set<std::string>{"taken.txt: nameTaken", "what?.txt: nameRefused"}));
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"taken.txt", "what?.txt"}));

    drive().unmount();
    drive().mount(); // another device number, and other inode numbers for every file
    // Where inode numbers do not last, a file is known by place, size and time: one of the same size
    // written now, and one of the same time with another size, have only the name of a sorted file.
    const fs::path notes = output / (byCategory() ? "Documents" : "txt") / "notes.txt";
    fs::remove(notes);
    writeFile(notes, "NOTES.TXT");
    writeFile(disk / "README", "the user's README");
    fs::last_write_time(disk / "README", longAgo);
    const fs::path readmeFolder = output / (byCategory() ? "Other" : "other");
    fs::remove(readmeFolder / "README");
    ASSERT_EQ(Folder(disk.path()).moveNoReplace("README", Folder(readmeFolder), "README"), MoveResult::Moved);
    const RunOutcome undone = revertFiles(input, output, {});

    // fusefat shows one time for every file: there a file of the same size in the same place is the
    // sorted one.
    const bool timeTells = format() != Format::Fat;
    ASSERT_FALSE(undone.failure) << undone.failure->localizedDescription();
    EXPECT_EQ(undone.moved, timeTells ? 1 : 2);
    EXPECT_EQ(undone.gone, timeTells ? 2 : 1);
    EXPECT_EQ(readFile(input / "photo.jpg"), "photo.jpg");
    EXPECT_EQ(readFile(input / "taken.txt"), "the input's");
    EXPECT_EQ(readFile(readmeFolder / "README"), "the user's README");
    EXPECT_EQ(fs::exists(notes), timeTells);
    EXPECT_FALSE(fs::exists(input / "README"));
    EXPECT_FALSE(fs::exists(output / (byCategory() ? "Images" : "jpg")));
}

INSTANTIATE_TEST_SUITE_P(FormatsAndModes, DriveSort,
                         ::testing::Combine(::testing::Values(Format::Fat, Format::ExFat, Format::Ntfs),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return FuseMount::nameOf(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "ByCategory" : "ByExtension");
                         });

} // namespace
} // namespace foldwise
