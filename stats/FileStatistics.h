#pragma once

#include <QUuid>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace foldwise {

// The records' fields are read-only accessors (id(), type(), count() …): fixed once a record is
// made, while records stay values that can be copied, assigned and sorted.

// The count of one file type: a lowercased extension, or "No Extension". Each record gets a fresh
// random identity when it is made.
class FileTypeCount {
public:
    FileTypeCount(std::string type, std::int64_t count)
        : id_(QUuid::createUuid()), type_(std::move(type)), count_(count) {}

    const QUuid& id() const { return id_; }
    const std::string& type() const { return type_; }
    std::int64_t count() const { return count_; }

private:
    QUuid id_;
    std::string type_;
    std::int64_t count_;
};

// The count of one category ("Images", "Video", …), made like FileTypeCount.
class FileCategoryCount {
public:
    FileCategoryCount(std::string category, std::int64_t count)
        : id_(QUuid::createUuid()), category_(std::move(category)), count_(count) {}

    const QUuid& id() const { return id_; }
    const std::string& category() const { return category_; }
    std::int64_t count() const { return count_; }

private:
    QUuid id_;
    std::string category_;
    std::int64_t count_;
};

// The result of one folder analysis: both lists ordered by count, highest first.
struct FileStatistics {
    std::vector<FileCategoryCount> categories;
    std::vector<FileTypeCount> types;
};

} // namespace foldwise
