#pragma once

#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/MoveControl.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace foldwise {

// The highest number a file whose name is taken may get; past it, the file stays where it is.
constexpr int kLastFreeNameNumber = 10'000;

// `name` with " (number)" before its extension, the last one as FileSystem::nameExtension gives it:
// "report.pdf" gives "report (2).pdf", "backup.tar.gz" gives "backup.tar (2).gz" (one rule for every
// name, rather than a list of double extensions), "notes" and ".profile" give "notes (2)" and
// ".profile (2)".
std::string numberedName(std::string_view name, int number);

// The first numbered name, from "(2)" on, that `isTaken` does not refuse; nothing past the last number.
std::optional<std::string> firstFreeName(std::string_view name, const std::function<bool(const std::string&)>& isTaken);

// Moves the entry `name` of `from` into `to` under the first free numbered name. Each name is taken by
// the no-replace move itself, so that two runs never give one name twice: a name found taken, before
// or by the move, passes to the next number. `beforeAttempt` is told each name just before it is
// tried; `chosen` holds the last one tried. DestinationExists when every number is taken, or when the
// destination cannot store the longer name.
MoveResult moveUnderFreeName(const Folder& from, const std::string& name, const Folder& to, const MoveControl& control,
                             const std::function<void(const std::string& candidate)>& beforeAttempt,
                             std::string& chosen);

} // namespace foldwise
