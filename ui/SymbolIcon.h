#pragma once

#include <QIcon>
#include <QString>

namespace foldwise {

// The icon for one of the symbol names the screens use ("folder", "chart.pie", "paperplane",
// "arrow.clockwise", "magnifyingglass", "folder.badge.questionmark"): the icon theme's where it has a
// fitting one, otherwise our own artwork, so the window has every icon even without a desktop session.
QIcon symbolIcon(const QString& symbolName);

} // namespace foldwise
