#pragma once

#include "engine/FileError.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace foldwise {

// Describes a failure of the history file `file` as a person can act on it.
[[noreturn]] void throwHistoryError(const std::filesystem::path& file, sqlite3* db, int code);

// One prepared SQL statement of the history, with its parameters bound by position from 1.
class HistoryStatement {
public:
    HistoryStatement(sqlite3* db, const std::filesystem::path& file, std::string_view sql);
    ~HistoryStatement();
    HistoryStatement(const HistoryStatement&) = delete;
    HistoryStatement& operator=(const HistoryStatement&) = delete;

    HistoryStatement& bind(int index, std::int64_t value);
    HistoryStatement& bindBytes(int index, std::string_view bytes); // a name or path, never re-encoded
    HistoryStatement& bindText(int index, std::string_view text);
    HistoryStatement& bindNull(int index);

    // Steps once: true while a row is there to read.
    bool step();
    // Steps to the end, then makes the statement ready to run again with new parameters.
    void run();

    std::int64_t integer(int column) const;
    std::string bytes(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* db_;
    const std::filesystem::path& file_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace foldwise
