#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <vector>

namespace foldwise::bench {

// The GUI thread's own processor time so far, in milliseconds: unlike wall-clock time it does not grow
// while other processes hold the processor.
inline double threadCpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// For each pair of consecutive timer ticks on the GUI thread: the time between them, and how much of
// it the GUI thread spent working, both in milliseconds.
class TickRecorder {
public:
    explicit TickRecorder(int intervalMilliseconds) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMilliseconds);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double cpu = threadCpuMilliseconds();
            gaps_.push_back(double(clock_.nsecsElapsed()) / 1e6);
            work_.push_back(cpu - cpu_);
            clock_.restart();
            cpu_ = cpu;
        });
    }

    void start() {
        clock_.start();
        cpu_ = threadCpuMilliseconds();
        timer_.start();
    }
    void stop() { timer_.stop(); }
    const std::vector<double>& gaps() const { return gaps_; }
    const std::vector<double>& work() const { return work_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double cpu_ = 0;
    std::vector<double> gaps_;
    std::vector<double> work_;
};

inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[std::size_t(fraction * double(values.size() - 1))];
}

} // namespace foldwise::bench
