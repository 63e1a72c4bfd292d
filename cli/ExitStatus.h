#pragma once

namespace foldwise {

// What a command's exit status tells a script, as grep and diff do: 0, 1 and 2 with distinct meanings.
enum class ExitStatus {
    Success = 0,    // the run did what it could: files that stayed for a taken name are no failure
    Failure = 1,    // the run failed or was stopped; the error is on standard error
    UsageError = 2, // the arguments were wrong, and nothing was touched
};

inline int exitCode(ExitStatus status) {
    return static_cast<int>(status);
}

} // namespace foldwise
