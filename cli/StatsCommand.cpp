#include "cli/StatsCommand.h"

#include "cli/CommandArguments.h"
#include "cli/Console.h"
#include "cli/CountTable.h"
#include "cli/JsonOutput.h"
#include "cli/NameText.h"
#include "cli/RememberedChoices.h"
#include "cli/UsageError.h"
#include "engine/Descriptor.h"
#include "engine/Diagnostics.h"
#include "stats/FileAnalyzer.h"
#include "stats/SizeText.h"
#include "wording/Counts.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace foldwise {
namespace {

std::size_t topCount(const QString& text) {
    bool isNumber = false;
    const int top = text.toInt(&isNumber);
    if (!isNumber || top < 0) {
        throw UsageError("--top takes a whole number of file types (0 for all), not “" + text.toStdString() + "”");
    }
    return static_cast<std::size_t>(top);
}

// Why the folder itself cannot be read, when it cannot: the window then says "Folder Not Available".
std::optional<std::string> unavailable(const fs::path& folder) {
    const Descriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened.isOpen()) {
        return std::strerror(errno);
    }
    return std::nullopt;
}

// The size column of --sizes, or nothing without it.
std::string sizeColumn(bool withSizes, std::int64_t bytes) {
    return withSizes ? sizeText(bytes).toStdString() : std::string();
}

void printTables(const FileStatistics& statistics, const fs::path& folder, std::size_t top, bool withSizes) {
    std::int64_t files = 0;
    for (const FileCategoryCount& category : statistics.categories) {
        files += category.count();
    }
    if (files == 0) {
        Console::printLine("No Files Found: " + NameText::quotedName(folder) + " appears to be empty.");
        return;
    }
    std::string text = "Statistics for " + NameText::quotedName(folder) + ": " + Counts::files(files).toStdString() +
                       "\n\nFile Categories\n";
    CountTable categories;
    for (const FileCategoryCount& category : statistics.categories) {
        categories.add(category.category(), category.count(), sizeColumn(withSizes, category.size()));
    }
    text += categories.text();
    const std::size_t shown = top == 0 ? statistics.types.size() : std::min(top, statistics.types.size());
    text += "\nFile Types";
    if (shown < statistics.types.size()) {
        text += " (top " + Console::number(static_cast<std::int64_t>(shown)) + " of " +
                Console::number(static_cast<std::int64_t>(statistics.types.size())) + ")";
    }
    text += "\n";
    CountTable types;
    for (std::size_t index = 0; index < shown; ++index) {
        const FileTypeCount& type = statistics.types[index];
        types.add(NameText::escaped(type.type()), type.count(), sizeColumn(withSizes, type.size()));
    }
    text += types.text();
    Console::printText(text);
}

void printJson(const FileStatistics& statistics, const fs::path& folder, std::size_t top) {
    QJsonObject document{{QStringLiteral("command"), QStringLiteral("stats")}};
    JsonOutput::putName(document, QStringLiteral("folder"), folder.native());
    std::int64_t files = 0;
    QJsonArray categories;
    for (const FileCategoryCount& category : statistics.categories) {
        files += category.count();
        categories.append(QJsonObject{{QStringLiteral("category"), QString::fromStdString(category.category())},
                                      {QStringLiteral("count"), qint64(category.count())},
                                      {QStringLiteral("bytes"), qint64(category.size())}});
    }
    document.insert(QStringLiteral("files"), qint64(files));
    document.insert(QStringLiteral("categories"), categories);
    const std::size_t shown = top == 0 ? statistics.types.size() : std::min(top, statistics.types.size());
    QJsonArray types;
    for (std::size_t index = 0; index < shown; ++index) {
        QJsonObject entry{{QStringLiteral("count"), qint64(statistics.types[index].count())},
                          {QStringLiteral("bytes"), qint64(statistics.types[index].size())}};
        JsonOutput::putName(entry, QStringLiteral("type"), statistics.types[index].type());
        types.append(entry);
    }
    document.insert(QStringLiteral("types"), types);
    document.insert(QStringLiteral("typesInAll"), qint64(statistics.types.size()));
    QJsonArray unreadable;
    for (const UnreadableFolder& entry : statistics.unreadableFolders()) {
        QJsonObject item{{QStringLiteral("reason"), QString::fromStdString(entry.reason().message())}};
        JsonOutput::putName(item, QStringLiteral("path"), entry.path().native());
        unreadable.append(item);
    }
    document.insert(QStringLiteral("unreadableFolders"), unreadable);
    JsonOutput::print(document);
}

// Without the analyzer's diagnostic lines, each folder that could not be read is still worth a warning: what
// is inside it is missing from the counts.
void warnAboutUnreadableFolders(const FileStatistics& statistics) {
    for (const UnreadableFolder& entry : statistics.unreadableFolders()) {
        Console::printProblem("warning: not counted: " + NameText::quotedPath(entry.path()) +
                              " could not be read: " + entry.reason().message());
    }
}

} // namespace

ExitStatus StatsCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(QStringLiteral("stats [FOLDER] [--top N] [--sizes] [--json] [--verbose]"),
                            QStringLiteral("Counts the files below FOLDER at every depth, by category and by "
                                           "extension, as the window's statistics tab does. FOLDER left out is the "
                                           "input folder the window remembers."));
    parsed.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The folder to count."));
    const QCommandLineOption top(QStringLiteral("top"),
                                 QStringLiteral("Show the N most frequent file types (default 10; 0 shows all)."),
                                 QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption sizes(QStringLiteral("sizes"),
                                   QStringLiteral("Add up the bytes of each category and type, in a column of "
                                                  "their own (the JSON document always has them)."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Also print the analyzer's diagnostic lines on standard error."));
    parsed.addOption(top);
    parsed.addOption(sizes);
    parsed.addOption(json);
    parsed.addOption(verbose);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    const std::vector<std::string>& positional = parsed.positional(1);
    const std::size_t topTypes = topCount(parsed.value(top));
    const fs::path folder = RememberedChoices::inputFolder(positional, "stats");

    if (const std::optional<std::string> reason = unavailable(folder)) {
        Console::printProblem("Folder Not Available: " + NameText::quotedPath(folder) + ": " + *reason);
        return ExitStatus::Failure;
    }
    if (!parsed.isSet(verbose)) {
        discardDiagnostics();
    }
    const bool withSizes = parsed.isSet(sizes) || parsed.isSet(json);
    const FileStatistics statistics =
        FileAnalyzer::analyzeFolder(folder, {}, withSizes ? FileAnalyzer::Sizes::Added : FileAnalyzer::Sizes::Skipped);
    if (!parsed.isSet(verbose)) {
        warnAboutUnreadableFolders(statistics);
    }
    if (parsed.isSet(json)) {
        printJson(statistics, folder, topTypes);
    } else {
        printTables(statistics, folder, topTypes, parsed.isSet(sizes));
    }
    return ExitStatus::Success;
}

} // namespace foldwise
