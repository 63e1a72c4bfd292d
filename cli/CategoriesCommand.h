#pragma once

#include "cli/ExitStatus.h"

#include <string>
#include <vector>

namespace foldwise {

// foldwise categories [--explain FILE…]
class CategoriesCommand {
public:
    CategoriesCommand() = delete;

    // `arguments`: argv after the word "categories". Throws UsageError.
    static ExitStatus run(const std::vector<std::string>& arguments);

    // Reads the user's categories.ini for the commands of this process and tells on standard error each
    // line left out.
    static void installUserCategories();
};

} // namespace foldwise
