#pragma once

#include "tests/support/TempFolder.h"

namespace foldwise::test {

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at fresh temporary folders for as long as it lives, so that
// the preferences and the history of sorts of a test never touch the real home folder, and a user's own
// MIME types cannot change categories. Every test program makes one first: settings and the MIME
// database read these once.
class IsolatedUserFolders {
public:
    IsolatedUserFolders();

private:
    TempFolder config_;
    TempFolder data_;
};

} // namespace foldwise::test
