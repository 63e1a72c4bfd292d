#include "bench/IsolatedUserFolders.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const foldwise::bench::IsolatedUserFolders isolated;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
