#include "wording/HistoryWording.h"

#include "wording/RunWording.h"

#include "engine/FileSystem.h"

#include <QDateTime>

namespace foldwise {

QString HistoryWording::when(const History::Run& run, const QLocale& locale) {
    return locale.toString(QDateTime::fromMSecsSinceEpoch(run.startedMs), QLocale::ShortFormat);
}

QString HistoryWording::kind(const History::Run& run) {
    return run.kind == RunKind::Sort ? tr("Sort") : tr("Undo");
}

QString HistoryWording::mode(const History::Run& run) {
    if (!run.useSmartCategories) {
        return QStringLiteral("—");
    }
    return *run.useSmartCategories ? tr("By category") : tr("By extension");
}

QString HistoryWording::folders(const History::Run& run) {
    return QStringLiteral("%1 → %2").arg(QString::fromStdString(FileSystem::displayFolderName(run.input)),
                                         QString::fromStdString(FileSystem::displayFolderName(run.output)));
}

QString HistoryWording::folderPaths(const History::Run& run) {
    return tr("Input folder: %1\nOutput folder: %2")
        .arg(QString::fromStdString(FileSystem::displayPath(run.input)),
             QString::fromStdString(FileSystem::displayPath(run.output)));
}

std::int64_t HistoryWording::stayed(const History::Run& run) {
    // Every file the run found but did not move, whatever the reason.
    return RunWording::notMoved(run.counts) + run.counts.vanished + run.counts.gone;
}

QString HistoryWording::result(const History::Run& run) {
    QString text;
    if (run.counts.failure) {
        text = tr("Failed: %1").arg(QString::fromStdString(run.counts.failure->localizedDescription()));
    } else if (run.state == "completed") {
        text = tr("Completed");
    } else if (run.state == "cancelled") {
        text = tr("Stopped");
    } else if (run.state == "interrupted") {
        text = tr("Interrupted");
    } else if (run.state == "running") {
        text = tr("Running");
    } else if (run.state == "incomplete") {
        text = tr("Incomplete");
    } else {
        text = QString::fromStdString(run.state);
    }
    return run.undone ? tr("%1, undone").arg(text) : text;
}

} // namespace foldwise
