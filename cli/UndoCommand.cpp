#include "cli/UndoCommand.h"

#include "cli/CommandArguments.h"
#include "cli/Console.h"
#include "cli/OutcomeReport.h"
#include "cli/PlanReport.h"
#include "cli/ProgressLine.h"
#include "cli/RememberedChoices.h"
#include "cli/StopSignals.h"
#include "engine/FileError.h"
#include "engine/History.h"
#include "engine/Reverter.h"

#include <system_error>

namespace foldwise {
namespace {

std::string failure(const FileError& error) {
    return RunWording(RunKind::Undo, {}, {}).failure(error.localizedDescription()).toStdString();
}

} // namespace

ExitStatus UndoCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(
        QStringLiteral("undo [INPUT OUTPUT] [--dry-run] [--json]"),
        QStringLiteral("Undoes the sorts from INPUT into OUTPUT that the history holds, the window's and the "
                       "command line's alike: each file still where its sort put it goes back, never replacing "
                       "what is there, and the sub-folders those sorts made are removed once empty. Folders left "
                       "out are the ones the window remembers."));
    parsed.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The folder the files were sorted from."));
    parsed.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The folder they were sorted into."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Show what would move back, and what would stay and why, without "
                                                   "moving anything or writing to the history."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    parsed.addOption(dryRun);
    parsed.addOption(json);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    const FolderPair folders = RememberedChoices::folders(parsed.positional(2), "undo");
    const bool asJson = parsed.isSet(json);
    try {
        RememberedChoices::openInput(folders.input);
    } catch (const FileError& error) {
        Console::printProblem(failure(error));
        return ExitStatus::Failure;
    }

    // With no history yet there is nothing on record, and no reason to make an empty history.
    std::error_code ignored;
    const bool hasHistory = fs::exists(History::defaultFile(), ignored);

    if (parsed.isSet(dryRun)) {
        Plan plan;
        plan.nothingOnRecord = true;
        try {
            if (hasHistory) {
                plan = previewUndo(folders.input, folders.output, {});
            }
        } catch (const FileError& error) {
            Console::printProblem(failure(error));
            return ExitStatus::Failure;
        }
        return PlanReport(folders, std::nullopt).print(plan, asJson);
    }

    OutcomeReport report(folders, std::nullopt);
    if (!hasHistory) {
        RunOutcome nothing;
        nothing.nothingOnRecord = true;
        return report.print(nothing, asJson);
    }
    const StopSignals stopSignals;
    ProgressLine progress(report.wording());
    const RunOptions options = report.runOptions(progress, stopSignals, asJson);
    const RunOutcome outcome = revertFiles(folders.input, folders.output, options);
    progress.clear();
    return report.print(outcome, asJson);
}

} // namespace foldwise
