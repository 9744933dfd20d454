#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace Platform {

// Replaces a file so that nothing is ever lost: the new contents go to a
// hidden temporary file in the destination's folder, reach the disk, and only
// then take the destination's name in one rename. Whatever fails, the
// destination holds its old bytes or the complete new ones.
//
// The replaced file keeps its permission bits (a new one gets 0666 less the
// umask). A symbolic link is followed: the file it points to is replaced and
// the link stays a link.
//
// Writers that stream (libpng, giflib and the like) take the temporary file
// as a FILE*; libraries that open files themselves take its path. The
// temporary file is removed unless commit() succeeded.
class SafeFileWriter {
public:
    // Creates the temporary file; isOpen() tells whether that worked.
    explicit SafeFileWriter(const std::string& destination);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Writes bytes over destination in one go. On failure, error holds one
    // localised sentence saying why.
    static bool writeFile(const std::string& destination, std::string_view bytes,
                          std::string& error);

    // Whether the temporary file is there: created, and neither failed nor
    // committed yet.
    bool isOpen() const { return !temporaryPath_.empty(); }
    // Why the last step failed: one localised sentence.
    const std::string& error() const { return error_; }

    // The file really replaced: the destination with its links followed.
    const std::string& finalPath() const { return finalPath_; }
    // The temporary file's name; it ends in the destination's extension, for
    // libraries that choose a format by the name.
    const std::string& temporaryPath() const { return temporaryPath_; }
    // The temporary file as a stream, created on first use; null when the
    // writer is not open. commit() flushes and closes it.
    std::FILE* stream();

    bool write(std::string_view bytes);

    // Gives the temporary file the replaced file's permissions, puts its
    // bytes on the disk and closes it, leaving only the rename to commit().
    // Writers of many files (a sequence of frames) finish each one as it is
    // complete and commit them all at the end, without holding a descriptor
    // for each. commit() finishes the file itself when need be.
    bool finishWriting();

    // Flushes the new contents to the disk and renames them over the
    // destination. False, with error() set, when anything failed; the
    // destination then is as it was.
    bool commit();
    // commit(), and on failure a message for a writer's caller: "cannot
    // write PATH: why".
    bool commit(std::string& errorMessage);

private:
    bool fail(int systemError);
    void discardTemporaryFile();

    std::string finalPath_;
    std::string temporaryPath_;
    std::string error_;
    int descriptor_ = -1;
    std::FILE* stream_ = nullptr;
};

} // namespace Platform
