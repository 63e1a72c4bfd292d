#pragma once

#include "engine/History.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>

namespace foldwise {

// What a run of the history says in the history sheet's columns: the same facts `foldwise history`
// lists, in the window's words.
class HistoryWording {
    Q_DECLARE_TR_FUNCTIONS(HistoryWording)

public:
    HistoryWording() = delete;

    static QString when(const History::Run& run, const QLocale& locale);
    static QString kind(const History::Run& run);
    static QString mode(const History::Run& run);
    // "Downloads → Sorted", and with full paths for the tooltip.
    static QString folders(const History::Run& run);
    static QString folderPaths(const History::Run& run);
    static std::int64_t stayed(const History::Run& run);
    // "Completed", "Stopped", "Failed: …", "Interrupted", …, with ", undone" for an undone sort.
    static QString result(const History::Run& run);
};

} // namespace foldwise
