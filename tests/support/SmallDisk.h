#pragma once

#include "support/TemporaryFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace VexmiraTest {

// A tmpfs of a few pages to fill instead of the machine's disk; needs root, else reason() says why.
// It lives in this process's own mount namespace, so that a test which dies leaves no mount
// behind; use it from the test's own thread.
class SmallDisk {
public:
    SmallDisk() {
        if (geteuid() != 0)
            reason_ = "mounting a small disk to fill needs root";
        else if (unshare(CLONE_NEWNS) != 0 ||
                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            reason_ = std::string("no mount namespace of its own: ") + std::strerror(errno);
        else if (mount("vexmira-test", folder_.file("").c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                       "size=256k,mode=0755") != 0)
            reason_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
    }
    ~SmallDisk() {
        if (isMounted())
            umount2(folder_.file("").c_str(), MNT_DETACH);
    }

    bool isMounted() const { return reason_.empty(); }
    const std::string& reason() const { return reason_; }
    std::string file(const std::string& name) const { return folder_.file(name); }

    // Takes every free page into a file named "filler": the next byte written fails with ENOSPC.
    void fill() const {
        const int descriptor = open(file("filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        char block[4096] = {};
        for (const std::size_t size : {sizeof block, std::size_t{1}})
            while (write(descriptor, block, size) > 0) {
            }
        close(descriptor);
    }

private:
    TemporaryFolder folder_; // the mount point
    std::string reason_;
};

} // namespace VexmiraTest
