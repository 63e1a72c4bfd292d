#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace foldwise::bench {

// Wall-clock and CPU time of one run. The CPU time (user and system, this process and the children
// it waited for) hardly depends on what else the machine is doing; the wall-clock time does.
struct Sample {
    double wall = 0;
    double cpu = 0;
};

class Stopwatch {
public:
    Sample elapsed() const {
        return {std::chrono::duration<double>(Clock::now() - start_).count(), cpuSeconds() - cpu_};
    }

private:
    using Clock = std::chrono::steady_clock;

    static double cpuSeconds() {
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
        };
        rusage self{};
        rusage children{};
        ::getrusage(RUSAGE_SELF, &self);
        ::getrusage(RUSAGE_CHILDREN, &children);
        return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) +
               seconds(children.ru_stime);
    }

    Clock::time_point start_ = Clock::now();
    double cpu_ = cpuSeconds();
};

// The median of the samples (the mean of the middle two for an even count); 0 for none.
inline double median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

} // namespace foldwise::bench
