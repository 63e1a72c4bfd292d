#include "app/FoldwiseApp.h"

#include "app/ContentView.h"
#include "ui/FolderPicker.h"
#include "ui/ReadableStyle.h"
#include "wording/Translations.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

// Resources of a static library must be registered by hand; this has to happen outside any namespace.
static void registerApplicationIcon() {
    Q_INIT_RESOURCE(appicon);
}

namespace foldwise {
namespace {

bool hasDisplay() {
    // A platform chosen explicitly (offscreen, vnc …) needs no display of its own.
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

} // namespace

int FoldwiseApp::run(int& argc, char** argv) {
    if (!hasDisplay()) {
        std::fputs("foldwise: there is no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY "
                   "is set).\nStart it from a desktop session, or without one under a virtual display: "
                   "xvfb-run foldwise\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    configure(application);
    const std::unique_ptr<ContentView> window = makeWindow();
    window->show();
    return QApplication::exec();
}

void FoldwiseApp::configure(QApplication& application) {
    registerApplicationIcon();
    QApplication::setApplicationName(QStringLiteral("Foldwise"));
    QApplication::setOrganizationName(QStringLiteral("Foldwise"));
    QApplication::setApplicationDisplayName(QStringLiteral("Foldwise"));
    QApplication::setApplicationVersion(QStringLiteral(FOLDWISE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.foldwise.Foldwise"));
    installTranslations();
    // Without a desktop session the theme is hicolor, which has none of the icons the screens use.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    QIcon icon(QStringLiteral(":/appicon/foldwise.svg"));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/appicon/foldwise-%1.png").arg(size), QSize(size, size));
    }
    application.setWindowIcon(QIcon::fromTheme(QStringLiteral("foldwise"), icon));
    // Prominent buttons in an accent white text reads on, secondary text that reads, and a clear keyboard
    // focus ring, in whatever palette the desktop hands the application.
    QApplication::setStyle(new ReadableStyle);
}

std::unique_ptr<ContentView> FoldwiseApp::makeWindow(std::unique_ptr<FolderPicker> folderPicker) {
    if (!folderPicker) {
        folderPicker = std::make_unique<DialogFolderPicker>();
    }
    auto window = std::make_unique<ContentView>(std::move(folderPicker));
    window->setWindowTitle(QApplication::applicationDisplayName());
    // 820 × 600 where that fits into four fifths of the screen's available area (at any scale), else that much
    // of the area. The minimum is small enough for a laptop's half screen and never so small that a tab's
    // content is squeezed, but never more than the available area either.
    const QSize available = window->screen()->availableSize();
    const QSize limit = available * 0.8;
    const QSize minimum = QSize(560, 440).boundedTo(limit).expandedTo(window->minimumSizeHint()).boundedTo(available);
    window->setMinimumSize(minimum);
    window->resize(QSize(820, 600).boundedTo(limit).expandedTo(minimum));
    return window;
}

} // namespace foldwise
