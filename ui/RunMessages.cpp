#include "ui/RunMessages.h"

#include "engine/FileSystem.h"

#include <QStringList>

namespace foldwise {

namespace {

// A copy shorter than this is over before its bytes could be read off the bar.
constexpr std::uint64_t kLargeCopy = 64ull << 20;

QString quoted(const QString& name) {
    return QStringLiteral("“") + name + QStringLiteral("”");
}

QString nameOf(const std::filesystem::path& folder) {
    return QString::fromStdString(FileSystem::displayFolderName(folder));
}

} // namespace

RunMessages::RunMessages(RunWorker::Kind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                         const QLocale& locale)
    : kind_(kind), inputName_(nameOf(input)), outputName_(nameOf(output)), locale_(locale) {}

bool RunMessages::showsCopy(const RunProgress& progress) {
    return !progress.copyingFile.empty() && progress.bytesTotal >= kLargeCopy;
}

RunMessage RunMessages::waiting(const QString& otherRun) {
    return {QStringLiteral("Waiting for %1 to finish…").arg(otherRun), StatusColor::Primary};
}

RunMessage RunMessages::progress(const RunProgress& progress) const {
    if (showsCopy(progress)) {
        const bool inGigabytes = progress.bytesTotal >= 1'000'000'000ull;
        const double unit = inGigabytes ? 1e9 : 1e6;
        const QString name = QString::fromStdString(FileSystem::displayName(progress.copyingFile));
        return {QStringLiteral("Copying %1 to another drive… %2 of %3 %4")
                    .arg(quoted(name), locale_.toString(static_cast<double>(progress.bytesDone) / unit, 'f', 1),
                         locale_.toString(static_cast<double>(progress.bytesTotal) / unit, 'f', 1),
                         inGigabytes ? QStringLiteral("GB") : QStringLiteral("MB")),
                StatusColor::Primary};
    }
    const QString doing =
        kind_ == RunWorker::Kind::Sort ? QStringLiteral("Sorting…") : QStringLiteral("Moving files back…");
    return {QStringLiteral("%1 %2 of %3 files").arg(doing, count(progress.filesDone), count(progress.filesTotal)),
            StatusColor::Primary};
}

RunMessage RunMessages::outcome(const RunOutcome& outcome) const {
    const bool isSort = kind_ == RunWorker::Kind::Sort;
    if (outcome.failure) {
        const QString prefix = isSort ? QStringLiteral("❌ Sorting failed: ") : QStringLiteral("❌ Revert failed: ");
        return {prefix + QString::fromStdString(outcome.failure->localizedDescription()), StatusColor::Red};
    }
    if (outcome.cancelled) {
        const std::int64_t left = outcome.notReached + outcome.nameTaken + outcome.notRegular + outcome.nameRefused +
                                  outcome.tooLarge + outcome.folderBlocked + outcome.inUse;
        return {isSort ? QStringLiteral("Sorting stopped: %1 files moved, %2 left in the input folder.")
                             .arg(count(outcome.moved), count(left))
                       : QStringLiteral("Undo stopped: %1 files moved back, %2 still in the output folder.")
                             .arg(count(outcome.moved), count(left)),
                StatusColor::Orange};
    }
    if (isSort) {
        return {QStringLiteral("✅ Files successfully sorted!"), StatusColor::Green};
    }
    if (outcome.nothingOnRecord) {
        return {QStringLiteral("Nothing to undo: no sort from %1 into %2 is on record.")
                    .arg(quoted(inputName_), quoted(outputName_)),
                StatusColor::Primary};
    }
    const std::int64_t onRecord = outcome.moved + outcome.nameTaken + outcome.gone + outcome.nameRefused +
                                  outcome.tooLarge + outcome.folderBlocked;
    if (outcome.moved == onRecord) {
        return {QStringLiteral("⏪ All files moved back to input folder."), StatusColor::Orange};
    }
    return {QStringLiteral("⏪ %1 of %2 files moved back to input folder.").arg(count(outcome.moved), count(onRecord)),
            StatusColor::Orange};
}

QString RunMessages::files(std::int64_t number) const {
    return number == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count(number));
}

QString RunMessages::details(const RunOutcome& outcome) const {
    QStringList sentences;
    if (outcome.failure) {
        const auto were = [](std::int64_t number) {
            return number == 1 ? QStringLiteral("was") : QStringLiteral("were");
        };
        sentences << QStringLiteral("%1 %2 %3 before the failure; %4 %5 not reached.")
                         .arg(files(outcome.moved), were(outcome.moved),
                              kind_ == RunWorker::Kind::Sort ? QStringLiteral("moved") : QStringLiteral("moved back"),
                              count(outcome.notReached), were(outcome.notReached));
    }
    if (outcome.renamed > 0) {
        sentences << (outcome.renamed == 1
                          ? QStringLiteral("1 file was moved under a new name beside its namesake in %1.")
                                .arg(quoted(outputName_))
                          : QStringLiteral("%1 files were moved under new names beside their namesakes in %2.")
                                .arg(count(outcome.renamed), quoted(outputName_)));
    }
    if (outcome.nameTaken > 0) {
        const QString where = quoted(kind_ == RunWorker::Kind::Sort ? outputName_ : inputName_);
        sentences << (outcome.nameTaken == 1 ? QStringLiteral("1 file stayed: its name is taken in %1.").arg(where)
                                             : QStringLiteral("%1 files stayed: their names are taken in %2.")
                                                   .arg(count(outcome.nameTaken), where));
    }
    if (outcome.identical > 0) { // of the files whose name was taken, kept beside their namesake or not
        sentences << (outcome.identical == 1
                          ? QStringLiteral("1 of them is identical to the file already in %1.").arg(quoted(outputName_))
                          : QStringLiteral("%1 of them are identical to the files already in %2.")
                                .arg(count(outcome.identical), quoted(outputName_)));
    }
    if (outcome.notRegular > 0) {
        sentences
            << (outcome.notRegular == 1
                    ? QStringLiteral("1 file is not a regular file and stayed.")
                    : QStringLiteral("%1 files are not regular files and stayed.").arg(count(outcome.notRegular)));
    }
    if (outcome.inUse > 0) {
        sentences << (outcome.inUse == 1 ? QStringLiteral("1 file is still being written or downloaded and stayed.")
                                         : QStringLiteral("%1 files are still being written or downloaded and stayed.")
                                               .arg(count(outcome.inUse)));
    }
    // What the destination cannot hold: the output folder of a sort, the input folder of an undo.
    const QString destination = quoted(kind_ == RunWorker::Kind::Sort ? outputName_ : inputName_);
    if (outcome.nameRefused > 0) {
        sentences << (outcome.nameRefused == 1
                          ? QStringLiteral("1 file stayed: %1 cannot store its name.").arg(destination)
                          : QStringLiteral("%1 files stayed: %2 cannot store their names.")
                                .arg(count(outcome.nameRefused), destination));
    }
    if (outcome.tooLarge > 0) {
        sentences << (outcome.tooLarge == 1
                          ? QStringLiteral("1 file is larger than 4 GiB, which %1 cannot store.").arg(destination)
                          : QStringLiteral("%1 files are larger than 4 GiB, which %2 cannot store.")
                                .arg(count(outcome.tooLarge), destination));
    }
    if (outcome.folderBlocked > 0) {
        sentences << (outcome.folderBlocked == 1
                          ? QStringLiteral("1 file stayed: a file in %1 has the name of its folder.").arg(destination)
                          : QStringLiteral("%1 files stayed: files in %2 have the names of their folders.")
                                .arg(count(outcome.folderBlocked), destination));
    }
    if (outcome.keptBoth > 0) {
        sentences << (outcome.keptBoth == 1
                          ? QStringLiteral("1 file is both in %1 and in %2: a move was interrupted and the two "
                                           "differ, so both were kept.")
                                .arg(quoted(inputName_), quoted(outputName_))
                          : QStringLiteral("%1 files are both in %2 and in %3: moves were interrupted and the two "
                                           "differ, so both were kept.")
                                .arg(count(outcome.keptBoth), quoted(inputName_), quoted(outputName_)));
    }
    if (outcome.gone > 0) {
        sentences
            << (outcome.gone == 1
                    ? QStringLiteral("1 file was no longer where Foldwise put it.")
                    : QStringLiteral("%1 files were no longer where Foldwise put them.").arg(count(outcome.gone)));
    }
    if (outcome.vanished > 0) {
        sentences
            << (outcome.vanished == 1
                    ? QStringLiteral("1 file vanished before it could be moved.")
                    : QStringLiteral("%1 files vanished before they could be moved.").arg(count(outcome.vanished)));
    }
    if (kind_ == RunWorker::Kind::Undo && outcome.inputWatched) {
        sentences << QStringLiteral(
            "A watch is sorting this folder; the files brought back stay until you change them.");
    }
    return sentences.join(QLatin1Char(' '));
}

} // namespace foldwise
