#include "cli/Console.h"

#include "wording/Counts.h"

#include <cstdio>

namespace foldwise {
namespace {

void writeLine(std::FILE* stream, std::string_view line) {
    std::string whole;
    whole.reserve(line.size() + 1);
    whole.append(line);
    whole.push_back('\n');
    std::fwrite(whole.data(), 1, whole.size(), stream);
    std::fflush(stream);
}

} // namespace

void Console::printLine(std::string_view line) {
    writeLine(stdout, line);
}

void Console::printError(std::string_view line) {
    writeLine(stderr, line);
}

void Console::printProblem(std::string_view sentence) {
    constexpr std::string_view symbol = "❌ ";
    if (sentence.starts_with(symbol)) {
        sentence.remove_prefix(symbol.size());
    }
    if (sentence.starts_with("foldwise")) {
        printError(sentence);
        return;
    }
    std::string line("foldwise: ");
    line += sentence;
    printError(line);
}

void Console::printText(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::string Console::number(std::int64_t value) {
    return Counts::number(value).toStdString();
}

} // namespace foldwise
