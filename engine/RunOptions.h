#pragma once

#include "engine/StayReason.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>

namespace foldwise {

// Where a sort or an undo stands.
struct RunProgress {
    std::int64_t filesDone = 0;  // files handled so far, whatever became of them
    std::int64_t filesTotal = 0; // files the run set out to handle
    // The file being copied to another file system, and how far that copy is; empty otherwise.
    std::string copyingFile;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

// What a sort does with a file whose name is taken where it would go: leave it where it is, or move it
// under the first free name of the form "report (2).pdf".
enum class OnNameTaken { Leave, KeepBoth };

// What a caller lends a sort or an undo.
struct RunOptions {
    OnNameTaken onNameTaken = OnNameTaken::Leave;
    // Called on the running thread at most every 50 ms, and once when the run ends.
    std::function<void(const RunProgress&)> progress;
    // Checked between files and between chunks of a copy: the run stops after the current file, or
    // abandons the current copy (removing it and keeping the source).
    std::stop_token stop;
    // The history of sorts to record in and undo from; empty: the user's own.
    std::filesystem::path historyFile;
    // An undo reverses only the sort with this id in the history (see History::runs); 0: every sort of
    // its folders on record.
    std::int64_t onlySort = 0;
    // A sort handles only the files of the input folder whose names this accepts; empty: all.
    std::function<bool(const std::string& name)> include;
    // Told of each file moved, on the running thread: its name, and the sub-folder it went into
    // (a sort) or came from (an undo).
    std::function<void(const std::string& name, const std::string& subFolder)> moved;
    // Told of each file that stays where it is, and why (a sort's files, and an undo's).
    std::function<void(const std::string& name, const std::string& subFolder, StayReason reason)> stayed;
    // Told, on the running thread, of each file of a sort whose name was taken in its sub-folder by a
    // file of the same size and bytes, whether it stays or is moved under a new name (before `stayed`
    // or `moved`). Nothing is removed for being a duplicate.
    std::function<void(const std::string& name, const std::string& subFolder)> identical;
    // Told of each file a sort moved under a new name beside its namesake, after `moved`: the name it
    // got in the sub-folder.
    std::function<void(const std::string& name, const std::string& subFolder, const std::string& newName)> renamed;
    // Told, on the running thread, when the run has to wait for another run on the same folders, with
    // that run's description ("the sort from “In” into “Out”"); the stop ends the wait.
    std::function<void(const std::string& otherRun)> waiting;
};

} // namespace foldwise
