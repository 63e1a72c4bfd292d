#pragma once

#include "wording/StatusColor.h"

#include <QString>

namespace foldwise {

// One sentence for a status line, and the colour it is shown in.
struct StatusLine {
    QString text;
    StatusColor color = StatusColor::Primary;
};

} // namespace foldwise
