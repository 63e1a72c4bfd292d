#pragma once

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>

namespace foldwise::test {

// An input and an output folder side by side in a fresh temporary folder, with a history of sorts
// of their own.
class InputOutputFolders : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(input);
        fs::create_directory(output);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }

    // Files in the input folder, each holding its own name.
    void addFiles(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            writeFile(input / name, name);
        }
    }

    TempFolder root;
    fs::path input = root / "in";
    fs::path output = root / "out";
    fs::path history = root / "data/Foldwise/history.sqlite3";
};

} // namespace foldwise::test
