#pragma once

#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace VexmiraTest {

// What one run of a command-line program left behind; status is -1 when it did not exit.
struct ProgramRun {
    int status = -1;
    std::string standardOutput, standardError;
};

// A text as one shell word.
inline std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell command line with standard input from inputFile and both outputs captured.
inline ProgramRun runProgram(const std::string& commandLine,
                             const std::string& inputFile = "/dev/null") {
    TemporaryFolder captures;
    const std::string out = captures.file("stdout"), err = captures.file("stderr");
    const int raw = std::system((commandLine + " <" + shellQuoted(inputFile) + " >" +
                                 shellQuoted(out) + " 2>" + shellQuoted(err))
                                    .c_str());
    return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, TemporaryFolder::read(out),
            TemporaryFolder::read(err)};
}

} // namespace VexmiraTest
