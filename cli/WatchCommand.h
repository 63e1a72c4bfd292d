#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise watch [INPUT OUTPUT] [--by category|extension] [--settle SECONDS]
class WatchCommand {
public:
    WatchCommand() = delete;

    // `arguments`: argv after the word "watch". Runs until SIGINT or SIGTERM. Throws UsageError and
    // CommandFailure.
    static ExitStatus run(const std::vector<std::string>& arguments);
};

} // namespace foldwise
