#pragma once

#include "stats/FileStatistics.h"

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Counts the files below a folder by lowercased extension and by category.
class FileAnalyzer {
public:
    FileAnalyzer() = delete;

    // Walks `folder` at every depth, leaving out hidden entries and package contents and judging
    // links by their target. Never fails: what cannot be read is not counted, and each folder that
    // could not be read is named in the result. Writes three diagnostic lines to standard output, and
    // before the last one a line for each folder that could not be read. Safe to call from any thread.
    static FileStatistics analyzeFolder(const fs::path& folder);
};

} // namespace foldwise
