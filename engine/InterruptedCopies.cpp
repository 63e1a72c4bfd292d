#include "engine/InterruptedCopies.h"

#include "engine/SameContent.h"

#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace foldwise {

bool withdrawDuplicateCopy(const Folder& copyFolder, const std::string& copyName, const Folder& sourceFolder,
                           const std::string& sourceName) {
    return sameContent(copyFolder.fd(), copyName, sourceFolder.fd(), sourceName) &&
           ::unlinkat(copyFolder.fd(), copyName.c_str(), 0) == 0;
}

void finishInterruptedCopies(History& history, const Folder& input, const std::filesystem::path& output,
                             RunOutcome& outcome) {
    const History::Folders folders{input.path(), output, {}, {}};
    const std::vector<History::Move> moves = history.interruptedCopies(folders);
    if (moves.empty()) {
        return;
    }
    const std::optional<Folder> outputFolder = Folder::openIfThere(output);
    std::vector<History::Change> changes;
    for (const History::Move& move : moves) {
        std::optional<Folder> subFolder;
        try {
            if (outputFolder) {
                subFolder.emplace(*outputFolder, move.folder);
            }
        } catch (const FileError&) {
            // Gone with its copy.
        }
        const bool copyThere = subFolder && subFolder->entryIdentityOf(move.nameThere()) == move.copy;
        const bool sourceThere = input.entryIdentityOf(move.name) == move.identity;
        if (copyThere && !sourceThere) {
            changes.push_back({move.id, History::MoveState::Made, move.copy});
            continue;
        }
        if (copyThere && !withdrawDuplicateCopy(*subFolder, move.nameThere(), input, move.name)) {
            ++outcome.keptBoth;
        }
        changes.push_back({move.id, std::nullopt});
    }
    history.recordChanges(changes);
}

} // namespace foldwise
