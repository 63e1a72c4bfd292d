#pragma once

#include <stdexcept>
#include <string>

namespace foldwise {

// A command that cannot do its work for a reason found before it started (a remembered folder that is gone,
// a folder that cannot be watched): said on standard error, exit status 1.
class CommandFailure : public std::runtime_error {
public:
    explicit CommandFailure(const std::string& message) : std::runtime_error(message) {}
};

} // namespace foldwise
