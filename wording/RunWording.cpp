#include "wording/RunWording.h"

#include "engine/FileSystem.h"
#include "wording/Counts.h"
#include "wording/Quote.h"

#include <QLocale>
#include <QStringList>

#include <array>
#include <iterator>

namespace foldwise {
namespace {

// A copy shorter than this is over before its bytes could be read off a bar.
constexpr std::uint64_t kLargeCopy = 64ull << 20;

// "1.2 of 4.0 GB": both in the unit of the total, with one decimal.
QString bytesOf(std::uint64_t done, std::uint64_t total) {
    static constexpr std::array units{"bytes", "kB", "MB", "GB", "TB"};
    double divisor = 1;
    std::size_t unit = 0;
    while (unit + 1 < units.size() && static_cast<double>(total) >= divisor * 1000) {
        divisor *= 1000;
        ++unit;
    }
    const QLocale locale;
    const int decimals = unit == 0 ? 0 : 1;
    return QStringLiteral("%1 of %2 %3")
        .arg(locale.toString(static_cast<double>(done) / divisor, 'f', decimals),
             locale.toString(static_cast<double>(total) / divisor, 'f', decimals), QString::fromLatin1(units[unit]));
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList& parts) {
    if (parts.size() < 2) {
        return parts.join(QString());
    }
    return QCoreApplication::translate("RunWording", "%1 and %2")
        .arg(parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")), parts.back());
}

} // namespace

RunWording::RunWording(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output)
    : kind_(kind), input_(Quote::name(input)), output_(Quote::name(output)) {}

bool RunWording::showsCopy(const RunProgress& progress) {
    return !progress.copyingFile.empty() && progress.bytesTotal >= kLargeCopy;
}

QString RunWording::waiting(const QString& otherRun) {
    return tr("Waiting for %1 to finish…").arg(otherRun);
}

QString RunWording::progress(const RunProgress& progress) const {
    if (showsCopy(progress)) {
        return tr("Copying %1 to another drive… %2")
            .arg(Quote::text(QString::fromStdString(FileSystem::displayName(progress.copyingFile))),
                 bytesOf(progress.bytesDone, progress.bytesTotal));
    }
    return (isSort() ? tr("Sorting… %1 of %2") : tr("Moving files back… %1 of %2"))
        .arg(Counts::number(progress.filesDone), Counts::files(progress.filesTotal));
}

std::int64_t RunWording::notMoved(const RunOutcome& outcome) {
    return outcome.notReached + outcome.nameTaken + outcome.notRegular + outcome.nameRefused + outcome.tooLarge +
           outcome.folderBlocked + outcome.inUse;
}

QString RunWording::failure(const std::string& description) const {
    return (isSort() ? tr("❌ Sorting failed: %1") : tr("❌ Revert failed: %1")).arg(QString::fromStdString(description));
}

QString RunWording::nothingToUndo(bool alreadyUndone) const {
    return (alreadyUndone ? tr("Nothing to undo: every sort from %1 into %2 is already undone.")
                          : tr("Nothing to undo: no sort from %1 into %2 is on record."))
        .arg(input_, output_);
}

QString RunWording::quitQuestion(RunKind kind) {
    return kind == RunKind::Sort ? tr("A sort is running. Stop it and quit?")
                                 : tr("An undo is running. Stop it and quit?");
}

QString RunWording::stoppedByQuit(std::int64_t moved, std::int64_t left) const {
    return (isSort() ? tr("The last sort stopped when Foldwise quit: %1 moved, %2 left in %3.")
                     : tr("The last undo stopped when Foldwise quit: %1 moved back, %2 still in %3."))
        .arg(Counts::files(moved), Counts::number(left), isSort() ? input_ : output_);
}

StatusLine RunWording::outcome(const RunOutcome& outcome) const {
    if (outcome.failure) {
        return {failure(outcome.failure->localizedDescription()), StatusColor::Red};
    }
    if (outcome.cancelled) {
        return {(isSort() ? tr("Sorting stopped: %1 moved, %2 left in the input folder.")
                          : tr("Undo stopped: %1 moved back, %2 still in the output folder."))
                    .arg(Counts::files(outcome.moved), Counts::number(notMoved(outcome))),
                StatusColor::Orange};
    }
    if (isSort()) {
        if (outcome.moved + notMoved(outcome) + outcome.vanished == 0) {
            return {tr("Nothing to sort: %1 has no files at its top level.").arg(input_), StatusColor::Primary};
        }
        if (outcome.moved == 0) {
            return {nothingMoved(outcome), StatusColor::Orange};
        }
        return {tr("✅ Files successfully sorted!"), StatusColor::Green};
    }
    const std::int64_t onRecord = outcome.moved + outcome.nameTaken + outcome.gone + outcome.nameRefused +
                                  outcome.tooLarge + outcome.folderBlocked;
    if (outcome.nothingOnRecord || onRecord == 0) { // sorts whose files are all back already
        return {nothingToUndo(!outcome.nothingOnRecord || outcome.alreadyUndone), StatusColor::Primary};
    }
    if (outcome.moved == 0) {
        return {nothingMoved(outcome), StatusColor::Orange};
    }
    if (outcome.moved == onRecord) {
        return {tr("⏪ All files moved back to input folder."), StatusColor::Orange};
    }
    return {tr("⏪ %1 of %2 moved back to input folder.").arg(Counts::number(outcome.moved), Counts::files(onRecord)),
            StatusColor::Orange};
}

// "Nothing was sorted: the names of all 290 files are taken in “Sorted”." for files that all stayed for one
// reason; "Nothing was sorted: of 5 files, 3 have their names taken in “Sorted” and 2 are not regular files."
// for several.
QString RunWording::nothingMoved(const RunOutcome& outcome) const {
    const QString where = isSort() ? output_ : input_; // the folder the files would go into
    struct Reason {
        std::int64_t count;
        QString all;  // all of the files
        QString some; // `count` of them
    };
    const auto n = [](std::int64_t count) {
        return Counts::plural(count);
    };
    const std::int64_t total = outcome.nameTaken + outcome.notRegular + outcome.inUse + outcome.nameRefused +
                               outcome.tooLarge + outcome.folderBlocked + outcome.gone + outcome.vanished;
    const std::array reasons{
        Reason{outcome.nameTaken, tr("the names of all %Ln files are taken in %1", nullptr, n(total)).arg(where),
               tr("%Ln have their names taken in %1", nullptr, n(outcome.nameTaken)).arg(where)},
        Reason{outcome.notRegular, tr("none of the %Ln files is a regular file", nullptr, n(total)),
               tr("%Ln are not regular files", nullptr, n(outcome.notRegular))},
        Reason{outcome.inUse, tr("all %Ln files are still being written or downloaded", nullptr, n(total)),
               tr("%Ln are still being written or downloaded", nullptr, n(outcome.inUse))},
        Reason{outcome.nameRefused, tr("%1 cannot store the names of all %Ln files", nullptr, n(total)).arg(where),
               tr("%Ln have names that %1 cannot store", nullptr, n(outcome.nameRefused)).arg(where)},
        Reason{outcome.tooLarge,
               tr("all %Ln files are larger than 4 GiB, which %1 cannot store", nullptr, n(total)).arg(where),
               tr("%Ln are larger than 4 GiB, which %1 cannot store", nullptr, n(outcome.tooLarge)).arg(where)},
        Reason{
            outcome.folderBlocked,
            tr("files in %1 have the names of the folders all %Ln files would go into", nullptr, n(total)).arg(where),
            tr("%Ln have a file in %1 where their folder would be", nullptr, n(outcome.folderBlocked)).arg(where)},
        Reason{outcome.gone, tr("all %Ln files are no longer where Foldwise put them", nullptr, n(total)),
               tr("%Ln are no longer where Foldwise put them", nullptr, n(outcome.gone))},
        Reason{outcome.vanished, tr("all %Ln files vanished before they could be moved", nullptr, n(total)),
               tr("%Ln vanished before they could be moved", nullptr, n(outcome.vanished))},
    };
    QStringList some;
    QString all;
    for (const Reason& reason : reasons) {
        if (reason.count > 0) {
            some << reason.some;
            all = reason.all;
        }
    }
    const QString why = some.size() == 1 ? all : tr("of %1, %2").arg(Counts::files(total), listed(some));
    return (isSort() ? tr("Nothing was sorted: %1.") : tr("Nothing was undone: %1.")).arg(why);
}

QString RunWording::moved(const RunOutcome& outcome) const {
    const int moved = Counts::plural(outcome.moved);
    if (outcome.failure) {
        const QString before = isSort() ? tr("%Ln files were moved before the failure", nullptr, moved)
                                        : tr("%Ln files were moved back before the failure", nullptr, moved);
        return before + (outcome.notReached > 0
                             ? tr("; %Ln were not reached.", nullptr, Counts::plural(outcome.notReached))
                             : QStringLiteral("."));
    }
    if (outcome.moved == 0) {
        return {};
    }
    return isSort()
               ? tr("%Ln files moved into %1 of %2.", nullptr, moved).arg(Counts::folders(outcome.folders), output_)
               : tr("%Ln files moved back from %1 of %2 into %3.", nullptr, moved)
                     .arg(Counts::folders(outcome.folders), output_, input_);
}

// What stayed and why. `withReasons` false leaves out the reasons the status line has given already.
QString RunWording::stayed(const RunOutcome& outcome) const {
    const bool withReasons = outcome.moved > 0 || outcome.cancelled || outcome.failure;
    const auto n = [](std::int64_t count) {
        return Counts::plural(count);
    };
    // The folder the files would go into: the output folder of a sort, the input folder of an undo.
    const QString destination = isSort() ? output_ : input_;
    QStringList sentences;
    if (outcome.renamed > 0) {
        sentences << tr("%Ln files were moved under new names beside their namesakes in %1.", nullptr,
                        n(outcome.renamed))
                         .arg(output_);
    }
    if (withReasons && outcome.nameTaken > 0) {
        sentences
            << tr("%Ln files stayed: their names are taken in %1.", nullptr, n(outcome.nameTaken)).arg(destination);
    }
    if (outcome.identical > 0) { // of the files whose name was taken, kept beside their namesake or not
        sentences
            << tr("%Ln of them are identical to the files already in %1.", nullptr, n(outcome.identical)).arg(output_);
    }
    if (withReasons && outcome.notRegular > 0) {
        sentences << tr("%Ln files are not regular files and stayed.", nullptr, n(outcome.notRegular));
    }
    if (withReasons && outcome.inUse > 0) {
        sentences << tr("%Ln files are still being written or downloaded and stayed.", nullptr, n(outcome.inUse));
    }
    if (withReasons && outcome.nameRefused > 0) {
        sentences
            << tr("%Ln files stayed: %1 cannot store their names.", nullptr, n(outcome.nameRefused)).arg(destination);
    }
    if (withReasons && outcome.tooLarge > 0) {
        sentences << tr("%Ln files are larger than 4 GiB, which %1 cannot store.", nullptr, n(outcome.tooLarge))
                         .arg(destination);
    }
    if (withReasons && outcome.folderBlocked > 0) {
        sentences << tr("%Ln files stayed: files in %1 have the names of their folders.", nullptr,
                        n(outcome.folderBlocked))
                         .arg(destination);
    }
    if (outcome.keptBoth > 0) {
        sentences << tr("%Ln files are both in %1 and in %2: moves were interrupted and the two differ, so both "
                        "were kept.",
                        nullptr, n(outcome.keptBoth))
                         .arg(input_, output_);
    }
    if (withReasons && outcome.gone > 0) {
        sentences << tr("%Ln files were no longer where Foldwise put them.", nullptr, n(outcome.gone));
    }
    if (withReasons && outcome.vanished > 0) {
        sentences << tr("%Ln files vanished before they could be moved.", nullptr, n(outcome.vanished));
    }
    if (!isSort() && outcome.inputWatched) {
        sentences << tr("A watch is sorting this folder; the files brought back stay until you change them.");
    }
    return sentences.join(QLatin1Char(' '));
}

QString RunWording::details(const RunOutcome& outcome) const {
    QStringList lines{moved(outcome), stayed(outcome)};
    lines.removeAll(QString());
    return lines.join(QLatin1Char(' '));
}

QString RunWording::summary(const RunOutcome& outcome) const {
    QStringList lines;
    if (!outcome.failure && (outcome.cancelled || outcome.moved == 0)) {
        lines << this->outcome(outcome).text; // it says what a plain success would not
    }
    lines << details(outcome);
    lines.removeAll(QString());
    return lines.join(QLatin1Char(' '));
}

} // namespace foldwise
