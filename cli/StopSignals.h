#pragma once

#include "engine/Descriptor.h"

#include <atomic>
#include <stop_token>
#include <thread>

namespace foldwise {

// While one exists, SIGINT and SIGTERM do not end the process: they ask the run to stop, as the window's
// Cancel does, and the run ends after the file it is moving. A thread of its own waits for them (through a
// signalfd), so that nothing but plain atomics happens in signal context. Make it before any other thread,
// which inherits the blocked signals.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    std::stop_token token() const { return source_.get_token(); }
    // The signal that asked to stop, or 0.
    int received() const { return received_.load(); }

private:
    void listen();

    std::stop_source source_;
    std::atomic<int> received_{0};
    Descriptor signalFd_;
    Descriptor wakeFd_;
    std::thread listener_;
};

} // namespace foldwise
