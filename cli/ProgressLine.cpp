#include "cli/ProgressLine.h"

#include "cli/Console.h"
#include "cli/NameText.h"

#include <QLocale>

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace foldwise {
namespace {

// "1.2 of 4.0 GB": both in the unit of the total, with one decimal.
std::string bytesOf(std::uint64_t done, std::uint64_t total) {
    static constexpr const char* units[] = {"bytes", "kB", "MB", "GB", "TB"};
    double divisor = 1;
    std::size_t unit = 0;
    while (unit + 1 < std::size(units) && static_cast<double>(total) >= divisor * 1000) {
        divisor *= 1000;
        ++unit;
    }
    const QLocale locale;
    const int decimals = unit == 0 ? 0 : 1;
    return locale.toString(static_cast<double>(done) / divisor, 'f', decimals).toStdString() + " of " +
           locale.toString(static_cast<double>(total) / divisor, 'f', decimals).toStdString() + " " + units[unit];
}

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

ProgressLine::ProgressLine(std::string doing) : doing_(std::move(doing)), isTerminal_(::isatty(STDERR_FILENO) == 1) {}

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
    // Appended to, not "literal" + string, which GCC 12 misreads (-Wrestrict).
    std::string text;
    if (progress.copyingFile.empty()) {
        text = doing_ + " " + Console::number(progress.filesDone) + " of " +
               Console::counted(progress.filesTotal, "file", "files");
    } else {
        text = "Copying ";
        text += NameText::quotedName(progress.copyingFile) + " to another drive… " +
                bytesOf(progress.bytesDone, progress.bytesTotal);
    }
    std::string line("\r");
    line += fitted(text, terminalColumns()) + "\x1b[K";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    isShown_ = true;
}

} // namespace foldwise
