#include "cli/ProgressLine.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace foldwise {
namespace {

// At most `columns` characters of `text` (counted as code points), so that a long name never wraps the line
// and \r still returns to its start.
std::string fitted(const std::string& text, std::size_t columns) {
    std::size_t characters = 0;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if ((static_cast<unsigned char>(text[index]) & 0xC0) != 0x80 && ++characters > columns) {
            return text.substr(0, index);
        }
    }
    return text;
}

std::size_t terminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) {
        return size.ws_col - 1u;
    }
    return 79;
}

} // namespace

ProgressLine::ProgressLine(RunWording wording)
    : wording_(std::move(wording)), isTerminal_(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
    clear();
}

std::function<void(const RunProgress&)> ProgressLine::callback() {
    if (!isTerminal_) {
        return {};
    }
    return [this](const RunProgress& progress) {
        show(progress);
    };
}

void ProgressLine::clear() {
    if (isShown_) {
        std::fputs("\r\x1b[K", stderr);
        std::fflush(stderr);
        isShown_ = false;
    }
}

void ProgressLine::show(const RunProgress& progress) {
    std::string line("\r");
    line += fitted(wording_.progress(progress).toStdString(), terminalColumns()) + "\x1b[K";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    isShown_ = true;
}

} // namespace foldwise
