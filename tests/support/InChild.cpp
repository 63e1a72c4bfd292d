#include "tests/support/InChild.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise::test {

constexpr int kSkipped = 77;

bool ranInChild(const std::function<bool()>& prepare, const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (!prepare()) {
            ::_exit(kSkipped);
        }
        try {
            body();
        } catch (...) {
            ADD_FAILURE() << "the child threw";
        }
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0); // never let it run on as a second test program
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    EXPECT_TRUE(code == 0 || code == kSkipped) << "the child process failed";
    return code != kSkipped;
}

bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

void openToNobody(const std::filesystem::path& folder) {
    for (std::filesystem::path path = folder; path != path.root_path(); path = path.parent_path()) {
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0) {
            ::chmod(path.c_str(), (status.st_mode & 07777) | S_IROTH | S_IXOTH);
        }
    }
}

} // namespace foldwise::test
