#pragma once

#include "cli/ExitStatus.h"
#include "cli/RememberedChoices.h"
#include "engine/Plan.h"
#include "wording/PlanWording.h"

#include <optional>

namespace foldwise {

// What a dry run found: each sub-folder with the number of files that would go into it (or come back from
// it), and the names that would stay and why; or one JSON document listing every file with its verdict.
class PlanReport {
public:
    // `useSmartCategories` for a sort's plan; nothing for an undo's.
    PlanReport(const FolderPair& folders, std::optional<bool> useSmartCategories);

    // Prints the plan and returns the exit status: Failure when the run would stop at a failure.
    ExitStatus print(const Plan& plan, bool asJson) const;

private:
    bool isSort() const { return useSmartCategories_.has_value(); }
    PlanWording wording() const;
    void printText(const Plan& plan) const;
    void printJson(const Plan& plan) const;

    FolderPair folders_;
    std::optional<bool> useSmartCategories_;
};

} // namespace foldwise
