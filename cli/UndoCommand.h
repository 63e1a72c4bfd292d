#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise undo [INPUT OUTPUT | --run ID] [--dry-run] [--json]
class UndoCommand {
public:
    UndoCommand() = delete;

    // `arguments`: argv after the word "undo". Throws UsageError and CommandFailure.
    static ExitStatus run(const std::vector<std::string>& arguments);
};

} // namespace foldwise
