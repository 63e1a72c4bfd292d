#include "wording/WatchWording.h"

#include "wording/Quote.h"

namespace foldwise {

WatchWording::WatchWording(const std::filesystem::path& input, const std::filesystem::path& output, SortMode mode)
    : input_(Quote::path(input)), output_(Quote::path(output)), mode_(mode) {}

QString WatchWording::watching(std::chrono::milliseconds settle) const {
    const QString seconds = QString::number(static_cast<double>(settle.count()) / 1000, 'g', 6);
    return (mode_ == SortMode::ByCategory
                ? tr("Watching %1: files that have settled for %2 s go into %3 by category.")
                : tr("Watching %1: files that have settled for %2 s go into %3 by extension."))
        .arg(input_, seconds, output_);
}

QString WatchWording::stopped() const {
    return tr("Stopped watching %1.").arg(input_);
}

QString WatchWording::folderGone() const {
    return tr("The input folder %1 is not available; waiting for it to come back.").arg(input_);
}

QString WatchWording::folderBack() const {
    return tr("The input folder %1 is back; watching it again.").arg(input_);
}

QString WatchWording::cannotWatch(const std::string& reason) const {
    return tr("❌ Could not watch %1: %2").arg(input_, QString::fromStdString(reason));
}

QString WatchWording::cannotWait(const std::string& reason) {
    return tr("❌ Could not wait for changes: %1").arg(QString::fromStdString(reason));
}

QString WatchWording::moved(const std::string& name, const std::string& subFolder) {
    return tr("Moved %1 into %2.").arg(Quote::bytes(name), Quote::bytes(subFolder));
}

QString WatchWording::nameTaken(const std::string& name) const {
    return tr("%1 stayed: its name is taken in %2.").arg(Quote::bytes(name), output_);
}

} // namespace foldwise
