#pragma once

namespace foldwise {

// Installs the wording's translations (the English plural forms: "1 file", "2 files") into the running
// application. Both front ends call it once, after making their application object.
void installTranslations();

} // namespace foldwise
