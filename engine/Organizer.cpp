#include "engine/Organizer.h"

#include "engine/Categories.h"
#include "engine/FileError.h"
#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/Lowercase.h"

#include <optional>
#include <unordered_map>

namespace foldwise {

namespace {

// Names the sub-folder a file goes into: its category, or its lowercased extension ("other" when
// it has none). Each distinct extension is named once per run.
class SubFolderNamer {
public:
    explicit SubFolderNamer(bool useSmartCategories) : useSmartCategories_(useSmartCategories) {}

    const std::string& nameFor(const std::string& fileName) {
        const std::string extension(FileSystem::nameExtension(fileName));
        auto found = names_.find(extension);
        if (found == names_.end()) {
            found = names_.emplace(extension, nameForExtension(extension)).first;
        }
        return found->second;
    }

private:
    std::string nameForExtension(const std::string& extension) const {
        if (useSmartCategories_) {
            return categoryForExtension(extension);
        }
        return extension.empty() ? std::string("other") : lowercased(extension);
    }

    bool useSmartCategories_;
    std::unordered_map<std::string, std::string> names_;
};

// The output folder's sub-folders, each opened once per run so that a move names just the file
// and costs the kernel no more than the move itself. A sub-folder is looked at again whenever a
// move into it fails: one that was removed meanwhile is made again, one that was replaced is
// opened anew, and only then does the failure count.
class SubFolders {
public:
    explicit SubFolders(const Folder& output) : output_(output) {}

    // The open sub-folder `name`, made first when nothing is there; nothing when what is there
    // cannot be opened as a folder (a file of that name, say).
    const Folder* open(const std::string& name) {
        const auto found = open_.find(name);
        return found != open_.end() ? &found->second : openAnew(name);
    }

    const Folder* openAnew(const std::string& name) {
        open_.erase(name);
        if (!output_.exists(name)) {
            output_.createFolder(name);
        }
        try {
            return &open_.emplace(name, Folder(output_, name, Folder::Links::Follow)).first->second;
        } catch (const FileError&) {
            return nullptr;
        }
    }

private:
    const Folder& output_;
    std::unordered_map<std::string, Folder> open_;
};

// Moves `name` into the sub-folder, never replacing what is there.
void moveInto(const Folder& input, const std::string& name, const Folder& output, SubFolders& subFolders,
              const std::string& subFolderName) {
    if (const Folder* subFolder = subFolders.open(subFolderName)) {
        try {
            input.moveNoReplace(name, *subFolder, name);
            return;
        } catch (const FileError&) {
            // The sub-folder may have been removed or replaced since it was opened: look again.
        }
    }
    if (const Folder* subFolder = subFolders.openAnew(subFolderName)) {
        input.moveNoReplace(name, *subFolder, name);
    } else {
        // Something that is not a folder is in the way: the move by path says why it cannot be made.
        input.moveNoReplace(name, output, subFolderName + "/" + name);
    }
}

} // namespace

void organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories) {
    const Folder inputFolder(input);
    const std::vector<std::string> names = inputFolder.names(false);
    if (names.empty()) {
        return;
    }
    // Opened only once a file is about to move, so a sort of folders alone never needs the output.
    std::optional<Folder> outputFolder;
    std::optional<SubFolders> subFolders;
    SubFolderNamer namer(useSmartCategories);

    for (const std::string& name : names) {
        if (inputFolder.kindOf(name) != EntryKind::File) {
            continue; // gone, a folder, or a link to a folder or to nothing
        }
        if (!outputFolder) {
            if (!FileSystem::exists(output)) {
                FileSystem::createDirectories(output); // as creating its first sub-folder would
            }
            subFolders.emplace(outputFolder.emplace(output));
        }
        // A taken name is left where it is. The move itself is the test: it never replaces, so a
        // file that appears at the destination at any moment before it is never overwritten.
        moveInto(inputFolder, name, *outputFolder, *subFolders, namer.nameFor(name));
    }
}

} // namespace foldwise
