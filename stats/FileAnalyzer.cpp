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
#include <vector>

namespace foldwise {
namespace {

const std::string kNoExtension = "No Extension";

// Every file below `folder` counted by extension, one tally per worker thread merged at the end.
ExtensionTally tallyFolder(const fs::path& folder) {
    const ParallelWalker::Options options;
    std::vector<ExtensionTally> tallies(ParallelWalker::workerCount(options));
    ParallelWalker::walk(folder, options,
                         [&tallies](unsigned worker, std::string_view name) { tallies[worker].add(name); });
    ExtensionTally all;
    for (const ExtensionTally& tally : tallies) {
        all.merge(tally);
    }
    return all;
}

// One record per table entry, highest count first; records with equal counts keep the table's order.
template <typename Record>
std::vector<Record> sortedByCount(const std::unordered_map<std::string, std::int64_t>& table) {
    std::vector<Record> records;
    records.reserve(table.size());
    for (const auto& [text, count] : table) {
        records.emplace_back(text, count);
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.count() > b.count(); });
    return records;
}

FileStatistics statisticsFrom(const ExtensionTally& tally) {
    std::unordered_map<std::string, std::int64_t> types;
    std::unordered_map<std::string, std::int64_t> categories;
    CategoryCache cache;
    for (const auto& [extension, count] : tally.counts()) {
        const std::string type = lowercased(extension);
        types[type.empty() ? kNoExtension : type] += count;
        categories[cache.categoryForExtension(extension)] += count;
    }
    FileStatistics statistics;
    statistics.categories = sortedByCount<FileCategoryCount>(categories);
    statistics.types = sortedByCount<FileTypeCount>(types);
    return statistics;
}

} // namespace

FileStatistics FileAnalyzer::analyzeFolder(const fs::path& folder) {
    printDiagnosticLine("[FileAnalyzer] Analyzing: " + folder.string());
    const FolderAccess access(folder);
    printDiagnosticLine(std::string("[FileAnalyzer] Access granted: ") + (access.isGranted() ? "true" : "false"));

    const ExtensionTally tally = tallyFolder(folder);
    printDiagnosticLine("[FileAnalyzer] Found " + std::to_string(tally.total()) + " files.");
    return statisticsFrom(tally);
}

} // namespace foldwise
