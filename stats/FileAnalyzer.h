#pragma once

#include "stats/FileStatistics.h"

#include <filesystem>
#include <stop_token>

namespace foldwise {
namespace fs = std::filesystem;

// Counts the files below a folder by lowercased extension and by category, adding up their sizes if asked.
class FileAnalyzer {
public:
    FileAnalyzer() = delete;

    // Whether the records' sizes are added up. Sizes cost one more system call per file, several times
    // what counting costs, so callers that show no sizes leave them out (the records' sizes are then 0).
    enum class Sizes { Skipped, Added };

    // Walks `folder` at every depth, leaving out hidden entries and package contents and judging
    // links by their target. Never fails: what cannot be read is not counted, and each folder that
    // could not be read is named in the result. Writes three diagnostic lines to standard output, and
    // before the last one a line for each folder that could not be read. Safe to call from any thread.
    static FileStatistics analyzeFolder(const fs::path& folder);
    // The same, ending soon once `stop` is requested, with what was counted until then and a last
    // line "[FileAnalyzer] Stopped after N files." instead of the count.
    static FileStatistics analyzeFolder(const fs::path& folder, std::stop_token stop, Sizes sizes = Sizes::Skipped);
};

} // namespace foldwise
