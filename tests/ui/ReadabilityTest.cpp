// Every screen of the window in every state, in the default light palette and in a dark one, switched while the
// window is open: the contrast of each text and icon against what is behind it, measured on the grabbed pixels,
// and the keyboard focus on each control.
#include "tests/support/ControlledAnalysis.h"
#include "tests/support/GuiTest.h"
#include "ui/ChartColors.h"
#include "ui/DarkPalette.h"
#include "ui/StatisticsChart.h"
#include "ui/StatisticsView.h"

#include <QChart>
#include <QLegend>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QThreadPool>
#include <QToolButton>

#include <algorithm>

namespace foldwise::test {
namespace {
constexpr double textContrast = 4.5;  // text of any size, and icons
constexpr double focusContrast = 3.0; // a focus indicator against what it replaces

struct Ink {
    double ratio = 1;
    QColor color;
    QColor background;
};

// What is drawn in `area` of `image`, against the area's most frequent colour. Anti-aliasing blends every edge
// into the background, so the ink's colour is read where it stands out most: at the thirtieth of the drawn
// pixels with the highest contrast, where small text still has whole pixels. Where the text is grey, black or
// white, coloured pixels (the legend's slice markers) are not ink.
Ink measure(const QImage& image, const QRect& area, bool isTextNeutral = false) {
    const QRect pixels = area & image.rect();
    QHash<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const QRgb background =
        std::max_element(counts.constKeyValueBegin(), counts.constKeyValueEnd(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    std::vector<std::pair<double, QRgb>> drawn;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double ratio = contrastRatio(QColor(it.key()), QColor(background));
        const bool isIgnored = isTextNeutral && QColor(it.key()).hsvSaturationF() > 0.2;
        if (ratio >= 1.25 && !isIgnored) {
            drawn.insert(drawn.end(), it.value(), {ratio, it.key()});
        }
    }
    if (drawn.empty()) {
        return {1.0, QColor(background), QColor(background)};
    }
    const auto strongest = drawn.begin() + std::ptrdiff_t(drawn.size() / 30);
    std::nth_element(drawn.begin(), strongest, drawn.end(), std::greater<>());
    return {strongest->first, QColor(strongest->second), QColor(background)};
}

// A widget's class and, for labels and buttons, its text.
QString describe(const QWidget& widget) {
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(widget.metaObject()->className()), widget.property("text").toString().left(40));
}

// Collects every text, icon and focus indicator that does not reach its contrast.
class ReadabilityCheck {
public:
    QStringList failures;
    QString context; // the palette and the state, for the failure messages
    int measured = 0;

    // Every text and icon in `root` and the widgets in it.
    void checkTexts(QWidget& root) {
        QList<QWidget*> scrolled; // measured with their scroll area's content,
                                  // which may reach out of view
        const QImage image = root.grab().toImage();
        for (QWidget* widget : root.findChildren<QWidget*>()) {
            const bool isScrolled = std::any_of(scrolled.cbegin(), scrolled.cend(),
                                                [&](QWidget* area) { return area->isAncestorOf(widget); });
            if (widget->isWindow() || !widget->isVisibleTo(&root) || isScrolled) {
                continue;
            }
            if (auto* area = qobject_cast<QScrollArea*>(widget)) {
                scrolled.append(area);
                checkTexts(*area->widget());
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                if (!label->text().isEmpty() || !label->pixmap().isNull()) {
                    expect(image, root, *label, label->contentsRect(), label->text().isEmpty() ? "icon" : "text");
                }
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                if (button->isEnabled()) { // an inactive control's text needs no contrast
                    expect(image, root, *button, button->rect().adjusted(4, 4, -4, -4), "text");
                }
            } else if (auto* toolButton = qobject_cast<QToolButton*>(widget)) {
                checkToolButton(root, *toolButton);
            } else if (auto* tabBar = qobject_cast<QTabBar*>(widget)) {
                checkTabs(root, *tabBar);
            } else if (auto* chart = qobject_cast<StatisticsChart*>(widget)) {
                const QRect legend = chart->mapFromScene(chart->chart()->legend()->geometry()).boundingRect();
                expect(image, root, *chart->viewport(), legend, "legend", true);
            }
        }
    }

    // Tabs through the controls of `window` and compares each one before and after it takes the focus: the
    // pixels that change by at least 3:1 must add up to a line around the control 1.5 pixels wide, more than
    // the hairline of a changed border.
    void checkFocus(QWidget& window) {
        QSet<QWidget*> visited;
        for (int step = 0; step < 30; ++step) {
            const QImage before = window.grab().toImage();
            QWidget* current = QApplication::focusWidget();
            QTest::keyClick(current != nullptr && current->window() == &window ? current : &window, Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            if (focused == nullptr || visited.contains(focused)) {
                break;
            }
            visited.insert(focused);
            QRect area = focused->rect();
            if (auto* tabBar = qobject_cast<QTabBar*>(focused)) {
                area = tabBar->tabRect(tabBar->currentIndex());
            }
            const QRect pixels = deviceArea(before, window, *focused, area) & before.rect();
            const QImage after = window.grab().toImage();
            int changed = 0;
            for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
                for (int x = pixels.left(); x <= pixels.right(); ++x) {
                    changed += contrastRatio(QColor(before.pixel(x, y)), QColor(after.pixel(x, y))) >= focusContrast;
                }
            }
            const int outline = 3 * (pixels.width() + pixels.height());
            ++measured;
            if (changed < outline) {
                failures.append(QStringLiteral("%1: focus on %2 changes %3 pixels by 3:1, a line around it is %4")
                                    .arg(context, describe(*focused))
                                    .arg(changed)
                                    .arg(outline));
            }
        }
        QVERIFY2(visited.size() >= 2, qPrintable(context));
    }

private:
    static QRect deviceArea(const QImage& image, QWidget& root, const QWidget& widget, const QRect& area) {
        const qreal ratio = image.devicePixelRatio();
        const QRectF inRoot(QPointF(widget.mapTo(&root, area.topLeft())), QSizeF(area.size()));
        return QRectF(inRoot.topLeft() * ratio, inRoot.size() * ratio).toAlignedRect();
    }

    void expect(const QImage& image, QWidget& root, const QWidget& widget, const QRect& area, const char* kind,
                bool isTextNeutral = false) {
        const Ink ink = measure(image, deviceArea(image, root, widget, area), isTextNeutral);
        ++measured;
        if (ink.ratio < textContrast) {
            failures.append(QStringLiteral("%1: %2 of %3 is %4:1 (%5 on %6)")
                                .arg(context, QString::fromLatin1(kind), describe(widget))
                                .arg(ink.ratio, 0, 'f', 2)
                                .arg(ink.color.name(), ink.background.name()));
        }
    }

    // Icon and text side by side cannot be told apart in the pixels: each is measured with the other left out.
    void checkToolButton(QWidget& root, QToolButton& button) {
        if (!button.isEnabled()) {
            return;
        }
        const Qt::ToolButtonStyle style = button.toolButtonStyle();
        for (const auto& [only, kind] : {std::pair{Qt::ToolButtonIconOnly, "icon"}, {Qt::ToolButtonTextOnly, "text"}}) {
            button.setToolButtonStyle(only);
            QCoreApplication::processEvents();
            expect(root.grab().toImage(), root, button, button.rect().adjusted(2, 2, -2, -2), kind);
        }
        button.setToolButtonStyle(style);
    }

    void checkTabs(QWidget& root, QTabBar& tabs) {
        for (int index = 0; index < tabs.count(); ++index) {
            const QString text = tabs.tabText(index);
            const QIcon icon = tabs.tabIcon(index);
            const QRect face = tabs.tabRect(index).adjusted(4, 4, -4, -4); // inside a focus ring
            tabs.setTabText(index, QString());
            expect(root.grab().toImage(), root, tabs, face, "tab icon");
            tabs.setTabText(index, text);
            tabs.setTabIcon(index, QIcon());
            expect(root.grab().toImage(), root, tabs, face, "tab text");
            tabs.setTabIcon(index, icon);
        }
    }
};

// The statistics screen's analysis: the first run finds twelve types (so the
// type chart has its caption), later runs nothing.
FileStatistics twelveTypes() {
    FileStatistics statistics{{{"Images", 40}, {"Documents", 25}, {"Code", 12}}, {}};
    for (int index = 0; index < 12; ++index) {
        statistics.types.emplace_back("type" + std::to_string(index), 30 - 2 * index);
    }
    return statistics;
}

} // namespace

class ReadabilityTest : public QObject {
    Q_OBJECT

    QPalette light_;
    ReadabilityCheck check_;
    std::optional<TempFolder> temp_;

private slots:
    void initTestCase() { light_ = QApplication::palette(); }

    void init() {
        check_ = ReadabilityCheck();
        temp_.emplace();
    }

    void cleanup() {
        QApplication::setPalette(light_);
        QThreadPool::globalInstance()->waitForDone();
    }

    // Every screen in every state; where the user works with the keyboard, the focus on each control too.
    void everyTextIconAndFocusStandsOutFromItsBackground() {
        const TestWindow window({makeFolder(*temp_ / "Inbox"), makeFolder(*temp_ / "Sorted")});
        writeFile(*temp_ / "Inbox" / "notes.txt");
        StatisticsView& statistics = window.view->statisticsView();
        ControlledAnalysis analysis({twelveTypes()});
        statistics.setAnalysis(analysis.function());
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        // Measures in the light palette, then in the dark one.
        auto checkIn = [&](const char* state, QWidget& screen, bool withFocus = false) {
            for (const auto& [name, palette] : {std::pair{"light", light_}, {"dark", darkFusionPalette()}}) {
                QApplication::setPalette(palette);
                QCoreApplication::processEvents();
                check_.context = QString::fromLatin1(name) + QStringLiteral(", ") + QString::fromUtf8(state);
                check_.checkTexts(screen);
                if (withFocus) {
                    check_.checkFocus(screen);
                }
            }
        };

        checkIn("organizer at first launch", *window.view);
        window.view->tabs().setCurrentIndex(1);
        checkIn("statistics without a folder", *window.view);
        window.view->tabs().setCurrentIndex(0);

        window.openSettings();
        SettingsSheet& sheet = window.organizer().settingsSheet();
        QVERIFY(QTest::qWaitForWindowActive(&sheet));
        window.click("selectInputFolderButton");
        window.click("selectOutputFolderButton");
        checkIn("settings sheet", sheet, true);
        window.click("doneButton");
        window.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));

        checkIn("organizer with both folders", *window.view, true);
        window.run("sortButton");
        checkIn("organizer after a sort", *window.view);
        window.run("undoSortButton");
        checkIn("organizer after an undo", *window.view);
        writeFile(*temp_ / "Sorted" / "Documents"); // in the way of the sub-folder the sort needs
        window.run("sortButton");
        checkIn("organizer after a failed sort", *window.view);

        window.view->tabs().setCurrentIndex(1);
        QCOMPARE(statistics.state(), StatisticsScreenState::Loading);
        checkIn("statistics loading", *window.view);
        analysis.releaseAll();
        QTRY_COMPARE(statistics.state(), StatisticsScreenState::Results);
        checkIn("statistics results", *window.view, true);
        statistics.refreshAction()->trigger();
        QTRY_COMPARE(statistics.state(), StatisticsScreenState::Empty);
        checkIn("statistics of an empty folder", *window.view);

        QVERIFY2(check_.failures.isEmpty(), qPrintable(check_.failures.join(QLatin1Char('\n'))));
        QVERIFY(check_.measured > 150); // the walk found the screens' texts and icons
    }
};

} // namespace foldwise::test

FOLDWISE_GUI_TEST_MAIN(foldwise::test::ReadabilityTest)

#include "ReadabilityTest.moc"
