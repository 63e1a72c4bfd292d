#pragma once

#include "engine/FolderAccess.h"
#include "engine/History.h"
#include "ui/PlanLoader.h"
#include "ui/RunWorker.h"
#include "ui/StatusColor.h"
#include "wording/RunWording.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

class QLabel;
class QProgressBar;
class QPushButton;

namespace foldwise {

class ElidedLine;
class FolderPicker;
class FolderSelection;
class HistorySheet;
class PlanLine;
class PlanSheet;
class Preferences;
class SettingsSheet;

// The organizer tab: the status line and the "Sort", "Undo Sort" and "Settings" buttons. It works on
// the folder selection and preferences its owner lends it, and owns the status line and the settings
// sheet. Under the title, once both folders are chosen, a caption line says what Sort and Undo Sort will
// touch: "Inbox → Sorted, by category" (or "by extension"; two folders of the same name by as much of
// their paths as tells them apart), with both full paths in its tooltip.
// Sort and Undo Sort run off the window's thread, one at a time, with progress and a Cancel button;
// after a run a second line under the status says what moved, and what stayed and why. A run stopped by
// quitting is mentioned in the status line at the next launch. Under the caption, the plan line says what
// Sort would do now, kept fresh as the folders, the mode and the input folder's files change; "Details"
// shows that plan file by file. "History" lists the runs on record, from which one sort can be undone
// alone, and "Show in Files" opens the output folder in the file manager.
class OrganizerView : public QWidget {
    Q_OBJECT

public:
    OrganizerView(FolderSelection& selection, Preferences& preferences, FolderPicker& folderPicker,
                  QWidget* parent = nullptr);
    ~OrganizerView() override;

    StatusColor statusColor() const { return statusColor_; }
    SettingsSheet& settingsSheet() const { return *sheet_; }
    PlanSheet& planSheet() const { return *planSheet_; }
    HistorySheet& historySheet() const { return *historySheet_; }
    // The plan line's whole text; empty while it is hidden.
    QString planText() const;

    // The commands behind the buttons; each starts a run whose outcome the status line reports, and
    // never throws. While a run lasts they do nothing.
    void sortFiles();
    void undoSort();
    // Undoes the one sort `run` of the history, from its own folders.
    void undoRun(const History::Run& run);
    void showOutputInFiles();
    void cancelRun();
    bool isRunning() const { return worker_->isRunning(); }
    RunWorker& worker() const { return *worker_; }
    QString details() const;
    // Stops the run under way for the window to quit, waits for it, and keeps a note of what it did for
    // the next launch.
    void stopForQuit();

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
    void startRun(RunKind kind, const std::filesystem::path& input, const std::filesystem::path& output,
                  std::int64_t onlySort = 0);
    void reloadUserCategories();
    void refreshPlan();
    void showPlan(const PlanLoader::Result& result);
    void showProgress(const RunProgress& progress);
    void finishRun(const RunOutcome& outcome);
    void showRunning(bool isRunning);

    FolderSelection& selection_;
    Preferences& preferences_;
    QString statusMessage_;
    RunWorker* worker_;
    StatusColor statusColor_ = StatusColor::Primary;
    QLabel* icon_ = nullptr;
    ElidedLine* summary_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* sort_ = nullptr;
    QPushButton* undoSort_ = nullptr;
    QPushButton* settings_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* history_ = nullptr;
    QPushButton* showInFiles_ = nullptr;
    PlanLine* planLine_ = nullptr;
    PlanLoader* planLoader_ = nullptr;
    PlanSheet* planSheet_ = nullptr;
    HistorySheet* historySheet_ = nullptr;
    PlanLoader::Result plan_;
    QProgressBar* progress_ = nullptr;
    QLabel* details_ = nullptr;
    QString categoryProblems_; // the lines of categories.ini left out, told on the second line
    SettingsSheet* sheet_ = nullptr;
    std::optional<RunWording> wording_;                                  // of the run under way, or the last one
    std::pair<std::filesystem::path, std::filesystem::path> runFolders_; // its input and output folders
    std::unique_ptr<FolderPairAccess> access_;                           // to the run's folders, while it lasts
};

} // namespace foldwise
