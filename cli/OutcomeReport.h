#pragma once

#include "cli/ExitStatus.h"
#include "cli/RememberedChoices.h"
#include "engine/RunOutcome.h"

#include <optional>
#include <string>
#include <vector>

class QJsonObject;

namespace foldwise {

// What a sort or an undo did, said in the window's words: one summary line on standard output (or one
// JSON document), and the failure on standard error.
class OutcomeReport {
public:
    // `useSmartCategories` for a sort; nothing for an undo.
    OutcomeReport(const FolderPair& folders, std::optional<bool> useSmartCategories);

    // For RunOptions::moved: the JSON document lists every file moved.
    void noteMoved(const std::string& name, const std::string& subFolder);

    // Prints the outcome and returns the exit status: Failure when the run failed or was stopped.
    ExitStatus print(const RunOutcome& outcome, bool asJson) const;

    static std::string sortSummary(const RunOutcome& outcome, const FolderPair& folders);
    static std::string undoSummary(const RunOutcome& outcome, const FolderPair& folders);
    static std::string nothingToUndo(const FolderPair& folders);

private:
    bool isSort() const { return useSmartCategories_.has_value(); }
    QJsonObject json(const RunOutcome& outcome) const;

    struct MovedFile {
        std::string name;
        std::string subFolder;
    };
    FolderPair folders_;
    std::optional<bool> useSmartCategories_;
    std::vector<MovedFile> moved_;
};

} // namespace foldwise
