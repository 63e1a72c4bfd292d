#include "engine/Plan.h"

#include <algorithm>
#include <map>

namespace foldwise {

std::int64_t Plan::count(Verdict verdict) const {
    return std::count_if(files.begin(), files.end(), [verdict](const File& file) { return file.verdict == verdict; });
}

std::vector<std::pair<std::string, std::int64_t>> Plan::subFolderCounts() const {
    std::map<std::string, std::int64_t> counts;
    for (const File& file : files) {
        if (file.verdict == Verdict::Move) {
            ++counts[file.subFolder];
        }
    }
    std::vector<std::pair<std::string, std::int64_t>> mostFirst(counts.begin(), counts.end());
    std::stable_sort(mostFirst.begin(), mostFirst.end(),
                     [](const auto& one, const auto& other) { return one.second > other.second; });
    return mostFirst;
}

} // namespace foldwise
