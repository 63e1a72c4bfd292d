#include "tests/support/IsolatedUserFolders.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const foldwise::test::IsolatedUserFolders isolated; // for this program and the programs it runs
    const QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
