#pragma once

#include "ui/StatusColor.h"

#include <QString>
#include <QWidget>

#include <filesystem>

class QLabel;
class QPushButton;

namespace foldwise {

class ElidedLine;
class FolderPicker;
class FolderSelection;
class Preferences;
class SettingsSheet;

// The organizer tab: the status line and the "Sort", "Undo Sort" and "Settings" buttons. It works on
// the folder selection and preferences its owner lends it, and owns the status line and the settings
// sheet. Under the title, once both folders are chosen, a caption line says what Sort and Undo Sort will
// touch: "Inbox → Sorted, by category" (or "by extension"), with both full paths in its tooltip.
class OrganizerView : public QWidget {
    Q_OBJECT

public:
    OrganizerView(FolderSelection& selection, Preferences& preferences, FolderPicker& folderPicker,
                  QWidget* parent = nullptr);

    StatusColor statusColor() const { return statusColor_; }
    SettingsSheet& settingsSheet() const { return *sheet_; }

    // The commands behind the buttons; each reports its outcome on the status line and never throws.
    void sortFiles();
    void undoSort();

    // Turns the initial status text into "Folders ready." once both folders are known.
    void checkFoldersReady();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setStatus(const QString& message, StatusColor color);
    void showStatus();
    void showIcon();
    void showSummary();
    void updateButtons();
    void folderPicked(const std::filesystem::path& folder, bool isInput);

    FolderSelection& selection_;
    Preferences& preferences_;
    QString statusMessage_;
    StatusColor statusColor_ = StatusColor::Primary;
    QLabel* icon_ = nullptr;
    ElidedLine* summary_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* sort_ = nullptr;
    QPushButton* undoSort_ = nullptr;
    SettingsSheet* sheet_ = nullptr;
};

} // namespace foldwise
