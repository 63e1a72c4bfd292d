#include "engine/RunKind.h"

namespace foldwise {

std::string_view runKindKey(RunKind kind) {
    return kind == RunKind::Sort ? "sort" : "undo";
}

std::optional<RunKind> runKindFromKey(std::string_view key) {
    if (key == "sort") {
        return RunKind::Sort;
    }
    if (key == "undo") {
        return RunKind::Undo;
    }
    return std::nullopt;
}

} // namespace foldwise
