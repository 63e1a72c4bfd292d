#include "cli/WatchCommand.h"

#include "cli/CommandArguments.h"
#include "cli/Console.h"
#include "cli/NameText.h"
#include "cli/RememberedChoices.h"
#include "cli/StopSignals.h"
#include "cli/UsageError.h"
#include "cli/WatchLoop.h"

#include <chrono>
#include <cmath>

namespace foldwise {
namespace {

std::chrono::milliseconds settleTime(const QString& text) {
    bool isNumber = false;
    const double seconds = text.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(seconds) || seconds < 0 || seconds > 86400) {
        throw UsageError("--settle takes a number of seconds from 0 to 86400, not “" + text.toStdString() + "”");
    }
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

} // namespace

ExitStatus WatchCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(
        QStringLiteral(
            "watch [INPUT OUTPUT] [--by category|extension] [--if-taken leave|keep-both] [--settle SECONDS]"),
        QStringLiteral("Sorts the files of INPUT into OUTPUT as they arrive, and those already there at the "
                       "start. A file is sorted once it has not changed for the settle time and no program has it "
                       "open for writing; names of unfinished downloads (.part, .crdownload, .download, .tmp, "
                       "~$…) wait until they are renamed. One line per moved file goes to standard output. Runs "
                       "until SIGINT or SIGTERM. Folders and mode left out are the ones the window remembers."));
    parsed.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The folder to watch."));
    parsed.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The folder the sub-folders go into."));
    const QCommandLineOption by = CommandArguments::byOption();
    const QCommandLineOption ifTaken = CommandArguments::ifTakenOption();
    const QCommandLineOption settle(QStringLiteral("settle"),
                                    QStringLiteral("Sort a file once it has not changed for SECONDS (default 2)."),
                                    QStringLiteral("SECONDS"), QStringLiteral("2"));
    parsed.addOption(by);
    parsed.addOption(ifTaken);
    parsed.addOption(settle);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    const std::vector<std::string>& positional = parsed.positional(2);
    const std::chrono::milliseconds settleFor = settleTime(parsed.value(settle));
    const bool useSmartCategories =
        RememberedChoices::useSmartCategories(parsed.isSet(by) ? std::optional(parsed.value(by)) : std::nullopt);
    const OnNameTaken onNameTaken =
        RememberedChoices::onNameTaken(parsed.isSet(ifTaken) ? std::optional(parsed.value(ifTaken)) : std::nullopt);
    const FolderPair folders = RememberedChoices::folders(positional, "watch");
    RememberedChoices::openInput(folders.input);
    if (RememberedChoices::makeOutput(folders.output, false)) {
        Console::printError("Made the folder " + NameText::quotedName(folders.output) + ".");
    }

    const StopSignals stopSignals;
    WatchLoop(folders, useSmartCategories, onNameTaken, settleFor, stopSignals.token()).run();
    return ExitStatus::Success;
}

} // namespace foldwise
