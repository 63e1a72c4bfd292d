#pragma once

#include "engine/RunOptions.h"
#include "wording/RunWording.h"

#include <functional>
#include <string>

namespace foldwise {

// The progress of a sort or an undo, in the window's words (`wording`), on one line of standard error that is written
// over in place; only when standard error is a terminal, so that logs and pipes get none of it.
class ProgressLine {
public:
    explicit ProgressLine(RunWording wording);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // What RunOptions::progress takes; empty when standard error is not a terminal.
    std::function<void(const RunProgress&)> callback();
    // Removes the line, before the result is printed.
    void clear();

private:
    void show(const RunProgress& progress);

    RunWording wording_;
    bool isShown_ = false;
    bool isTerminal_;
};

} // namespace foldwise
