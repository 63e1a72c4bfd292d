#include "ui/DarkPalette.h"

namespace foldwise {

QPalette darkFusionPalette() {
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    const QColor text(0xff, 0xff, 0xff);
    const QColor highlight(0x2a, 0x82, 0xda);
    QPalette palette(text, window, window.lighter(150), window.darker(150), window.darker(110), text, Qt::red, base,
                     window);
    palette.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::Link, highlight);
    palette.setColor(QPalette::LinkVisited, highlight.lighter(130));
    palette.setColor(QPalette::PlaceholderText, QColor(0xff, 0xff, 0xff, 0x80));
    const QColor disabledText(0x7f, 0x7f, 0x7f);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText,
                            QPalette::PlaceholderText}) {
        palette.setColor(QPalette::Disabled, role, disabledText);
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x50));
    return palette;
}

} // namespace foldwise
