// foldwise-bench-gui [--files N] [--tree DIR] [--dir PARENT] [--interval MS] [--seed S]
//
// Shows the statistics screen on a large nested tree and measures how long the GUI thread goes
// without running a short repeating timer while the folder is analysed and the charts are drawn.
// The tree is generated into a temporary folder under PARENT and removed afterwards, unless an
// existing one is given with --tree.
#include "bench/CommandLine.h"
#include "bench/Measurement.h"
#include "bench/TickRecorder.h"
#include "bench/TreeGenerator.h"
#include "ui/StatisticsView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace foldwise;
using bench::percentile;
using bench::TickRecorder;

constexpr double targetMilliseconds = 50.0;
constexpr int settleMilliseconds = 500; // keeps measuring while the charts are built and painted

struct Options {
    std::size_t files = 1'000'000;
    std::optional<fs::path> tree;
    fs::path parent = fs::temp_directory_path();
    int intervalMilliseconds = 5;
    std::uint64_t seed = 1;
};

Options parse(int argc, char** argv) {
    Options options;
    bench::takeOptions(argc, argv,
                       {{"--files", &options.files},
                        {"--tree", &options.tree},
                        {"--dir", &options.parent},
                        {"--interval", &options.intervalMilliseconds},
                        {"--seed", &options.seed}});
    return options;
}

struct Measurement {
    double analysisSeconds = 0;
    std::vector<double> gaps;
    std::vector<double> work;
};

Measurement measure(const fs::path& folder, int intervalMilliseconds) {
    StatisticsView view;
    view.resize(1000, 860);
    TickRecorder ticks(intervalMilliseconds);
    foldwise::bench::Stopwatch stopwatch;
    double analysisSeconds = 0;
    QObject::connect(&view, &StatisticsView::statisticsLoaded, [&] {
        analysisSeconds = stopwatch.elapsed().wall;
        QTimer::singleShot(settleMilliseconds, qApp, &QCoreApplication::quit);
    });
    // The screen is on view before measuring starts, so only the load and what it draws is timed.
    view.show();
    QTimer::singleShot(settleMilliseconds, &view, [&] {
        ticks.start();
        stopwatch = {};
        view.setInputFolderURL(folder); // a shown screen loads a new folder at once
    });
    QApplication::exec();
    ticks.stop();
    return {analysisSeconds, ticks.gaps(), ticks.work()};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception&) {
        std::fputs("usage: foldwise-bench-gui [--files N] [--tree DIR] [--dir PARENT] [--interval MS] [--seed S]\n",
                   stderr);
        return 2;
    }

    fs::path folder;
    fs::path generated;
    if (options.tree) {
        folder = *options.tree;
    } else {
        generated = options.parent / ("foldwise-bench-gui-" + std::to_string(::getpid()));
        std::printf("Generating %zu files under %s ...\n", options.files, generated.c_str());
        std::fflush(stdout);
        foldwise::test::TreeOptions tree;
        tree.fileCount = options.files;
        tree.shape = foldwise::test::TreeShape::Nested;
        tree.seed = options.seed;
        try {
            foldwise::test::generateTree(generated, tree);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "foldwise-bench-gui: %s\n", error.what());
            fs::remove_all(generated);
            return 1;
        }
        folder = generated;
    }

    const Measurement result = measure(folder, options.intervalMilliseconds);
    if (!generated.empty()) {
        fs::remove_all(generated);
    }

    const auto largest = [](const std::vector<double>& values) {
        return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
    };
    const double longest = largest(result.gaps);
    double load[3] = {};
    ::getloadavg(load, 3);
    std::printf("\nGUI responsiveness while the statistics screen analyses %s\n", folder.c_str());
    std::printf("  analysis, shown to result   %8.2f s\n", result.analysisSeconds);
    std::printf("  timer ticks (every %d ms)    %8zu\n", options.intervalMilliseconds, result.gaps.size());
    std::printf("  median gap                  %8.2f ms\n", percentile(result.gaps, 0.5));
    std::printf("  99th percentile gap         %8.2f ms\n", percentile(result.gaps, 0.99));
    std::printf("  longest gap                 %8.2f ms   (target: under %.0f ms: %s)\n", longest, targetMilliseconds,
                longest < targetMilliseconds ? "met" : "MISSED");
    const auto longestAt = std::max_element(result.gaps.begin(), result.gaps.end());
    const double endedAt =
        std::accumulate(result.gaps.begin(), longestAt == result.gaps.end() ? longestAt : longestAt + 1, 0.0);
    std::printf("  longest gap ended           %8.2f s    (after start; the result came at %.2f s)\n", endedAt / 1e3,
                result.analysisSeconds);
    std::printf("  longest GUI work in a gap   %8.2f ms   (processor time of the GUI thread)\n", largest(result.work));
    std::printf("  load average at the end     %8.2f      (%u cores; a busy machine stretches the gaps)\n", load[0],
                std::thread::hardware_concurrency());
    return 0;
}
