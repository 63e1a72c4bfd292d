#pragma once

#include "engine/MoveControl.h"
#include "engine/RunOptions.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace foldwise {

// Passes a run's progress to its caller: after the first file, then at most every 50 ms, and once at
// the end.
class ProgressReporter {
public:
    ProgressReporter(const RunOptions& options, std::int64_t filesTotal);

    bool stopRequested() const { return options_.stop.stop_requested(); }

    // The control for moving `name`: the run's stop, and its copy's bytes reported as progress.
    MoveControl controlFor(const std::string& name);

    void fileDone();
    void finish();

private:
    void report(bool always);

    const RunOptions& options_;
    RunProgress progress_;
    std::chrono::steady_clock::time_point lastReport_{}; // long ago: the first file is reported at once
};

} // namespace foldwise
