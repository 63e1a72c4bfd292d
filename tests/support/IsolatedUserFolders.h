#pragma once

#include "tests/support/ScratchFolder.h"

#include <cstdlib>

namespace foldwise::test {

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at fresh folders for as long as it lives, so that the
// preferences and the history of sorts never touch the real home folder, and MIME types a user added
// there cannot change categories. Make it before the application: settings and the MIME database read
// these once. The benchmarks use it too.
class IsolatedUserFolders {
public:
    explicit IsolatedUserFolders(const fs::path& parent = fs::temp_directory_path()) : folders_(parent) {
        for (const auto& [variable, name] : {std::pair{"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"}}) {
            fs::create_directory(folders_.path() / name);
            ::setenv(variable, (folders_.path() / name).c_str(), 1);
        }
    }

    // Where the history of sorts and a user's MIME types are kept meanwhile.
    fs::path dataHome() const { return folders_.path() / "data"; }

private:
    ScratchFolder folders_;
};

} // namespace foldwise::test
