#pragma once

#include "tests/support/TempFolder.h"

#include <string>
#include <vector>

namespace foldwise::test {

// A temporary folder with helpers that make entries of every kind below it. Paths given to the helpers
// are relative to the folder; missing parent folders are made on the way.
class TempTree : public TempFolder {
public:
    using TempFolder::TempFolder;

    fs::path file(const fs::path& relative) const;
    fs::path folder(const fs::path& relative) const;
    fs::path link(const fs::path& relative, const fs::path& target) const;

    // A chain of `levels` folders "d" below `relative`, each holding the file "f.txt" and, with
    // `withSiblings`, the folders "a" and "z" holding one file each: made before and after "d", so a
    // sibling is left waiting beside it whatever order the folder lists them in. Returns the files made.
    std::size_t deepChain(const fs::path& relative, int levels, bool withSiblings) const;
};

} // namespace foldwise::test
