#include "cli/HistoryCommand.h"

#include "cli/CommandArguments.h"
#include "cli/Console.h"
#include "cli/JsonOutput.h"
#include "cli/NameText.h"
#include "cli/UsageError.h"
#include "engine/FileError.h"
#include "engine/History.h"
#include "engine/SortMode.h"
#include "wording/HistoryWording.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <system_error>

namespace foldwise {
namespace {

std::int64_t limitOf(const QString& text) {
    bool isNumber = false;
    const qlonglong limit = text.toLongLong(&isNumber);
    if (!isNumber || limit < 1) {
        throw UsageError("--limit takes a whole number of runs, at least 1, not “" + text.toStdString() + "”");
    }
    return limit;
}

std::string modeOf(const History::Run& run) {
    if (!run.useSmartCategories) {
        return "-";
    }
    return std::string(sortModeKey(sortModeOf(*run.useSmartCategories)));
}

std::string padded(const std::string& text, std::size_t width, bool alignRight) {
    const std::size_t columns = NameText::columns(text);
    const std::string padding(width > columns ? width - columns : 0, ' ');
    return alignRight ? padding + text : text + padding;
}

void printTable(const std::vector<History::Run>& runs) {
    std::vector<std::vector<std::string>> rows{{"Id", "When", "Kind", "Mode", "Moved", "Stayed", "Result", "Folders"}};
    for (const History::Run& run : runs) {
        rows.push_back({std::to_string(run.id),
                        QDateTime::fromMSecsSinceEpoch(run.startedMs)
                            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                            .toStdString(),
                        std::string(runKindKey(run.kind)), modeOf(run), Console::number(run.counts.moved),
                        Console::number(HistoryWording::stayed(run)), run.state + (run.undone ? ", undone" : ""),
                        NameText::quotedPath(run.input) + " → " + NameText::quotedPath(run.output)});
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], NameText::columns(row[column]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const bool isCount = column == 0 || column == 4 || column == 5;
            line += column + 1 == row.size() ? row[column] : padded(row[column], widths[column], isCount) + "  ";
        }
        text += line + "\n";
    }
    Console::printText(text);
}

QJsonObject jsonOf(const History::Run& run) {
    QJsonObject entry{
        {QStringLiteral("id"), qint64(run.id)},
        {QStringLiteral("kind"), QString::fromLatin1(runKindKey(run.kind))},
        {QStringLiteral("started"), QDateTime::fromMSecsSinceEpoch(run.startedMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {QStringLiteral("startedMs"), qint64(run.startedMs)},
        {QStringLiteral("mode"),
         run.useSmartCategories ? QJsonValue(QString::fromStdString(modeOf(run))) : QJsonValue()},
        {QStringLiteral("state"), QString::fromStdString(run.state)},
        {QStringLiteral("moved"), qint64(run.counts.moved)},
        {QStringLiteral("nameTaken"), qint64(run.counts.nameTaken)},
        {QStringLiteral("notRegular"), qint64(run.counts.notRegular)},
        {QStringLiteral("vanished"), qint64(run.counts.vanished)},
        {QStringLiteral("gone"), qint64(run.counts.gone)},
        {QStringLiteral("notReached"), qint64(run.counts.notReached)},
        {QStringLiteral("failure"), run.counts.failure
                                        ? QJsonValue(QString::fromStdString(run.counts.failure->localizedDescription()))
                                        : QJsonValue()},
        {QStringLiteral("undone"), run.undone},
    };
    JsonOutput::putName(entry, QStringLiteral("input"), run.input.native());
    JsonOutput::putName(entry, QStringLiteral("output"), run.output.native());
    return entry;
}

} // namespace

ExitStatus HistoryCommand::run(const std::vector<std::string>& arguments) {
    CommandArguments parsed(QStringLiteral("history [--limit N] [--json]"),
                            QStringLiteral("Lists the sorts and undos on record, the window's and the command "
                                           "line's alike, newest first: id, when, kind, mode, counts, result "
                                           "and folders, and whether a sort has been undone. The id of a sort "
                                           "is what “foldwise undo” takes to undo that sort alone."));
    const QCommandLineOption limit(QStringLiteral("limit"),
                                   QStringLiteral("Show at most the N newest runs (default 20)."), QStringLiteral("N"),
                                   QStringLiteral("20"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON document."));
    parsed.addOption(limit);
    parsed.addOption(json);
    if (!parsed.parse(arguments)) {
        return ExitStatus::Success;
    }
    parsed.positional(0);
    const std::int64_t most = limitOf(parsed.value(limit));

    std::vector<History::Run> runs;
    std::error_code ignored;
    if (fs::exists(History::defaultFile(), ignored)) { // no history yet: none is made just to be read
        try {
            runs = History().runs(most);
        } catch (const FileError& error) {
            Console::printProblem(error.localizedDescription());
            return ExitStatus::Failure;
        }
    }
    if (parsed.isSet(json)) {
        QJsonArray entries;
        for (const History::Run& run : runs) {
            entries.append(jsonOf(run));
        }
        JsonOutput::print(
            QJsonObject{{QStringLiteral("command"), QStringLiteral("history")}, {QStringLiteral("runs"), entries}});
    } else if (runs.empty()) {
        Console::printLine("No sorts on record yet.");
    } else {
        printTable(runs);
    }
    return ExitStatus::Success;
}

} // namespace foldwise
