#include "tests/support/IsolatedUserFolders.h"

#include <cstdlib>

namespace foldwise::test {

IsolatedUserFolders::IsolatedUserFolders() {
    ::setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", data_.path().c_str(), 1);
}

} // namespace foldwise::test
