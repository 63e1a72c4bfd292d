#pragma once

#include "engine/FileError.h"

#include <functional>
#include <string>

namespace foldwise::test {

// The description of the FileError that `call` throws, or "" when it throws none.
inline std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const FileError& error) {
        return error.localizedDescription();
    }
    return {};
}

} // namespace foldwise::test
