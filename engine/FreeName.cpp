#include "engine/FreeName.h"

namespace foldwise {

std::string numberedName(std::string_view name, int number) {
    const std::string_view extension = FileSystem::nameExtension(name);
    const std::string_view stem = extension.empty() ? name : name.substr(0, name.size() - extension.size() - 1);
    std::string numbered(stem);
    numbered += " (" + std::to_string(number) + ")";
    if (!extension.empty()) {
        numbered += '.';
        numbered += extension;
    }
    return numbered;
}

std::optional<std::string> firstFreeName(std::string_view name,
                                         const std::function<bool(const std::string&)>& isTaken) {
    for (int number = 2; number <= kLastFreeNameNumber; ++number) {
        std::string candidate = numberedName(name, number);
        if (!isTaken(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

MoveResult moveUnderFreeName(const Folder& from, const std::string& name, const Folder& to, const MoveControl& control,
                             const std::function<void(const std::string& candidate)>& beforeAttempt,
                             std::string& chosen) {
    for (int number = 2; number <= kLastFreeNameNumber; ++number) {
        chosen = numberedName(name, number);
        // A look first spares a move across file systems a copy made only to find the name taken.
        if (to.isAnything(chosen)) {
            continue;
        }
        beforeAttempt(chosen);
        const MoveResult result = from.moveNoReplace(name, to, chosen, control);
        if (result == MoveResult::NameRefused) {
            return MoveResult::DestinationExists; // its own name was stored there: the number made it too long
        }
        if (result != MoveResult::DestinationExists) {
            return result;
        }
    }
    return MoveResult::DestinationExists;
}

} // namespace foldwise
