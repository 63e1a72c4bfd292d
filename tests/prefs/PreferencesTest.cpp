#include "prefs/Preferences.h"

#include "prefs/FolderBookmarks.h"
#include "tests/prefs/PrefsTestSupport.h"
#include "tests/support/StdoutCapture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

#include <numeric>

namespace foldwise {
namespace {

using namespace test;

// What a new process, as after a restart, reads from the preferences.
std::string readByNewProcess() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--print-preferences")});
    EXPECT_TRUE(child.waitForFinished());
    return child.readAllStandardOutput().toStdString();
}

// From a first launch, which restores nothing and sorts by category, to writes that succeed and fail.
TEST(PreferencesTest, EveryWriteReachesTheDiskAndIsAnnouncedWhileAFailedOneChangesNothing) {
    clearPreferences();
    Preferences& preferences = Preferences::shared();
    EXPECT_EQ(describe(preferences), "input=absent output=absent smart=true\n");
    std::optional<fs::path> input;
    std::optional<fs::path> output;
    EXPECT_EQ(captureStdout([&] { restoreFolders(preferences, input, output); }), "");
    EXPECT_FALSE(input || output);
    EXPECT_TRUE(QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).allKeys().isEmpty());

    QByteArray everyByte(256, '\0');
    std::iota(everyByte.begin(), everyByte.end(), '\0');
    const std::string stored = "input=" + everyByte.toHex().toStdString() + " output= smart=";
    int changes = 0;
    const auto connection = QObject::connect(&preferences, &Preferences::changed, [&] { ++changes; });
    EXPECT_TRUE(preferences.setInputFolderBookmark(everyByte));
    EXPECT_TRUE(preferences.setOutputFolderBookmark(QByteArray()));
    EXPECT_TRUE(preferences.setUseSmartCategories(false));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(readByNewProcess(), stored + "false\n");

    whileUnwritable([&] {
        EXPECT_FALSE(preferences.setInputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setOutputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setUseSmartCategories(true));
    });
    QObject::disconnect(connection);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(describe(preferences), stored + "false\n");
    EXPECT_EQ(readByNewProcess(), stored + "false\n");

    // true is written, not only assumed while the entry is absent.
    ASSERT_TRUE(preferences.setUseSmartCategories(true));
    EXPECT_EQ(readByNewProcess(), stored + "true\n");
}

} // namespace
} // namespace foldwise
