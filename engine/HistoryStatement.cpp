#include "engine/HistoryStatement.h"

#include "engine/FileSystem.h"

#include <sqlite3.h>

namespace foldwise {

void throwHistoryError(const std::filesystem::path& file, sqlite3* db, int code) {
    const std::string name = "The history of sorts " + FileSystem::quoted(file);
    const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw FileError(name + " has been in use by another Foldwise for more than 5 seconds. Wait until it has "
                               "finished, then try again.");
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        throw FileError(name + " is damaged (" + reason +
                        "). Move it aside to start a new history; the sorts recorded in it can then no longer "
                        "be undone.");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_IOERR:
    case SQLITE_FULL:
        throw FileError(name + " cannot be written (" + reason +
                        "). Check that you may write to it and to its folder, and that the disk is not full.");
    default:
        throw FileError(name + " could not be used (" + reason + ").");
    }
}

HistoryStatement::HistoryStatement(sqlite3* db, const std::filesystem::path& file, std::string_view sql)
    : db_(db), file_(file) {
    const int code = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
    if (code != SQLITE_OK) {
        throwHistoryError(file_, db_, code);
    }
}

HistoryStatement::~HistoryStatement() {
    sqlite3_finalize(statement_);
}

HistoryStatement& HistoryStatement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

HistoryStatement& HistoryStatement::bindBytes(int index, std::string_view bytes) {
    sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    return *this;
}

HistoryStatement& HistoryStatement::bindText(int index, std::string_view text) {
    sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

HistoryStatement& HistoryStatement::bindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

bool HistoryStatement::step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code != SQLITE_DONE) {
        sqlite3_reset(statement_);
        throwHistoryError(file_, db_, code);
    }
    return false;
}

void HistoryStatement::run() {
    while (step()) {
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t HistoryStatement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string HistoryStatement::bytes(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return data == nullptr ? std::string()
                           : std::string(data, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

bool HistoryStatement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

} // namespace foldwise
