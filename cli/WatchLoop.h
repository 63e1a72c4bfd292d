#pragma once

#include "cli/ArrivingFiles.h"
#include "cli/FolderWatch.h"
#include "cli/RememberedChoices.h"
#include "engine/Descriptor.h"
#include "engine/RunLock.h"
#include "wording/WatchWording.h"

#include <chrono>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace foldwise {

// Sorts the files of a folder as they arrive and settle, until asked to stop: each batch of settled files is
// one sort, recorded in the history like any other, and each moved file is one line on standard output. Files
// an undo brought back are left alone until they change or are moved; the watch is registered for as long as
// it runs, so that an undo can say so. A file that stayed because its name is taken is tried again later.
class WatchLoop {
public:
    WatchLoop(const FolderPair& folders, bool useSmartCategories, OnNameTaken onNameTaken,
              std::chrono::milliseconds settle, std::stop_token stop);
    ~WatchLoop();
    WatchLoop(const WatchLoop&) = delete;
    WatchLoop& operator=(const WatchLoop&) = delete;

    // Runs until the stop is requested. Throws CommandFailure when the folder cannot be watched at all.
    void run();

private:
    void handleEvents();
    void lookAtEveryFile();
    void reconnect();
    void sortSettled();
    void sort(const std::vector<std::string>& names);
    void retryTakenLater(const std::unordered_set<std::string>& taken);
    int timeoutMs() const;

    FolderPair folders_;
    bool useSmartCategories_;
    WatchWording wording_;
    OnNameTaken onNameTaken_;
    std::chrono::milliseconds settle_;
    std::stop_token stop_;
    Descriptor wake_;
    WatchRegistration registration_;
    FolderWatch watch_;
    ArrivingFiles arriving_;
    // Files that stayed because their name is taken, and how long until they are tried again: the wait
    // doubles each time, so that a name that stays taken costs next to nothing, and a change to the file
    // starts it over.
    std::unordered_map<std::string, std::chrono::seconds> takenRetry_;
};

} // namespace foldwise
