#include "tests/cli/FoldwiseProcess.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise::test {
namespace {

std::string executable;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

void FoldwiseProcess::setExecutable(const std::string& path) {
    executable = path;
}

FoldwiseProcess::FoldwiseProcess(const std::vector<std::string>& arguments) {
    int out[2];
    int err[2];
    if (executable.empty() || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot start foldwise: no executable given, or no pipes");
    }
    std::vector<char*> argv{executable.data()};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

FoldwiseProcess::~FoldwiseProcess() {
    if (!hasEnded_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    closeFd(outFd_);
    closeFd(errFd_);
}

bool FoldwiseProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    return readFor(timeout, &text, &out_);
}

bool FoldwiseProcess::waitForError(const std::string& text, std::chrono::milliseconds timeout) {
    return readFor(timeout, &text, &err_);
}

std::optional<int> FoldwiseProcess::waitForExit(std::chrono::milliseconds timeout) {
    readFor(timeout, nullptr, nullptr); // until both pipes close: the process has ended, or the time is up
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (!hasEnded_) {
        int status = 0;
        const pid_t ended = ::waitpid(pid_, &status, outFd_ < 0 && errFd_ < 0 ? 0 : WNOHANG);
        if (ended == pid_) {
            hasEnded_ = true;
            if (WIFEXITED(status)) {
                status_ = WEXITSTATUS(status);
            }
        } else if (std::chrono::steady_clock::now() > deadline) {
            return std::nullopt;
        } else {
            ::usleep(10000);
        }
    }
    return status_;
}

void FoldwiseProcess::signal(int number) const {
    ::kill(pid_, number);
}

// Reads both pipes until `text` shows in `in`, or both pipes are closed, or the time is up.
bool FoldwiseProcess::readFor(std::chrono::milliseconds timeout, const std::string* text, const std::string* in) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (text != nullptr && in->find(*text) != std::string::npos) {
            return true;
        }
        if (outFd_ < 0 && errFd_ < 0) {
            return false;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        std::array<pollfd, 2> fds{{{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0 && errno != EINTR) {
            return false;
        }
        for (std::size_t index = 0; index < fds.size(); ++index) {
            if (fds[index].fd < 0 || fds[index].revents == 0) {
                continue;
            }
            std::array<char, 65536> buffer{};
            const ssize_t length = ::read(fds[index].fd, buffer.data(), buffer.size());
            if (length > 0) {
                (index == 0 ? out_ : err_).append(buffer.data(), static_cast<std::size_t>(length));
            } else if (length == 0 || errno != EINTR) {
                closeFd(index == 0 ? outFd_ : errFd_);
            }
        }
    }
}

Finished runFoldwise(const std::vector<std::string>& arguments) {
    FoldwiseProcess process(arguments);
    const std::optional<int> status = process.waitForExit();
    return {status.value_or(-1), process.out(), process.err()};
}

} // namespace foldwise::test
