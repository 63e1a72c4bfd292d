#include "cli/PlanReport.h"

#include "cli/Console.h"
#include "cli/CountTable.h"
#include "cli/JsonOutput.h"
#include "cli/NameText.h"
#include "cli/OutcomeReport.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <map>

namespace foldwise {
namespace {

QString verdictName(Plan::Verdict verdict) {
    switch (verdict) {
    case Plan::Verdict::Move:
        return QStringLiteral("move");
    case Plan::Verdict::NameTaken:
        return QStringLiteral("nameTaken");
    case Plan::Verdict::NotRegular:
        return QStringLiteral("notRegular");
    case Plan::Verdict::NameRefused:
        return QStringLiteral("nameRefused");
    case Plan::Verdict::TooLarge:
        return QStringLiteral("tooLarge");
    case Plan::Verdict::FolderBlocked:
        return QStringLiteral("folderBlocked");
    case Plan::Verdict::InUse:
        return QStringLiteral("inUse");
    case Plan::Verdict::Gone:
        break;
    }
    return QStringLiteral("gone");
}

constexpr std::array kVerdicts{Plan::Verdict::Move,        Plan::Verdict::NameTaken, Plan::Verdict::NotRegular,
                               Plan::Verdict::NameRefused, Plan::Verdict::TooLarge,  Plan::Verdict::FolderBlocked,
                               Plan::Verdict::InUse,       Plan::Verdict::Gone};

std::int64_t countOf(const Plan& plan, Plan::Verdict verdict) {
    return std::count_if(plan.files.begin(), plan.files.end(),
                         [verdict](const Plan::File& file) { return file.verdict == verdict; });
}

// The sub-folders files would move into (or back from), most files first.
std::vector<std::pair<std::string, std::int64_t>> subFolderCounts(const Plan& plan) {
    std::map<std::string, std::int64_t> counts;
    for (const Plan::File& file : plan.files) {
        if (file.verdict == Plan::Verdict::Move) {
            ++counts[file.subFolder];
        }
    }
    std::vector<std::pair<std::string, std::int64_t>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    return sorted;
}

// "10 would stay: their names are taken there:" and the files it is about, one per line.
std::string staying(const Plan& plan, Plan::Verdict verdict, const std::string& one, const std::string& many,
                    bool showSubFolder) {
    const std::int64_t count = countOf(plan, verdict);
    if (count == 0) {
        return {};
    }
    std::string text = Console::number(count) + " " + (count == 1 ? one : many) + ":\n";
    for (const Plan::File& file : plan.files) {
        if (file.verdict == verdict) {
            text += "  " + NameText::escaped(showSubFolder ? file.subFolder + "/" + file.name : file.name) + "\n";
        }
    }
    return text;
}

// "2 would be moved under new names beside their namesakes in “Sorted”:" and each such move, as
// "a.jpg → Images/a (2).jpg".
std::string keptBeside(const Plan& plan, const std::string& output) {
    std::string text;
    std::int64_t renamed = 0;
    for (const Plan::File& file : plan.files) {
        if (file.verdict == Plan::Verdict::Move && !file.newName.empty()) {
            ++renamed;
            text += "  " + NameText::escaped(file.name) + " → " +
                    NameText::escaped(file.subFolder + "/" + file.newName) + "\n";
        }
    }
    if (renamed > 0) {
        text = Console::number(renamed) +
               (renamed == 1 ? " would be moved under a new name beside its namesake in "
                             : " would be moved under new names beside their namesakes in ") +
               output + ":\n" + text;
    }
    return text;
}

// How many of the files whose name is taken would be identical to their namesake, kept beside it or not.
std::string identicalSentence(const Plan& plan, const std::string& output) {
    const std::int64_t identical =
        std::count_if(plan.files.begin(), plan.files.end(), [](const Plan::File& file) { return file.identical; });
    if (identical == 0) {
        return {};
    }
    return Console::number(identical) +
           (identical == 1 ? " of them is identical to the file already in "
                           : " of them are identical to the files already in ") +
           output + ".\n";
}

// The files that would stay because of what the folder `where` cannot hold, in the window's words.
std::string stayingForTheDestination(const Plan& plan, const std::string& where) {
    return staying(plan, Plan::Verdict::NameRefused, "would stay: " + where + " cannot store its name",
                   "would stay: " + where + " cannot store their names", true) +
           staying(plan, Plan::Verdict::TooLarge,
                   "would stay: it is larger than 4 GiB, which " + where + " cannot store",
                   "would stay: they are larger than 4 GiB, which " + where + " cannot store", true) +
           staying(plan, Plan::Verdict::FolderBlocked, "would stay: a file in " + where + " has the name of its folder",
                   "would stay: files in " + where + " have the names of their folders", true);
}

} // namespace

PlanReport::PlanReport(const FolderPair& folders, std::optional<bool> useSmartCategories)
    : folders_(folders), useSmartCategories_(useSmartCategories) {}

ExitStatus PlanReport::print(const Plan& plan, bool asJson) const {
    if (asJson) {
        printJson(plan);
    } else {
        printText(plan);
    }
    if (plan.failure) {
        Console::printError((isSort() ? "❌ Sorting would fail: " : "❌ Revert would fail: ") +
                            plan.failure->localizedDescription());
        return ExitStatus::Failure;
    }
    return ExitStatus::Success;
}

void PlanReport::printText(const Plan& plan) const {
    if (!isSort() && plan.nothingOnRecord) {
        Console::printLine(OutcomeReport::nothingToUndo(folders_));
        return;
    }
    if (isSort() && plan.files.empty() && !plan.failure) {
        Console::printLine("Nothing to sort: " + NameText::quotedName(folders_.input) + " holds no files.");
        return;
    }
    const auto subFolders = subFolderCounts(plan);
    const std::int64_t moving = countOf(plan, Plan::Verdict::Move);
    const std::string input = NameText::quotedName(folders_.input);
    const std::string output = NameText::quotedName(folders_.output);
    std::string text =
        isSort() ? "Sorting " + input + " into " + output + (*useSmartCategories_ ? " by category" : " by extension") +
                       " would move " + Console::counted(moving, "file", "files") + " into " +
                       Console::counted(static_cast<std::int64_t>(subFolders.size()), "folder", "folders")
                 : "Undoing the sorts from " + input + " into " + output + " would move " +
                       Console::counted(moving, "file", "files") + " back from " +
                       Console::counted(static_cast<std::int64_t>(subFolders.size()), "folder", "folders");
    text += subFolders.empty() ? ".\n" : ":\n";
    CountTable table;
    for (const auto& [subFolder, count] : subFolders) {
        table.add(NameText::escaped(subFolder), count);
    }
    text += table.text();
    if (isSort()) {
        text += keptBeside(plan, output);
        text += staying(plan, Plan::Verdict::NameTaken, "would stay: its name is taken there",
                        "would stay: their names are taken there", true);
        text += identicalSentence(plan, output);
        text += staying(plan, Plan::Verdict::NotRegular, "would stay: it is not a regular file",
                        "would stay: they are not regular files", false);
        text += staying(plan, Plan::Verdict::InUse, "would stay: it is still being written or downloaded",
                        "would stay: they are still being written or downloaded", false);
        text += stayingForTheDestination(plan, output);
    } else {
        text += staying(plan, Plan::Verdict::NameTaken, "would stay: its name is taken in " + input,
                        "would stay: their names are taken in " + input, true);
        text += stayingForTheDestination(plan, input);
        text += staying(plan, Plan::Verdict::Gone, "is no longer where Foldwise put it",
                        "are no longer where Foldwise put them", true);
    }
    Console::printText(text);
}

void PlanReport::printJson(const Plan& plan) const {
    QJsonObject document{{QStringLiteral("command"), isSort() ? QStringLiteral("sort") : QStringLiteral("undo")},
                         {QStringLiteral("dryRun"), true}};
    JsonOutput::putName(document, QStringLiteral("input"), folders_.input.native());
    JsonOutput::putName(document, QStringLiteral("output"), folders_.output.native());
    if (isSort()) {
        document.insert(QStringLiteral("mode"),
                        *useSmartCategories_ ? QStringLiteral("category") : QStringLiteral("extension"));
    } else {
        document.insert(QStringLiteral("nothingOnRecord"), plan.nothingOnRecord);
    }
    for (const Plan::Verdict verdict : kVerdicts) {
        document.insert(verdictName(verdict), qint64(countOf(plan, verdict)));
    }
    if (isSort()) {
        document.insert(QStringLiteral("renamed"),
                        qint64(std::count_if(plan.files.begin(), plan.files.end(),
                                             [](const Plan::File& file) { return !file.newName.empty(); })));
        document.insert(QStringLiteral("identical"),
                        qint64(std::count_if(plan.files.begin(), plan.files.end(),
                                             [](const Plan::File& file) { return file.identical; })));
    }
    QJsonArray subFolders;
    for (const auto& [name, count] : subFolderCounts(plan)) {
        QJsonObject entry{{QStringLiteral("count"), qint64(count)}};
        JsonOutput::putName(entry, QStringLiteral("name"), name);
        subFolders.append(entry);
    }
    document.insert(QStringLiteral("subFolders"), subFolders);
    QJsonArray files;
    for (const Plan::File& file : plan.files) {
        QJsonObject entry{{QStringLiteral("verdict"), verdictName(file.verdict)}};
        JsonOutput::putName(entry, QStringLiteral("name"), file.name);
        JsonOutput::putName(entry, QStringLiteral("subFolder"), file.subFolder);
        if (!file.newName.empty()) {
            JsonOutput::putName(entry, QStringLiteral("newName"), file.newName);
        }
        if (file.identical) {
            entry.insert(QStringLiteral("identical"), true);
        }
        files.append(entry);
    }
    document.insert(QStringLiteral("files"), files);
    document.insert(QStringLiteral("failure"),
                    plan.failure ? QJsonValue(QString::fromStdString(plan.failure->localizedDescription()))
                                 : QJsonValue());
    JsonOutput::print(document);
}

} // namespace foldwise
