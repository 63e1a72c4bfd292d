#pragma once

#include <QString>

#include <filesystem>

namespace foldwise {

// How every message names an item: in curly quotation marks, with the bytes of a name that are not
// UTF-8 (and control characters) shown as \xNN, as the engine's errors show them.
class Quote {
public:
    Quote() = delete;

    static QString name(const std::filesystem::path& path); // “Sorted”: a folder's or file's own name
    static QString path(const std::filesystem::path& path); // “/home/me/Sorted”
    static QString text(const QString& text);               // “text”, as it is
    static QString bytes(const std::string& bytes);         // “text” of bytes from outside (arguments)
};

} // namespace foldwise
