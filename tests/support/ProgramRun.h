#pragma once

#include "Platform/core/ChildProcess.h"
#include "support/TemporaryFolder.h"

#include <string>

namespace VexmiraTest {

// What a command line run by the shell left: its exit status (-1 when it did not exit) and
// what it wrote.
struct ProgramRun {
    int status = -1;
    std::string standardOutput, standardError;
};

// A path as one shell word; no path the tests use holds a quote.
inline std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

inline ProgramRun runProgram(const std::string& commandLine,
                             const std::string& input = "/dev/null") {
    Platform::ChildProcess shell;
    std::string error;
    if (!shell.start("/bin/sh", {"-c", "(" + commandLine + ") <" + quoted(input)}, error))
        return {-1, "", error};
    shell.wait();
    return {shell.exitStatus(), shell.standardOutput(), shell.standardError()};
}

#ifdef VEXMIRA_RENDER_PROGRAM
// vexmira-render as a user runs it, with no display to fall back on.
inline ProgramRun runRender(const std::string& arguments, const std::string& input = "/dev/null") {
    return runProgram("env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(VEXMIRA_RENDER_PROGRAM) + " " +
                          arguments,
                      input);
}
#endif

} // namespace VexmiraTest
