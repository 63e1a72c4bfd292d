#pragma once

#include "engine/RunOptions.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foldwise {
namespace fs = std::filesystem;

struct FolderPair {
    fs::path input;
    fs::path output;
};

// What a command leaves out comes from the window's remembered choices: the same preferences and folder
// bookmarks. Folders are made absolute (without "." and ".."), as the history of sorts records them.
// Before a run, the folders are checked here as a person gave them, so that a mistyped one fails before
// anything is written.
class RememberedChoices {
public:
    RememberedChoices() = delete;

    // INPUT and OUTPUT as given (both or neither), else the remembered folders. Throws UsageError when
    // one is given alone, or none is given and none is remembered; CommandFailure when a remembered
    // folder can no longer be found (the reason is printed on standard error).
    static FolderPair folders(const std::vector<std::string>& given, std::string_view command);
    // FOLDER as given, else the remembered input folder; thrown at as `folders` is.
    static fs::path inputFolder(const std::vector<std::string>& given, std::string_view command);
    // "category" or "extension" as given, else the remembered mode; throws UsageError on any other text.
    static bool useSmartCategories(const std::optional<QString>& by);
    // "leave" or "keep-both" as given, else the remembered choice; throws UsageError on any other text.
    static OnNameTaken onNameTaken(const std::optional<QString>& ifTaken);

    // Throws FileError, in the engine's words, when the input folder cannot be opened: checked before a
    // run opens the history, so that a missing folder leaves no history behind.
    static void openInput(const fs::path& input);
    // Makes the output folder when it is missing and the folder it goes into is there (with `dryRun`,
    // only checks that it could), and returns whether it made it. Only the last folder is made: a
    // mistyped parent throws FileError, and nothing is made.
    static bool makeOutput(const fs::path& output, bool dryRun);
};

} // namespace foldwise
