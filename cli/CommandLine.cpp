#include "cli/CommandLine.h"

#include "cli/CategoriesCommand.h"
#include "cli/CommandFailure.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryCommand.h"
#include "cli/NameText.h"
#include "cli/SettingsCommand.h"
#include "cli/SortCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UndoCommand.h"
#include "cli/UsageError.h"
#include "cli/WatchCommand.h"
#include "engine/Diagnostics.h"
#include "engine/FileError.h"
#include "wording/Translations.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foldwise {
namespace {

constexpr std::string_view kSummary =
    "Usage: foldwise [COMMAND [ARGUMENTS]]\n"
    "Sorts the files of a folder into sub-folders, undoes sorts exactly, and counts files.\n";
#if FOLDWISE_HAS_WINDOW
constexpr std::string_view kWithoutCommand =
    "Without a command, opens the window, passing it the options of its toolkit (such as -platform and -style).\n";
#else
constexpr std::string_view kWithoutCommand = "This build has no window: give a command.\n";
#endif
constexpr std::string_view kHelp =
    "\n"
    "Commands:\n"
    "  sort    [INPUT OUTPUT] [--by category|extension] [--dry-run] [--json]\n"
    "  undo    [INPUT OUTPUT | --run ID] [--dry-run] [--json]\n"
    "  stats   [FOLDER] [--top N] [--sizes] [--json] [--verbose]\n"
    "  history [--limit N] [--json]\n"
    "  watch   [INPUT OUTPUT] [--by category|extension] [--settle SECONDS]\n"
    "  categories [--explain FILE…]\n"
    "  settings [--input DIR] [--output DIR] [--by category|extension]\n"
    "\n"
    "Folders and mode left out are the ones chosen in the window. The commands and the window share one\n"
    "history of sorts: a sort made here can be undone there, and the other way round. Your own categories\n"
    "are lines such as “blend = 3D Models” under [Extensions] in ~/.config/Foldwise/categories.ini.\n"
    "“foldwise COMMAND --help” tells more; “man foldwise” tells all.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Shows this help and exits.\n"
    "  -v, --version  Shows the version and exits.\n"
    "\n"
    "Exit status: 0 when the command did what it could (files that stayed because their name is taken are\n"
    "no failure), 1 when it failed or was stopped (the error is on standard error), 2 when the arguments\n"
    "are wrong (nothing is touched).\n";

// The options the window's toolkit documents (its platform and widget options, and those of X11), which it
// also takes with two dashes. They still reach the window, so that `foldwise -platform wayland` or
// `foldwise -style fusion` work as for any program built on the toolkit. Every other option is refused
// with the usage: the toolkit would drop it silently and open the window, so a mistyped option would open
// a window, or on a machine without a display fail with the toolkit's own message.
constexpr std::array<std::string_view, 15> kToolkitOptionsWithValue{
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-session",       "-style",  "-stylesheet",
    "-display",     "-geometry",           "-title",         "-icon",   "-name"};
constexpr std::array<std::string_view, 2> kToolkitFlags{"-reverse", "-widgetcount"};

// The first word that is neither an option of the toolkit nor an option's value; nothing when there is none.
std::optional<std::string_view> firstNotForToolkit(const std::vector<std::string_view>& words) {
    const auto isIn = [](const auto& names, std::string_view name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (std::size_t index = 0; index < words.size(); ++index) {
        std::string_view word = words[index];
        if (word.starts_with("--")) {
            word.remove_prefix(1);
        }
        const std::string_view name = word.substr(0, word.find('=')); // "-style=fusion" carries its value
        if (isIn(kToolkitOptionsWithValue, name)) {
            index += name.size() == word.size() ? 1 : 0;
        } else if (!isIn(kToolkitFlags, name)) {
            return words[index];
        }
    }
    return std::nullopt;
}

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
    if (name == "categories") {
        return &CategoriesCommand::run;
    }
    if (name == "settings") {
        return &SettingsCommand::run;
    }
    return nullptr;
}

ExitStatus usageError(std::string_view command, const std::string& message) {
    const std::string program = command.empty() ? "foldwise" : "foldwise " + std::string(command);
    Console::printProblem(message + "\nTry “" + program + " --help”.");
    return ExitStatus::UsageError;
}

ExitStatus run(std::string_view word, Command command, const std::vector<std::string>& arguments) {
    try {
        return command(arguments);
    } catch (const UsageError& error) {
        return usageError(word, error.what());
    } catch (const CommandFailure& error) {
        Console::printProblem(error.what());
    } catch (const FileError& error) {
        Console::printProblem(error.localizedDescription());
    } catch (const std::exception& error) {
        Console::printProblem(std::string(word) + ": " + error.what());
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
        if (!word.starts_with("-")) {
            return exitCode(usageError({}, NameText::quotedPath(std::string(word)) + " is not a command"));
        }
        const std::optional<std::string_view> refused =
            firstNotForToolkit(std::vector<std::string_view>(argv + 1, argv + argc));
        if (!refused) {
            return std::nullopt; // options of the window's toolkit: the window opens with them
        }
        const std::string refusedWord(*refused);
        return exitCode(usageError({}, refusedWord.starts_with("-")
                                           ? "unknown option " + NameText::quotedPath(refusedWord)
                                           : NameText::quotedPath(refusedWord) + " is not an option of the window"));
    }

    int applicationArgc = 1;
    QCoreApplication application(applicationArgc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Foldwise"));
    QCoreApplication::setApplicationName(QStringLiteral("Foldwise"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FOLDWISE_VERSION));
    installTranslations();
    // Standard output carries the result alone; a reader that goes away must not end a sort half-way.
    sendDiagnosticsTo(stderr);
    std::signal(SIGPIPE, SIG_IGN);

    if (isHelp) {
        Console::printText(std::string(kSummary) + std::string(kWithoutCommand) + std::string(kHelp));
        return exitCode(ExitStatus::Success);
    }
    if (isVersion) {
        Console::printLine("foldwise " FOLDWISE_VERSION);
        return exitCode(ExitStatus::Success);
    }
    CategoriesCommand::installUserCategories();
    return exitCode(run(word, command, std::vector<std::string>(argv + 2, argv + argc)));
}

int runWithoutWindow(int argc, char** argv) {
    if (const std::optional<int> status = runCommandLine(argc, argv)) {
        return *status;
    }
    Console::printError("foldwise: this build has no window; give a command, as in “foldwise sort ~/Downloads "
                        "~/Sorted”.\nTry “foldwise --help”.");
    return exitCode(ExitStatus::UsageError);
}

} // namespace foldwise
