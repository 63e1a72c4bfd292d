#include <QApplication>

int runStatisticsViewTests(int argc, char** argv);
int runStatisticsChartTests(int argc, char** argv);

// The statistics screen's test classes share one program and one application object.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = runStatisticsViewTests(argc, argv);
    failures += runStatisticsChartTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
