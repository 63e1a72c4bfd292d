#include "cli/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace foldwise {
namespace {

sigset_t stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

StopSignals::StopSignals() {
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signalFd_ = Descriptor(::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK));
    wakeFd_ = Descriptor(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!signalFd_.isOpen() || !wakeFd_.isOpen()) {
        throw std::runtime_error("Could not set up the handling of SIGINT and SIGTERM");
    }
    listener_ = std::thread([this] { listen(); });
}

StopSignals::~StopSignals() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_.get(), &one, sizeof one);
    listener_.join();
    // The signals stay blocked: one that came after the listener ended must not end the process before
    // it has said how the run ended. The command returns to main() next.
}

void StopSignals::listen() {
    pollfd watched[2] = {{signalFd_.get(), POLLIN, 0}, {wakeFd_.get(), POLLIN, 0}};
    while (true) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if ((watched[1].revents & POLLIN) != 0) {
            return;
        }
        signalfd_siginfo info{};
        while (::read(signalFd_.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            int none = 0;
            received_.compare_exchange_strong(none, static_cast<int>(info.ssi_signo));
            source_.request_stop();
        }
    }
}

} // namespace foldwise
