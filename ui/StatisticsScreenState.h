#pragma once

#include "stats/FileStatistics.h"

#include <optional>

namespace foldwise {

// What the statistics screen shows: exactly one of these at a time.
enum class StatisticsScreenState { NoFolder, Empty, Results, Loading, Unavailable, NoData };

// A folder must be chosen first; then a result, once there is one, stays on screen even while a
// newer analysis of the same folder runs, so the progress indicator shows only before the first
// result. A folder that could not be opened says so once its analysis has ended.
inline StatisticsScreenState statisticsScreenState(bool hasFolder, const std::optional<FileStatistics>& statistics,
                                                   bool isLoading, bool isUnavailable = false) {
    if (!hasFolder) {
        return StatisticsScreenState::NoFolder;
    }
    if (statistics) {
        const bool nothingCounted = statistics->categories.empty() && statistics->types.empty();
        return nothingCounted ? StatisticsScreenState::Empty : StatisticsScreenState::Results;
    }
    if (isLoading) {
        return StatisticsScreenState::Loading;
    }
    return isUnavailable ? StatisticsScreenState::Unavailable : StatisticsScreenState::NoData;
}

} // namespace foldwise
