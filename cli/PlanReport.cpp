#include "cli/PlanReport.h"

#include "cli/Console.h"
#include "cli/CountTable.h"
#include "cli/JsonOutput.h"
#include "cli/NameText.h"
#include "engine/SortMode.h"
#include "wording/RunWording.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <array>

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

// "10 would stay: their names are taken there:" and the files it is about, one per line.
std::string staying(const Plan& plan, Plan::Verdict verdict, const PlanWording& wording, bool showSubFolder) {
    const std::int64_t count = plan.count(verdict);
    if (count == 0) {
        return {};
    }
    std::string text = wording.staying(verdict, count).toStdString() + ":\n";
    for (const Plan::File& file : plan.files) {
        if (file.verdict == verdict) {
            text += "  " + NameText::escaped(showSubFolder ? file.subFolder + "/" + file.name : file.name) + "\n";
        }
    }
    return text;
}

// "2 would be moved under new names beside their namesakes in “Sorted”:" and each such move, as
// "a.jpg → Images/a (2).jpg".
std::string keptBeside(const Plan& plan, const PlanWording& wording) {
    std::string text;
    std::int64_t renamed = 0;
    for (const Plan::File& file : plan.files) {
        if (file.verdict == Plan::Verdict::Move && !file.newName.empty()) {
            ++renamed;
            text += "  " + NameText::escaped(file.name) + " → " +
                    NameText::escaped(file.subFolder + "/" + file.newName) + "\n";
        }
    }
    return renamed == 0 ? text : wording.keptBeside(renamed).toStdString() + ":\n" + text;
}

// How many of the files whose name is taken would be identical to their namesake, kept beside it or not.
std::string identicalSentence(const Plan& plan, const PlanWording& wording) {
    const std::int64_t identical =
        std::count_if(plan.files.begin(), plan.files.end(), [](const Plan::File& file) { return file.identical; });
    return identical == 0 ? std::string() : wording.identical(identical).toStdString() + "\n";
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
        Console::printProblem(wording().failure(plan.failure->localizedDescription()).toStdString());
        return ExitStatus::Failure;
    }
    return ExitStatus::Success;
}

void PlanReport::printText(const Plan& plan) const {
    const RunWording run(isSort() ? RunKind::Sort : RunKind::Undo, folders_.input, folders_.output);
    if (!isSort() && plan.nothingOnRecord) {
        Console::printLine(run.nothingToUndo(plan.alreadyUndone).toStdString());
        return;
    }
    if (isSort() && plan.files.empty() && !plan.failure) {
        Console::printLine(run.outcome(RunOutcome{}).text.toStdString()); // "Nothing to sort: …"
        return;
    }
    const PlanWording wording = this->wording();
    const auto subFolders = plan.subFolderCounts();
    std::string text =
        wording.headline(plan.count(Plan::Verdict::Move), static_cast<std::int64_t>(subFolders.size())).toStdString();
    text += subFolders.empty() ? ".\n" : ":\n";
    CountTable table;
    for (const auto& [subFolder, count] : subFolders) {
        table.add(NameText::escaped(subFolder), count);
    }
    text += table.text();
    if (isSort()) {
        text += keptBeside(plan, wording);
        text += staying(plan, Plan::Verdict::NameTaken, wording, true);
        text += identicalSentence(plan, wording);
        text += staying(plan, Plan::Verdict::NotRegular, wording, false);
        text += staying(plan, Plan::Verdict::InUse, wording, false);
    } else {
        text += staying(plan, Plan::Verdict::NameTaken, wording, true);
    }
    for (const Plan::Verdict verdict :
         {Plan::Verdict::NameRefused, Plan::Verdict::TooLarge, Plan::Verdict::FolderBlocked}) {
        text += staying(plan, verdict, wording, true);
    }
    if (!isSort()) {
        text += staying(plan, Plan::Verdict::Gone, wording, true);
    }
    Console::printText(text);
}

PlanWording PlanReport::wording() const {
    return isSort() ? PlanWording(RunKind::Sort, folders_.input, folders_.output, sortModeOf(*useSmartCategories_))
                    : PlanWording(RunKind::Undo, folders_.input, folders_.output);
}

void PlanReport::printJson(const Plan& plan) const {
    QJsonObject document{
        {QStringLiteral("command"), QString::fromLatin1(runKindKey(isSort() ? RunKind::Sort : RunKind::Undo))},
        {QStringLiteral("dryRun"), true}};
    JsonOutput::putName(document, QStringLiteral("input"), folders_.input.native());
    JsonOutput::putName(document, QStringLiteral("output"), folders_.output.native());
    if (isSort()) {
        document.insert(QStringLiteral("mode"), QString::fromLatin1(sortModeKey(sortModeOf(*useSmartCategories_))));
    } else {
        document.insert(QStringLiteral("nothingOnRecord"), plan.nothingOnRecord);
        document.insert(QStringLiteral("alreadyUndone"), plan.alreadyUndone);
    }
    for (const Plan::Verdict verdict : kVerdicts) {
        document.insert(verdictName(verdict), qint64(plan.count(verdict)));
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
    for (const auto& [name, count] : plan.subFolderCounts()) {
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
