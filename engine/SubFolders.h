#pragma once

#include "engine/Folder.h"
#include "engine/MoveFailure.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace foldwise {

// The sub-folders of an output folder that a sort moves files into. Each move looks at what is at
// `output/<name>` at that moment, so a sub-folder renamed or removed during a run receives nothing
// more: a removed one is made anew. A folder once opened is kept open while it stays the one at that
// name, which spares a sort of many files an open per file.
class SubFolders {
public:
    explicit SubFolders(const Folder& output, bool sweepAbandonedCopies)
        : output_(output), sweepAbandonedCopies_(sweepAbandonedCopies) {}

    // The folder now at `name`, made when nothing is there. Throws `failure`'s error when a link or
    // anything else that is not a folder is in the way.
    const Folder& current(const std::string& name, const MoveFailure& failure);

    // Whether this run made the sub-folder `name`.
    bool made(const std::string& name) const { return made_.count(name) > 0; }

private:
    const Folder& openAnew(const std::string& name, const FileIdentity& identity, const MoveFailure& failure);

    const Folder& output_;
    const bool sweepAbandonedCopies_;
    struct OpenFolder {
        FileIdentity identity;
        Folder folder;
    };
    std::unordered_map<std::string, OpenFolder> open_;
    std::unordered_set<std::string> made_;
};

} // namespace foldwise
