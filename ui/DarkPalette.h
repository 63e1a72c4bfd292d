#pragma once

#include <QPalette>

namespace foldwise {

// A dark palette for the Fusion style, like the ones desktop settings tools hand Qt applications: light text
// on dark grey. The screenshots and the readability tests show the window in it.
QPalette darkFusionPalette();

} // namespace foldwise
