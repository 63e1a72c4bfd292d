#include "engine/Diagnostics.h"

#include <atomic>
#include <string>

namespace foldwise {

namespace {

std::atomic<std::FILE*> destination{nullptr}; // standard output until told otherwise
std::atomic<bool> discarding{false};

} // namespace

void printDiagnosticLine(std::string_view line) {
    if (discarding.load()) {
        return;
    }
    std::string whole;
    whole.reserve(line.size() + 1);
    whole.append(line);
    whole.push_back('\n');
    std::FILE* stream = destination.load();
    if (stream == nullptr) {
        stream = stdout;
    }
    std::fwrite(whole.data(), 1, whole.size(), stream);
    std::fflush(stream);
}

void sendDiagnosticsTo(std::FILE* stream) {
    destination.store(stream);
    discarding.store(false);
}

void discardDiagnostics() {
    discarding.store(true);
}

} // namespace foldwise
