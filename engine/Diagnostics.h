#pragma once

#include <cstdio>
#include <string_view>

namespace foldwise {

// Writes `line` and a line feed to standard output (or where sendDiagnosticsTo says) in one write,
// so that lines printed from several threads never interleave.
void printDiagnosticLine(std::string_view line);

// Sends the diagnostic lines to `stream` from now on: the command line keeps standard output for
// its results and sends them to standard error.
void sendDiagnosticsTo(std::FILE* stream);

// Drops the diagnostic lines from now on, until sendDiagnosticsTo names a stream again.
void discardDiagnostics();

} // namespace foldwise
