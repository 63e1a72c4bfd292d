#include "ui/SymbolIcon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QLatin1StringView>
#include <QPainter>
#include <QPalette>

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

// Symbolic (monochrome) theme icons, so they sit well beside our own line artwork and take any colour.
constexpr SymbolTheming symbolThemings[] = {
    {QLatin1StringView("folder"), QLatin1StringView("folder-symbolic")},
    {QLatin1StringView("chart.pie"), QLatin1StringView()},
    {QLatin1StringView("paperplane"), QLatin1StringView()},
    {QLatin1StringView("arrow.clockwise"), QLatin1StringView("view-refresh-symbolic")},
    {QLatin1StringView("magnifyingglass"), QLatin1StringView("edit-find-symbolic")},
    {QLatin1StringView("folder.badge.questionmark"), QLatin1StringView()},
};

// The artwork of a symbol, in whatever colour it was drawn.
QIcon symbolShape(const QString& symbolName) {
    registerSymbolIcons();
    QIcon ownArtwork(QStringLiteral(":/icons/%1.svg").arg(symbolName));
    for (const SymbolTheming& theming : symbolThemings) {
        if (theming.symbol == symbolName && !theming.themeName.isEmpty()) {
            return QIcon::fromTheme(QString(theming.themeName), ownArtwork);
        }
    }
    return ownArtwork;
}

// `shape` at exactly `pixels`, its every pixel in `color` at the coverage the artwork gives it.
QPixmap tinted(const QIcon& shape, const QSize& pixels, const QColor& color) {
    QPixmap pixmap = shape.pixmap(pixels, 1.0);
    if (pixmap.isNull()) {
        return pixmap;
    }
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    return pixmap;
}

// Draws a symbol in the application palette's text colour, looked up each time it is drawn.
class PaletteTintedEngine final : public QIconEngine {
public:
    explicit PaletteTintedEngine(QIcon shape) : shape_(std::move(shape)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/) override {
        const QPalette palette = QGuiApplication::palette();
        const auto group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        return tinted(shape_, size, palette.color(group, QPalette::WindowText));
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override { return size; }
    QIconEngine* clone() const override { return new PaletteTintedEngine(shape_); }
    QString key() const override { return QStringLiteral("foldwise.tinted"); }

private:
    QIcon shape_;
};

} // namespace

QIcon symbolIcon(const QString& symbolName) {
    return QIcon(new PaletteTintedEngine(symbolShape(symbolName)));
}

QPixmap symbolPixmap(const QString& symbolName, int side, qreal pixelRatio, const QColor& color) {
    QPixmap pixmap = tinted(symbolShape(symbolName), QSize(side, side) * pixelRatio, color);
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}

} // namespace foldwise
