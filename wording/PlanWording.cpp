#include "wording/PlanWording.h"

#include "wording/Counts.h"
#include "wording/Quote.h"

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

} // namespace foldwise
