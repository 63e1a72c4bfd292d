#include "wording/PlanWording.h"

#include "engine/FileSystem.h"

#include <QStringList>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace foldwise {
namespace {

QString files(std::int64_t count, const QLocale& locale) {
    return count == 1 ? PlanWording::tr("1 file") : PlanWording::tr("%1 files").arg(locale.toString(count));
}

QString folders(std::int64_t count, const QLocale& locale) {
    return count == 1 ? PlanWording::tr("1 folder") : PlanWording::tr("%1 folders").arg(locale.toString(count));
}

QString quoted(const std::string& name) {
    return QStringLiteral("“%1”").arg(QString::fromStdString(FileSystem::displayName(name)));
}

} // namespace

QString PlanWording::line(const Plan& plan, const QLocale& locale) {
    std::map<std::string, std::int64_t> counts;
    std::int64_t moving = 0;
    for (const Plan::File& file : plan.files) {
        if (file.verdict == Plan::Verdict::Move) {
            ++counts[file.subFolder];
            ++moving;
        }
    }
    if (moving == 0) {
        return tr("Nothing to sort.");
    }
    std::vector<std::pair<std::string, std::int64_t>> largestFirst(counts.begin(), counts.end());
    std::stable_sort(largestFirst.begin(), largestFirst.end(),
                     [](const auto& one, const auto& other) { return one.second > other.second; });
    QStringList parts;
    for (const auto& [folder, count] : largestFirst) {
        parts << QStringLiteral("%1 %2").arg(QString::fromStdString(FileSystem::displayName(folder)),
                                             locale.toString(count));
    }
    return tr("%1 will go into %2: %3")
        .arg(files(moving, locale), folders(static_cast<std::int64_t>(counts.size()), locale),
             parts.join(QStringLiteral(", ")));
}

QString PlanWording::unavailable(const QString& reason) {
    return tr("What Sort would do is unknown: %1").arg(reason);
}

QString PlanWording::fate(const Plan::File& file) {
    const QString folder = QString::fromStdString(FileSystem::displayName(file.subFolder));
    switch (file.verdict) {
    case Plan::Verdict::Move:
        return file.newName.empty() ? folder : tr("%1, as %2").arg(folder, quoted(file.newName));
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
