#pragma once

namespace foldwise {

// Renames `from` in the folder `fromFd` to `to` in the folder `toFd` without ever replacing what is
// at `to`, even what appears there meanwhile: renameat2 with RENAME_NOREPLACE, or, where the file
// system does not know that flag, a hard link and then an unlink of `from`. Returns 0, or the errno
// of the failure: EEXIST when `to` is taken, EXDEV when the two lie on different file systems.
int renameNoReplace(int fromFd, const char* from, int toFd, const char* to);

} // namespace foldwise
