#pragma once

#include "engine/Folder.h"
#include "engine/MoveFailure.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace foldwise {

// Why the entry `name` of `output` cannot be a sub-folder to move files into (a link, or anything
// else that is not a folder); nothing when it is a folder or nothing is there yet.
std::optional<std::string> subFolderProblem(const Folder& output, const std::string& name);
// Whether that problem is a link in the sub-folder's place: a sort stops there. Anything else in its
// place only keeps the files bound for it where they are.
bool isLinkProblem(const std::string& problem);

// The sub-folders of an output folder that a sort moves files into. Each move looks at what is at
// `output/<name>` at that moment, so a sub-folder renamed or removed during a run receives nothing
// more: a removed one is made anew. A folder once opened is kept open while it stays the one at that
// name, which spares a sort of many files an open per file.
class SubFolders {
public:
    // `made` hears of each sub-folder as soon as it is made, with its identity.
    using MadeListener = std::function<void(const std::string& name, const FileIdentity& identity)>;
    SubFolders(const Folder& output, bool sweepAbandonedCopies, MadeListener made)
        : output_(output), sweepAbandonedCopies_(sweepAbandonedCopies), made_(std::move(made)) {}

    struct SubFolder {
        FileIdentity identity;
        Folder folder;
    };
    // The folder now at `name`, made when nothing is there. Throws `failure`'s error when a link or
    // anything else that is not a folder is in the way.
    const SubFolder& current(const std::string& name, const MoveFailure& failure);

private:
    const SubFolder& openAnew(const std::string& name, const FileIdentity& identity, const MoveFailure& failure);

    const Folder& output_;
    const bool sweepAbandonedCopies_;
    std::unordered_map<std::string, SubFolder> open_;
    MadeListener made_;
};

} // namespace foldwise
