#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace Platform {

// Another program run beside this one, with its standard output and standard
// error collected, its standard input empty. The desktop program runs its
// own command-line tools this way (an off-screen rendering needs OSMesa,
// which a process on libGL must not load), and can keep its windows
// responsive meanwhile by waiting in short steps.
//
// A child still running when its ChildProcess is destroyed is terminated and
// reaped, so none is left behind.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program (a path; the search path is not consulted) with the
    // arguments after its name. False, with the reason in error, when it
    // cannot be started; one ChildProcess runs one child.
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               std::string& error);

    // Collects output and waits up to `milliseconds` (negative: as long as
    // it takes) for the child to end. True once it has ended.
    bool waitFor(int milliseconds);
    // Waits until the child has ended.
    void wait() { waitFor(-1); }
    // Asks the child to stop (SIGTERM) and waits until it has.
    void terminate();

    bool isRunning() const { return pid_ > 0; }
    // After the child has ended: whether it exited with status 0.
    bool succeeded() const { return ended_ && exitStatus_ == 0; }
    // Its exit status, or -1 when a signal ended it.
    int exitStatus() const { return exitStatus_; }
    // What the child wrote so far.
    const std::string& standardOutput() const { return output_[0]; }
    const std::string& standardError() const { return output_[1]; }

private:
    void collectOutput(int milliseconds);
    void closePipes();
    bool reap(bool block);

    pid_t pid_ = 0;
    bool ended_ = false;
    int exitStatus_ = -1;
    int pipes_[2] = {-1, -1}; // read ends of the child's standard output and error
    std::string output_[2];
};

} // namespace Platform
