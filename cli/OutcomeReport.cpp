#include "cli/OutcomeReport.h"

#include "cli/Console.h"
#include "cli/JsonOutput.h"
#include "engine/SortMode.h"

#include <QJsonArray>
#include <QJsonObject>

namespace foldwise {

OutcomeReport::OutcomeReport(const FolderPair& folders, std::optional<bool> useSmartCategories)
    : folders_(folders), useSmartCategories_(useSmartCategories) {}

RunWording OutcomeReport::wording() const {
    return RunWording(isSort() ? RunKind::Sort : RunKind::Undo, folders_.input, folders_.output);
}

RunOptions OutcomeReport::runOptions(ProgressLine& progress, const StopSignals& stop, bool asJson) {
    RunOptions options;
    options.progress = progress.callback();
    options.stop = stop.token();
    // Said before the run starts, so the progress line is not shown yet; cleared all the same.
    options.waiting = [&progress](const std::string& otherRun) {
        progress.clear();
        Console::printError(RunWording::waiting(QString::fromStdString(otherRun)).toStdString());
    };
    if (asJson) {
        options.moved = [this](const std::string& name, const std::string& subFolder) {
            moved_.push_back({name, subFolder});
        };
        options.stayed = [this](const std::string& name, const std::string& subFolder, StayReason reason) {
            stayed_.push_back({name, subFolder, reason});
        };
        options.renamed = [this](const std::string& name, const std::string& subFolder, const std::string& newName) {
            newNames_[{subFolder, name}] = newName;
        };
        options.identical = [this](const std::string& name, const std::string& subFolder) {
            identical_.insert({subFolder, name});
        };
    }
    return options;
}

ExitStatus OutcomeReport::print(const RunOutcome& outcome, bool asJson) const {
    const RunWording wording = this->wording();
    if (outcome.failure) {
        Console::printProblem(wording.failure(outcome.failure->localizedDescription()).toStdString());
    }
    if (asJson) {
        JsonOutput::print(json(outcome));
    } else if (!outcome.failure || outcome.moved > 0) { // after a failure, only when something moved
        Console::printLine(wording.summary(outcome).toStdString());
    }
    return outcome.isComplete() ? ExitStatus::Success : ExitStatus::Failure;
}

QJsonObject OutcomeReport::json(const RunOutcome& outcome) const {
    QJsonObject document{{QStringLiteral("command"), QString::fromLatin1(runKindKey(wording().kind()))},
                         {QStringLiteral("dryRun"), false}};
    JsonOutput::putName(document, QStringLiteral("input"), folders_.input.native());
    JsonOutput::putName(document, QStringLiteral("output"), folders_.output.native());
    if (isSort()) {
        document.insert(QStringLiteral("mode"), QString::fromLatin1(sortModeKey(sortModeOf(*useSmartCategories_))));
        document.insert(QStringLiteral("madeOutput"), madeOutput_);
        document.insert(QStringLiteral("renamed"), qint64(outcome.renamed));
        document.insert(QStringLiteral("identical"), qint64(outcome.identical));
    } else {
        document.insert(QStringLiteral("nothingOnRecord"), outcome.nothingOnRecord);
        document.insert(QStringLiteral("alreadyUndone"), outcome.alreadyUndone);
        document.insert(QStringLiteral("gone"), qint64(outcome.gone));
        document.insert(QStringLiteral("inputWatched"), outcome.inputWatched);
    }
    document.insert(QStringLiteral("moved"), qint64(outcome.moved));
    document.insert(QStringLiteral("nameTaken"), qint64(outcome.nameTaken));
    document.insert(QStringLiteral("notRegular"), qint64(outcome.notRegular));
    document.insert(QStringLiteral("nameRefused"), qint64(outcome.nameRefused));
    document.insert(QStringLiteral("tooLarge"), qint64(outcome.tooLarge));
    document.insert(QStringLiteral("folderBlocked"), qint64(outcome.folderBlocked));
    document.insert(QStringLiteral("inUse"), qint64(outcome.inUse));
    document.insert(QStringLiteral("keptBoth"), qint64(outcome.keptBoth));
    document.insert(QStringLiteral("vanished"), qint64(outcome.vanished));
    document.insert(QStringLiteral("notReached"), qint64(outcome.notReached));
    document.insert(QStringLiteral("folders"), qint64(outcome.folders));
    document.insert(QStringLiteral("cancelled"), outcome.cancelled);
    document.insert(QStringLiteral("complete"), outcome.isComplete());
    document.insert(QStringLiteral("failure"),
                    outcome.failure ? QJsonValue(QString::fromStdString(outcome.failure->localizedDescription()))
                                    : QJsonValue());
    QJsonArray files;
    for (const MovedFile& file : moved_) {
        QJsonObject entry;
        JsonOutput::putName(entry, QStringLiteral("name"), file.name);
        JsonOutput::putName(entry, QStringLiteral("subFolder"), file.subFolder);
        if (const auto newName = newNames_.find({file.subFolder, file.name}); newName != newNames_.end()) {
            JsonOutput::putName(entry, QStringLiteral("newName"), newName->second);
        }
        putIdentical(entry, file.subFolder, file.name);
        files.append(entry);
    }
    document.insert(QStringLiteral("files"), files);
    QJsonArray stayed;
    for (const StayedFile& file : stayed_) {
        QJsonObject entry{{QStringLiteral("reason"), QString::fromLatin1(stayReasonKey(file.reason))}};
        JsonOutput::putName(entry, QStringLiteral("name"), file.name);
        JsonOutput::putName(entry, QStringLiteral("subFolder"), file.subFolder);
        putIdentical(entry, file.subFolder, file.name);
        stayed.append(entry);
    }
    document.insert(QStringLiteral("stayed"), stayed);
    return document;
}

void OutcomeReport::putIdentical(QJsonObject& entry, const std::string& subFolder, const std::string& name) const {
    if (identical_.contains({subFolder, name})) {
        entry.insert(QStringLiteral("identical"), true);
    }
}

} // namespace foldwise
