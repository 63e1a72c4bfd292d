#pragma once

#include "engine/SortMode.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <filesystem>
#include <string>

namespace foldwise {

// What a watch of `input` that sorts into `output` says: when it starts, stops, loses and finds its folder
// again, and a line for each file it moves or leaves.
class WatchWording {
    Q_DECLARE_TR_FUNCTIONS(WatchWording)

public:
    WatchWording(const std::filesystem::path& input, const std::filesystem::path& output, SortMode mode);

    // "Watching “/home/me/Downloads”: files that have settled for 2 s go into “/home/me/Sorted” by category."
    QString watching(std::chrono::milliseconds settle) const;
    QString stopped() const;    // "Stopped watching “/home/me/Downloads”."
    QString folderGone() const; // "The input folder … is not available; waiting for it to come back."
    QString folderBack() const; // "The input folder … is back; watching it again."
    QString cannotWatch(const std::string& reason) const; // "❌ Could not watch “…”: reason"
    static QString cannotWait(const std::string& reason); // "❌ Could not wait for changes: reason"

    // "Moved “a.txt” into “Documents”."
    static QString moved(const std::string& name, const std::string& subFolder);
    // "“a.txt” stayed: its name is taken in “/home/me/Sorted”."
    QString nameTaken(const std::string& name) const;

private:
    QString input_;  // quoted path
    QString output_; // quoted path
    SortMode mode_;
};

} // namespace foldwise
