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
                         QLocale locale)
    : kind_(kind), inputName_(nameOf(input)), outputName_(nameOf(output)), locale_(std::move(locale)) {}

bool RunMessages::showsCopy(const RunProgress& progress) {
    return !progress.copyingFile.empty() && progress.bytesTotal >= kLargeCopy;
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
        const std::int64_t left = outcome.notReached + outcome.nameTaken + outcome.notRegular;
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
    const std::int64_t onRecord = outcome.moved + outcome.nameTaken + outcome.gone;
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
    if (outcome.nameTaken > 0) {
        const QString where = quoted(kind_ == RunWorker::Kind::Sort ? outputName_ : inputName_);
        sentences << (outcome.nameTaken == 1 ? QStringLiteral("1 file stayed: its name is taken in %1.").arg(where)
                                             : QStringLiteral("%1 files stayed: their names are taken in %2.")
                                                   .arg(count(outcome.nameTaken), where));
    }
    if (outcome.notRegular > 0) {
        sentences
            << (outcome.notRegular == 1
                    ? QStringLiteral("1 file is not a regular file and stayed.")
                    : QStringLiteral("%1 files are not regular files and stayed.").arg(count(outcome.notRegular)));
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
    return sentences.join(QLatin1Char(' '));
}

} // namespace foldwise
