#include "ui/SymbolIcon.h"

#include <QLatin1StringView>

// Resources of a static library must be registered by hand; this has to happen outside any namespace.
static void registerSymbolIcons() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace foldwise {

namespace {

struct SymbolTheming {
    QLatin1StringView symbol;
    QLatin1StringView themeName; // empty where no freedesktop icon means the same thing
};

// Symbolic (monochrome) theme icons, so they sit well beside our own line artwork.
constexpr SymbolTheming symbolThemings[] = {
    {QLatin1StringView("folder"), QLatin1StringView("folder-symbolic")},
    {QLatin1StringView("chart.pie"), QLatin1StringView()},
    {QLatin1StringView("paperplane"), QLatin1StringView()},
    {QLatin1StringView("arrow.clockwise"), QLatin1StringView("view-refresh-symbolic")},
    {QLatin1StringView("magnifyingglass"), QLatin1StringView("edit-find-symbolic")},
    {QLatin1StringView("folder.badge.questionmark"), QLatin1StringView()},
};

} // namespace

QIcon symbolIcon(const QString& symbolName) {
    registerSymbolIcons();
    const QIcon ownArtwork(QStringLiteral(":/icons/%1.svg").arg(symbolName));
    for (const SymbolTheming& theming : symbolThemings) {
        if (theming.symbol == symbolName && !theming.themeName.isEmpty()) {
            return QIcon::fromTheme(QString(theming.themeName), ownArtwork);
        }
    }
    return ownArtwork;
}

} // namespace foldwise
