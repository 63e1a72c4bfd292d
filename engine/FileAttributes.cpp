#include "engine/FileAttributes.h"

#include <attr/error_context.h>
#include <attr/libattr.h>
#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace foldwise {

namespace {

std::string reasonFor(int error) {
    return std::generic_category().message(error);
}

// FAT through FUSE keeps no owner and no mode at all, and says so with ENOSYS; some shares with EOPNOTSUPP.
bool keepsNone(int error) {
    return error == ENOSYS || error == EOPNOTSUPP;
}

void keepOwner(int copy, const struct stat& status, const MoveFailure& failure) {
    if (::fchown(copy, status.st_uid, status.st_gid) == 0 || keepsNone(errno)) {
        return;
    }
    if (errno != EPERM && errno != EINVAL) {
        throw failure.atDestination(errno);
    }
    // Only root may give a file away; the group may still be one of ours.
    if (::fchown(copy, static_cast<uid_t>(-1), status.st_gid) != 0 && errno != EPERM && errno != EINVAL) {
        throw failure.atDestination(errno);
    }
}

// Remembers the first error that loses an attribute. Like mv, a destination that cannot hold
// attributes, and attributes that only the system may set, do not stop the move.
struct AttributeErrors : error_context {
    int first = 0;
};

void noteAttributeError(error_context* context, const char*, ...) {
    const int error = errno;
    auto& errors = static_cast<AttributeErrors&>(*context);
    if (errors.first == 0 && error != ENOTSUP && error != EPERM && error != EACCES) {
        errors.first = error;
    }
}

// What /etc/xattr.conf does not mark as skipped, access ACLs included.
int keepsAttribute(const char* name, error_context*) {
    return attr_copy_action(name, nullptr) != ATTR_ACTION_SKIP;
}

void keepExtendedAttributes(int source, int copy, const MoveFailure& failure) {
    // libattr reads its configuration on first use without a lock.
    [[maybe_unused]] static const int configurationRead = attr_copy_action("", nullptr);
    AttributeErrors errors;
    errors.error = noteAttributeError;
    errors.quote = nullptr;
    errors.quote_free = nullptr;
    if (attr_copy_fd(nullptr, source, nullptr, copy, keepsAttribute, &errors) != 0 && errors.first != 0) {
        throw failure.atDestination("its extended attributes could not be kept: " + reasonFor(errors.first));
    }
}

} // namespace

// The order matters: chown clears set-id bits and capabilities, and chmod after the ACL leaves it
// intact, its mask being the group bits of the mode.
void keepAttributes(int source, int copy, const struct stat& status, const MoveFailure& failure) {
    keepOwner(copy, status, failure);
    keepExtendedAttributes(source, copy, failure);
    // The copy is ours: EPERM here is a file system that cannot store the mode (vfat), not a refusal.
    if (::fchmod(copy, status.st_mode & 07777) != 0 && !keepsNone(errno) && errno != EPERM) {
        throw failure.atDestination(errno);
    }
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::futimens(copy, times) != 0) {
        throw failure.atDestination(errno);
    }
}

} // namespace foldwise
