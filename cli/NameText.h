#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace foldwise {
namespace fs = std::filesystem;

// File names and paths are bytes. In the human output each byte that is not part of valid UTF-8, and each
// control character, is shown as \xNN, so that every name shows which bytes it holds and a name can never
// break a line; the JSON output gives such names exactly, in base64 (see JsonOutput). The escaping is the
// engine's display form (FileSystem::displayPath), so that its error messages name items the same way.
class NameText {
public:
    NameText() = delete;

    static bool isValidUtf8(std::string_view bytes);
    static std::string escaped(std::string_view bytes);
    // The columns a text of valid UTF-8 takes, counted as code points: close enough for names in the
    // scripts people use, to align the columns of a table.
    static std::size_t columns(std::string_view text);

    // The item's own name, or its whole path, escaped and in quotation marks: “Sorted”, “/home/me/Sorted”.
    static std::string quotedName(const fs::path& path);
    static std::string quotedPath(const fs::path& path);
};

} // namespace foldwise
