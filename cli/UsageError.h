#pragma once

#include <stdexcept>
#include <string>

namespace foldwise {

// Arguments a command cannot run with: said on standard error before anything is touched, exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace foldwise
