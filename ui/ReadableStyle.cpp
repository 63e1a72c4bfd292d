#include "ui/ReadableStyle.h"

#include "ui/StatusColor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>

namespace foldwise {
namespace {

constexpr int focusRingWidth = 2;
constexpr int focusRingInset = 1; // inside the control's own border, so that the ring replaces only its face

bool isProminent(const QStyleOption& option, const QWidget* widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return button != nullptr && button->property("prominent").toBool() && (option.state & QStyle::State_Enabled) &&
           (!button->isCheckable() || (option.state & QStyle::State_On));
}

// Keyboard focus only: a click leaves no ring behind.
bool hasKeyboardFocus(const QStyleOption& option) {
    return (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange);
}

} // namespace

void paintFocusRing(QPainter& painter, const QRect& rect, const QColor& color) {
    const QRect outer = rect.adjusted(focusRingInset, focusRingInset, -focusRingInset, -focusRingInset);
    const QRect inner = outer.adjusted(focusRingWidth, focusRingWidth, -focusRingWidth, -focusRingWidth);
    QPainterPath ring;
    ring.addRect(outer);
    ring.addRect(inner); // the odd-even fill leaves the inside alone
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(ring, color);
    painter.restore();
}

ReadableStyle::ReadableStyle(QStyle* base)
    : QProxyStyle(base != nullptr ? base : QStyleFactory::create(QApplication::style()->name())) {}

void ReadableStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
    if (element == PE_PanelButtonCommand && isProminent(*option, widget)) {
        QColor fill = accentFillColorValue(option->palette);
        if (option->state & State_Sunken) {
            fill = fill.darker(115);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(fill.darker(130));
        painter->setBrush(fill);
        painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        painter->restore();
        return;
    }
    if (element == PE_FrameFocusRect) {
        if (hasKeyboardFocus(*option)) {
            paintFocusRing(*painter, option->rect,
                           focusRingColorValue(option->palette, option->palette.color(QPalette::Window)));
        }
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ReadableStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    if (element == CE_PushButtonLabel && isProminent(*option, widget)) {
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton onAccent = *button;
            onAccent.palette.setColor(QPalette::ButtonText, textOnAccentColor());
            QProxyStyle::drawControl(element, &onAccent, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && hasKeyboardFocus(*option)) {
        const QColor face = isProminent(*option, widget) ? accentFillColorValue(option->palette)
                                                         : option->palette.color(QPalette::Button);
        paintFocusRing(*painter, option->rect, focusRingColorValue(option->palette, face));
    }
    // A tab bar with the focus marks its current tab.
    const auto* tabBar = qobject_cast<const QTabBar*>(widget);
    if (element == CE_TabBarTab && tabBar != nullptr && tabBar->hasFocus() && (option->state & State_Selected) &&
        (option->state & State_KeyboardFocusChange)) {
        paintFocusRing(*painter, option->rect.adjusted(1, 1, -1, -1),
                       focusRingColorValue(option->palette, option->palette.color(QPalette::Window)));
    }
}

void ReadableStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                                 const QString& text, QPalette::ColorRole textRole) const {
    if (textRole == QPalette::PlaceholderText && enabled) {
        QPalette secondary = palette;
        secondary.setColor(QPalette::PlaceholderText, secondaryColorValue(palette));
        QProxyStyle::drawItemText(painter, rect, flags, secondary, enabled, text, textRole);
        return;
    }
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
}

} // namespace foldwise
