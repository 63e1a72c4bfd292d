#include "cli/StatsCommand.h"

#include "cli/CommandArguments.h"
#include "cli/Console.h"
#include "cli/CountTable.h"
#include "cli/JsonOutput.h"
#include "cli/NameText.h"
#include "cli/RememberedChoices.h"
#include "cli/UsageError.h"
#include "engine/Descriptor.h"
#include "stats/FileAnalyzer.h"

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

void printTables(const FileStatistics& statistics, const fs::path& folder, std::size_t top) {
    std::int64_t files = 0;
    for (const FileCategoryCount& category : statistics.categories) {
        files += category.count();
    }
    if (files == 0) {
        Console::printLine("No Files Found: " + NameText::quotedName(folder) + " appears to be empty.");
        return;
    }
    std::string text = "Statistics for " + NameText::quotedName(folder) + ": " +
                       Console::counted(files, "file", "files") + "\n\nFile Categories\n";
    CountTable categories;
    for (const FileCategoryCount& category : statistics.categories) {
        categories.add(category.category(), category.count());
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
        types.add(NameText::escaped(statistics.types[index].type()), statistics.types[index].count());
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
                                      {QStringLiteral("count"), qint64(category.count())}});
    }
    document.insert(QStringLiteral("files"), qint64(files));
    document.insert(QStringLiteral("categories"), categories);
    const std::size_t shown = top == 0 ? statistics.types.size() : std::min(top, statistics.types.size());
    QJsonArray types;
    for (std::size_t index = 0; index < shown; ++index) {
        QJsonObject entry{{QStringLiteral("count"), qint64(statistics.types[index].count())}};
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

} // namespace

ExitStatus StatsCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(QStringLiteral("stats [FOLDER] [--top N] [--json]"),
                            QStringLiteral("Counts the files below FOLDER at every depth, by category and by "
                                           "extension, as the window's statistics tab does. FOLDER left out is the "
                                           "input folder the window remembers."));
    parsed.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The folder to count."));
    const QCommandLineOption top(QStringLiteral("top"),
                                 QStringLiteral("Show the N most frequent file types (default 10; 0 shows all)."),
                                 QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    parsed.addOption(top);
    parsed.addOption(json);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    const std::vector<std::string>& positional = parsed.positional(1);
    const std::size_t topTypes = topCount(parsed.value(top));
    const fs::path folder = RememberedChoices::inputFolder(positional, "stats");

    if (const std::optional<std::string> reason = unavailable(folder)) {
        Console::printError("❌ Folder Not Available: " + NameText::quotedPath(folder) + ": " + *reason);
        return ExitStatus::Failure;
    }
    const FileStatistics statistics = FileAnalyzer::analyzeFolder(folder);
    if (parsed.isSet(json)) {
        printJson(statistics, folder, topTypes);
    } else {
        printTables(statistics, folder, topTypes);
    }
    return ExitStatus::Success;
}

} // namespace foldwise
