#pragma once

#include "engine/MoveFailure.h"

#include <sys/stat.h>

namespace foldwise {

// Gives the open `copy` what a move keeps of the open `source`, whose status is `status`: owner and
// group where permitted, extended attributes (access control lists among them), permission bits
// and access and modification times. Throws `failure`'s error when one of them cannot be kept.
void keepAttributes(int source, int copy, const struct stat& status, const MoveFailure& failure);

} // namespace foldwise
