#include "engine/OpenFileLimit.h"

#include <sys/resource.h>

#include <fstream>

namespace foldwise {

void raiseOpenFileLimit() noexcept {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) {
        return;
    }
    const rlim_t soft = limit.rlim_cur;
    limit.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &limit) == 0) {
        return;
    }
    // An unlimited hard limit still stops at the kernel's ceiling, which the soft limit cannot pass.
    try {
        rlim_t ceiling = 0;
        if (std::ifstream("/proc/sys/fs/nr_open") >> ceiling && soft < ceiling && ceiling < limit.rlim_max) {
            limit.rlim_cur = ceiling;
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
    } catch (...) {
        // The limit stays as it was.
    }
}

} // namespace foldwise
