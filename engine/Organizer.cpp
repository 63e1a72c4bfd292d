#include "engine/Organizer.h"

#include "engine/Categories.h"
#include "engine/FileFate.h"
#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/Lowercase.h"
#include "engine/ProgressReporter.h"
#include "engine/SubFolders.h"

#include <cerrno>
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

// Every entry of the listing that may be a file: real folders are left out at once.
std::vector<std::string> candidateNames(const Folder& input) {
    std::vector<std::string> names;
    for (Folder::Entry& entry : input.entries(false)) {
        if (!entry.isRealFolder) {
            names.push_back(std::move(entry.name));
        }
    }
    return names;
}

class Sort {
public:
    Sort(const Folder& input, const fs::path& output, bool useSmartCategories, ProgressReporter& progress,
         RunOutcome& outcome)
        : input_(input), outputPath_(output), namer_(useSmartCategories), progress_(progress), outcome_(outcome) {}

    // Sorts `names` in order; throws the first failure, with `handled()` telling how far it came.
    void run(const std::vector<std::string>& names) {
        for (; handled_ < names.size(); ++handled_) {
            const FileFate fate = progress_.stopRequested() ? FileFate::Cancelled : sortOne(names[handled_]);
            if (fate == FileFate::Cancelled) {
                outcome_.cancelled = true;
                return;
            }
            count(outcome_, fate);
            progress_.fileDone();
        }
    }

    std::size_t handled() const { return handled_; }

private:
    FileFate sortOne(const std::string& name) {
        if (const std::optional<FileFate> fate = unmovable(input_, name)) {
            return *fate;
        }
        const std::string& subFolderName = namer_.nameFor(name);
        const MoveFailure failure(name, input_.path(), (outputPath_ / subFolderName).native());
        // A sub-folder removed while the file was on its way is made again, once.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const Folder& subFolder = subFolders().current(subFolderName, failure);
            const MoveResult result = input_.moveNoReplace(name, subFolder, name, progress_.controlFor(name));
            if (result != MoveResult::DestinationFolderGone) {
                return fateOf(result);
            }
        }
        throw failure.atDestination(ENOENT);
    }

    // Opened at the first file to move, so that a sort of folders alone never needs the output.
    SubFolders& subFolders() {
        if (!subFolders_) {
            if (!FileSystem::exists(outputPath_)) {
                FileSystem::createDirectories(outputPath_); // as creating its first sub-folder would
            }
            const Folder& output = output_.emplace(outputPath_);
            // Copies left by a killed move across file systems are swept from each folder used.
            const bool acrossDevices = output.identity().device != input_.identity().device;
            subFolders_.emplace(output, acrossDevices);
        }
        return *subFolders_;
    }

    const Folder& input_;
    const fs::path outputPath_;
    SubFolderNamer namer_;
    ProgressReporter& progress_;
    RunOutcome& outcome_;
    std::optional<Folder> output_;
    std::optional<SubFolders> subFolders_;
    std::size_t handled_ = 0;
};

} // namespace

RunOutcome organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories,
                         const RunOptions& options) {
    RunOutcome outcome;
    try {
        const Folder inputFolder(input);
        const std::vector<std::string> names = candidateNames(inputFolder);
        ProgressReporter progress(options, static_cast<std::int64_t>(names.size()));
        Sort sort(inputFolder, output, useSmartCategories, progress, outcome);
        try {
            sort.run(names);
        } catch (const FileError& error) {
            outcome.failure = error;
        }
        outcome.notReached = static_cast<std::int64_t>(names.size() - sort.handled());
        progress.finish();
    } catch (const FileError& error) {
        outcome.failure = error;
    }
    return outcome;
}

void organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories) {
    const RunOutcome outcome = organizeFiles(input, output, useSmartCategories, RunOptions{});
    if (outcome.failure) {
        throw *outcome.failure;
    }
}

} // namespace foldwise
