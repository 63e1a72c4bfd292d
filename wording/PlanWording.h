#pragma once

#include "engine/Plan.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>

namespace foldwise {

// What a plan says in words: one line for all of it ("295 files will go into 7 folders: Images 134, …"),
// and for each file where it goes or why it stays.
class PlanWording {
    Q_DECLARE_TR_FUNCTIONS(PlanWording)

public:
    PlanWording() = delete;

    // The sub-folders that get files, largest first, each with its count; or "Nothing to sort.".
    static QString line(const Plan& plan, const QLocale& locale);
    // A plan that could not be made, with the reason.
    static QString unavailable(const QString& reason);
    // Where a sort takes the file ("Images", "Images, as “a (2).txt”"), or why it stays.
    static QString fate(const Plan::File& file);
    // The file's name as shown, bytes that are not UTF-8 in the \xNN form.
    static QString name(const Plan::File& file);
};

} // namespace foldwise
