#include "engine/ProgressReporter.h"

namespace foldwise {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(50);

} // namespace

ProgressReporter::ProgressReporter(const RunOptions& options, std::int64_t filesTotal) : options_(options) {
    progress_.filesTotal = filesTotal;
}

MoveControl ProgressReporter::controlFor(const std::string& name) {
    if (!options_.progress) {
        return MoveControl{options_.stop, {}};
    }
    return MoveControl{options_.stop, [this, name](std::uint64_t done, std::uint64_t total) {
                           progress_.copyingFile = name;
                           progress_.bytesDone = done;
                           progress_.bytesTotal = total;
                           report(false);
                       }};
}

void ProgressReporter::fileDone() {
    ++progress_.filesDone;
    if (!progress_.copyingFile.empty()) {
        progress_.copyingFile.clear();
        progress_.bytesDone = progress_.bytesTotal = 0;
    }
    report(false);
}

void ProgressReporter::finish() {
    progress_.copyingFile.clear();
    progress_.bytesDone = progress_.bytesTotal = 0;
    report(true);
}

void ProgressReporter::report(bool always) {
    if (!options_.progress) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (always || now - lastReport_ >= kInterval) {
        lastReport_ = now;
        options_.progress(progress_);
    }
}

} // namespace foldwise
