#pragma once

#include <QProxyStyle>

class QPainter;

namespace foldwise {

// The platform's widget style with three changes that keep the window readable in any palette:
// - a push button whose dynamic property "prominent" is true (and, if checkable, that is checked) is filled
//   with the accent fill and labelled in text-on-accent, instead of the style's own tint of the button colour;
// - a control that has the keyboard focus shows a two-pixel ring in a colour that stands out from its face;
// - text drawn in the palette's placeholder role, which the screens use for secondary text, is drawn in the
//   secondary colour, so it reads at 4.5:1.
class ReadableStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Wraps `base`, taking ownership of it; with none, the application's style of the moment.
    explicit ReadableStyle(QStyle* base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
};

// Paints the focus ring: a band two pixels wide just inside `rect`.
void paintFocusRing(QPainter& painter, const QRect& rect, const QColor& color);

} // namespace foldwise
