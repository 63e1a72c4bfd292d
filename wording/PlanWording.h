#pragma once

#include "engine/Plan.h"
#include "engine/RunKind.h"
#include "engine/SortMode.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <filesystem>

namespace foldwise {

// What a dry run says about the plan of a sort or an undo of `input` into `output`: a headline, and a head
// for each group of files that would stay, which the front end follows with the files themselves.
class PlanWording {
    Q_DECLARE_TR_FUNCTIONS(PlanWording)

public:
    // `mode` is a sort's; an undo's is ignored.
    PlanWording(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                SortMode mode = SortMode::ByCategory);

    // "Sorting “In” into “Out” by category would move 3 files into 2 folders", or for an undo "Undoing the
    // sorts from “In” into “Out” would move 3 files back from 2 folders"; the caller ends it.
    QString headline(std::int64_t moving, std::int64_t folders) const;
    // "2 would stay: their names are taken there" and the like, for the files of one verdict that stay.
    QString staying(Plan::Verdict verdict, std::int64_t count) const;
    // "2 would be moved under new names beside their namesakes in “Out”"
    QString keptBeside(std::int64_t count) const;
    // "1 of them is identical to the file already in “Out”."
    QString identical(std::int64_t count) const;
    // "❌ Sorting would fail: …" or "❌ Revert would fail: …".
    QString failure(const std::string& description) const;

    // The window's plan line: the sub-folders that would get files, largest first, each with its count
    // ("295 files will go into 7 folders: Images 134, Documents 78"); or "Nothing to sort.".
    static QString line(const Plan& plan);
    // A plan that could not be made, with the reason.
    static QString unavailable(const QString& reason);
    // Where a sort takes one file ("Images", "Images, as “a (2).txt”"), or why it stays.
    static QString fate(const Plan::File& file);
    // The file's name as shown, bytes that are not UTF-8 in the \xNN form.
    static QString name(const Plan::File& file);

private:
    bool isSort() const { return kind_ == RunKind::Sort; }

    RunKind kind_;
    SortMode mode_;
    QString input_;  // quoted
    QString output_; // quoted
};

} // namespace foldwise
