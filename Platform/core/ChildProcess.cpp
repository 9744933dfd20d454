#include "Platform/core/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {

namespace {

// The longest single wait for output, so a child that has ended is reaped
// soon even when something else still holds its pipes.
constexpr int longestPoll = 100;

struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
};

void closeDescriptor(int& descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
    closePipes();
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         std::string& error) {
    if (pid_ > 0 || ended_) {
        error = "a child process was already started";
        return false;
    }
    int output[2] = {-1, -1}, errors[2] = {-1, -1};
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        for (int* descriptor : {&output[0], &output[1], &errors[0], &errors[1]})
            closeDescriptor(*descriptor);
        return false;
    }
    // The pipes' own descriptors close on exec; dup2 gives the child copies
    // without that flag as its standard output and error.
    SpawnActions spawn;
    posix_spawn_file_actions_addopen(&spawn.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&spawn.actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&spawn.actions, errors[1], STDERR_FILENO);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int result =
        posix_spawn(&pid, program.c_str(), &spawn.actions, nullptr, argv.data(), environ);
    closeDescriptor(output[1]);
    closeDescriptor(errors[1]);
    if (result != 0) {
        closeDescriptor(output[0]);
        closeDescriptor(errors[0]);
        error = "cannot run " + program + ": " + std::strerror(result);
        return false;
    }
    pid_ = pid;
    pipes_[0] = output[0];
    pipes_[1] = errors[0];
    for (int descriptor : pipes_)
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    return true;
}

void ChildProcess::collectOutput(int milliseconds) {
    pollfd watched[2];
    nfds_t count = 0;
    for (int descriptor : pipes_)
        if (descriptor >= 0)
            watched[count++] = {descriptor, POLLIN, 0};
    if (count == 0 || ::poll(watched, count, milliseconds) <= 0)
        return;
    for (int stream = 0; stream < 2; ++stream) {
        if (pipes_[stream] < 0)
            continue;
        char buffer[65536];
        ssize_t length;
        while ((length = ::read(pipes_[stream], buffer, sizeof buffer)) > 0)
            output_[stream].append(buffer, static_cast<std::size_t>(length));
        // End of file: the child (and whatever it started) closed the stream.
        if (length == 0 || (length < 0 && errno != EAGAIN && errno != EINTR))
            closeDescriptor(pipes_[stream]);
    }
}

bool ChildProcess::waitFor(int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    while (pid_ > 0) {
        if (pipes_[0] < 0 && pipes_[1] < 0)
            return reap(true);
        if (reap(false)) {
            collectOutput(0);
            closePipes();
            return true;
        }
        int step = longestPoll;
        if (milliseconds >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            step = std::min<int>(step, static_cast<int>(left.count()));
        }
        collectOutput(step);
    }
    return true;
}

void ChildProcess::terminate() {
    if (pid_ > 0)
        ::kill(pid_, SIGTERM);
    wait();
}

void ChildProcess::closePipes() {
    closeDescriptor(pipes_[0]);
    closeDescriptor(pipes_[1]);
}

bool ChildProcess::reap(bool block) {
    int status = 0;
    pid_t reaped;
    do
        reaped = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    while (reaped < 0 && errno == EINTR);
    if (reaped == 0)
        return false;
    exitStatus_ = reaped > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ended_ = true;
    pid_ = 0;
    return true;
}

} // namespace Platform
