#include "cli/OutcomeReport.h"

#include "cli/Console.h"
#include "cli/JsonOutput.h"
#include "cli/NameText.h"

#include <QJsonArray>
#include <QJsonObject>

namespace foldwise {
namespace {

// " 10 stayed: their names are taken there." and the like: one sentence, or nothing for no files.
std::string sentence(std::int64_t count, const std::string& one, const std::string& many) {
    if (count == 0) {
        return {};
    }
    std::string text(" "); // appended to, not "literal" + string, which GCC 12 misreads (-Wrestrict)
    text += Console::number(count);
    text += " ";
    text += count == 1 ? one : many;
    return text;
}

std::string afterFailure(const RunOutcome& outcome, const std::string& moved) {
    return Console::counted(outcome.moved, "file", "files") + (outcome.moved == 1 ? " was " : " were ") + moved +
           " before the failure; " + Console::number(outcome.notReached) +
           (outcome.notReached == 1 ? " was" : " were") + " not reached.";
}

// " 2 files stayed: “USB” cannot store their names." and the other reasons a file stays that the
// window words the same way, in the folder `where` (the output folder of a sort, the input folder of an
// undo); nothing for those no file had.
std::string destinationSentences(const RunOutcome& outcome, const FolderPair& folders, const std::string& where) {
    const auto counted = [](std::int64_t count) {
        return " " + Console::counted(count, "file", "files");
    };
    std::string text;
    if (outcome.nameRefused > 0) {
        text += counted(outcome.nameRefused) + " stayed: " + where +
                (outcome.nameRefused == 1 ? " cannot store its name." : " cannot store their names.");
    }
    if (outcome.tooLarge > 0) {
        text += counted(outcome.tooLarge) + (outcome.tooLarge == 1 ? " is" : " are") + " larger than 4 GiB, which " +
                where + " cannot store.";
    }
    if (outcome.folderBlocked > 0) {
        text += counted(outcome.folderBlocked) +
                (outcome.folderBlocked == 1 ? " stayed: a file in " + where + " has the name of its folder."
                                            : " stayed: files in " + where + " have the names of their folders.");
    }
    if (outcome.keptBoth > 0) {
        text += counted(outcome.keptBoth) + (outcome.keptBoth == 1 ? " is" : " are") + " both in " +
                NameText::quotedName(folders.input) + " and in " + NameText::quotedName(folders.output) +
                (outcome.keptBoth == 1 ? ": a move was interrupted and the two differ, so both were kept."
                                       : ": moves were interrupted and the two differ, so both were kept.");
    }
    return text;
}

// " 2 files were moved under new names beside their namesakes in “Sorted”." for the files kept beside a
// namesake, and how many of the files whose name was taken there are identical to it.
std::string renamedSentence(const RunOutcome& outcome, const std::string& output) {
    if (outcome.renamed == 0) {
        return {};
    }
    return " " + Console::counted(outcome.renamed, "file", "files") +
           (outcome.renamed == 1 ? " was moved under a new name beside its namesake in "
                                 : " were moved under new names beside their namesakes in ") +
           output + ".";
}

std::string identicalSentence(const RunOutcome& outcome, const std::string& output) {
    if (outcome.identical == 0) {
        return {};
    }
    return " " + Console::number(outcome.identical) +
           (outcome.identical == 1 ? " of them is identical to the file already in "
                                   : " of them are identical to the files already in ") +
           output + ".";
}

// The files of a stopped run that are still where they were: not reached, or left there for a reason.
std::int64_t notMoved(const RunOutcome& outcome) {
    return outcome.notReached + outcome.nameTaken + outcome.notRegular + outcome.nameRefused + outcome.tooLarge +
           outcome.folderBlocked + outcome.inUse;
}

QString modeName(bool useSmartCategories) {
    return useSmartCategories ? QStringLiteral("category") : QStringLiteral("extension");
}

} // namespace

OutcomeReport::OutcomeReport(const FolderPair& folders, std::optional<bool> useSmartCategories)
    : folders_(folders), useSmartCategories_(useSmartCategories) {}

RunOptions OutcomeReport::runOptions(ProgressLine& progress, const StopSignals& stop, bool asJson) {
    RunOptions options;
    options.progress = progress.callback();
    options.stop = stop.token();
    // Said before the run starts, so the progress line is not shown yet; cleared all the same.
    options.waiting = [&progress](const std::string& otherRun) {
        progress.clear();
        Console::printError("Waiting for " + otherRun + " to finish…");
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

std::string OutcomeReport::sortSummary(const RunOutcome& outcome, const FolderPair& folders) {
    if (outcome.cancelled) {
        return "Sorting stopped: " + Console::counted(outcome.moved, "file", "files") + " moved, " +
               Console::number(notMoved(outcome)) + " left in the input folder.";
    }
    if (outcome.failure) {
        return afterFailure(outcome, "moved");
    }
    if (outcome.moved + notMoved(outcome) + outcome.vanished == 0) {
        return "Nothing to sort: " + NameText::quotedName(folders.input) + " holds no files.";
    }
    const std::string moved = outcome.moved == 0
                                  ? "Moved no files into " + NameText::quotedName(folders.output) + "."
                                  : "Moved " + Console::counted(outcome.moved, "file", "files") + " into " +
                                        Console::counted(outcome.folders, "folder", "folders") + " of " +
                                        NameText::quotedName(folders.output) + ".";
    const std::string output = NameText::quotedName(folders.output);
    return moved + renamedSentence(outcome, output) +
           sentence(outcome.nameTaken, "stayed: its name is taken there.", "stayed: their names are taken there.") +
           identicalSentence(outcome, output) +
           sentence(outcome.notRegular, "is not a regular file and stayed.", "are not regular files and stayed.") +
           sentence(outcome.inUse, "file is still being written or downloaded and stayed.",
                    "files are still being written or downloaded and stayed.") +
           destinationSentences(outcome, folders, output) +
           sentence(outcome.vanished, "vanished before it could be moved.", "vanished before they could be moved.");
}

std::string OutcomeReport::undoSummary(const RunOutcome& outcome, const FolderPair& folders) {
    if (outcome.nothingOnRecord) {
        return nothingToUndo(folders);
    }
    if (outcome.cancelled) {
        return "Undo stopped: " + Console::counted(outcome.moved, "file", "files") + " moved back, " +
               Console::number(notMoved(outcome)) + " still in the output folder.";
    }
    if (outcome.failure) {
        return afterFailure(outcome, "moved back");
    }
    const std::string input = NameText::quotedName(folders.input);
    const std::string moved = outcome.moved == 0
                                  ? "Moved no files back into " + input + "."
                                  : "Moved " + Console::counted(outcome.moved, "file", "files") + " back from " +
                                        Console::counted(outcome.folders, "folder", "folders") + " of " +
                                        NameText::quotedName(folders.output) + " into " + input + ".";
    return moved +
           sentence(outcome.nameTaken, "stayed: its name is taken in " + input + ".",
                    "stayed: their names are taken in " + input + ".") +
           sentence(outcome.gone, "was no longer where Foldwise put it.", "were no longer where Foldwise put them.") +
           destinationSentences(outcome, folders, input) +
           sentence(outcome.vanished, "vanished before it could be moved.", "vanished before they could be moved.") +
           (outcome.inputWatched ? " A watch is sorting this folder; the files brought back stay until you change them."
                                 : "");
}

std::string OutcomeReport::nothingToUndo(const FolderPair& folders) {
    return "Nothing to undo: no sort from " + NameText::quotedName(folders.input) + " into " +
           NameText::quotedName(folders.output) + " is on record.";
}

ExitStatus OutcomeReport::print(const RunOutcome& outcome, bool asJson) const {
    if (outcome.failure) {
        Console::printError((isSort() ? "❌ Sorting failed: " : "❌ Revert failed: ") +
                            outcome.failure->localizedDescription());
    }
    if (asJson) {
        JsonOutput::print(json(outcome));
    } else if (!outcome.failure || outcome.moved > 0) { // after a failure, only when something moved
        Console::printLine(isSort() ? sortSummary(outcome, folders_) : undoSummary(outcome, folders_));
    }
    return outcome.isComplete() ? ExitStatus::Success : ExitStatus::Failure;
}

QJsonObject OutcomeReport::json(const RunOutcome& outcome) const {
    QJsonObject document{{QStringLiteral("command"), isSort() ? QStringLiteral("sort") : QStringLiteral("undo")},
                         {QStringLiteral("dryRun"), false}};
    JsonOutput::putName(document, QStringLiteral("input"), folders_.input.native());
    JsonOutput::putName(document, QStringLiteral("output"), folders_.output.native());
    if (isSort()) {
        document.insert(QStringLiteral("mode"), modeName(*useSmartCategories_));
        document.insert(QStringLiteral("madeOutput"), madeOutput_);
        document.insert(QStringLiteral("renamed"), qint64(outcome.renamed));
        document.insert(QStringLiteral("identical"), qint64(outcome.identical));
    } else {
        document.insert(QStringLiteral("nothingOnRecord"), outcome.nothingOnRecord);
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
