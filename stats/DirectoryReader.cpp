#include "stats/DirectoryReader.h"

#include <dirent.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>

namespace foldwise {

DirectoryReader::DirectoryReader(std::size_t bufferSize) : buffer_(bufferSize) {}

void DirectoryReader::open(int fd) {
    fd_ = fd;
    offset_ = 0;
    size_ = 0;
    error_ = 0;
}

bool DirectoryReader::next(Entry& entry) {
    if (offset_ >= size_ && !fill()) {
        return false;
    }
    // The kernel aligns every record for this structure; the buffer itself comes from operator new.
    const auto* record = reinterpret_cast<const struct dirent64*>(buffer_.data() + offset_);
    offset_ += record->d_reclen;
    entry.name = std::string_view(record->d_name, std::strlen(record->d_name));
    entry.type = record->d_type;
    return true;
}

bool DirectoryReader::fill() {
    ssize_t count = 0;
    do {
        count = ::getdents64(fd_, buffer_.data(), buffer_.size());
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        error_ = count < 0 ? errno : 0;
        return false;
    }
    offset_ = 0;
    size_ = static_cast<std::size_t>(count);
    return true;
}

} // namespace foldwise
