#pragma once

#include <QUuid>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace foldwise {

// The records' fields are read-only accessors (id(), type(), count() …): fixed once a record is
// made, while records stay values that can be copied, assigned and sorted.

// The count of one file type (a lowercased extension, or "No Extension") and the bytes its files hold, each
// file its own length as a listing gives it (a link counts the link, not what it leads to). Each record
// gets a fresh random identity when it is made.
class FileTypeCount {
public:
    FileTypeCount(std::string type, std::int64_t count, std::int64_t size = 0)
        : id_(QUuid::createUuid()), type_(std::move(type)), count_(count), size_(size) {}

    const QUuid& id() const { return id_; }
    const std::string& type() const { return type_; }
    std::int64_t count() const { return count_; }
    std::int64_t size() const { return size_; }

private:
    QUuid id_;
    std::string type_;
    std::int64_t count_;
    std::int64_t size_;
};

// The count of one category ("Images", "Video", …), made like FileTypeCount.
class FileCategoryCount {
public:
    FileCategoryCount(std::string category, std::int64_t count, std::int64_t size = 0)
        : id_(QUuid::createUuid()), category_(std::move(category)), count_(count), size_(size) {}

    const QUuid& id() const { return id_; }
    const std::string& category() const { return category_; }
    std::int64_t count() const { return count_; }
    std::int64_t size() const { return size_; }

private:
    QUuid id_;
    std::string category_;
    std::int64_t count_;
    std::int64_t size_;
};

// A folder the analysis could not open or list, and why; what could not be read below it is not counted.
class UnreadableFolder {
public:
    UnreadableFolder(std::filesystem::path path, std::error_code reason) : path_(std::move(path)), reason_(reason) {}

    const std::filesystem::path& path() const { return path_; }
    std::error_code reason() const { return reason_; }

private:
    std::filesystem::path path_;
    std::error_code reason_;
};

// The result of one folder analysis: both lists ordered by count, highest first, and the folders that
// could not be read, by path.
struct FileStatistics {
    FileStatistics() = default;
    FileStatistics(std::vector<FileCategoryCount> categories, std::vector<FileTypeCount> types,
                   std::vector<UnreadableFolder> unreadableFolders = {})
        : categories(std::move(categories)), types(std::move(types)), unreadableFolders_(std::move(unreadableFolders)) {
    }

    const std::vector<UnreadableFolder>& unreadableFolders() const { return unreadableFolders_; }

    std::vector<FileCategoryCount> categories;
    std::vector<FileTypeCount> types;

private:
    std::vector<UnreadableFolder> unreadableFolders_;
};

} // namespace foldwise
