#include "tests/support/StdoutCapture.h"

#include <cstdio>

#include <unistd.h>

namespace foldwise::test {

std::string captureStdout(const std::function<void()>& call) {
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(::fileno(capture), STDOUT_FILENO);
    call();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);

    // Written through the shared descriptor, so the FILE itself knows nothing of the size.
    std::string text(static_cast<std::size_t>(::lseek(::fileno(capture), 0, SEEK_END)), '\0');
    std::rewind(capture);
    text.resize(std::fread(text.data(), 1, text.size(), capture));
    std::fclose(capture);
    return text;
}

} // namespace foldwise::test
