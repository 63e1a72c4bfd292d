#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise settings [--input DIR] [--output DIR] [--by category|extension]
// Shows the remembered input folder, output folder and mode, after setting those given as the window's
// Settings would (the folders as bookmarks). Every value given is checked before any is stored: a folder
// that cannot be used, or a mode that is not one, changes nothing.
class SettingsCommand {
public:
    SettingsCommand() = delete;

    // `arguments`: argv after the word "settings". Throws UsageError and CommandFailure.
    static ExitStatus run(const std::vector<std::string>& arguments);
};

} // namespace foldwise
