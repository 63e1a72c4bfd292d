#pragma once

#include <optional>
#include <string_view>

namespace foldwise {

// What a run does: sort files into sub-folders, or undo the sorts on record.
enum class RunKind { Sort, Undo };

// The run kind as the history, the JSON output and the listings write it: "sort" or "undo".
std::string_view runKindKey(RunKind kind);
// The run kind a key names; nothing for any other text.
std::optional<RunKind> runKindFromKey(std::string_view key);

} // namespace foldwise
