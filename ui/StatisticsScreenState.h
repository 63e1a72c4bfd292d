#pragma once

#include "stats/FileStatistics.h"

#include <optional>

namespace foldwise {

// What the statistics screen shows: exactly one of these at a time.
enum class StatisticsScreenState { NoFolder, Empty, Results, Loading, NoData };

// A folder must be chosen first; then a result, once there is one, stays on screen even while a
// newer analysis runs, so the progress indicator shows only before the first result.
inline StatisticsScreenState statisticsScreenState(bool hasFolder, const std::optional<FileStatistics>& statistics,
                                                   bool isLoading) {
    if (!hasFolder) {
        return StatisticsScreenState::NoFolder;
    }
    if (statistics) {
        const bool nothingCounted = statistics->categories.empty() && statistics->types.empty();
        return nothingCounted ? StatisticsScreenState::Empty : StatisticsScreenState::Results;
    }
    return isLoading ? StatisticsScreenState::Loading : StatisticsScreenState::NoData;
}

} // namespace foldwise
