#include "Platform/core/SafeFileWriter.h"

#include "Platform/core/Localization.h"
#include "Platform/core/SystemErrorText.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Platform {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows before it answers ELOOP.
constexpr int maximumLinkDepth = 40;
// Leaves room for the hidden prefix and random part within NAME_MAX.
constexpr std::size_t longestTemporaryStem = 200;
constexpr std::size_t longestKeptExtension = 16;

// The file a write to `path` really replaces. A dangling link names a file
// still to be created; a loop stays a link, which the writer refuses.
std::string followLinks(const std::string& path) {
    fs::path current(path);
    for (int depth = 0; depth < maximumLinkDepth; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(current, error))
            break;
        fs::path target = fs::read_symlink(current, error);
        if (error)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

// "folder/.name.XXXXXX.ext": hidden, unique, and still ending in the
// extension so that libraries guessing the format by name guess right.
std::string temporaryPattern(const fs::path& destination, std::size_t& suffixLength) {
    std::string extension = destination.extension().string();
    if (extension.size() > longestKeptExtension)
        extension.clear();
    std::string stem = destination.filename().string();
    stem.resize(std::min(stem.size() - extension.size(), longestTemporaryStem));
    suffixLength = extension.size();
    fs::path folder = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
    return (folder / ("." + stem + ".XXXXXX" + extension)).string();
}

std::string folderOf(const std::string& path) {
    fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The rename is durable only once the folder's entry is on the disk too.
// Some file systems refuse to sync a folder; the file is in place all the
// same, so that is not a failure.
void syncFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    static_cast<void>(::fsync(descriptor));
    ::close(descriptor);
}

} // namespace

SafeFileWriter::SafeFileWriter(const std::string& destination)
    : finalPath_(followLinks(destination)) {
    struct stat existing {};
    if (destination.empty()) {
        fail(ENOENT);
        return;
    }
    if (::lstat(finalPath_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode))
            fail(EISDIR);
        else if (S_ISLNK(existing.st_mode))
            fail(ELOOP);
        else
            error_ = localized("Only a regular file can be replaced, not a device or pipe.");
        return;
    }
    std::size_t suffixLength = 0;
    std::string pattern = temporaryPattern(finalPath_, suffixLength);
    descriptor_ = ::mkostemps(pattern.data(), static_cast<int>(suffixLength), O_CLOEXEC);
    if (descriptor_ < 0) {
        if (errno == ENOENT)
            error_ = localized("The folder does not exist.");
        else
            fail(errno);
        return;
    }
    temporaryPath_ = std::move(pattern);
}

SafeFileWriter::~SafeFileWriter() {
    discardTemporaryFile();
}

bool SafeFileWriter::writeFile(const std::string& destination, std::string_view bytes,
                               std::string& error) {
    SafeFileWriter writer(destination);
    const bool written = writer.write(bytes) && writer.commit();
    if (!written)
        error = writer.error();
    return written;
}

std::FILE* SafeFileWriter::stream() {
    if (!stream_ && descriptor_ >= 0) {
        stream_ = ::fdopen(descriptor_, "wb");
        if (!stream_)
            fail(errno);
    }
    return stream_;
}

bool SafeFileWriter::write(std::string_view bytes) {
    if (descriptor_ < 0)
        return false;
    if (stream_) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size())
            return fail(errno);
        return true;
    }
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor_, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fail(errno);
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

bool SafeFileWriter::commit() {
    if (!isOpen() || (descriptor_ >= 0 && !finishWriting()))
        return false;
    if (::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0)
        return fail(errno);
    temporaryPath_.clear(); // it is the destination now
    syncFolder(folderOf(finalPath_));
    return true;
}

bool SafeFileWriter::commit(std::string& errorMessage) {
    if (commit())
        return true;
    errorMessage = "cannot write " + finalPath_ + ": " + error_;
    return false;
}

// Permissions are set only now, so a library that reopens the file by its
// path may still write a read-only destination.
bool SafeFileWriter::finishWriting() {
    if (descriptor_ < 0)
        return false;
    if (stream_ && (std::fflush(stream_) != 0 || std::ferror(stream_)))
        return fail(errno ? errno : EIO);
    struct stat existing {};
    if (::stat(finalPath_.c_str(), &existing) == 0) {
        // Keeping the owner needs privileges the user may not have; the
        // permission bits are what matters, so a refusal is not an error.
        static_cast<void>(::fchown(descriptor_, existing.st_uid, existing.st_gid));
        if (::fchmod(descriptor_, existing.st_mode & 07777) != 0)
            return fail(errno);
    } else if (::fchmod(descriptor_, 0666 & ~currentUmask()) != 0) {
        return fail(errno);
    }
    if (::fsync(descriptor_) != 0)
        return fail(errno);
    const int closed =
        stream_ ? std::fclose(std::exchange(stream_, nullptr)) : ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0)
        return fail(errno);
    return true;
}

bool SafeFileWriter::fail(int systemError) {
    if (error_.empty())
        error_ = systemErrorText(systemError);
    discardTemporaryFile();
    return false;
}

void SafeFileWriter::discardTemporaryFile() {
    if (stream_)
        std::fclose(std::exchange(stream_, nullptr));
    else if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    if (!temporaryPath_.empty())
        ::unlink(std::exchange(temporaryPath_, {}).c_str());
}

} // namespace Platform
