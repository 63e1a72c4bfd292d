#include "engine/FilesInUse.h"
#include "engine/Organizer.h"
#include "engine/Reverter.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace test;

class FilesInUseTest : public InputOutputFolders {
protected:
    std::vector<std::string> inUseIn(const Plan& plan) const {
        std::vector<std::string> names;
        for (const Plan::File& file : plan.files) {
            if (file.verdict == Plan::Verdict::InUse) {
                names.push_back(file.name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FilesInUseTest, ASortLeavesFilesStillWrittenOrDownloadedOffTheRecordAndTheNextSortMovesThemOnceDone) {
    addFiles({"done.txt", "held.txt", "read.txt", "movie.mkv.part", "~$report.docx", "setup.crdownload"});
    // Held open, as a browser holds a download; only a writer makes a file unfinished.
    const int writer = ::open((input / "held.txt").c_str(), O_WRONLY | O_CLOEXEC);
    const int reader = ::open((input / "read.txt").c_str(), O_RDONLY | O_CLOEXEC);
    const std::vector<std::string> inUse{"held.txt", "movie.mkv.part", "setup.crdownload", "~$report.docx"};
    RunOptions options;
    std::vector<std::string> stayed;
    options.stayed = [&](const std::string& name, const std::string&, StayReason reason) {
        EXPECT_EQ(stayReasonKey(reason), "inUse") << name;
        stayed.push_back(name);
    };

    EXPECT_EQ(inUseIn(previewSort(input, output, true, {})), inUse);
    const RunOutcome sorted = organizeFiles(input, output, true, options);
    EXPECT_EQ(sorted.moved, 2);
    EXPECT_EQ(sorted.inUse, 4);
    std::sort(stayed.begin(), stayed.end());
    EXPECT_EQ(stayed, inUse);
    EXPECT_EQ(treeOf(input), std::set<std::string>(inUse.begin(), inUse.end()));

    const RunOutcome undone = revertFiles(input, output, {}); // nothing on record for the files that stayed
    EXPECT_EQ(undone.moved, 2);
    EXPECT_EQ(undone.gone + undone.nameTaken, 0);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"done.txt", "read.txt", "held.txt", "movie.mkv.part",
                                                    "~$report.docx", "setup.crdownload"}));

    ::close(writer);
    ::close(reader);
    fs::rename(input / "movie.mkv.part", input / "movie.mkv");
    const RunOutcome next = organizeFiles(input, output, true, {});
    EXPECT_EQ(next.moved, 4);
    EXPECT_EQ(next.inUse, 2);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"~$report.docx", "setup.crdownload"}));
    EXPECT_TRUE(fs::exists(output / "Documents/held.txt"));
    EXPECT_TRUE(fs::exists(output / "Video/movie.mkv"));
}

TEST_F(FilesInUseTest, KnowsUnfinishedNamesInAnyCaseAndNoOthers) {
    for (const char* name : {"a.PART", "b.Crdownload", "c.download", "d.partial", "e.TMP", "f.!qB", "g.!QB",
                             "h.opdownload", "~$Budget.xlsx", ".~lock.report.odt#"}) {
        EXPECT_TRUE(FilesInUse::hasUnfinishedName(name)) << name;
    }
    for (const char* name : {"part", "report.docx", "a.part.txt", "tmp.txt", "$~x.doc", ".~lock.report.odt", ".part"}) {
        EXPECT_FALSE(FilesInUse::hasUnfinishedName(name)) << name;
    }
}

} // namespace
} // namespace foldwise
