#pragma once

#include <memory>

class QApplication;

namespace foldwise {

class ContentView;
class FolderPicker;

// The application: its identity on the desktop and its one window.
class FoldwiseApp {
public:
    FoldwiseApp() = delete;

    // Starts the application, shows the window and runs until the window is closed. Returns the exit
    // status; when there is no display to show the window on, says so and returns 1.
    static int run(int& argc, char** argv);

    // The name, organisation and icon that task bars, the preferences and the about box use, and the
    // window's style (see ReadableStyle).
    static void configure(QApplication& application);

    // The window: a new root view at its default size for its screen, picking folders with `folderPicker`
    // (the desktop's folder dialog when none is given).
    static std::unique_ptr<ContentView> makeWindow(std::unique_ptr<FolderPicker> folderPicker = nullptr);
};

} // namespace foldwise
