#include "tests/support/IsolatedUserFolders.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const foldwise::test::IsolatedUserFolders isolated;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
