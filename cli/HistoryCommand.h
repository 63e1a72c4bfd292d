#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise history [--limit N] [--json]
class HistoryCommand {
public:
    HistoryCommand() = delete;

    // `arguments`: argv after the word "history". Throws UsageError.
    static ExitStatus run(const std::vector<std::string>& arguments);
};

} // namespace foldwise
