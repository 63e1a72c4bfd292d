#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace foldwise {

// Reads the entries of an open folder in large batches straight from the kernel, with the entry type
// the file system keeps beside each name (a DT_* value; DT_UNKNOWN where it keeps none).
class DirectoryReader {
public:
    explicit DirectoryReader(std::size_t bufferSize = std::size_t{64} * 1024);

    struct Entry {
        std::string_view name; // valid until the next call of next()
        unsigned char type;
    };

    // Starts reading `fd` (an open folder, still owned by the caller) from its beginning.
    void open(int fd);

    // The next entry, "." and ".." included; false at the end of the folder or when it cannot be read.
    bool next(Entry& entry);

    // Why the last call of next() returned false: an errno value, or 0 at the end of the folder.
    int error() const { return error_; }

private:
    bool fill();

    std::vector<char> buffer_;
    int fd_ = -1;
    std::size_t offset_ = 0;
    std::size_t size_ = 0;
    int error_ = 0;
};

} // namespace foldwise
