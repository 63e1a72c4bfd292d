#pragma once

#include "engine/RunKind.h"
#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"
#include "wording/StatusLine.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <filesystem>

namespace foldwise {

// What the window and the command line say about a sort or an undo of `input` into `output`: its progress,
// a wait for another run, and its outcome as a status line and a second line. The window shows them as
// they are; the command line prints the same sentences (see summary()).
class RunWording {
    Q_DECLARE_TR_FUNCTIONS(RunWording)

public:
    RunWording(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output);

    RunKind kind() const { return kind_; }

    // "Sorting… 1,234 of 10,000 files", or while a large file is copied to another drive,
    // "Copying “holiday.mkv” to another drive… 1.2 of 4.0 GB".
    QString progress(const RunProgress& progress) const;
    // Whether the progress is that of one large copy, which a progress bar then follows.
    static bool showsCopy(const RunProgress& progress);
    // "Waiting for the sort from “In” into “Out” to finish…", while another run on these folders lasts.
    static QString waiting(const QString& otherRun);

    // The status line once the run has ended: success only where files moved.
    StatusLine outcome(const RunOutcome& outcome) const;
    // The second line: what moved, and what stayed and why; empty when there is nothing to add.
    QString details(const RunOutcome& outcome) const;
    // The run's result in one paragraph, for the command line: the status line where it says more than
    // success, then the second line. A failure's own sentence is left out: it is said apart (failure()).
    QString summary(const RunOutcome& outcome) const;
    // "❌ Sorting failed: …" or "❌ Revert failed: …".
    QString failure(const std::string& description) const;

    // "Nothing to undo: no sort from “A” into “B” is on record." or, where every sort of theirs was
    // undone, "Nothing to undo: every sort from “A” into “B” is already undone."
    QString nothingToUndo(bool alreadyUndone) const;

    // Asked before the window quits during a run: "A sort is running. Stop it and quit?"
    static QString quitQuestion(RunKind kind);
    // Said at the next launch about a run stopped by quitting: "The last sort stopped when Foldwise quit:
    // 12,629 files moved, 137,371 left in “In”."
    QString stoppedByQuit(std::int64_t moved, std::int64_t left) const;

    // The files of a stopped run that are still where they were: not reached, or left there for a reason.
    static std::int64_t notMoved(const RunOutcome& outcome);

private:
    bool isSort() const { return kind_ == RunKind::Sort; }
    QString moved(const RunOutcome& outcome) const;
    QString nothingMoved(const RunOutcome& outcome) const;
    QString stayed(const RunOutcome& outcome) const;

    RunKind kind_;
    QString input_;  // quoted
    QString output_; // quoted
};

} // namespace foldwise
