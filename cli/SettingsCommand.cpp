#include "cli/SettingsCommand.h"

#include "cli/CommandArguments.h"
#include "cli/CommandFailure.h"
#include "cli/Console.h"
#include "cli/NameText.h"
#include "cli/RememberedChoices.h"
#include "cli/UsageError.h"
#include "engine/FileError.h"
#include "engine/FolderAccess.h"
#include "engine/History.h"
#include "prefs/Bookmarks.h"
#include "prefs/FolderBookmarks.h"
#include "prefs/Preferences.h"

#include <QFile>

#include <optional>

namespace foldwise {
namespace {

// The bookmark of the folder an option names, made as the window makes it when a folder is picked; throws
// UsageError, naming the option, when the folder cannot be used.
QByteArray bookmarkOf(const QString& given, const char* option) {
    if (given.isEmpty()) {
        throw UsageError(std::string(option) + " is empty: give the path of a folder (“.” is the current one)");
    }
    const fs::path folder = History::recordedPath(QFile::encodeName(given).toStdString());
    try {
        const FolderAccess access(folder);
        if (!access.isGranted()) {
            throw UsageError(std::string(option) + ": " + NameText::quotedPath(folder) +
                             " is not a folder that can be read and entered");
        }
        return Bookmarks::create(folder);
    } catch (const FileError& error) {
        throw UsageError(std::string(option) + ": " + error.localizedDescription());
    }
}

std::string shown(const std::optional<QByteArray>& bookmark) {
    if (!bookmark) {
        return "not chosen";
    }
    const std::optional<fs::path> folder = resolveBookmark(*bookmark); // says why on standard error
    return folder ? NameText::quotedPath(*folder) : "cannot be found (see above)";
}

void store(bool isStored, const Preferences& preferences) {
    if (!isStored) {
        throw CommandFailure("❌ Could not write the preferences file “" + preferences.fileName().toStdString() + "”.");
    }
}

} // namespace

ExitStatus SettingsCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(QStringLiteral("settings [--input DIR] [--output DIR] [--by category|extension]"),
                            QStringLiteral("Shows the input folder, output folder and mode the window remembers, "
                                           "which the commands use when they are left out, after setting those "
                                           "given, as the window's Settings do. Nothing changes when one of "
                                           "them is wrong."));
    const QCommandLineOption input(QStringLiteral("input"), QStringLiteral("Remember DIR as the input folder."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("Remember DIR as the output folder."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption by = CommandArguments::byOption();
    parsed.addOption(input);
    parsed.addOption(output);
    parsed.addOption(by);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    parsed.positional(0);

    // Everything is checked before anything is stored.
    std::optional<bool> useSmartCategories;
    if (parsed.isSet(by)) {
        useSmartCategories = RememberedChoices::useSmartCategories(parsed.value(by));
    }
    std::optional<QByteArray> inputBookmark;
    if (parsed.isSet(input)) {
        inputBookmark = bookmarkOf(parsed.value(input), "--input");
    }
    std::optional<QByteArray> outputBookmark;
    if (parsed.isSet(output)) {
        outputBookmark = bookmarkOf(parsed.value(output), "--output");
    }

    Preferences& preferences = Preferences::shared();
    if (inputBookmark) {
        store(preferences.setInputFolderBookmark(*inputBookmark), preferences);
    }
    if (outputBookmark) {
        store(preferences.setOutputFolderBookmark(*outputBookmark), preferences);
    }
    if (useSmartCategories) {
        store(preferences.setUseSmartCategories(*useSmartCategories), preferences);
    }

    Console::printText("Input folder:  " + shown(preferences.inputFolderBookmark()) + "\n" +
                       "Output folder: " + shown(preferences.outputFolderBookmark()) + "\n" +
                       "Mode:          " + (preferences.useSmartCategories() ? "category" : "extension") + "\n");
    return ExitStatus::Success;
}

} // namespace foldwise
