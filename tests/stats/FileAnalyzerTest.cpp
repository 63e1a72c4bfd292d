#include "RandomTree.h"
#include "TempTree.h"

#include "engine/Categories.h"
#include "stats/FileAnalyzer.h"

#include <gtest/gtest.h>

#include <QSet>

#include <limits>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace foldwise {
namespace {

using testing::TempTree;
using Counts = std::map<std::string, std::int64_t>;

struct Analysis {
    FileStatistics statistics;
    std::string output;
};

Analysis analyze(const fs::path& folder) {
    Analysis analysis;
    analysis.output = testing::captureStdout([&] { analysis.statistics = FileAnalyzer::analyzeFolder(folder); });
    return analysis;
}

std::string linesFor(const fs::path& folder, bool isAccessGranted, std::int64_t files) {
    return "[FileAnalyzer] Analyzing: " + folder.string() +
           "\n[FileAnalyzer] Access granted: " + (isAccessGranted ? "true" : "false") + "\n[FileAnalyzer] Found " +
           std::to_string(files) + " files.\n";
}

Counts typeCounts(const FileStatistics& statistics) {
    Counts counts;
    for (const FileTypeCount& record : statistics.types) {
        counts[record.type()] += record.count();
    }
    return counts;
}

Counts categoryCounts(const FileStatistics& statistics) {
    Counts counts;
    for (const FileCategoryCount& record : statistics.categories) {
        counts[record.category()] += record.count();
    }
    return counts;
}

// Unique texts, counts of at least one, highest first, and every list adding up to the files found.
template <typename Record, typename Text>
void expectWellFormed(const std::vector<Record>& records, Text text, std::int64_t files) {
    std::set<std::string> texts;
    std::int64_t sum = 0;
    std::int64_t previous = std::numeric_limits<std::int64_t>::max();
    for (const Record& record : records) {
        EXPECT_TRUE(texts.insert(text(record)).second) << text(record) << " listed twice";
        EXPECT_GE(record.count(), 1);
        EXPECT_LE(record.count(), previous) << "not ordered by count";
        previous = record.count();
        sum += record.count();
    }
    EXPECT_EQ(sum, files);
}

void expectWellFormed(const FileStatistics& statistics, std::int64_t files) {
    expectWellFormed(
        statistics.types, [](const FileTypeCount& r) { return r.type(); }, files);
    expectWellFormed(
        statistics.categories, [](const FileCategoryCount& r) { return r.category(); }, files);
    static const std::set<std::string> names{"Images", "Video", "Audio", "Documents", "Archives", "Code", "Other"};
    for (const FileCategoryCount& record : statistics.categories) {
        EXPECT_TRUE(names.contains(record.category())) << record.category();
    }
}

// Makes a tree with one entry of every kind the analysis tells apart, and returns the files it must count,
// each with its type.
std::vector<std::pair<fs::path, std::string>> growMixedTree(const TempTree& tree, const fs::path& elsewhere) {
    std::vector<std::pair<fs::path, std::string>> counted{
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
        {tree.link("shortcut.PDF", tree.root() / "a.txt"), "pdf"},
        {tree.link("sub/elsewhere.mp3", elsewhere), "mp3"},
        {tree.fifo("pipe"), "No Extension"},
    };
    tree.file(".hidden.txt");
    tree.file(".hidden-folder/inside.txt");
    tree.file("sub/.cache/inside.txt");
    tree.file("Tool.app/Contents/inside.txt");
    tree.file("sub/Thing.Bundle/inside.txt");
    tree.folder("empty/emptier");
    tree.link("link-to-sub", tree.root() / "sub");
    tree.link("link-to-package.txt", tree.root() / "Tool.app");
    tree.link("dangling.txt", tree.root() / "gone");
    tree.link(".hidden-link.txt", tree.root() / "a.txt");
    return counted;
}

TEST(FileAnalyzer, CountsEveryKindOfEntryAsASlowWalkWould) {
    const TempTree elsewhere("/dev/shm");
    const TempTree tree;
    const auto counted = growMixedTree(tree, elsewhere.file("song.flac"));
    Counts types;
    Counts categories;
    for (const auto& [file, type] : counted) {
        ++types[type];
        ++categories[categoryForFile(file)];
    }

    const Analysis analysis = analyze(tree.root());
    EXPECT_EQ(analysis.output, linesFor(tree.root(), true, static_cast<std::int64_t>(counted.size())));
    EXPECT_EQ(typeCounts(analysis.statistics), types);
    EXPECT_EQ(categoryCounts(analysis.statistics), categories);
    expectWellFormed(analysis.statistics, static_cast<std::int64_t>(counted.size()));
}

TEST(FileAnalyzer, MatchesASlowWalkOnALargeRandomTree) {
    const TempTree tree("/dev/shm");
    testing::growRandomTree(tree, 11, 6000);
    Counts types;
    Counts categories;
    const std::vector<fs::path> files = testing::filesFoundBySlowWalk(tree.root());
    for (const fs::path& file : files) {
        ++types[testing::slowTypeOf(file)];
        ++categories[categoryForFile(file)];
    }

    const Analysis analysis = analyze(tree.root());
    EXPECT_EQ(analysis.output, linesFor(tree.root(), true, static_cast<std::int64_t>(files.size())));
    EXPECT_EQ(typeCounts(analysis.statistics), types);
    EXPECT_EQ(categoryCounts(analysis.statistics), categories);
    expectWellFormed(analysis.statistics, static_cast<std::int64_t>(files.size()));
}

TEST(FileAnalyzer, GivesEveryRecordAFreshIdentityOnEveryRun) {
    const TempTree tree("/dev/shm");
    testing::growRandomTree(tree, 3, 300);
    QSet<QUuid> ids;
    std::size_t records = 0;
    for (int run = 0; run < 2; ++run) {
        const FileStatistics statistics = analyze(tree.root()).statistics;
        for (const FileTypeCount& record : statistics.types) {
            ids.insert(record.id());
        }
        for (const FileCategoryCount& record : statistics.categories) {
            ids.insert(record.id());
        }
        records += statistics.types.size() + statistics.categories.size();
    }
    EXPECT_GT(records, 10u);
    EXPECT_EQ(static_cast<std::size_t>(ids.size()), records);
    EXPECT_FALSE(ids.contains(QUuid()));
}

TEST(FileAnalyzer, FindsNothingInAnEmptyFolderAMissingOneOrAFile) {
    const TempTree tree;
    const fs::path empty = tree.folder("empty");
    const fs::path file = tree.file("plain.txt");

    for (const auto& [folder, isAccessGranted] :
         {std::pair{empty, true}, std::pair{tree.root() / "missing", false}, std::pair{file, false}}) {
        const Analysis analysis = analyze(folder);
        EXPECT_EQ(analysis.output, linesFor(folder, isAccessGranted, 0));
        EXPECT_TRUE(analysis.statistics.types.empty());
        EXPECT_TRUE(analysis.statistics.categories.empty());
    }
}

TEST(FileAnalyzer, CountsASingleFileWithThePluralEnding) {
    const TempTree tree;
    tree.file("only.png");
    const Analysis analysis = analyze(tree.root());
    EXPECT_EQ(analysis.output, linesFor(tree.root(), true, 1));
    ASSERT_EQ(analysis.statistics.types.size(), 1u);
    EXPECT_EQ(analysis.statistics.types[0].type(), "png");
    ASSERT_EQ(analysis.statistics.categories.size(), 1u);
    EXPECT_EQ(analysis.statistics.categories[0].category(), "Images");
}

} // namespace
} // namespace foldwise
