#pragma once

#include "engine/RunOptions.h"

#include <functional>
#include <string>

namespace foldwise {

// The progress of a sort or an undo, in the window's words, on one line of standard error that is written
// over in place; only when standard error is a terminal, so that logs and pipes get none of it.
class ProgressLine {
public:
    // `doing`: "Sorting…" or "Moving files back…".
    explicit ProgressLine(std::string doing);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // What RunOptions::progress takes; empty when standard error is not a terminal.
    std::function<void(const RunProgress&)> callback();
    // Removes the line, before the result is printed.
    void clear();

private:
    void show(const RunProgress& progress);

    std::string doing_;
    bool isShown_ = false;
    bool isTerminal_;
};

} // namespace foldwise
