#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace foldwise {

// A failed file-system operation. The description is one sentence a person can act on:
// the operation, the item, and the system's reason, e.g.
// "Could not move “a.txt” to “/out/txt”: Permission denied".
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& description, int errorNumber = 0)
        : std::runtime_error(description), description_(description), errorNumber_(errorNumber) {}

    // Builds "<what>: <strerror(errorNumber)>".
    static FileError fromErrno(std::string_view what, int errorNumber);

    const std::string& localizedDescription() const { return description_; }
    // The system's error number behind the failure, or 0 where there was none.
    int errorNumber() const { return errorNumber_; }

private:
    std::string description_;
    int errorNumber_;
};

} // namespace foldwise
