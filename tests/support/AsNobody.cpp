#include "tests/support/AsNobody.h"

#include <filesystem>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise::test {

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

} // namespace

bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNoGroup) == 0 && ::setuid(kNobody) == 0;
}

std::optional<std::string> runAsNobody(const std::function<std::string()>& call) {
    if (::geteuid() != 0) {
        return std::nullopt;
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (!becomeNobody()) {
            ::_exit(2);
        }
        std::string text;
        try {
            text = call();
        } catch (...) {
            ::_exit(4); // never let the child run on as a second copy of the test program
        }
        const ssize_t written = ::write(pipeFds[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string text = readAll(pipeFds[0]);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return text;
}

void openToNobody(const std::string& folder) {
    for (std::filesystem::path path = folder; path != path.root_path(); path = path.parent_path()) {
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0) {
            ::chmod(path.c_str(), (status.st_mode & 07777) | S_IROTH | S_IXOTH);
        }
    }
}

} // namespace foldwise::test
