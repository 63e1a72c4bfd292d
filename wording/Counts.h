#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstdint>

namespace foldwise {

// Counts as both front ends show them: grouped the way the default locale groups numbers ("12,629" in
// English), with the plural form the translations give ("1 file", "2 files").
class Counts {
    Q_DECLARE_TR_FUNCTIONS(Counts)

public:
    Counts() = delete;

    static QString number(std::int64_t value);
    static QString files(std::int64_t count);   // "1 file", "1,234 files"
    static QString folders(std::int64_t count); // "1 folder", "7 folders"

    // The `n` that tr() takes for a count.
    static int plural(std::int64_t count);
};

} // namespace foldwise
