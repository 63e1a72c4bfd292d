#pragma once

#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"
#include "ui/RunWorker.h"
#include "ui/StatusColor.h"

#include <QLocale>
#include <QString>

#include <filesystem>

namespace foldwise {

// What the organizer screen says about a run, numbers grouped the way `locale` groups them.
struct RunMessage {
    QString text;
    StatusColor color;
};

class RunMessages {
public:
    RunMessages(RunWorker::Kind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                const QLocale& locale = QLocale());

    // "Sorting… 1,234 of 10,000 files", or while a large file is copied to another drive,
    // "Copying “holiday.mkv” to another drive… 1.2 of 4.0 GB".
    RunMessage progress(const RunProgress& progress) const;
    // Whether the progress is that of one large copy, which the progress bar then follows.
    static bool showsCopy(const RunProgress& progress);
    // "Waiting for the sort from “In” into “Out” to finish…", while another run on these folders lasts.
    static RunMessage waiting(const QString& otherRun);

    // The status line once the run has ended.
    RunMessage outcome(const RunOutcome& outcome) const;
    // The second line: what stayed and why; empty when nothing did.
    QString details(const RunOutcome& outcome) const;

private:
    QString count(std::int64_t number) const { return locale_.toString(static_cast<qlonglong>(number)); }
    QString files(std::int64_t number) const;

    RunWorker::Kind kind_;
    QString inputName_;
    QString outputName_;
    QLocale locale_;
};

} // namespace foldwise
