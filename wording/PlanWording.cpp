#include "wording/PlanWording.h"

#include "engine/FileSystem.h"
#include "wording/Counts.h"
#include "wording/Quote.h"

#include <QStringList>

namespace foldwise {

PlanWording::PlanWording(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                         SortMode mode)
    : kind_(kind), mode_(mode), input_(Quote::name(input)), output_(Quote::name(output)) {}

QString PlanWording::headline(std::int64_t moving, std::int64_t folders) const {
    const int n = Counts::plural(moving);
    if (!isSort()) {
        return tr("Undoing the sorts from %1 into %2 would move %Ln files back from %3", nullptr, n)
            .arg(input_, output_, Counts::folders(folders));
    }
    return (mode_ == SortMode::ByCategory
                ? tr("Sorting %1 into %2 by category would move %Ln files into %3", nullptr, n)
                : tr("Sorting %1 into %2 by extension would move %Ln files into %3", nullptr, n))
        .arg(input_, output_, Counts::folders(folders));
}

QString PlanWording::staying(Plan::Verdict verdict, std::int64_t count) const {
    const int n = Counts::plural(count);
    const QString destination = isSort() ? output_ : input_; // where the files would go
    switch (verdict) {
    case Plan::Verdict::NameTaken:
        return isSort() ? tr("%Ln would stay: their names are taken there", nullptr, n)
                        : tr("%Ln would stay: their names are taken in %1", nullptr, n).arg(input_);
    case Plan::Verdict::NotRegular:
        return tr("%Ln would stay: they are not regular files", nullptr, n);
    case Plan::Verdict::InUse:
        return tr("%Ln would stay: they are still being written or downloaded", nullptr, n);
    case Plan::Verdict::NameRefused:
        return tr("%Ln would stay: %1 cannot store their names", nullptr, n).arg(destination);
    case Plan::Verdict::TooLarge:
        return tr("%Ln would stay: they are larger than 4 GiB, which %1 cannot store", nullptr, n).arg(destination);
    case Plan::Verdict::FolderBlocked:
        return tr("%Ln would stay: files in %1 have the names of their folders", nullptr, n).arg(destination);
    case Plan::Verdict::Gone:
        return tr("%Ln are no longer where Foldwise put them", nullptr, n);
    case Plan::Verdict::Move:
        break;
    }
    return {};
}

QString PlanWording::keptBeside(std::int64_t count) const {
    return tr("%Ln would be moved under new names beside their namesakes in %1", nullptr, Counts::plural(count))
        .arg(output_);
}

QString PlanWording::identical(std::int64_t count) const {
    return tr("%Ln of them are identical to the files already in %1.", nullptr, Counts::plural(count)).arg(output_);
}

QString PlanWording::failure(const std::string& description) const {
    return (isSort() ? tr("❌ Sorting would fail: %1") : tr("❌ Revert would fail: %1"))
        .arg(QString::fromStdString(description));
}

QString PlanWording::line(const Plan& plan) {
    const std::int64_t moving = plan.count(Plan::Verdict::Move);
    if (moving == 0) {
        return tr("Nothing to sort.");
    }
    const auto subFolders = plan.subFolderCounts();
    QStringList parts;
    for (const auto& [folder, count] : subFolders) {
        parts << QStringLiteral("%1 %2").arg(QString::fromStdString(FileSystem::displayName(folder)),
                                             Counts::number(count));
    }
    return tr("%Ln files will go into %1: %2", nullptr, Counts::plural(moving))
        .arg(Counts::folders(static_cast<std::int64_t>(subFolders.size())), parts.join(QStringLiteral(", ")));
}

QString PlanWording::unavailable(const QString& reason) {
    return tr("What Sort would do is unknown: %1").arg(reason);
}

QString PlanWording::fate(const Plan::File& file) {
    const QString folder = QString::fromStdString(FileSystem::displayName(file.subFolder));
    switch (file.verdict) {
    case Plan::Verdict::Move:
        return file.newName.empty() ? folder : tr("%1, as %2").arg(folder, Quote::bytes(file.newName));
    case Plan::Verdict::NameTaken:
        return file.identical ? tr("Stays: an identical file has its name in %1").arg(folder)
                              : tr("Stays: its name is taken in %1").arg(folder);
    case Plan::Verdict::NotRegular:
        return tr("Stays: not a regular file");
    case Plan::Verdict::NameRefused:
        return tr("Stays: the output folder's drive cannot store its name");
    case Plan::Verdict::TooLarge:
        return tr("Stays: larger than the output folder's drive can store");
    case Plan::Verdict::FolderBlocked:
        return tr("Stays: a file in the output folder has the name %1").arg(folder);
    case Plan::Verdict::InUse:
        return tr("Stays: still being written or downloaded");
    case Plan::Verdict::Gone:
        break;
    }
    return tr("No longer where Foldwise put it");
}

QString PlanWording::name(const Plan::File& file) {
    return QString::fromStdString(FileSystem::displayName(file.name));
}

} // namespace foldwise
