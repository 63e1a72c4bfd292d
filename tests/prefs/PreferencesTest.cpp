#include "prefs/Preferences.h"

#include "prefs/FolderBookmarks.h"
#include "tests/prefs/PrefsTestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using test::capturedStdout;

// What a new process, as after a restart, reads from the preferences.
std::string readByNewProcess() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--print-preferences")});
    EXPECT_TRUE(child.waitForFinished());
    return child.readAllStandardOutput().toStdString();
}

std::string hex(const QByteArray& bytes) {
    return bytes.toHex().toStdString();
}

class PreferencesTest : public testing::Test {
protected:
    void SetUp() override { test::clearPreferences(); }

    Preferences& preferences = Preferences::shared();
};

TEST_F(PreferencesTest, FirstLaunchRestoresNothingAndSortsByCategory) {
    EXPECT_FALSE(preferences.inputFolderBookmark());
    EXPECT_FALSE(preferences.outputFolderBookmark());
    EXPECT_TRUE(preferences.useSmartCategories());

    std::optional<fs::path> input;
    std::optional<fs::path> output;
    EXPECT_EQ(capturedStdout([&] { restoreFolders(preferences, input, output); }), "");
    EXPECT_FALSE(input);
    EXPECT_FALSE(output);
    EXPECT_TRUE(QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).allKeys().isEmpty());
}

TEST_F(PreferencesTest, EntriesSurviveARestart) {
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte) {
        everyByte.append(static_cast<char>(byte));
    }
    ASSERT_TRUE(preferences.setInputFolderBookmark(everyByte));
    ASSERT_TRUE(preferences.setOutputFolderBookmark(QByteArray()));
    ASSERT_TRUE(preferences.setUseSmartCategories(false));

    EXPECT_TRUE(fs::is_regular_file(test::preferencesFile()));
    EXPECT_EQ(readByNewProcess(),
              "inputFolderBookmark=" + hex(everyByte) + "\noutputFolderBookmark=\nuseSmartCategories=false\n");

    ASSERT_TRUE(preferences.setUseSmartCategories(true));
    EXPECT_NE(readByNewProcess().find("useSmartCategories=true\n"), std::string::npos);
}

TEST_F(PreferencesTest, EveryWriteIsAnnounced) {
    int changes = 0;
    const auto connection = QObject::connect(&preferences, &Preferences::changed, [&] { ++changes; });
    preferences.setInputFolderBookmark("a");
    preferences.setOutputFolderBookmark("b");
    preferences.setUseSmartCategories(false);
    QObject::disconnect(connection);
    EXPECT_EQ(changes, 3);
}

TEST_F(PreferencesTest, AFailedWriteKeepsTheOldValueAndIsNotAnnounced) {
    ASSERT_TRUE(preferences.setInputFolderBookmark("old"));
    int changes = 0;
    const auto connection = QObject::connect(&preferences, &Preferences::changed, [&] { ++changes; });
    {
        const test::UnwritablePreferences unwritable;
        EXPECT_FALSE(preferences.setInputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setOutputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setUseSmartCategories(false));
    }
    QObject::disconnect(connection);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(preferences.inputFolderBookmark(), QByteArray("old"));
    EXPECT_FALSE(preferences.outputFolderBookmark());
    EXPECT_EQ(readByNewProcess(),
              "inputFolderBookmark=" + hex("old") + "\noutputFolderBookmark=absent\nuseSmartCategories=true\n");
}

} // namespace
} // namespace foldwise
