#pragma once

#include <functional>
#include <optional>
#include <string>

namespace foldwise::test {

// Runs `call` in a child process as the user nobody and returns the text it returned; nothing when
// this process cannot take another user's identity (it does not run as root). Permission checks
// only bite an unprivileged user, and tests here usually run as root.
std::optional<std::string> runAsNobody(const std::function<std::string()>& call);

// Makes this process the user nobody, for whom permission checks apply; false when that fails.
bool becomeNobody();

// Lets nobody into `folder` and every folder above it (their other users get read and search).
void openToNobody(const std::string& folder);

} // namespace foldwise::test
