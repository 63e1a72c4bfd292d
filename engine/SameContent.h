#pragma once

#include <string>

namespace foldwise {

// Whether the entries `a` of the folder `aFd` and `b` of `bFd` are regular files of the same size
// and the same bytes. Sizes are compared first, so that files of different sizes are never read.
// Any failure to read either answers false: only files known to be the same are called so.
bool sameContent(int aFd, const std::string& a, int bFd, const std::string& b);

} // namespace foldwise
