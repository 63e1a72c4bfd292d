#include "engine/StayReason.h"

namespace foldwise {

std::string_view stayReasonKey(StayReason reason) {
    switch (reason) {
    case StayReason::NameTaken:
        return "nameTaken";
    case StayReason::NotRegular:
        return "notRegular";
    case StayReason::NameRefused:
        return "nameRefused";
    case StayReason::TooLarge:
        return "tooLarge";
    case StayReason::FolderBlocked:
        return "folderBlocked";
    case StayReason::Gone:
        return "gone";
    case StayReason::InUse:
        return "inUse";
    case StayReason::Vanished:
        break;
    }
    return "vanished";
}

} // namespace foldwise
