#include "RandomTree.h"
#include "TempTree.h"

#include "engine/FileSystem.h"
#include "stats/ExtensionTally.h"
#include "stats/ParallelWalker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace foldwise {
namespace {

using testing::TempTree;

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> namesWalked(const fs::path& root, const ParallelWalker::Options& options) {
    std::mutex mutex;
    std::vector<std::string> names;
    std::atomic<bool> isWorkerInRange = true;
    const unsigned workers = ParallelWalker::workerCount(options);
    EXPECT_TRUE(ParallelWalker::walk(root, options, [&](unsigned worker, std::string_view name) {
        isWorkerInRange = isWorkerInRange && worker < workers;
        const std::lock_guard lock(mutex);
        names.emplace_back(name);
    }));
    EXPECT_TRUE(isWorkerInRange);
    return sorted(std::move(names));
}

std::vector<std::string> namesOfSlowWalk(const fs::path& root) {
    std::vector<std::string> names;
    for (const fs::path& file : testing::filesFoundBySlowWalk(root)) {
        names.push_back(file.filename().string());
    }
    return sorted(std::move(names));
}

struct TreeSite {
    const char* name;
    const char* base;
    int entries; // fewer on the disk, where making entries is slow
};

// Every way of running the walk must find exactly what a plain walk finds, on a disk and in memory.
class ParallelWalkerOnFileSystem : public ::testing::TestWithParam<TreeSite> {};

TEST_P(ParallelWalkerOnFileSystem, FindsExactlyTheFilesOfASlowWalk) {
    const TempTree tree(GetParam().base);
    testing::growRandomTree(tree, 7, GetParam().entries);
    const std::vector<std::string> expected = namesOfSlowWalk(tree.root());
    ASSERT_GT(expected.size(), static_cast<std::size_t>(GetParam().entries / 4));

    for (const ParallelWalker::Options options :
         {ParallelWalker::Options{1, true}, ParallelWalker::Options{2, true}, ParallelWalker::Options{5, true},
          ParallelWalker::Options{3, false}}) {
        SCOPED_TRACE(::testing::Message()
                     << options.threads << " threads, entry types trusted: " << options.trustEntryType);
        EXPECT_EQ(namesWalked(tree.root(), options), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(DiskAndMemory, ParallelWalkerOnFileSystem,
                         ::testing::Values(TreeSite{"Disk", "/tmp", 600}, TreeSite{"Memory", "/dev/shm", 4000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParallelWalker, ReachesTheBottomOfDeepTreesAndEveryFolderOfWideOnes) {
    const TempTree tree("/dev/shm");
    fs::path deep = "deep";
    for (int level = 0; level < 300; ++level) {
        deep /= "level" + std::to_string(level);
        tree.file(deep / "here.txt");
    }
    for (int i = 0; i < 1500; ++i) {
        tree.file(fs::path("wide") / std::to_string(i) / "here.txt");
    }
    EXPECT_EQ(namesWalked(tree.root(), {}), std::vector<std::string>(1800, "here.txt"));
}

TEST(ParallelWalker, WalksARootReachedThroughALinkButNoRootThatIsNotAFolder) {
    const TempTree tree;
    tree.file("real/a.txt");
    tree.link("via-link", tree.root() / "real");
    const fs::path file = tree.file("plain.txt");

    EXPECT_EQ(namesWalked(tree.root() / "via-link", {}), std::vector<std::string>{"a.txt"});
    bool isVisited = false;
    auto visit = [&isVisited](unsigned, std::string_view) {
        isVisited = true;
    };
    EXPECT_FALSE(ParallelWalker::walk(tree.root() / "missing", {}, visit));
    EXPECT_FALSE(ParallelWalker::walk(file, {}, visit));
    EXPECT_FALSE(isVisited);
}

TEST(ExtensionTally, TakesTheSameExtensionAsTheFileSystemServices) {
    for (const std::string name : {"a", ".profile", "a.", "a.b.c", "..", "...x", ".a.b", "backup.tar.gz", "Photo.JPG",
                                   "\xff\xfe.\xc3", "caf\xc3\xa9.\xc3\x84"}) {
        EXPECT_EQ(ExtensionTally::extensionOf(name), FileSystem::pathExtension(name)) << name;
    }
}

TEST(ExtensionTally, MergingAddsCountsOfTheSameExtension) {
    ExtensionTally first;
    ExtensionTally second;
    for (const char* name : {"a.txt", "b.txt", "c", "d.TXT"}) {
        first.add(name);
    }
    for (const char* name : {"e.txt", "f."}) {
        second.add(name);
    }
    first.merge(second);
    EXPECT_EQ(first.total(), 6);
    EXPECT_EQ(first.counts().at("txt"), 3);
    EXPECT_EQ(first.counts().at("TXT"), 1);
    EXPECT_EQ(first.counts().at(""), 2);
}

} // namespace
} // namespace foldwise
