#pragma once

#include "cli/ExitStatus.h"
#include "cli/ProgressLine.h"
#include "cli/RememberedChoices.h"
#include "cli/StopSignals.h"
#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"
#include "wording/RunWording.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QJsonObject;

namespace foldwise {

// What a sort or an undo did, said in the window's words: one summary line on standard output (or one
// JSON document), and the failure on standard error.
class OutcomeReport {
public:
    // `useSmartCategories` for a sort; nothing for an undo.
    OutcomeReport(const FolderPair& folders, std::optional<bool> useSmartCategories);

    // The options of a run this reports on: its progress on `progress`, a wait for another run said on
    // standard error, stopped by `stop`, and with `asJson` every file moved or left noted for the JSON
    // document, with the name it was moved under and whether its namesake is identical.
    RunOptions runOptions(ProgressLine& progress, const StopSignals& stop, bool asJson);
    // Whether the command made the output folder before the run, for the JSON document ("madeOutput").
    void setMadeOutput(bool madeOutput) { madeOutput_ = madeOutput; }

    // Prints the outcome and returns the exit status: Failure when the run failed or was stopped.
    ExitStatus print(const RunOutcome& outcome, bool asJson) const;

    // The sentences of the run this reports on.
    RunWording wording() const;

private:
    bool isSort() const { return useSmartCategories_.has_value(); }
    QJsonObject json(const RunOutcome& outcome) const;
    // `"identical": true` on the entry of a file whose namesake is identical; nothing on the others.
    void putIdentical(QJsonObject& entry, const std::string& subFolder, const std::string& name) const;

    struct MovedFile {
        std::string name;
        std::string subFolder;
    };
    struct StayedFile {
        std::string name;
        std::string subFolder;
        StayReason reason;
    };
    FolderPair folders_;
    std::optional<bool> useSmartCategories_;
    bool madeOutput_ = false;
    std::vector<MovedFile> moved_;
    std::vector<StayedFile> stayed_;
    // By sub-folder and name: the names files were moved under, and the files whose namesake is identical.
    std::map<std::pair<std::string, std::string>, std::string> newNames_;
    std::set<std::pair<std::string, std::string>> identical_;
};

} // namespace foldwise
