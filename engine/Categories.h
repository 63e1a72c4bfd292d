#pragma once

#include "engine/TypeRegistry.h"

#include <array>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace foldwise {
namespace fs = std::filesystem;

class UserCategories;

// The seven categories, in the order of the tests that decide them (Other last).
constexpr std::array<std::string_view, 7> kCategoryNames{"Images",   "Video", "Audio", "Documents",
                                                         "Archives", "Code",  "Other"};

// The sub-folder a file goes into, and why, in words a user is shown ("your rule", "installer or
// package", "MIME type text/x-shellscript", "programming language (Linguist: Shell)", "no type known").
struct CategoryExplanation {
    std::string category;
    std::string reason;
};

// Decides, the first that holds: the user's rule; the table of overrides; a MIME type of image, video,
// audio or archive; Linguist's programming languages, and its markup languages where the MIME
// database knows no type; the MIME database's type; else Other. `rules` are the user's rules (the
// installed ones when null). Never throws; thread-safe.
CategoryExplanation explainCategory(std::string_view extension, const UserCategories* rules = nullptr);

// One of the seven names or a folder of the user's rules, decided as above with the installed rules
// by the file's extension (case kept). Never throws; thread-safe.
std::string categoryForFile(const fs::path& file);
std::string categoryForExtension(std::string_view extension);

// The category that the registry's types for one extension give, whatever order they come in;
// "Other" for none.
std::string categoryForTypes(std::span<const ContentType> types);

// Classifies each distinct extension once, with the user's rules installed when it is made: one run
// keeps one rule, whatever is installed meanwhile. Not thread-safe: one cache per thread or per run.
class CategoryCache {
public:
    CategoryCache();
    const std::string& categoryForExtension(const std::string& extension);

private:
    std::shared_ptr<const UserCategories> rules_;
    std::unordered_map<std::string, std::string> categories_;
};

} // namespace foldwise
