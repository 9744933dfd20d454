#pragma once

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace VexmiraTest {

// A tmpfs of a few pages mounted on a fresh folder, so that a test can fill a
// disk without touching the machine's. Mounting needs root; without it,
// reason() says why there is no disk. Use it from the test's own thread.
class SmallDisk {
public:
    SmallDisk() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vexmira-disk-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            reason_ = std::string("cannot make a mount point: ") + std::strerror(errno);
            return;
        }
        path_ = pattern;
        // In a mount namespace of this process's own, so that a test which dies
        // leaves no mount behind, and no other process sees it meanwhile.
        if (geteuid() != 0)
            reason_ = "mounting a small disk to fill needs root";
        else if (unshare(CLONE_NEWNS) != 0 ||
                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            reason_ =
                std::string("cannot have a mount namespace of its own: ") + std::strerror(errno);
        else if (mount("vexmira-test", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                       "size=256k,mode=0755") != 0)
            reason_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
        else
            mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_)
            umount2(path_.c_str(), MNT_DETACH);
        if (!path_.empty())
            rmdir(path_.c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool isMounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Takes every free page into a file named "filler", so the next write of
    // even one byte fails with ENOSPC.
    void fill() const {
        const int descriptor = open(file("filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        char block[4096] = {};
        while (write(descriptor, block, sizeof block) > 0) {
        }
        while (write(descriptor, block, 1) > 0) {
        }
        close(descriptor);
    }

private:
    std::string path_;
    std::string reason_;
    bool mounted_ = false;
};

} // namespace VexmiraTest
