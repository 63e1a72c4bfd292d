#pragma once

#include <QDialog>

#include <filesystem>
#include <optional>

class QAbstractButton;
class QButtonGroup;

namespace foldwise {

class FolderNameLabel;
class FolderPicker;
class Preferences;

// The settings sheet: the input and output folders, the sorting mode and what a sort does with a file whose
// name is taken, and a way to the user's own categories. It is window-modal, never wider than
// the window it covers, and only "Done" closes it: Escape and the window's close button are refused. A picked folder is
// announced through `folderPicked`, and its owner decides what becomes of it; the sorting mode and
// the choice for a taken name are written straight to the preferences.
class SettingsSheet : public QDialog {
    Q_OBJECT

public:
    SettingsSheet(Preferences& preferences, FolderPicker& folderPicker, QWidget* parent = nullptr);

    // The folders the two rows show, by their own names, with the full path as the tooltip.
    void setSelectedInputFolderURL(const std::optional<std::filesystem::path>& folder);
    void setSelectedOutputFolderURL(const std::optional<std::filesystem::path>& folder);

    void setVisible(bool visible) override;
    void reject() override;

signals:
    void folderPicked(const std::filesystem::path& folder, bool isInput);

private:
    QLayout* makeFolderRow(const QString& buttonTitle, bool isInput);
    QLayout* makeSortingPreference();
    QAbstractButton* makeSegment(const QString& title, const QString& objectName, QButtonGroup& group);
    QLayout* makeDoneRow();

    QString folderName(const std::optional<std::filesystem::path>& folder) const;
    static QString folderPath(const std::optional<std::filesystem::path>& folder);
    void pickFolder(bool isInput);
    void editCategories();
    void showSortingPreference();

    Preferences& preferences_;
    FolderPicker& folderPicker_;
    std::optional<std::filesystem::path> input_;
    std::optional<std::filesystem::path> output_;
    FolderNameLabel* inputLabel_ = nullptr;
    FolderNameLabel* outputLabel_ = nullptr;
    QButtonGroup* sortMode_ = nullptr;
    QAbstractButton* byExtension_ = nullptr;
    QAbstractButton* byCategory_ = nullptr;
    QButtonGroup* onNameTaken_ = nullptr;
    QAbstractButton* leaveFile_ = nullptr;
    QAbstractButton* keepBoth_ = nullptr;
};

} // namespace foldwise
