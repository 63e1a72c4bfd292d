#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace foldwise {

// Standard output carries the result and nothing else; standard error the errors, the diagnostics and the
// progress. Each line goes out in one write and is flushed at once, so that a pipe or the journal sees it
// when it happens.
class Console {
public:
    Console() = delete;

    static void printLine(std::string_view line);
    static void printError(std::string_view line);
    // An error, as Unix tools say theirs: "foldwise: Sorting failed: …" (the window's symbol left out).
    static void printProblem(std::string_view sentence);
    static void printText(std::string_view text); // several lines, or a line's pieces, exactly as given

    // A number grouped the locale's way: "1,234" in English, "1234" in the C locale.
    static std::string number(std::int64_t value);
};

} // namespace foldwise
