#pragma once

#include <functional>
#include <string>

namespace foldwise::test {

// Everything `call` writes to standard output (file descriptor 1, so stdio and plain writes alike), as bytes.
std::string captureStdout(const std::function<void()>& call);

} // namespace foldwise::test
