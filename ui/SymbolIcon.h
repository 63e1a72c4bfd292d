#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace foldwise {

// The icon for one of the symbol names the screens use ("folder", "chart.pie", "paperplane",
// "arrow.clockwise", "magnifyingglass", "folder.badge.questionmark"): the icon theme's symbolic icon where
// it has a fitting one, otherwise our own artwork, so the window has every icon even without a desktop
// session. Either is drawn in the application palette's text colour of the moment it is painted (its
// disabled text colour when disabled), so that it shows in a light palette and a dark one alike.
QIcon symbolIcon(const QString& symbolName);

// The same symbol as a pixmap of `side` × `side` device-independent pixels for a screen of `pixelRatio`,
// drawn in `color`.
QPixmap symbolPixmap(const QString& symbolName, int side, qreal pixelRatio, const QColor& color);

} // namespace foldwise
