#include "cli/UndoCommand.h"

#include "cli/CommandArguments.h"
#include "cli/CommandFailure.h"
#include "cli/Console.h"
#include "cli/OutcomeReport.h"
#include "cli/PlanReport.h"
#include "cli/ProgressLine.h"
#include "cli/RememberedChoices.h"
#include "cli/StopSignals.h"
#include "cli/UsageError.h"
#include "engine/FileError.h"
#include "engine/History.h"
#include "engine/Reverter.h"

#include <system_error>

namespace foldwise {
namespace {

std::string failure(const FileError& error) {
    return RunWording(RunKind::Undo, {}, {}).failure(error.localizedDescription()).toStdString();
}

std::int64_t runIdOf(const QString& text) {
    bool isNumber = false;
    const qlonglong id = text.toLongLong(&isNumber);
    if (!isNumber || id < 1) {
        throw UsageError("--run takes the id of a sort, as “foldwise history” shows it, not “" + text.toStdString() +
                         "”");
    }
    return id;
}

// The folders of the sort `id`, from the history; throws CommandFailure when it holds no such sort.
FolderPair foldersOfSort(std::int64_t id, bool hasHistory) {
    std::optional<History::Run> run;
    if (hasHistory) {
        run = History().run(id);
    }
    if (!run || run->kind != RunKind::Sort) {
        throw CommandFailure("No sort with id " + std::to_string(id) +
                             " is on record (“foldwise history” shows the ids)");
    }
    return FolderPair{run->input, run->output};
}

} // namespace

ExitStatus UndoCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(
        QStringLiteral("undo [INPUT OUTPUT | --run ID] [--dry-run] [--json]"),
        QStringLiteral("Undoes the sorts from INPUT into OUTPUT that the history holds, the window's and the "
                       "command line's alike: each file still where its sort put it goes back, never replacing "
                       "what is there, and the sub-folders those sorts made are removed once empty. Folders left "
                       "out are the ones the window remembers. With --run, only that one sort is undone."));
    parsed.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The folder the files were sorted from."));
    parsed.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The folder they were sorted into."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Show what would move back, and what would stay and why, without "
                                                   "moving anything or writing to the history."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    const QCommandLineOption onlyRun(QStringLiteral("run"),
                                     QStringLiteral("Undo only the sort with this id (see “foldwise history”), from "
                                                    "its own folders, even when newer sorts of them are on record: "
                                                    "a name they took makes its file stay."),
                                     QStringLiteral("ID"));
    parsed.addOption(dryRun);
    parsed.addOption(json);
    parsed.addOption(onlyRun);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    const bool asJson = parsed.isSet(json);
    // With no history yet there is nothing on record, and no reason to make an empty history.
    std::error_code ignored;
    const bool hasHistory = fs::exists(History::defaultFile(), ignored);
    RunOptions undoOptions;
    FolderPair folders;
    if (parsed.isSet(onlyRun)) {
        parsed.positional(0);
        undoOptions.onlySort = runIdOf(parsed.value(onlyRun));
        folders = foldersOfSort(undoOptions.onlySort, hasHistory);
    } else {
        folders = RememberedChoices::folders(parsed.positional(2), "undo");
    }
    try {
        RememberedChoices::openInput(folders.input);
    } catch (const FileError& error) {
        Console::printProblem(failure(error));
        return ExitStatus::Failure;
    }

    if (parsed.isSet(dryRun)) {
        Plan plan;
        plan.nothingOnRecord = true;
        try {
            if (hasHistory) {
                plan = previewUndo(folders.input, folders.output, undoOptions);
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
    RunOptions options = report.runOptions(progress, stopSignals, asJson);
    options.onlySort = undoOptions.onlySort;
    const RunOutcome outcome = revertFiles(folders.input, folders.output, options);
    progress.clear();
    return report.print(outcome, asJson);
}

} // namespace foldwise
