#include "engine/Reverter.h"

#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/FolderAccess.h"

#include <optional>

namespace foldwise {

namespace {

// Moves every file below `output` directly into `input`.
void moveFilesBack(const fs::path& input, const fs::path& output) {
    std::optional<Folder> outputFolder;
    try {
        outputFolder.emplace(output);
    } catch (const FileError&) {
        return; // nothing to walk; the clean-up listing reports why
    }
    // Opened at the first move, so that an output folder without files never needs the input folder.
    std::optional<Folder> inputFolder;
    outputFolder->walk(WalkOptions{}, [&](const Folder& parent, const std::string& name) {
        if (parent.kindOf(name) != EntryKind::File) {
            return;
        }
        if (!inputFolder) {
            inputFolder.emplace(input);
        }
        // A taken name stays where it is: the move never replaces, which makes it its own test.
        parent.moveNoReplace(name, *inputFolder, name);
    });
}

} // namespace

void revertFiles(const fs::path& input, const fs::path& output) {
    const FolderPairAccess access(input, output);
    moveFilesBack(input, output);
    for (const fs::path& entry : FileSystem::listAll(output)) {
        FileSystem::removeEmptyFolderTree(entry, input);
    }
}

} // namespace foldwise
