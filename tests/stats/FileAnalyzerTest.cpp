#include "stats/FileAnalyzer.h"

#include "engine/Categories.h"
#include "stats/ParallelWalker.h"
#include "tests/support/InChild.h"
#include "tests/support/StdoutCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

namespace foldwise {
namespace {

using namespace test;
using Counts = std::map<std::string, std::int64_t>;
using CountedFiles = std::vector<std::pair<fs::path, std::string>>; // each file to count, with
                                                                    // its type
using Unreadable = std::vector<std::pair<fs::path, std::errc>>;     // by path

// A temporary folder with helpers that make entries of every kind below it, and missing folders above them.
class TempTree : public TempFolder {
public:
    using TempFolder::TempFolder;

    fs::path file(const fs::path& relative) const {
        writeFile(makeFolder((path() / relative).parent_path()) / relative.filename(), "x");
        return path() / relative;
    }
    fs::path folder(const fs::path& relative) const { return makeFolder(path() / relative); }
    fs::path link(const fs::path& relative, const fs::path& target) const {
        fs::create_symlink(target, makeFolder((path() / relative).parent_path()) / relative.filename());
        return path() / relative;
    }

    // A chain of `levels` folders "d" below `relative`, each holding the file "f.txt" and the folders "a" and
    // "z" holding one file each: made before and after "d", so a sibling is left waiting beside it whatever
    // order the folder lists them in. Each level is reached through its open descriptor, /proc/self/fd/N: the
    // path from the root would grow longer than the system accepts. Returns the files made.
    std::size_t deepChain(const fs::path& relative, int levels) const {
        int fd = ::open(folder(relative).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; level < levels; ++level) {
            const fs::path here = "/proc/self/fd/" + std::to_string(fd);
            writeFile(makeFolder(here / "a") / "f.txt");
            writeFile(here / "f.txt");
            fs::create_directory(here / "d");
            writeFile(makeFolder(here / "z") / "f.txt");
            const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            ::close(fd);
            fd = next;
        }
        ::close(fd);
        return 3 * static_cast<std::size_t>(levels);
    }
};

// The records' counts by text, each text listed once and the records ordered by count, highest first.
// Equal to a count made independently, this also means every count is at least one and each list adds
// up to the number of files.
template <typename Record>
Counts countsOf(const std::vector<Record>& records, const std::string& (Record::*text)() const) {
    Counts counts;
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_TRUE(counts.emplace((records[i].*text)(), records[i].count()).second)
            << (records[i].*text)() << " twice";
        EXPECT_TRUE(i == 0 || records[i].count() <= records[i - 1].count()) << "not ordered by count";
    }
    return counts;
}

// Analyses `folder`, checking the lines it prints, both lists against the files it must count and the
// folders it must name as unreadable.
void expectAnalysis(const fs::path& folder, const CountedFiles& files, bool isAccessGranted = true,
                    const Unreadable& unreadable = {}) {
    Counts types, categories;
    for (const auto& [file, type] : files) {
        ++types[type];
        ++categories[categoryForFile(file)];
    }
    std::string unreadableLines;
    for (const auto& [path, reason] : unreadable) {
        unreadableLines +=
            "[FileAnalyzer] Could not read “" + path.string() + "”: " + std::make_error_code(reason).message() + "\n";
    }
    FileStatistics statistics;
    EXPECT_EQ(captureStdout([&] { statistics = FileAnalyzer::analyzeFolder(folder); }),
              "[FileAnalyzer] Analyzing: " + folder.string() +
                  "\n[FileAnalyzer] Access granted: " + (isAccessGranted ? "true" : "false") + "\n" + unreadableLines +
                  "[FileAnalyzer] Found " + std::to_string(files.size()) + " files.\n");
    EXPECT_EQ(countsOf(statistics.types, &FileTypeCount::type), types);
    EXPECT_EQ(countsOf(statistics.categories, &FileCategoryCount::category), categories);
    Unreadable named;
    for (const UnreadableFolder& folder : statistics.unreadableFolders()) {
        named.emplace_back(folder.path(), static_cast<std::errc>(folder.reason().default_error_condition().value()));
    }
    EXPECT_EQ(named, unreadable);
}

// How many files the walk finds with `options`, each reported by one of its workers.
std::size_t filesWalked(const fs::path& root, const ParallelWalker::Options& options) {
    std::atomic<std::size_t> files{0};
    const unsigned workers = ParallelWalker::workerCount(options);
    EXPECT_TRUE(ParallelWalker::walk(
        root, options,
        [&](unsigned worker, std::string_view, std::int64_t) {
            EXPECT_LT(worker, workers);
            ++files;
        },
        [](const fs::path& folder, std::error_code reason) { ADD_FAILURE() << folder << ": " << reason.message(); }));
    return files;
}

// Root passes every permission check: the child becomes nobody, for whom they apply.
bool becomeNobodyIfRoot() {
    return ::geteuid() != 0 || test::becomeNobody();
}

bool limitDescriptorsTo64() {
    const rlimit limit{64, 64};
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// Leaves the child `free` descriptors to open: it holds the others on /dev/null until it ends.
void leaveOnlyFreeDescriptors(int free) {
    std::vector<int> held;
    for (int fd = 0; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
        held.push_back(fd);
    }
    for (int i = 0; i < free && !held.empty(); ++i) {
        ::close(held.back());
        held.pop_back();
    }
}

TEST(FileAnalyzer, CountsEveryKindOfEntry) {
    const TempTree elsewhere("/dev/shm");
    const TempTree tree;
    ASSERT_EQ(::mkfifo((tree / "pipe").c_str(), 0644), 0);
    const CountedFiles counted{
        {tree.file("a.txt"), "txt"},
        {tree.file("README"), "No Extension"},
        {tree.file("draft."), "No Extension"},
        {tree.file("Photo.JPG"), "jpg"},
        {tree.file("sub/photo.jpg"), "jpg"},
        {tree.file("sub/deeper/deepest/backup.tar.gz"), "gz"},
        {tree.file("sub/deeper/notes.md"), "md"},
        {tree.file("sub/Notiz.ÄRGER"), "ärger"},
        {tree.file("caf\xe9.D\xc9"), "D\xc9"}, // not UTF-8: counted with its bytes as they are
        {tree.file("\xff\xfe.TXT"), "txt"},
        {tree.file("plain.app"), "app"}, // a file, not a package
        {tree.file("folder.txt/inside.txt"), "txt"},
        {tree.link("shortcut.PDF", tree / "a.txt"), "pdf"},
        {tree.link("sub/elsewhere.mp3", elsewhere.file("song.flac")), "mp3"},
        {tree / "pipe", "No Extension"},
    };
    tree.file(".hidden.txt");
    tree.file(".hidden-folder/inside.txt");
    tree.file("sub/.cache/inside.txt");
    tree.file("Tool.app/Contents/inside.txt");
    tree.file("sub/Thing.Bundle/inside.txt");
    tree.folder("empty/emptier");
    tree.link("link-to-sub", tree / "sub");
    tree.link("link-to-package.txt", tree / "Tool.app");
    tree.link("dangling.txt", tree / "gone");
    tree.link(".hidden-link.txt", tree / "a.txt");

    expectAnalysis(tree.path(), counted);
}

// Each file adds its own length: a sparse file its holes too, a link the link's own bytes and never what it
// leads to, whether the folder gives entry types or not.
TEST(FileAnalyzer, AddsUpTheBytesOfEachCategoryAndTypeWhenAsked) {
    const TempTree tree;
    const auto withBytes = [&](const char* name, std::size_t bytes) {
        const fs::path file = tree.file(name);
        fs::resize_file(file, bytes);
        return file;
    };
    withBytes("a.txt", 10);
    withBytes("sub/B.TXT", 5);
    withBytes("disk.iso", 3'000'000); // one hole: nothing written
    withBytes("tiny.zip", 7);
    const std::string target = withBytes("big.bin", 9'000).string();
    tree.link("sub/shortcut.txt", target);
    tree.link("leads-to-a-folder.txt", tree / "sub");
    const std::int64_t linkBytes = static_cast<std::int64_t>(target.size());

    const auto sizesOf = [](const auto& records, const auto& text) {
        Counts sizes;
        for (const auto& record : records) {
            sizes[(record.*text)()] = record.size();
        }
        return sizes;
    };
    FileStatistics statistics;
    captureStdout([&] { statistics = FileAnalyzer::analyzeFolder(tree.path(), {}, FileAnalyzer::Sizes::Added); });
    EXPECT_EQ(sizesOf(statistics.types, &FileTypeCount::type),
              (Counts{{"txt", 15 + linkBytes}, {"iso", 3'000'000}, {"zip", 7}, {"bin", 9'000}}));
    EXPECT_EQ(sizesOf(statistics.categories, &FileCategoryCount::category),
              (Counts{{"Documents", 15 + linkBytes}, {"Archives", 3'000'007}, {"Other", 9'000}}));

    // The same sizes from a walk that does not trust the entry types a folder gives.
    Counts walked;
    std::mutex mutex;
    ParallelWalker::walk(tree.path(), {2, false, 0, {}, true}, [&](unsigned, std::string_view name, std::int64_t size) {
        const std::lock_guard lock(mutex);
        walked[std::string(name)] = size;
    });
    EXPECT_EQ(walked, (Counts{{"a.txt", 10},
                              {"B.TXT", 5},
                              {"disk.iso", 3'000'000},
                              {"tiny.zip", 7},
                              {"big.bin", 9'000},
                              {"shortcut.txt", linkBytes}}));
}

TEST(FileAnalyzer, CountsNothingWithoutAFolderAndWalksARootReachedThroughALink) {
    const TempTree tree;
    const fs::path file = tree.file("real/only.png");
    tree.link("via-link", tree / "real");
    expectAnalysis(tree.folder("empty"), {});
    expectAnalysis(tree / "missing", {}, false);
    expectAnalysis(file, {}, false);
    expectAnalysis(tree / "via-link", {{file, "png"}}); // "Found 1 files.", as the line always reads
}

TEST(FileAnalyzer, NamesEveryFolderItCannotReadAndCountsTheRest) {
    const TempTree tree;
    const CountedFiles counted{{tree.file("open/a.txt"), "txt"}, {tree.file("b.md"), "md"}};
    tree.file("locked/inside.txt");
    tree.file("open/deeper/locked too/inside.txt");
    tree.folder("locked and empty");
    for (const auto& entry : fs::recursive_directory_iterator(tree.path())) {
        fs::permissions(entry, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    }
    fs::permissions(tree.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    for (const char* locked : {"locked", "open/deeper/locked too", "locked and empty"}) {
        fs::permissions(tree / locked, fs::perms::none);
    }
    const bool ran = ranInChild(becomeNobodyIfRoot, [&] {
        const auto denied = std::errc::permission_denied;
        expectAnalysis(tree.path(), counted, true,
                       {{tree / "locked", denied},
                        {tree / "locked and empty", denied},
                        {tree / "open/deeper/locked too", denied}});
        expectAnalysis(tree / "locked", {}, false, {{tree / "locked", denied}});
    });
    if (!ran) {
        GTEST_SKIP() << "Could not become the user nobody, for whom permissions apply";
    }
}

// Even with 64 descriptors, or a handful, a chain of 300 folders with one waiting beside each level is
// counted exactly, on every run and by every kind of walk; and so is a chain of 10,000 levels.
TEST(FileAnalyzer, CountsDeepTreesExactlyWhateverDescriptorsAreLeft) {
    const TempTree tree("/dev/shm");
    const std::size_t fewFiles = tree.deepChain("few", 300);
    const std::size_t manyFiles = tree.deepChain("many", 10'000);
    const bool ran = ranInChild(limitDescriptorsTo64, [&] {
        for (const ParallelWalker::Options& options :
             {ParallelWalker::Options{1, true, 0, {}}, ParallelWalker::Options{2, true, 0, {}},
              ParallelWalker::Options{5, true, 0, {}}, ParallelWalker::Options{3, false, 0, {}},
              ParallelWalker::Options{4, true, 1, {}}}) {
            for (int run = 0; run < 3; ++run) {
                EXPECT_EQ(filesWalked(tree / "few", options), fewFiles) << options.threads << " threads";
            }
        }
        expectAnalysis(tree / "few", CountedFiles(fewFiles, {"f.txt", "txt"}));
        // Fewer left than the walk counts on, and fewer than all its workers want at once.
        leaveOnlyFreeDescriptors(6);
        for (const unsigned threads : {2u, 5u}) {
            EXPECT_EQ(filesWalked(tree / "few", {threads, true, 0, {}}), fewFiles) << threads << " threads";
        }
    });
    EXPECT_TRUE(ran);
    expectAnalysis(tree / "many", CountedFiles(manyFiles, {"f.txt", "txt"}));
}

// A stop ends the walk soon, with part of the tree visited, and the analysis says it stopped.
TEST(FileAnalyzer, StopsSoonWhenAsked) {
    const TempTree tree("/dev/shm");
    const std::size_t files = tree.deepChain("chain", 2'000);
    std::stop_source stop;
    ParallelWalker::Options options{2, true, 0, stop.get_token()};
    std::atomic<std::size_t> visited{0};
    ParallelWalker::walk(tree.path(), options, [&](unsigned, std::string_view, std::int64_t) {
        if (++visited == 10) {
            stop.request_stop();
        }
    });
    EXPECT_LT(visited.load(), files / 10);

    const std::string lines = captureStdout([&] { FileAnalyzer::analyzeFolder(tree.path(), stop.get_token()); });
    EXPECT_NE(lines.find("[FileAnalyzer] Stopped after "), std::string::npos) << lines;
}

} // namespace
} // namespace foldwise
