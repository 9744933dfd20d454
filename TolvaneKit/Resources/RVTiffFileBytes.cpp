#include "TolvaneKit/Resources/RVTiffFileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A descriptor for reading the regular file at path, or -1 with the reason.
int openRegularFile(const std::string& path, struct stat& status, std::string& reason) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        reason = std::string("cannot be opened: ") + std::strerror(errno);
        return -1;
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = "is not a regular file";
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

// Reads up to size bytes; a file that shrank meanwhile gives fewer.
bool readUpTo(int descriptor, std::uint8_t* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t got = ::read(descriptor, buffer + done, size - done);
        if (got == 0)
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        done += std::size_t(got);
    }
    return true;
}

} // namespace

std::unique_ptr<RVTiffFileBytes> RVTiffFileBytes::read(const std::string& path,
                                                       std::string& reason) {
    struct stat status {};
    const int descriptor = openRegularFile(path, status, reason);
    if (descriptor < 0)
        return nullptr;
    std::unique_ptr<RVTiffFileBytes> file(new RVTiffFileBytes);
    const bool read = file->readWhole(descriptor, std::uint64_t(status.st_size), reason);
    ::close(descriptor);
    if (!read)
        return nullptr;
    return file;
}

bool RVTiffFileBytes::readWhole(int descriptor, std::uint64_t size, std::string& reason) {
    if (size > largestFileBytes) {
        reason = "is larger than " + std::to_string(largestFileBytes >> 30) + " GiB";
        return false;
    }
    // One byte more than needed, so that an empty file has a buffer too.
    bytes_.reset(static_cast<std::uint8_t*>(std::malloc(std::size_t(size) + 1)));
    if (!bytes_) {
        reason = "does not fit into memory";
        return false;
    }
    if (!readUpTo(descriptor, bytes_.get(), std::size_t(size), size_)) {
        reason = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    return true;
}

TIFF* RVTiffFileBytes::open(const std::string& name, TIFFOpenOptions* options) {
    position_ = 0;
    return TIFFClientOpenExt(name.c_str(), "r", this, readProc, writeProc, seekProc, closeProc,
                             sizeProc, mapProc, unmapProc, options);
}

tmsize_t RVTiffFileBytes::readProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* file = static_cast<RVTiffFileBytes*>(handle);
    if (size <= 0 || file->position_ >= file->size_)
        return 0;
    const std::size_t count = std::min(std::size_t(size), file->size_ - file->position_);
    std::memcpy(buffer, file->bytes_.get() + file->position_, count);
    file->position_ += count;
    return tmsize_t(count);
}

tmsize_t RVTiffFileBytes::writeProc(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t RVTiffFileBytes::seekProc(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<RVTiffFileBytes*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = file->position_;
    else if (whence == SEEK_END)
        base = file->size_;
    // Offsets are unsigned here; a step back arrives as its two's complement.
    const std::uint64_t target = base + offset;
    if (target > file->size_)
        return toff_t(-1);
    file->position_ = std::size_t(target);
    return target;
}

int RVTiffFileBytes::closeProc(thandle_t) {
    return 0;
}

toff_t RVTiffFileBytes::sizeProc(thandle_t handle) {
    return static_cast<RVTiffFileBytes*>(handle)->size_;
}

int RVTiffFileBytes::mapProc(thandle_t handle, void** base, toff_t* size) {
    auto* file = static_cast<RVTiffFileBytes*>(handle);
    *base = file->bytes_.get();
    *size = file->size_;
    return 1;
}

void RVTiffFileBytes::unmapProc(thandle_t, void*, toff_t) {}
