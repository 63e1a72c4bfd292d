#include "tests/support/StdoutCapture.h"

#include <cstdio>

#include <unistd.h>

namespace foldwise::testing {

std::string captureStdout(const std::function<void()>& call) {
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(::fileno(capture), STDOUT_FILENO);
    call();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);

    std::rewind(capture);
    std::string text;
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture)) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(capture);
    return text;
}

} // namespace foldwise::testing
