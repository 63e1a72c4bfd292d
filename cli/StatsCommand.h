#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise stats [FOLDER] [--top N] [--sizes] [--json] [--verbose]
class StatsCommand {
public:
    StatsCommand() = delete;

    // `arguments`: argv after the word "stats". Throws UsageError and CommandFailure.
    static ExitStatus run(const std::vector<std::string>& arguments);
};

} // namespace foldwise
