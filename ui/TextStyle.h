#pragma once

#include <QFont>

namespace foldwise {

// The text styles the screens use, derived from the application font so they follow the user's size.
enum class TextStyle { Title, Title2, Headline, Caption };

QFont textStyleFont(TextStyle style, const QFont& base);

} // namespace foldwise
