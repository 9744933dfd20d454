#include "Platform/core/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <utility>

using Platform::ChildProcess;

TEST(ChildProcess, CollectsBothStreamsAndTheStatusWithoutStallingOnLongOutput) {
    ChildProcess child;
    std::string error;
    // More than a pipe holds on each stream, so a reader that took one after the other would hang.
    ASSERT_TRUE(child.start("/bin/sh",
                            {"-c", "head -c 300000 /dev/zero | tr '\\0' o; "
                                   "head -c 300000 /dev/zero | tr '\\0' e >&2; exit 3"},
                            error))
        << error;
    EXPECT_FALSE(child.start("/bin/sh", {"-c", "true"}, error)) << "one child per runner";
    child.wait();
    EXPECT_EQ(std::pair(child.isRunning(), child.exitStatus()), std::pair(false, 3));
    EXPECT_EQ(child.standardOutput(), std::string(300000, 'o'));
    EXPECT_EQ(child.standardError(), std::string(300000, 'e'));

    ChildProcess missing;
    EXPECT_FALSE(missing.start("/nonexistent/vexmira-render", {}, error));
    EXPECT_NE(error.find("/nonexistent/vexmira-render"), std::string::npos) << error;
}

TEST(ChildProcess, TerminatesOnRequestAndLeavesNoChildBehind) {
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.start("/bin/sleep", {"30"}, error)) << error;
    EXPECT_FALSE(child.waitFor(0));
    EXPECT_TRUE(child.isRunning());
    child.terminate();
    EXPECT_EQ(std::pair(child.isRunning(), child.exitStatus()), std::pair(false, -1))
        << "ended by a signal";

    pid_t pid = 0;
    {
        ChildProcess abandoned;
        ASSERT_TRUE(abandoned.start("/bin/sh", {"-c", "echo $$; exec sleep 30"}, error)) << error;
        while (abandoned.standardOutput().find('\n') == std::string::npos &&
               !abandoned.waitFor(50)) {
        }
        pid = std::stoi(abandoned.standardOutput());
    }
    // Reaped as well as killed: not even a zombie keeps the number.
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}
