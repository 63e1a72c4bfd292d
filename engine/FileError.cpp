#include "engine/FileError.h"

#include <system_error>

namespace foldwise {

FileError FileError::fromErrno(std::string_view what, int errorNumber) {
    std::string description(what);
    description += ": ";
    description += std::generic_category().message(errorNumber);
    return FileError(description, errorNumber);
}

} // namespace foldwise
