#include "cli/SortCommand.h"

#include "cli/CommandArguments.h"
#include "cli/Console.h"
#include "cli/NameText.h"
#include "cli/OutcomeReport.h"
#include "cli/PlanReport.h"
#include "cli/ProgressLine.h"
#include "cli/RememberedChoices.h"
#include "cli/StopSignals.h"
#include "engine/FileError.h"
#include "engine/FolderAccess.h"
#include "engine/Organizer.h"

namespace foldwise {
namespace {

std::string failure(const FileError& error) {
    return RunWording(RunKind::Sort, {}, {}).failure(error.localizedDescription()).toStdString();
}

} // namespace

ExitStatus SortCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(
        QStringLiteral("sort [INPUT OUTPUT] [--by category|extension] [--if-taken leave|keep-both] [--dry-run] "
                       "[--json]"),
        QStringLiteral("Sorts the files that lie directly in INPUT into sub-folders of OUTPUT, named after each "
                       "file's category or its extension. A name already taken there is never overwritten: the "
                       "file stays, or with --if-taken keep-both moves under the first free name. Folders, mode "
                       "and choice left out are the ones the window remembers."));
    parsed.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The folder whose files are sorted."));
    parsed.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The folder the sub-folders go into."));
    const QCommandLineOption by = CommandArguments::byOption();
    const QCommandLineOption ifTaken = CommandArguments::ifTakenOption();
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Show what would be moved where, and what would stay and why, "
                                                   "without moving anything or writing to the history."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    for (const QCommandLineOption& option : {by, ifTaken, dryRun, json}) {
        parsed.addOption(option);
    }
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    const std::vector<std::string>& positional = parsed.positional(2);
    const bool useSmartCategories =
        RememberedChoices::useSmartCategories(parsed.isSet(by) ? std::optional(parsed.value(by)) : std::nullopt);
    const OnNameTaken onNameTaken =
        RememberedChoices::onNameTaken(parsed.isSet(ifTaken) ? std::optional(parsed.value(ifTaken)) : std::nullopt);
    const FolderPair folders = RememberedChoices::folders(positional, "sort");
    const bool asJson = parsed.isSet(json);
    const bool isDryRun = parsed.isSet(dryRun);

    bool madeOutput = false;
    try {
        RememberedChoices::openInput(folders.input);
        madeOutput = RememberedChoices::makeOutput(folders.output, isDryRun);
    } catch (const FileError& error) {
        Console::printProblem(failure(error));
        return ExitStatus::Failure;
    }
    if (madeOutput && !asJson) { // the JSON document says it in "madeOutput"
        Console::printError("Made the folder " + NameText::quotedName(folders.output) + ".");
    }

    if (isDryRun) {
        Plan plan;
        try {
            RunOptions options;
            options.onNameTaken = onNameTaken;
            plan = previewSort(folders.input, folders.output, useSmartCategories, options);
        } catch (const FileError& error) {
            Console::printProblem(failure(error));
            return ExitStatus::Failure;
        }
        return PlanReport(folders, useSmartCategories).print(plan, asJson);
    }

    OutcomeReport report(folders, useSmartCategories);
    report.setMadeOutput(madeOutput);
    const StopSignals stopSignals;
    ProgressLine progress(report.wording());
    RunOptions options = report.runOptions(progress, stopSignals, asJson);
    options.onNameTaken = onNameTaken;
    RunOutcome outcome;
    {
        const FolderPairAccess access(folders.input, folders.output);
        outcome = organizeFiles(folders.input, folders.output, useSmartCategories, options);
    }
    progress.clear();
    return report.print(outcome, asJson);
}

} // namespace foldwise
