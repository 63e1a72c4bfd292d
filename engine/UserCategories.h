#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foldwise {
namespace fs = std::filesystem;

// The user's own categories: the [Extensions] section of categories.ini, one "extension = folder" line
// each, where the folder is one of the seven categories or a name of the user's own. Their rules win
// over every other. The file is read as text line by line, so that a line that cannot be used is told
// by its number and the others still apply.
class UserCategories {
public:
    struct Rule {
        std::string extension; // lower case, without a dot
        std::string folder;
        int line = 0;
    };

    // $XDG_CONFIG_HOME/Foldwise/categories.ini: beside the preferences.
    static fs::path defaultFile();

    // The rules of `file`, never throwing: a missing file has none; a file that cannot be read or is
    // not text has none and one problem; each line that cannot be used is a problem of its own.
    static UserCategories load(const fs::path& file);
    static UserCategories parse(std::string_view text, std::string_view fileName = "categories.ini");

    // `text` of a categories.ini with its [Extensions] rules replaced by `rules`, in their order: comments,
    // blank lines and other sections stay where they are; the section is added at the end if missing.
    static std::string withRules(std::string_view text, const std::vector<Rule>& rules);
    // Writes `rules` into `file` (made with its folder if missing) by way of a flushed temporary file
    // renamed over it, so that the file is the old one or the new one whenever the writer is stopped.
    // Throws FileError.
    static void save(const fs::path& file, const std::vector<Rule>& rules);

    // Why `folder` cannot be the folder of a rule ("“x/y” is not a folder name"), or nothing when it can.
    static std::optional<std::string> folderProblem(std::string_view folder);
    // The folder as a rule stores it: one of the seven spelt as the seven are, whatever its case.
    static std::string canonicalFolder(std::string_view folder);
    // The extension as a rule stores it (lower case, no leading dot), or nothing when it cannot be one.
    static std::optional<std::string> canonicalExtension(std::string_view extension);

    const std::vector<Rule>& rules() const { return rules_; }
    // Whole sentences, one per line left out or one for a damaged file, in the order of the file.
    const std::vector<std::string>& problems() const { return problems_; }
    // The user's folder for files with `extension` (any case), or nothing.
    std::optional<std::string_view> folderFor(std::string_view extension) const;

    // The rules every sort, undo, plan and count of this process uses from now on; thread-safe.
    static void install(UserCategories categories);
    static std::shared_ptr<const UserCategories> installed();

private:
    std::vector<Rule> rules_;
    std::vector<std::string> problems_;
    std::map<std::string, std::size_t, std::less<>> byExtension_;
};

} // namespace foldwise
