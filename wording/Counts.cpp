#include "wording/Counts.h"

#include <QLocale>

#include <algorithm>
#include <climits>

namespace foldwise {

QString Counts::number(std::int64_t value) {
    return QLocale().toString(static_cast<qlonglong>(value));
}

int Counts::plural(std::int64_t count) {
    // No folder holds more than an int's worth of files; a count beyond it is shown at the limit.
    return static_cast<int>(std::clamp<std::int64_t>(count, 0, INT_MAX));
}

QString Counts::files(std::int64_t count) {
    return tr("%Ln files", nullptr, plural(count));
}

QString Counts::folders(std::int64_t count) {
    return tr("%Ln folders", nullptr, plural(count));
}

} // namespace foldwise
