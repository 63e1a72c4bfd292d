#include "cli/CommandLine.h"

#include "cli/CommandFailure.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryCommand.h"
#include "cli/SortCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UndoCommand.h"
#include "cli/UsageError.h"
#include "cli/WatchCommand.h"
#include "engine/Diagnostics.h"
#include "engine/FileError.h"

#include <QCoreApplication>

#include <csignal>
#include <string>
#include <string_view>
#include <vector>

namespace foldwise {
namespace {

constexpr std::string_view kHelp =
    "Usage: foldwise [COMMAND [ARGUMENTS]]\n"
    "Sorts the files of a folder into sub-folders, undoes sorts exactly, and counts files. Without a command,\n"
    "opens the window.\n"
    "\n"
    "Commands:\n"
    "  sort    [INPUT OUTPUT] [--by category|extension] [--dry-run] [--json]\n"
    "  undo    [INPUT OUTPUT] [--dry-run] [--json]\n"
    "  stats   [FOLDER] [--top N] [--json]\n"
    "  history [--limit N] [--json]\n"
    "  watch   [INPUT OUTPUT] [--by category|extension] [--settle SECONDS]\n"
    "\n"
    "Folders and mode left out are the ones chosen in the window. The commands and the window share one\n"
    "history of sorts: a sort made here can be undone there, and the other way round.\n"
    "“foldwise COMMAND --help” tells more; “man foldwise” tells all.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Shows this help and exits.\n"
    "  -v, --version  Shows the version and exits.\n"
    "\n"
    "Exit status: 0 when the command did what it could (files that stayed because their name is taken are\n"
    "no failure), 1 when it failed or was stopped (the error is on standard error), 2 when the arguments\n"
    "are wrong (nothing is touched).\n";

using Command = ExitStatus (*)(const std::vector<std::string>&);

Command commandNamed(std::string_view name) {
    if (name == "sort") {
        return &SortCommand::run;
    }
    if (name == "undo") {
        return &UndoCommand::run;
    }
    if (name == "stats") {
        return &StatsCommand::run;
    }
    if (name == "history") {
        return &HistoryCommand::run;
    }
    if (name == "watch") {
        return &WatchCommand::run;
    }
    return nullptr;
}

ExitStatus usageError(std::string_view command, const std::string& message) {
    const std::string program = command.empty() ? "foldwise" : "foldwise " + std::string(command);
    Console::printError(program + ": " + message + "\nTry “" + program + " --help”.");
    return ExitStatus::UsageError;
}

ExitStatus run(std::string_view word, Command command, const std::vector<std::string>& arguments) {
    try {
        return command(arguments);
    } catch (const UsageError& error) {
        return usageError(word, error.what());
    } catch (const CommandFailure& error) {
        Console::printError(error.what());
    } catch (const FileError& error) {
        Console::printError("❌ " + error.localizedDescription());
    } catch (const std::exception& error) {
        Console::printError("foldwise " + std::string(word) + ": " + error.what());
    }
    return ExitStatus::Failure;
}

} // namespace

std::optional<int> runCommandLine(int argc, char** argv) {
    if (argc < 2) {
        return std::nullopt;
    }
    const std::string_view word = argv[1];
    const bool isHelp = word == "-h" || word == "--help";
    const bool isVersion = word == "-v" || word == "--version";
    const Command command = commandNamed(word);
    if (command == nullptr && !isHelp && !isVersion) {
        if (word.starts_with("-")) {
            return std::nullopt; // an option of the window's toolkit
        }
        return exitCode(usageError({}, "“" + std::string(word) + "” is not a command"));
    }

    int applicationArgc = 1;
    QCoreApplication application(applicationArgc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Foldwise"));
    QCoreApplication::setApplicationName(QStringLiteral("Foldwise"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FOLDWISE_VERSION));
    // Standard output carries the result alone; a reader that goes away must not end a sort half-way.
    sendDiagnosticsTo(stderr);
    std::signal(SIGPIPE, SIG_IGN);

    if (isHelp) {
        Console::printText(kHelp);
        return exitCode(ExitStatus::Success);
    }
    if (isVersion) {
        Console::printLine("foldwise " FOLDWISE_VERSION);
        return exitCode(ExitStatus::Success);
    }
    return exitCode(run(word, command, std::vector<std::string>(argv + 2, argv + argc)));
}

} // namespace foldwise
