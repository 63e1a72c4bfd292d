#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise sort [INPUT OUTPUT] [--by category|extension] [--dry-run] [--json]
class SortCommand {
public:
    SortCommand() = delete;

    // `arguments`: argv after the word "sort". Throws UsageError and CommandFailure.
    static ExitStatus run(const std::vector<std::string>& arguments);
};

} // namespace foldwise
