#pragma once

namespace foldwise {

// Renames `from` in the folder `fromFd` to `to` in the folder `toFd` without ever replacing what is
// at `to`, even what appears there meanwhile: renameat2 with RENAME_NOREPLACE, or, where the file
// system does not know that flag, a hard link and then an unlink of `from`, or, where it has no links
// either (FAT and exFAT through FUSE), a rename over an empty placeholder it has just created at `to`.
// Returns 0, or the errno of the failure: EEXIST when `to` is taken, EXDEV when the two lie on
// different file systems; a failure leaves no placeholder.
int renameNoReplace(int fromFd, const char* from, int toFd, const char* to);

} // namespace foldwise
