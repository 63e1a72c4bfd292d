#include "cli/Console.h"

#include <QLocale>

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

void Console::printText(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::string Console::number(std::int64_t value) {
    return QLocale().toString(static_cast<qlonglong>(value)).toStdString();
}

std::string Console::counted(std::int64_t value, std::string_view one, std::string_view many) {
    return number(value) + " " + std::string(value == 1 ? one : many);
}

} // namespace foldwise
