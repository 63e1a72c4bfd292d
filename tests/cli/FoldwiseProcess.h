#pragma once

#include "tests/support/TempFolder.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace foldwise::test {

// The built `foldwise` executable, run as a user would run it from a shell: arguments as bytes, standard
// output and standard error captured apart, and the environment of the test without a display.
class FoldwiseProcess {
public:
    explicit FoldwiseProcess(const std::vector<std::string>& arguments);
    ~FoldwiseProcess(); // kills the process if it still runs
    FoldwiseProcess(const FoldwiseProcess&) = delete;
    FoldwiseProcess& operator=(const FoldwiseProcess&) = delete;

    // Waits until standard output (or standard error) holds `text`; false when the time is up first.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
        return waitUntil([&] { return out().find(text) != std::string::npos; }, timeout);
    }
    bool waitForError(const std::string& text, std::chrono::milliseconds timeout) const {
        return waitUntil([&] { return err().find(text) != std::string::npos; }, timeout);
    }
    // The exit status once the process has ended; nothing when the time is up first (it then still runs)
    // or when a signal ended it.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    void signal(int number) const { ::kill(pid_, number); }

    std::string out() const { return readFile(captured_ / "out"); }
    std::string err() const { return readFile(captured_ / "err"); }

    // Polls `isDone` until it holds; false when the time is up first.
    static bool waitUntil(const std::function<bool()>& isDone, std::chrono::milliseconds timeout);

private:
    TempFolder captured_;
    pid_t pid_ = -1;
    std::optional<int> status_;
    bool hasEnded_ = false;
};

// What a command that runs to its end left: its exit status and both outputs.
struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};
Finished runFoldwise(const std::vector<std::string>& arguments);
// The same on a terminal: `out` is everything the terminal showed, both outputs together.
Finished runOnTerminal(const std::vector<std::string>& arguments);

} // namespace foldwise::test
