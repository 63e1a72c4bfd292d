// foldwise-bench-gui-runs [--files N] [--big-gigabytes G] [--analysis-tree DIR] [--dir PARENT] [--shm PARENT]
//
// The window while files move: the longest time its GUI thread goes without running a 5 ms timer
// during a sort and an undo of N small files, and during a sort of two large files to another file
// system; and how long the window takes to close, its analysis stopped and every thread ended, while a
// large folder is being counted.
#include "app/ContentView.h"
#include "app/FoldwiseApp.h"
#include "bench/CommandLine.h"
#include "bench/Measurement.h"
#include "bench/TickRecorder.h"
#include "bench/TreeGenerator.h"
#include "tests/support/IsolatedUserFolders.h"
#include "tests/support/ScratchFolder.h"
#include "ui/FolderPicker.h"
#include "ui/FolderSelection.h"
#include "ui/OrganizerView.h"
#include "ui/RunWorker.h"

#include <QApplication>
#include <QEventLoop>
#include <QTabWidget>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;
using namespace foldwise;
using bench::parseCount;
using bench::TickRecorder;

constexpr double targetMilliseconds = 50.0;

struct Options {
    std::size_t files = 100'000;
    std::size_t bigGigabytes = 1;
    std::optional<fs::path> analysisTree;
    fs::path parent = fs::temp_directory_path();
    fs::path shm = "/dev/shm";
};

Options parse(int argc, char** argv) {
    Options options;
    bench::takeOptions(argc, argv,
                       {{"--files", &options.files},
                        {"--big-gigabytes", &options.bigGigabytes},
                        {"--analysis-tree", &options.analysisTree},
                        {"--dir", &options.parent},
                        {"--shm", &options.shm}});
    return options;
}

// Runs "Sort" or "Undo Sort" in `window` and returns the longest gap between timer ticks meanwhile.
double longestGapDuring(ContentView& window, void (OrganizerView::*command)()) {
    TickRecorder ticks(5);
    QEventLoop loop;
    QObject::connect(&window.organizerView().worker(), &RunWorker::finished, &loop, &QEventLoop::quit);
    ticks.start();
    (window.organizerView().*command)();
    loop.exec();
    ticks.stop();
    return ticks.gaps().empty() ? 0 : *std::max_element(ticks.gaps().begin(), ticks.gaps().end());
}

void report(const char* what, double gap) {
    std::printf("  %-52s longest GUI stall %7.1f ms  %s\n", what, gap, gap < targetMilliseconds ? "met" : "MISSED");
}

void writeBigFile(const fs::path& file, std::size_t gigabytes) {
    std::ofstream out(file, std::ios::binary);
    std::string block(1 << 20, 'x');
    for (std::size_t megabyte = 0; megabyte < gigabytes * 1024; ++megabyte) {
        block[megabyte % block.size()] = static_cast<char>(megabyte); // not all zeros: no holes to skip
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

void measureRuns(const Options& options) {
    const test::ScratchFolder scratch(options.parent);
    const fs::path& work = scratch.path();
    const fs::path input = work / "input";
    const fs::path output = work / "output";
    std::printf("Making %zu files in %s ...\n", options.files, input.c_str());
    test::generateTree(input, test::TreeOptions{options.files, test::TreeShape::Flat, 1, 0});

    auto window = FoldwiseApp::makeWindow();
    window->show();
    window->folderSelection().setSelectedInputFolderURL(input);
    window->folderSelection().setSelectedOutputFolderURL(output);
    report("sort of the small files", longestGapDuring(*window, &OrganizerView::sortFiles));
    report("undo of that sort", longestGapDuring(*window, &OrganizerView::undoSort));

    const fs::path big = work / "big";
    const test::ScratchFolder shmScratch(options.shm);
    const fs::path& shm = shmScratch.path();
    fs::create_directories(big);
    std::printf("Making 2 files of %zu GB in %s ...\n", options.bigGigabytes, big.c_str());
    for (const char* name : {"holiday.mkv", "backup.iso"}) {
        writeBigFile(big / name, options.bigGigabytes);
    }
    window->folderSelection().setSelectedInputFolderURL(big);
    window->folderSelection().setSelectedOutputFolderURL(shm);
    const bench::Stopwatch stopwatch;
    const double gap = longestGapDuring(*window, &OrganizerView::sortFiles);
    std::printf("  (the copy to %s took %.1f s)\n", shm.c_str(), stopwatch.elapsed().wall);
    report("sort of 2 large files to another file system", gap);
    window.reset();
}

void measureClose(const fs::path& tree) {
    auto window = FoldwiseApp::makeWindow();
    window->show();
    window->folderSelection().setSelectedInputFolderURL(tree);
    window->tabs().setCurrentIndex(1); // the statistics screen starts counting
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    const bench::Stopwatch stopwatch;
    window.reset();
    QThreadPool::globalInstance()->waitForDone(); // what the application waits for before it exits
    const double milliseconds = stopwatch.elapsed().wall * 1000;
    std::printf("  %-52s %7.1f ms  %s\n", "window closed during the count, to every thread ended", milliseconds,
                milliseconds < 200 ? "met (target under 200 ms)" : "MISSED (target under 200 ms)");
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception&) {
        std::fputs(
            "usage: foldwise-bench-gui-runs [--files N] [--big-gigabytes G] [--analysis-tree DIR] [--dir PARENT] "
            "[--shm PARENT]\n",
            stderr);
        return 2;
    }
    const test::IsolatedUserFolders isolated(options.parent); // preferences and history of this run only
    QApplication application(argc, argv);
    FoldwiseApp::configure(application);
    try {
        measureRuns(options);
        if (options.analysisTree) {
            std::printf("Counting %s ...\n", options.analysisTree->c_str());
            measureClose(*options.analysisTree);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "foldwise-bench-gui-runs: %s\n", error.what());
        return 1;
    }
    return 0;
}
