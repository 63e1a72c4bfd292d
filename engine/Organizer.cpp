#include "engine/Organizer.h"

#include "engine/Categories.h"
#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/Lowercase.h"

#include <optional>

namespace foldwise {

namespace {

// Names the sub-folder a file goes into: its category, or its lowercased extension ("other" when
// it has none).
class SubFolderNamer {
public:
    explicit SubFolderNamer(bool useSmartCategories) : useSmartCategories_(useSmartCategories) {}

    std::string nameFor(const std::string& fileName) {
        const std::string extension = FileSystem::pathExtension(fileName);
        if (useSmartCategories_) {
            return categories_.categoryForExtension(extension);
        }
        return extension.empty() ? std::string("other") : lowercased(extension);
    }

private:
    bool useSmartCategories_;
    CategoryCache categories_; // each distinct extension is looked up once per run
};

} // namespace

void organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories) {
    const Folder inputFolder(input);
    const std::vector<std::string> names = inputFolder.names(false);
    if (names.empty()) {
        return;
    }
    // Opened only once a file is about to move, so a sort of folders alone never needs the output.
    std::optional<Folder> outputFolder;
    SubFolderNamer namer(useSmartCategories);

    for (const std::string& name : names) {
        if (inputFolder.kindOf(name) != EntryKind::File) {
            continue; // gone, a folder, or a link to a folder or to nothing
        }
        if (!outputFolder) {
            if (!FileSystem::exists(output)) {
                FileSystem::createDirectories(output); // as creating its first sub-folder would
            }
            outputFolder.emplace(output);
        }
        const std::string subFolder = namer.nameFor(name);
        if (!outputFolder->exists(subFolder)) {
            outputFolder->createFolder(subFolder);
        }
        // A taken name is left where it is. The move itself is the test: it never replaces, so a
        // file that appears at the destination at any moment before it is never overwritten.
        inputFolder.moveNoReplace(name, *outputFolder, subFolder + "/" + name);
    }
}

} // namespace foldwise
