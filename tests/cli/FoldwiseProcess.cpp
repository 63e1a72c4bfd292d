#include "tests/cli/FoldwiseProcess.h"

#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace foldwise::test {
namespace {

// Runs the executable with `arguments` in this (forked) process, headless.
[[noreturn]] void execFoldwise(const std::vector<std::string>& arguments) {
    std::string executable = FOLDWISE_EXECUTABLE;
    std::vector<char*> argv{executable.data()};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        ::unsetenv(display); // the commands must run headless, and the window must not open
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

} // namespace

FoldwiseProcess::FoldwiseProcess(const std::vector<std::string>& arguments) {
    const std::string out = captured_ / "out";
    const std::string err = captured_ / "err";
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        execFoldwise(arguments);
    }
}

FoldwiseProcess::~FoldwiseProcess() {
    if (!hasEnded_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> FoldwiseProcess::waitForExit(std::chrono::milliseconds timeout) {
    waitUntil(
        [&] {
            int status = 0;
            if (!hasEnded_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
                hasEnded_ = true;
                status_ = WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
            }
            return hasEnded_;
        },
        timeout);
    return status_;
}

bool FoldwiseProcess::waitUntil(const std::function<bool()>& isDone, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!isDone()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Finished runFoldwise(const std::vector<std::string>& arguments) {
    FoldwiseProcess process(arguments);
    const std::optional<int> status = process.waitForExit();
    return {status.value_or(-1), process.out(), process.err()};
}

Finished runOnTerminal(const std::vector<std::string>& arguments) {
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        execFoldwise(arguments);
    }
    Finished finished;
    char buffer[4096];
    for (ssize_t length = 0; (length = ::read(terminal, buffer, sizeof buffer)) > 0;) {
        finished.out.append(buffer, static_cast<std::size_t>(length));
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

} // namespace foldwise::test
