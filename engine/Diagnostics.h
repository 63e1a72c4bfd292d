#pragma once

#include <string_view>

namespace foldwise {

// Writes `line` and a line feed to standard output in one write, so that lines printed from
// several threads never interleave.
void printDiagnosticLine(std::string_view line);

} // namespace foldwise
