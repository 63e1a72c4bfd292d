// The plan sheet on a plan of 100,000 files (one in ten staying for a taken name): the time from making
// the sheet to its first frame, and to a frame after each of twenty page-downs and a jump to the end.
// Target: the sheet open in under one second.
//   foldwise-bench-plan-sheet [--files N] [--runs N]
#include "bench/Measurement.h"
#include "engine/Plan.h"
#include "ui/PlanSheet.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace foldwise;

std::shared_ptr<const Plan> planOf(int files) {
    static const char* const folders[] = {"Images", "Documents", "Video", "Audio", "Archives", "Code", "Other"};
    auto plan = std::make_shared<Plan>();
    plan->files.reserve(static_cast<std::size_t>(files));
    for (int index = 0; index < files; ++index) {
        plan->files.push_back({"file-" + std::to_string(index) + ".dat", folders[index % 7],
                               index % 10 == 0 ? Plan::Verdict::NameTaken : Plan::Verdict::Move});
    }
    return plan;
}

// Lets the sheet paint until nothing is pending.
void settle(QWidget& widget) {
    widget.repaint();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    int files = 100000;
    int runs = 5;
    for (int index = 1; index + 1 < argc; index += 2) {
        if (std::strcmp(argv[index], "--files") == 0) {
            files = std::stoi(argv[index + 1]);
        } else if (std::strcmp(argv[index], "--runs") == 0) {
            runs = std::stoi(argv[index + 1]);
        }
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    const std::shared_ptr<const Plan> plan = planOf(files);

    std::vector<double> opening;
    std::vector<double> scrolling;
    for (int run = 0; run < runs; ++run) {
        const bench::Stopwatch open;
        PlanSheet sheet;
        sheet.setPlan(plan, QStringLiteral("%1 files").arg(files));
        sheet.show();
        while (sheet.windowHandle() == nullptr || !sheet.windowHandle()->isExposed()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        settle(sheet);
        opening.push_back(open.elapsed().wall);

        const bench::Stopwatch scroll;
        QScrollBar& bar = *sheet.table().verticalScrollBar();
        for (int page = 0; page < 20; ++page) {
            bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
            settle(sheet);
        }
        sheet.table().scrollToBottom();
        settle(sheet);
        scrolling.push_back(scroll.elapsed().wall / 21);
    }
    std::printf("Plan sheet, %d files, median of %d runs (offscreen unless a display is given):\n", files, runs);
    std::printf("  open to first frame      %8.3f s   (target < 1 s)\n", bench::median(opening));
    std::printf("  one page down, painted   %8.3f ms\n", 1000 * bench::median(scrolling));
    return bench::median(opening) < 1.0 ? 0 : 1;
}
