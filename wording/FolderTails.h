#pragma once

#include <QString>

#include <filesystem>

namespace foldwise {

// Two folders named so that they can be told apart: each by its own name, or where the names are the same,
// by the shortest tail of its path that differs from the other's: /media/stick/Downloads and
// /home/me/Downloads are "stick/Downloads" and "me/Downloads". The same folder twice is its name twice.
struct FolderTails {
    QString first;
    QString second;

    static FolderTails of(const std::filesystem::path& first, const std::filesystem::path& second);
};

} // namespace foldwise
