#pragma once

#include <filesystem>
#include <functional>

namespace foldwise::test {

// Runs `body` in a forked child, for identities and limits the test process must keep; its failures
// fail the test. `prepare` readies the child first; when it cannot, the body is skipped and the
// result is false.
bool ranInChild(const std::function<bool()>& prepare, const std::function<void()>& body);

// Makes this process the user nobody, for whom permission checks apply (they never bite root, as
// which tests here usually run); false when that fails.
bool becomeNobody();

// Lets nobody into `folder` and every folder above it (their other users get read and search).
void openToNobody(const std::filesystem::path& folder);

} // namespace foldwise::test
