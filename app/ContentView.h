#pragma once

#include <QWidget>

#include <memory>

class QTabWidget;

namespace foldwise {

class FolderPicker;
class FolderSelection;
class OrganizerView;
class StatisticsView;

// The window's root view: the folder selection, held in memory only, and the two tabs. The organizer
// tab works on the selection and the preferences; the statistics tab is handed the input folder
// whenever it changes. Each time the tabs come into view, the remembered folders are restored.
// Ctrl+Q closes the window, which quits the application; during a sort or an undo, only once the user
// agrees to stop it.
class ContentView : public QWidget {
    Q_OBJECT

public:
    explicit ContentView(std::unique_ptr<FolderPicker> folderPicker, QWidget* parent = nullptr);
    ~ContentView() override;

    FolderSelection& folderSelection() const { return *selection_; }
    QTabWidget& tabs() const { return *tabs_; }
    OrganizerView& organizerView() const { return *organizer_; }
    StatisticsView& statisticsView() const { return *statistics_; }

    // Resolves the stored bookmarks, input folder first, into the folder selection.
    void restoreFolders();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<FolderPicker> folderPicker_;
    FolderSelection* selection_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    OrganizerView* organizer_ = nullptr;
    StatisticsView* statistics_ = nullptr;
};

} // namespace foldwise
