#include "cli/NameText.h"

#include "engine/FileSystem.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstdint>

namespace foldwise {

bool NameText::isValidUtf8(std::string_view bytes) {
    return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8();
}

std::string NameText::escaped(std::string_view bytes) {
    return FileSystem::displayPath(fs::path(std::string(bytes)));
}

std::size_t NameText::columns(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<std::uint8_t>(c) & 0xC0) != 0x80; }));
}

std::string NameText::quotedName(const fs::path& path) {
    return "“" + FileSystem::displayFolderName(path) + "”";
}

std::string NameText::quotedPath(const fs::path& path) {
    return FileSystem::quoted(path);
}

} // namespace foldwise
