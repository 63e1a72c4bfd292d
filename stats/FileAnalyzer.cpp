#include "stats/FileAnalyzer.h"

#include "engine/Categories.h"
#include "engine/Diagnostics.h"
#include "engine/FileSystem.h"
#include "engine/FolderAccess.h"
#include "engine/Lowercase.h"
#include "stats/ExtensionTally.h"
#include "stats/ParallelWalker.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace foldwise {
namespace {

const std::string kNoExtension = "No Extension";

struct Tally {
    ExtensionTally files;
    std::vector<UnreadableFolder> unreadableFolders; // by path
};

// Every file below `folder` counted by extension, one tally per worker thread merged at the end.
Tally tallyFolder(const fs::path& folder, std::stop_token stop, FileAnalyzer::Sizes sizes) {
    ParallelWalker::Options options;
    options.stop = std::move(stop);
    options.sizes = sizes == FileAnalyzer::Sizes::Added;
    std::vector<ExtensionTally> tallies(ParallelWalker::workerCount(options));
    Tally all;
    ParallelWalker::walk(
        folder, options,
        [&tallies](unsigned worker, std::string_view name, std::int64_t size) { tallies[worker].add(name, size); },
        [&all](const fs::path& path, std::error_code reason) { all.unreadableFolders.emplace_back(path, reason); });
    for (const ExtensionTally& tally : tallies) {
        all.files.merge(tally);
    }
    std::sort(all.unreadableFolders.begin(), all.unreadableFolders.end(),
              [](const UnreadableFolder& a, const UnreadableFolder& b) { return a.path() < b.path(); });
    return all;
}

using Sums = std::unordered_map<std::string, ExtensionTally::Sum>;

void addTo(Sums& sums, const std::string& key, const ExtensionTally::Sum& sum) {
    ExtensionTally::Sum& into = sums[key];
    into.files += sum.files;
    into.bytes += sum.bytes;
}

// One record per table entry, highest count first; records with equal counts keep the table's order.
template <typename Record> std::vector<Record> sortedByCount(const Sums& table) {
    std::vector<Record> records;
    records.reserve(table.size());
    for (const auto& [text, sum] : table) {
        records.emplace_back(text, sum.files, sum.bytes);
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.count() > b.count(); });
    return records;
}

FileStatistics statisticsFrom(const ExtensionTally& tally, std::vector<UnreadableFolder> unreadableFolders) {
    Sums types;
    Sums categories;
    CategoryCache cache;
    for (const auto& [extension, sum] : tally.counts()) {
        const std::string type = lowercased(extension);
        addTo(types, type.empty() ? kNoExtension : type, sum);
        addTo(categories, cache.categoryForExtension(extension), sum);
    }
    return FileStatistics(sortedByCount<FileCategoryCount>(categories), sortedByCount<FileTypeCount>(types),
                          std::move(unreadableFolders));
}

} // namespace

FileStatistics FileAnalyzer::analyzeFolder(const fs::path& folder) {
    return analyzeFolder(folder, {});
}

FileStatistics FileAnalyzer::analyzeFolder(const fs::path& folder, std::stop_token stop, Sizes sizes) {
    printDiagnosticLine("[FileAnalyzer] Analyzing: " + FileSystem::displayPath(folder));
    const FolderAccess access(folder);
    printDiagnosticLine(std::string("[FileAnalyzer] Access granted: ") + (access.isGranted() ? "true" : "false"));

    Tally tally = tallyFolder(folder, stop, sizes);
    for (const UnreadableFolder& unreadable : tally.unreadableFolders) {
        printDiagnosticLine("[FileAnalyzer] Could not read " + FileSystem::quoted(unreadable.path()) + ": " +
                            unreadable.reason().message());
    }
    const std::string count = std::to_string(tally.files.total());
    printDiagnosticLine(stop.stop_requested() ? "[FileAnalyzer] Stopped after " + count + " files."
                                              : "[FileAnalyzer] Found " + count + " files.");
    return statisticsFrom(tally.files, std::move(tally.unreadableFolders));
}

} // namespace foldwise
